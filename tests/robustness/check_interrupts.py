#!/usr/bin/env python3
"""A run stopped by a signal removes its fresh files and ends with the
signal; a fresh file a killed run left is removed by the next run into the
same place only when no run holds its lock and it has not changed for a
minute; a report that cannot be written makes the exit status 1.

Usage: check_interrupts.py TAVCONV TAVGEN
Prints one line per problem; exit status 1 if any."""
import fcntl
import os
import pathlib
import signal
import subprocess
import sys
import tempfile
import time


def fresh_files(folder: pathlib.Path) -> list:
    return sorted(p.name for p in folder.rglob(".tav-*.tmp"))


def interrupted(tavconv: str, work: pathlib.Path, log: pathlib.Path, problems: list) -> None:
    for number, output in enumerate(["--mbox", "--maildir", "--mime"]):
        for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            place = work / f"run-{output[2:]}-{sig.name}"
            place.mkdir()
            target = place / ("all.mbox" if output == "--mbox" else "box")
            copy = place / "fbbs0412.log"
            copy.write_bytes(log.read_bytes())
            args = [tavconv, output, target] if output != "--mime" else [tavconv, output]
            process = subprocess.Popen([*args, *[copy] * 6], stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            time.sleep(0.4)
            process.send_signal(sig)
            status = process.wait(timeout=60)
            name = f"{output} {sig.name}"
            if status != -sig:
                problems.append(f"{name}: exit status {status}, expected the signal")
            if fresh_files(place):
                problems.append(f"{name}: fresh files left: {fresh_files(place)}")
            if output == "--mbox" and target.exists():
                problems.append(f"{name}: an incomplete mailbox is in place")


def abandoned(tavconv: str, work: pathlib.Path, log: pathlib.Path, problems: list) -> None:
    place = work / "abandoned"
    place.mkdir()
    (place / "fbbs0412.log").write_bytes(log.read_bytes()[:20000])
    old, locked, recent = (place / f".tav-{digit * 16}.tmp" for digit in "abc")
    for path in (old, locked, recent):
        path.write_bytes(b"left by a killed run")
    minute_ago = time.time() - 120
    os.utime(old, (minute_ago, minute_ago))
    os.utime(locked, (minute_ago, minute_ago))
    with open(locked, "rb+") as held:
        fcntl.flock(held, fcntl.LOCK_EX)  # another run still filling it
        subprocess.run([tavconv, "--mbox", place / "all.mbox", place / "fbbs0412.log"],
                       capture_output=True, check=False)
    if old.exists():
        problems.append("a fresh file a killed run left a minute ago was not removed")
    if not locked.exists():
        problems.append("a locked fresh file was removed")
    if not recent.exists():
        problems.append("a fresh file changed a moment ago was removed")


def full_stdout(tavconv: str, work: pathlib.Path, log: pathlib.Path, problems: list) -> None:
    if not pathlib.Path("/dev/full").exists():
        return
    copy = work / "full" / "fbbs0412.log"
    copy.parent.mkdir()
    copy.write_bytes(log.read_bytes()[:20000])
    with open("/dev/full", "wb") as full:
        status = subprocess.run([tavconv, copy], stdout=full, stderr=subprocess.DEVNULL).returncode
    if status != 1:
        problems.append(f"a report to a full device: exit status {status}, expected 1")


def main(tavconv: str, tavgen: str) -> int:
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        work = pathlib.Path(folder)
        log = work / "medium.log"
        subprocess.run([tavgen, "medium", log], check=True, capture_output=True)
        interrupted(tavconv, work, log, problems)
        abandoned(tavconv, work, log, problems)
        full_stdout(tavconv, work, log, problems)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
