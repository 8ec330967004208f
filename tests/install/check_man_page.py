#!/usr/bin/env python3
"""Checks the man page: mandoc and groff find nothing to warn about, it
describes exactly the options that `tavconv --help` lists, with the same
value names, and names the version that `tavconv --version` prints.

    check_man_page.py TAVCONV PAGE MANDOC GROFF
"""

import pathlib
import re
import subprocess
import sys
import unittest

TAVCONV = PAGE = MANDOC = GROFF = None
OPTION = re.compile(r"(?<![\w-])(--?[a-z][a-z-]*)(?: ([A-Z]+))?")


def help_options(text):
    """{option: value name or None} of the lines under "Options:"."""
    block = text.split("\nOptions:\n", 1)[1].split("\n\n", 1)[0]
    options = {}
    for line in block.splitlines():
        if line.startswith("  -"):  # not a description's second line
            names = re.split(r"\s{2,}", line.strip())[0]
            for name, value in OPTION.findall(names):
                options[name] = value or None
    return options


def page_options(source):
    """{option: value name or None} of the tags (the line after .TP) of the
    OPTIONS section."""
    section = source.split("\n.SH OPTIONS\n", 1)[1].split("\n.SH ", 1)[0]
    options = {}
    lines = section.splitlines()
    for tp, tag in zip(lines, lines[1:]):
        if tp != ".TP":
            continue
        text = re.sub(r"^\.[A-Z]+ ", "", tag).replace("\\-", "-").replace('"', "")
        for name, value in OPTION.findall(" ".join(text.split())):
            options[name] = value or None
    return options


class ManPageTest(unittest.TestCase):
    def test_mandoc_and_groff_find_nothing_to_warn_about(self):
        lint = subprocess.run([MANDOC, "-T", "lint", "-W", "all", PAGE], capture_output=True,
                              text=True)
        self.assertEqual(lint.stdout + lint.stderr, "")
        self.assertEqual(lint.returncode, 0)
        troff = subprocess.run([GROFF, "-ww", "-z", "-man", PAGE], capture_output=True,
                               text=True)
        self.assertEqual(troff.stderr, "")
        self.assertEqual(troff.returncode, 0)

    def test_page_and_help_list_the_same_options_and_version(self):
        source = pathlib.Path(PAGE).read_text(encoding="utf-8")
        listed = subprocess.run([TAVCONV, "--help"], capture_output=True, text=True, check=True)
        options = help_options(listed.stdout)
        self.assertIn("--dir-name-len", options)
        self.assertEqual(page_options(source), options)

        version = subprocess.run([TAVCONV, "--version"], capture_output=True, text=True,
                                 check=True).stdout.strip()
        title = re.search(r'^\.TH TAVCONV 1 \S+ "([^"]+)"', source, re.M)
        self.assertEqual(title and title.group(1), version)


if __name__ == "__main__":
    TAVCONV, PAGE, MANDOC, GROFF = sys.argv[1:5]
    unittest.main(argv=sys.argv[:1])
