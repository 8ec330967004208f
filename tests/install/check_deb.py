#!/usr/bin/env python3
"""Makes the Debian package with cpack and checks it as a user gets it: its
name and fields (dependencies computed by dpkg-shlibdeps), its files,
lintian's verdict when lintian is installed, and the tavconv it holds,
unpacked into a throwaway folder: its version, and the sample logs
converted into exactly the files recorded in tests/golden.

    check_deb.py CPACK BUILD_DIR SOURCE_DIR VERSION
"""

import filecmp
import gzip
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

CPACK = BUILD = SOURCE = VERSION = None


def run(*command, **options):
    return subprocess.run(command, capture_output=True, text=True, check=True, **options).stdout


def files_under(folder):
    return sorted(str(p.relative_to(folder)) for p in folder.rglob("*") if not p.is_dir())


class DebianPackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = pathlib.Path(tempfile.mkdtemp(prefix="tavconv-deb-"))
        cls.addClassCleanup(shutil.rmtree, cls.work)
        run(CPACK, "--config", str(BUILD / "CPackConfig.cmake"), "-B", str(cls.work / "out"))
        arch = run("dpkg", "--print-architecture").strip()
        cls.deb = cls.work / "out" / f"tavconv_{VERSION}_{arch}.deb"
        cls.root = cls.work / "root"
        run("dpkg-deb", "-x", str(cls.deb), str(cls.root))

    def field(self, name):
        return run("dpkg-deb", "-f", str(self.deb), name).strip()

    def test_fields_name_the_program_and_its_libraries(self):
        self.assertEqual(self.field("Package"), "tavconv")
        self.assertEqual(self.field("Version"), VERSION)
        for library in ("libc6 (>= ", "libstdc++6 (>= "):
            self.assertIn(library, self.field("Depends"))
        summary, *details = self.field("Description").splitlines()
        self.assertIn("Internet mail", summary)
        self.assertGreaterEqual(len(details), 3)

    def test_holds_the_program_its_man_page_and_documents(self):
        self.assertEqual(files_under(self.root), [
            "usr/bin/tavconv",
            "usr/share/doc/tavconv/changelog.gz",
            "usr/share/doc/tavconv/copyright",
            "usr/share/man/man1/tavconv.1.gz",
        ])
        page = gzip.decompress((self.root / "usr/share/man/man1/tavconv.1.gz").read_bytes())
        self.assertEqual(page, (SOURCE / "docs/tavconv.1").read_bytes())
        changelog = gzip.decompress((self.root / "usr/share/doc/tavconv/changelog.gz").read_bytes())
        self.assertTrue(changelog.startswith(f"tavconv ({VERSION}) ".encode()),
                        "the changelog's latest entry is this version")

    def test_lintian_finds_no_error(self):
        if not shutil.which("lintian"):
            self.skipTest("lintian is not installed")
        report = subprocess.run(["lintian", str(self.deb)], capture_output=True, text=True)
        errors = [line for line in report.stdout.splitlines() if line.startswith("E:")]
        self.assertEqual(errors, [])

    def test_unpacked_program_converts_the_samples(self):
        tavconv = str(self.root / "usr/bin/tavconv")
        self.assertEqual(run(tavconv, "--version"), f"tavconv {VERSION}\n")
        logs = self.work / "logs"
        logs.mkdir()
        for log in sorted((SOURCE / "samples").glob("*.log")):
            shutil.copy(log, logs)
        run(tavconv, *sorted(p.name for p in logs.glob("*.log")), cwd=logs)
        golden = SOURCE / "tests/golden/samples"
        written = [name for name in files_under(logs) if not name.endswith(".log")]
        self.assertEqual(written, files_under(golden))
        _, mismatch, errors = filecmp.cmpfiles(logs, golden, written, shallow=False)
        self.assertEqual(mismatch + errors, [])


if __name__ == "__main__":
    CPACK, BUILD, SOURCE, VERSION = sys.argv[1:5]
    BUILD, SOURCE = pathlib.Path(BUILD), pathlib.Path(SOURCE)
    unittest.main(argv=sys.argv[:1])
