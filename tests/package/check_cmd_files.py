#!/usr/bin/env python3
"""The package's .cmd files under Wine's cmd, as a user drops logs on them:
each must give what tavconv.exe gives for the same logs, beside them.

Runs inside `tools/wine-run PREFIX --shell` (WINE set):
    check_cmd_files.py ZIP SAMPLES_DIR WORK_DIR ARGS_PROBE.exe
"""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

LOGS = ["fbbs0412.log", "frpg0413.log", "mail0412.log"]
FOLDERS = ("fbb", "frp", "mai")


def windows_path(path):
    # Wine shows the Unix root as drive Z:.
    return "Z:" + path.replace("/", "\\")


class Check:
    def __init__(self, zip_path, samples, work):
        self.wine = os.environ["WINE"]
        self.samples, self.work = samples, work
        self.failures = []
        with zipfile.ZipFile(zip_path) as package:
            package.extractall(os.path.join(work, "展開 先"))
            (top,) = {name.split("/")[0] for name in package.namelist()}
        self.program = os.path.join(work, "展開 先", top)

    def fail(self, what):
        self.failures.append(what)

    def logs(self, name):
        """A folder of the sample logs (a Japanese name with a blank)."""
        folder = os.path.join(self.work, name)
        os.makedirs(folder)
        for log in LOGS:
            shutil.copy(os.path.join(self.samples, log), folder)
        return folder

    def drop(self, cmd, folder, program=None):
        """CMD run by cmd with the logs of `folder` as arguments, as Explorer
        passes files dropped on it; its exit status. (`call` keeps cmd /c
        from taking the quotes of a path with a blank for its own.)"""
        script = windows_path(os.path.join(program or self.program, cmd))
        logs = [windows_path(os.path.join(folder, log)) for log in LOGS]
        run = subprocess.run([self.wine, "cmd", "/c", "call", script] + logs, stdin=subprocess.DEVNULL,
                             capture_output=True)
        if run.returncode != 0:
            print(cmd, "said:", run.stdout.decode("utf-8", "replace"),
                  run.stderr.decode("utf-8", "replace"))
        return run.returncode

    def tavconv(self, folder, *options):
        subprocess.run([self.wine, os.path.join(self.program, "tavconv.exe"), *options] + LOGS,
                       cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def same_folders(self, left, right, what):
        for name in FOLDERS:
            a, b = os.path.join(left, name), os.path.join(right, name)
            files = sorted(os.listdir(b))
            if not os.path.isdir(a) or sorted(os.listdir(a)) != files or \
                    filecmp.cmpfiles(a, b, files, shallow=False)[0] != files:
                self.fail(f"{what}: {name} differs from tavconv's")

    def mime(self):
        dropped, reference = self.logs("ロ グ mime"), self.logs("cli mime")
        if self.drop("drop-mime.cmd", dropped) != 0:
            self.fail("drop-mime.cmd: exit status")
        self.tavconv(reference, "--mime")
        self.same_folders(dropped, reference, "drop-mime.cmd")

    def mbox(self):
        dropped, reference = self.logs("ロ グ mbox"), self.logs("cli mbox")
        self.tavconv(reference, "--mbox", "all.mbox")
        with open(os.path.join(reference, "all.mbox"), "rb") as file:
            expected = file.read()
        # A second drop makes a second file: tavconv replaces no mailbox.
        for name in ("fbbs0412.mbox", "fbbs0412-2.mbox"):
            if self.drop("drop-mbox.cmd", dropped) != 0:
                self.fail("drop-mbox.cmd: exit status")
            path = os.path.join(dropped, name)
            if not os.path.exists(path):
                self.fail("drop-mbox.cmd: no " + name)
                continue
            with open(path, "rb") as file:
                if file.read() != expected:
                    self.fail("drop-mbox.cmd: " + name + " differs from tavconv's")

    def web(self, probe):
        dropped = self.logs("ロ グ web")
        # The command it gives tavconv.exe, through a stand-in that records it.
        stand_in = os.path.join(self.work, "stand-in")
        os.makedirs(stand_in)
        shutil.copy(os.path.join(self.program, "drop-web.cmd"), stand_in)
        shutil.copy(probe, os.path.join(stand_in, "tavconv.exe"))
        self.drop("drop-web.cmd", dropped, stand_in)
        with open(os.path.join(stand_in, "args.txt"), encoding="utf-8") as file:
            given = file.read().splitlines()
        expected = ["--html", windows_path(os.path.join(dropped, "tav-web"))] + \
            [windows_path(os.path.join(dropped, log)) for log in LOGS]
        if given != expected:
            self.fail(f"drop-web.cmd gives tavconv {given}, not {expected}")
        # With a tavconv.exe that writes web archives, the archive itself.
        help_text = subprocess.run([self.wine, os.path.join(self.program, "tavconv.exe"), "--help"],
                                   capture_output=True, text=True, errors="replace").stdout
        if "--html" in help_text:
            if self.drop("drop-web.cmd", dropped) != 0:
                self.fail("drop-web.cmd: exit status")
            if not os.path.exists(os.path.join(dropped, "tav-web", "index.html")):
                self.fail("drop-web.cmd: no tav-web\\index.html")


def main():
    zip_path, samples, work_dir, probe = sys.argv[1:5]
    work = tempfile.mkdtemp(prefix="cmd-files-", dir=work_dir)
    try:
        check = Check(zip_path, samples, work)
        check.mime()
        check.mbox()
        check.web(probe)
        for failure in check.failures:
            print("FAILED:", failure)
        return 1 if check.failures else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
