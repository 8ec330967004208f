#!/usr/bin/env python3
"""The package's .cmd files under Wine's cmd, with the sample logs dropped on
them: each must give what tavconv.exe gives for the same logs, beside them.

Runs inside `tools/wine-run PREFIX --shell` (WINE set):
    check_cmd_files.py ZIP SAMPLES_DIR WORK_DIR
"""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

LOGS = ["fbbs0412.log", "frpg0413.log", "mail0412.log"]


def main():
    zip_path, samples, work_dir = sys.argv[1:4]
    wine, failures = os.environ["WINE"], []
    work = tempfile.mkdtemp(prefix="cmd-files-", dir=work_dir)
    zipfile.ZipFile(zip_path).extractall(os.path.join(work, "展開 先"))
    program = os.path.join(work, "展開 先", "tav-1.0.8")

    def logs(name):
        folder = os.path.join(work, name)
        shutil.copytree(samples, folder, ignore=shutil.ignore_patterns("*.md"))
        return folder

    def drop(cmd, folder):
        # As Explorer passes dropped files; `call` keeps cmd /c from taking
        # the quotes of a path with a blank for its own.
        paths = ["Z:" + p.replace("/", "\\") for p in
                 [os.path.join(program, cmd)] + [os.path.join(folder, log) for log in LOGS]]
        run = subprocess.run([wine, "cmd", "/c", "call"] + paths, stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        return run.returncode, run.stdout.decode("utf-8", "replace")

    def tavconv(folder, *options):
        subprocess.run([wine, os.path.join(program, "tavconv.exe"), *options] + LOGS,
                       cwd=folder, capture_output=True)

    dropped, cli = logs("ロ グ mime"), logs("cli")
    drop("drop-mime.cmd", dropped)
    tavconv(cli, "--mime")
    for name in ("fbb", "frp", "mai"):
        emls = os.listdir(os.path.join(cli, name))
        if filecmp.cmpfiles(os.path.join(dropped, name), os.path.join(cli, name), emls,
                            shallow=False)[0] != emls:
            failures.append("drop-mime.cmd: " + name + " differs from tavconv --mime's")

    # A second drop makes a second mailbox, as tavconv replaces none.
    dropped = logs("ロ グ mbox")
    tavconv(cli, "--mbox", "all.mbox")
    for name in ("fbbs0412.mbox", "fbbs0412-2.mbox"):
        status, said = drop("drop-mbox.cmd", dropped)
        mbox = os.path.join(dropped, name)
        if not os.path.exists(mbox) or not filecmp.cmp(mbox, os.path.join(cli, "all.mbox"), False):
            failures.append(f"drop-mbox.cmd: {name} is not tavconv --mbox's: {said}")

    # Until tavconv writes web archives it refuses --html (Wine's cmd gives
    # 1 for any failure of a file it calls); from then on, the archive.
    status, said = drop("drop-web.cmd", logs("ロ グ web"))
    if not os.path.exists(os.path.join(work, "ロ グ web", "tav-web", "index.html")) and \
            (status == 0 or "--html" not in said):
        failures.append(f"drop-web.cmd: status {status}: {said}")
    shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
