#!/usr/bin/env python3
"""Unpacks the Windows package into a new folder (a Japanese name with a
blank, as a user's folder may have) and starts tav.exe there under Wine with
package_probe.exe, which checks the window and ends the program.

    start_unpacked.py ZIP WORK_DIR WINE_RUN WINE_PREFIX PROBE.exe
"""

import os
import shutil
import subprocess
import sys
import tempfile
import zipfile


def main():
    zip_path, work_dir, wine_run, prefix, probe = sys.argv[1:6]
    work = tempfile.mkdtemp(prefix="unpacked-", dir=work_dir)
    try:
        target = os.path.join(work, "展開 先")
        with zipfile.ZipFile(zip_path) as package:
            package.extractall(target)
            (top,) = {name.split("/")[0] for name in package.namelist()}
        folder = os.path.join(target, top)
        # Wine shows the Unix root as drive Z:.
        program = "Z:" + os.path.join(folder, "tav.exe").replace("/", "\\")
        status = subprocess.run([wine_run, prefix, probe, program], check=False).returncode
        # Start-up reads the settings but writes nothing.
        if os.path.exists(os.path.join(folder, "tav.ini")):
            print("FAILED: tav.ini was written at start-up")
            status = status or 1
        return status
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
