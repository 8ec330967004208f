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
    wine = os.environ["WINE"]
    work = tempfile.mkdtemp(prefix="cmd-files-", dir=work_dir)
    failures = []
    try:
        with zipfile.ZipFile(zip_path) as package:
            package.extractall(os.path.join(work, "展開 先"))
            program = os.path.join(work, "展開 先", package.namelist()[0].split("/")[0])

        def logs(name):
            os.makedirs(os.path.join(work, name))
            for log in LOGS:
                shutil.copy(os.path.join(samples, log), os.path.join(work, name))
            return os.path.join(work, name)

        def drop(cmd, folder):
            # As Explorer passes dropped files; `call` keeps cmd /c from
            # taking the quotes of a path with a blank for its own.
            paths = ["Z:" + os.path.join(p, f).replace("/", "\\")
                     for p, f in [(program, cmd)] + [(folder, log) for log in LOGS]]
            run = subprocess.run([wine, "cmd", "/c", "call"] + paths, stdin=subprocess.DEVNULL,
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            return run.returncode, run.stdout.decode("utf-8", "replace")

        def tavconv(folder, *options):
            subprocess.run([wine, os.path.join(program, "tavconv.exe"), *options] + LOGS,
                           cwd=folder, capture_output=True, check=False)

        dropped, reference = logs("ロ グ mime"), logs("cli")
        drop("drop-mime.cmd", dropped)
        tavconv(reference, "--mime")
        for name in ("fbb", "frp", "mai"):
            emls = sorted(os.listdir(os.path.join(reference, name)))
            if filecmp.cmpfiles(os.path.join(dropped, name), os.path.join(reference, name), emls,
                                shallow=False)[0] != emls:
                failures.append("drop-mime.cmd: " + name + " differs from tavconv --mime's")

        # A second drop makes a second mailbox: tavconv replaces none.
        dropped = logs("ロ グ mbox")
        tavconv(reference, "--mbox", "all.mbox")
        for name in ("fbbs0412.mbox", "fbbs0412-2.mbox"):
            status, said = drop("drop-mbox.cmd", dropped)
            path = os.path.join(dropped, name)
            if status != 0 or not os.path.exists(path) or \
                    not filecmp.cmp(path, os.path.join(reference, "all.mbox"), shallow=False):
                failures.append(f"drop-mbox.cmd: {name} is not tavconv --mbox's: {said}")

        # Until tavconv writes web archives, it must at least be asked for one
        # (Wine's cmd gives 1 for any failure of a called file).
        dropped = logs("ロ グ web")
        status, said = drop("drop-web.cmd", dropped)
        index = os.path.join(dropped, "tav-web", "index.html")
        if not (status == 0 and os.path.exists(index) or
                status != 0 and "--html" in said and not os.path.exists(index)):
            failures.append(f"drop-web.cmd: status {status}: {said}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
