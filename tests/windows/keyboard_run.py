#!/usr/bin/env python3
"""tav.exe driven from the keyboard alone, as a new user would, its files
compared byte for byte with those of tavconv.exe for the same logs:

1. Tab, Tab reaches File1, Ctrl+A selects every log, file > run, Enter at
   each confirmation, then file > end must end the program: the log's own
   form, as tavconv.exe writes by default.
2. tav.exe started with the logs of another folder on its command line (as
   files dropped on its icon are given): they are selected there; file >
   standard mail, file > run: what tavconv.exe --mime writes.
3. Started again with the logs of a third folder: the form chosen before
   holds, and the run writes standard mail again.

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
FOLDERS = ("fbb", "frp", "mai")
# file > run, file > end, file > the standard mail form (after end and the
# log's own form; the separator is passed over).
RUN = ("F10", "Down", "Down", "Return")
END = ("F10", "Down", "Down", "Down", "Return")
STANDARD_MAIL = ("F10",) + ("Down",) * 5 + ("Return",)


def window_shows(title, seconds):
    for _ in range(seconds * 5):
        if subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                          capture_output=True).stdout:
            return True
        time.sleep(0.2)
    return False


def press(*keys):
    for key in keys:
        subprocess.run(["xdotool", "key", key], check=True)
        time.sleep(0.3)


def windows_path(path):
    # Wine shows the Unix root as drive Z:.
    return "Z:" + path.replace("/", "\\")


def drive(wine, program, args, keys, notice, failures):
    """Starts tav.exe with `args`, presses `keys`, runs the selected logs,
    answers each box with Enter and ends the program."""
    tav = subprocess.Popen([wine, "tav.exe"] + args, cwd=program, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    try:
        if not window_shows("TAVI-1", 20):
            return failures.append("the main window did not show")
        time.sleep(1)
        press(*keys)
        press(*RUN)
        for log in LOGS:
            if not window_shows(" start?", 10):
                return failures.append("no confirmation for " + log)
            press("Return")
            time.sleep(1)
        if notice:
            if not window_shows(" Notice!", 10):
                return failures.append("no notice at the end of the run")
            press("Return")
        press(*END)
    finally:
        try:
            tav.wait(timeout=20)
        except subprocess.TimeoutExpired:
            failures.append("file > end did not end the program")
            tav.kill()


def compare(by_window, by_tavconv, failures):
    for name in FOLDERS:
        left, right = os.path.join(by_window, name), os.path.join(by_tavconv, name)
        emls = sorted(os.listdir(right))
        if not os.path.isdir(left) or sorted(os.listdir(left)) != emls or \
                filecmp.cmpfiles(left, right, emls, shallow=False)[0] != emls:
            failures.append(by_window + ": " + name + ": the window's files differ from tavconv's")


def main():
    bin_dir, samples, work_dir = sys.argv[1:4]
    wine = os.environ["WINE"]
    work = tempfile.mkdtemp(prefix="keyboard-", dir=work_dir)
    try:
        folders = ["program", "ログ", "cli", "ログ 2", "ログ 3", "cli-mime"]
        program, by_window, by_tavconv, dropped, again, by_tavconv_mime = (
            os.path.join(work, d) for d in folders)
        for folder in folders:
            os.makedirs(os.path.join(work, folder))
        for file in glob.glob(os.path.join(bin_dir, "*.ico")) + [
                os.path.join(bin_dir, "tav.exe"), os.path.join(bin_dir, "tavconv.exe")]:
            shutil.copy(file, program)
        for log in LOGS:
            for folder in (by_window, by_tavconv, dropped, again, by_tavconv_mime):
                shutil.copy(os.path.join(samples, log), folder)
        ini_path = os.path.join(program, "tav.ini")
        with open(ini_path, "wb") as ini:
            ini.write(f"[DefaultDir]={windows_path(by_window)}\r\n[DirName]=3\r\n[Editor]=z\r\n"
                      .encode("cp932"))

        failures = []
        drive(wine, program, [], ("Tab", "Tab", "ctrl+a"), False, failures)
        subprocess.run([wine, os.path.join(program, "tavconv.exe")] + LOGS, cwd=by_tavconv,
                       stdout=subprocess.DEVNULL, check=True)
        compare(by_window, by_tavconv, failures)

        subprocess.run([wine, os.path.join(program, "tavconv.exe"), "--mime"] + LOGS,
                       cwd=by_tavconv_mime, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        given = [windows_path(os.path.join(dropped, log)) for log in LOGS]
        drive(wine, program, given, STANDARD_MAIL, True, failures)
        compare(dropped, by_tavconv_mime, failures)
        with open(ini_path, "rb") as ini:
            if not ini.read().endswith(b"\r\n[Output]=mime\r\n"):
                failures.append("tav.ini does not keep the standard mail form")

        given = [windows_path(os.path.join(again, log)) for log in LOGS]
        drive(wine, program, given, (), True, failures)
        compare(again, by_tavconv_mime, failures)
        for failure in failures:
            print("FAILED:", failure)
        return 1 if failures else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
