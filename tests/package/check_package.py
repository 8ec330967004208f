#!/usr/bin/env python3
"""Checks the Windows package: what the zip holds and that it is what was built.

    check_package.py ZIP BIN_DIR
"""

import struct
import sys
import unittest
import zipfile

ZIP = BIN = None
FOLDER = "tav-1.0.8/"
ICONS = ["end.ico", "opt.ico", "edit.ico", "start.ico", "info.ico", "dev.ico"]
BUILT = ["tav.exe", "tavconv.exe", "tav.htm"] + ICONS
CMDS = ["drop-mime.cmd", "drop-mbox.cmd", "drop-web.cmd"]
# The DLLs of every Windows installation; the programs must need no other.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "shell32.dll",
               "ole32.dll", "advapi32.dll", "msvcrt.dll", "comdlg32.dll", "winmm.dll"}


def pe_imports(data):
    """(subsystem, [imported DLL names]) of a 64-bit PE image."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0"
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    assert struct.unpack_from("<H", data, optional)[0] == 0x20B, "not a 64-bit image"
    subsystem = struct.unpack_from("<H", data, optional + 68)[0]
    import_rva = struct.unpack_from("<I", data, optional + 112 + 8)[0]
    table = optional + optional_size

    def offset(rva):
        for n in range(sections):
            _, vsize, vaddr, rawsize, rawptr = struct.unpack_from("<8sIIII", data, table + 40 * n)
            if vaddr <= rva < vaddr + max(vsize, rawsize):
                return rva - vaddr + rawptr
        raise ValueError("RVA %#x outside the sections" % rva)

    names = []
    at = offset(import_rva)
    while True:
        name_rva = struct.unpack_from("<5I", data, at)[3]
        if name_rva == 0:
            break
        start = offset(name_rva)
        names.append(data[start:data.index(b"\0", start)].decode("ascii").lower())
        at += 20
    return subsystem, names


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.zip = zipfile.ZipFile(ZIP)
        cls.names = [i.filename for i in cls.zip.infolist() if not i.is_dir()]

    def read(self, name):
        return self.zip.read(FOLDER + name)

    def test_holds_the_programs_icons_help_and_read_me_in_one_folder(self):
        self.assertEqual(self.zip.testzip(), None)
        self.assertEqual(sorted(self.names),
                         sorted(FOLDER + n for n in BUILT + CMDS + ["readme.txt"]))

    def test_files_are_the_ones_just_built(self):
        for name in BUILT:
            with self.subTest(name), open("%s/%s" % (BIN, name), "rb") as built:
                self.assertEqual(self.read(name), built.read())

    def test_programs_need_only_the_systems_dlls(self):
        for name, subsystem in (("tav.exe", 2), ("tavconv.exe", 3)):  # GUI, console
            with self.subTest(name):
                found, dlls = pe_imports(self.read(name))
                self.assertEqual(found, subsystem)
                self.assertIn("kernel32.dll", dlls)
                self.assertLessEqual(set(dlls), SYSTEM_DLLS)

    def test_read_me_is_notepad_text_that_says_what_matters(self):
        data = self.read("readme.txt")
        self.assertTrue(data.startswith(b"\xef\xbb\xbf"), "UTF-8 with a BOM")
        self.assertNotIn(b"\n", data.replace(b"\r\n", b""), "CR LF line ends only")
        text = data.decode("utf-8-sig")
        for needed in ["tav.exe", "tav.ini", "tav.htm", "tavconv.exe", "--mime", "--mbox",
                       "--maildir", "--html", "[Output]="] + ICONS + CMDS:
            self.assertIn(needed, text)


if __name__ == "__main__":
    ZIP, BIN = sys.argv[1:3]
    unittest.main(argv=sys.argv[:1])
