#!/usr/bin/env python3
"""Checks the man page: mandoc -T lint and groff -ww find nothing to warn
about, and it describes exactly the options (with their value names) and the
version that `tavconv --help` and `tavconv --version` print.

    check_man_page.py TAVCONV PAGE MANDOC GROFF
"""
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])--?[a-z][a-z-]*(?: [A-Z]+)?")


def output(*command):
    result = subprocess.run(command, capture_output=True, text=True)
    return result.stdout + result.stderr + ("" if result.returncode == 0 else "failed")


def main(tavconv, page, mandoc, groff):
    failures = [output(mandoc, "-T", "lint", "-W", "all", page),
                output(groff, "-ww", "-z", "-man", page)]
    source = open(page, encoding="utf-8").read()
    # Help: the name column of the lines under "Options:". Page: the tags after .TP in OPTIONS.
    listed = output(tavconv, "--help").split("\nOptions:\n")[1].split("\n\n")[0].splitlines()
    helped = {o for line in listed if line.startswith("  -") for o in OPTION.findall(line[:22])}
    lines = source.split("\n.SH OPTIONS\n")[1].split("\n.SH ")[0].replace("\\-", "-").splitlines()
    tags = [re.sub(r'^\.[A-Z]+ |"', "", tag) for tp, tag in zip(lines, lines[1:]) if tp == ".TP"]
    paged = {o for tag in tags for o in OPTION.findall(" ".join(tag.split()))}
    if helped != paged or "--dir-name-len N" not in helped:
        failures.append(f"--help lists {sorted(helped)}, the page {sorted(paged)}")
    if f'"{output(tavconv, "--version").strip()}"' not in source.splitlines()[0]:
        failures.append("the page's title names another version than tavconv --version")
    print("\n".join(filter(None, failures)) or "man page checked")
    return 1 if any(failures) else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
