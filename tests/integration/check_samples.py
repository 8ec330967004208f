#!/usr/bin/env python3
"""Converts the sample logs with tavconv and reads every .eml file back with
Python's standard mail parser: each must hold the five header lines in order,
and every reply's References must name the Message-Id of a message of the
same log."""
import email
import email.policy
import pathlib
import shutil
import subprocess
import sys
import tempfile

HEADERS = ["From", "Subject", "Date", "Message-Id", "References"]


def main(tavconv: str, samples: str) -> int:
    failures = []
    with tempfile.TemporaryDirectory() as work:
        work_dir = pathlib.Path(work)
        logs = sorted(pathlib.Path(samples).glob("*.log"))
        for log in logs:
            shutil.copy(log, work_dir)
        result = subprocess.run([tavconv, *[log.name for log in logs]], cwd=work_dir,
                                capture_output=True, text=True)
        if result.returncode != 0:
            failures.append(f"tavconv exited {result.returncode}: {result.stderr}")
        for log in logs:
            folder = work_dir / log.name[:3]
            files = sorted(folder.glob("*.eml"))
            if not files:
                failures.append(f"{log.name}: no .eml files in {folder.name}")
            ids = set()
            references = []
            for path in files:
                raw = path.read_bytes()
                message = email.message_from_bytes(raw, policy=email.policy.compat32)
                if list(message.keys()) != HEADERS:
                    failures.append(f"{path.name}: headers {list(message.keys())}")
                    continue
                if not raw.startswith(b"From: ") or not raw.endswith(b"\r\n"):
                    failures.append(f"{path.name}: does not start with From: or end in CR LF")
                message_id = message["Message-Id"]
                if message_id != f"<{path.stem}>":
                    failures.append(f"{path.name}: Message-Id {message_id}")
                ids.add(message_id)
                if message["References"] != "<>":
                    references.append((path.name, message["References"]))
                if not message["Date"].endswith(":00 +0900"):
                    failures.append(f"{path.name}: Date {message['Date']}")
            if not references:
                failures.append(f"{log.name}: no replies found")
            for name, reference in references:
                if reference not in ids:
                    failures.append(f"{name}: References {reference} names no message")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
