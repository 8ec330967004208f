#!/usr/bin/env python3
"""Checks that every test that docs/robustness.md names exists, so the table
cannot point at a test that was renamed or removed. The tests themselves run
on their own under ctest.

usage: check_doc_tests.py DOC TEST_BINARY..."""

import re
import subprocess
import sys


def listed_tests(binary):
    out = subprocess.run([binary, "--gtest_list_tests"], check=True, capture_output=True,
                         text=True).stdout
    names, suite = set(), None
    for line in out.splitlines():
        if not line.startswith(" "):
            suite = line.split()[0]
        else:
            names.add(suite + line.split()[0])
    return names


def main():
    doc, binaries = sys.argv[1], sys.argv[2:]
    text = open(doc, encoding="utf-8").read()
    named = set(re.findall(r"`([A-Z][A-Za-z0-9]*\.[A-Z][A-Za-z0-9]*)`", text))
    known = set().union(*(listed_tests(b) for b in binaries))
    missing = sorted(named - known)
    for name in missing:
        print(f"{doc}: names {name}, which is no test")
    print(f"{len(named)} tests named, {len(missing)} missing")
    return 1 if missing or not named else 0


if __name__ == "__main__":
    sys.exit(main())
