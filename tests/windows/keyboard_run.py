#!/usr/bin/env python3
"""tav.exe driven from the keyboard alone, as a new user would: Tab, Tab
reaches File1, Ctrl+A selects every log, file > run, Enter at each
confirmation, then file > end must end the program. The files written must
be byte for byte those of tavconv.exe for the same logs. Then twice with the
logs of another folder given on its command line (as files dropped on its
icon are): the first time file > standard mail is chosen, the second time
the choice holds; both must write what tavconv.exe --mime writes.

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


def drive(keys, notice, failures):
    """Drives the program from the keyboard; each step that fails is noted."""
    if not window_shows("TAVI-1", 20):
        return failures.append("the main window did not show")
    time.sleep(1)
    press(*keys, "F10", "Down", "Down", "Return")  # file > run
    for log in LOGS:
        if not window_shows(" start?", 10):
            return failures.append("no confirmation for " + log)
        press("Return")
        time.sleep(1)
    if notice:  # the forum log's title list, told once at the end
        if not window_shows(" Notice!", 10):
            return failures.append("no notice at the end of the run")
        press("Return")
    press("F10", "Down", "Down", "Down", "Return")  # file > end


def run(wine, program, args, keys, notice, failures):
    tav = subprocess.Popen([wine, "tav.exe"] + args, cwd=program, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    drive(keys, notice, failures)
    try:
        tav.wait(timeout=20)
    except subprocess.TimeoutExpired:
        failures.append("file > end did not end the program")
        tav.kill()


def compare(by_window, by_tavconv, failures):
    for name in ("fbb", "frp", "mai"):
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
        names = ("program", "ログ", "cli", "ログ 2", "ログ 3", "cli-mime")
        program, by_window, by_tavconv, given, again, by_mime = (os.path.join(work, d)
                                                                   for d in names)
        for folder in (program, by_window, by_tavconv, given, again, by_mime):
            os.makedirs(folder)
        for file in glob.glob(os.path.join(bin_dir, "*.ico")) + [
                os.path.join(bin_dir, "tav.exe"), os.path.join(bin_dir, "tavconv.exe")]:
            shutil.copy(file, program)
        for log in LOGS:
            for folder in (by_window, by_tavconv, given, again, by_mime):
                shutil.copy(os.path.join(samples, log), folder)
        # Wine shows the Unix root as drive Z:.
        folder = "Z:" + by_window.replace("/", "\\")
        with open(os.path.join(program, "tav.ini"), "wb") as ini:
            ini.write(f"[DefaultDir]={folder}\r\n[DirName]=3\r\n[Editor]=z\r\n".encode("cp932"))
        tavconv = [wine, os.path.join(program, "tavconv.exe")]

        failures = []
        run(wine, program, [], ("Tab", "Tab", "ctrl+a"), False, failures)
        subprocess.run(tavconv + LOGS, cwd=by_tavconv, stdout=subprocess.DEVNULL, check=True)
        compare(by_window, by_tavconv, failures)

        subprocess.run(tavconv + ["--mime"] + LOGS, cwd=by_mime, capture_output=True, check=True)
        # file > standard mail: after end and the log's own form.
        for logs, keys in ((given, ("F10",) + ("Down",) * 5 + ("Return",)), (again, ())):
            args = ["Z:" + os.path.join(logs, log).replace("/", "\\") for log in LOGS]
            run(wine, program, args, keys, True, failures)
            compare(logs, by_mime, failures)
        for failure in failures:
            print("FAILED:", failure)
        return 1 if failures else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
