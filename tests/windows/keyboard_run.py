#!/usr/bin/env python3
"""tav.exe driven from the keyboard alone, as a new user would, under Wine:
Tab, Tab reaches File1; Ctrl+A selects every log; file > run; Enter at each
confirmation; then file > end must end the program. The files written must
be byte for byte those of tavconv.exe for the same logs.

Runs inside `tools/wine-run PREFIX --shell` (DISPLAY and WINE set):
    keyboard_run.py BIN_DIR SAMPLES_DIR WORK_DIR
"""

import filecmp
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

LOGS = ["fbbs0412.log", "frpg0413.log", "mail0412.log"]


def windows_path(path):
    # Wine shows the Unix root as drive Z:.
    return "Z:" + path.replace("/", "\\")


def find_window(title, timeout=20):
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                               capture_output=True, text=True).stdout.split()
        if found:
            return found[0]
        time.sleep(0.2)
    return None


def keys(*names):
    for name in names:
        subprocess.run(["xdotool", "key", name], check=True)
        time.sleep(0.3)


def same_tree(left, right):
    compared = filecmp.dircmp(left, right)
    if compared.left_only or compared.right_only or compared.funny_files:
        return False
    _, mismatch, errors = filecmp.cmpfiles(left, right, compared.common_files, shallow=False)
    return not mismatch and not errors and all(
        same_tree(os.path.join(left, d), os.path.join(right, d)) for d in compared.common_dirs)


def main():
    bin_dir, samples, work_dir = sys.argv[1:4]
    wine = os.environ["WINE"]
    work = tempfile.mkdtemp(prefix="keyboard-", dir=work_dir)
    try:
        program = os.path.join(work, "program")
        window_logs = os.path.join(work, "ログ")
        cli_logs = os.path.join(work, "cli")
        for folder in (program, window_logs, cli_logs):
            os.makedirs(folder)
        for name in ["tav.exe", "tavconv.exe"] + [os.path.basename(i) for i in
                                                  glob.glob(os.path.join(bin_dir, "*.ico"))]:
            shutil.copy(os.path.join(bin_dir, name), program)
        for log in LOGS:
            shutil.copy(os.path.join(samples, log), window_logs)
            shutil.copy(os.path.join(samples, log), cli_logs)
        with open(os.path.join(program, "tav.ini"), "wb") as ini:
            ini.write(("[DefaultDir]=%s\r\n[DirName]=3\r\n[Editor]=z\r\n"
                       % windows_path(window_logs)).encode("cp932"))

        tav = subprocess.Popen([wine, "tav.exe"], cwd=program, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        failures = []
        if find_window("TAVI-1") is None:
            failures.append("the main window did not show")
        else:
            time.sleep(1)
            keys("Tab", "Tab", "ctrl+a", "F10", "Down", "Down", "Return")
            for log in LOGS:
                if find_window(" start?", 10) is None:
                    failures.append("no confirmation for " + log)
                    break
                keys("Return")
                time.sleep(1)
            keys("F10", "Down", "Down", "Down", "Return")
        try:
            tav.wait(timeout=20)
        except subprocess.TimeoutExpired:
            failures.append("file > end did not end the program")
            tav.kill()

        subprocess.run([wine, os.path.join(program, "tavconv.exe")] + LOGS, cwd=cli_logs,
                       stdout=subprocess.DEVNULL, check=True)
        for folder in ("fbb", "frp", "mai"):
            if not same_tree(os.path.join(window_logs, folder), os.path.join(cli_logs, folder)):
                failures.append(folder + ": the window's files differ from tavconv's")
        for failure in failures:
            print("FAILED:", failure)
        return 1 if failures else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
