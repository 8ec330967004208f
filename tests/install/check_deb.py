#!/usr/bin/env python3
"""Makes the Debian package with cpack and checks it as a user gets it: its
dependencies (from dpkg-shlibdeps), files and changelog, lintian's verdict
when lintian is installed, and the tavconv it holds, unpacked into a
throwaway folder: its version, and the sample logs converted into exactly
the files recorded in tests/golden.

    check_deb.py CPACK BUILD_DIR SOURCE_DIR VERSION
"""
import filecmp
import gzip
import pathlib
import shutil
import subprocess
import sys
import tempfile


def run(*command, cwd=None):
    return subprocess.run(command, capture_output=True, text=True, check=True, cwd=cwd).stdout


def files_under(folder):
    return sorted(str(p.relative_to(folder)) for p in folder.rglob("*") if p.is_file())


def unzipped(path):
    return gzip.decompress(path.read_bytes())


def check(work, cpack, build, source, version):
    run(cpack, "--config", f"{build}/CPackConfig.cmake", "-B", str(work))
    deb = work / f"tavconv_{version}_{run('dpkg', '--print-architecture').strip()}.deb"
    root, logs, golden = work / "root", work / "logs", source / "tests/golden/samples"
    run("dpkg-deb", "-x", str(deb), str(root))
    shutil.copytree(source / "samples", logs, ignore=shutil.ignore_patterns("*.md"))
    tavconv = str(root / "usr/bin/tavconv")
    run(tavconv, *sorted(p.name for p in logs.glob("*.log")), cwd=logs)
    written = [name for name in files_under(logs) if not name.endswith(".log")]
    lintian = subprocess.run(["lintian", str(deb)], capture_output=True, text=True).stdout \
        if shutil.which("lintian") else ""
    errors = [line for line in lintian.splitlines() if line.startswith("E:")]
    for line in errors:
        print(line)
    page = root / "usr/share/man/man1/tavconv.1.gz"
    changelog = root / "usr/share/doc/tavconv/changelog.gz"
    return {
        "depends": "libc6 (>= " in run("dpkg-deb", "-f", str(deb), "Depends"),
        "files": files_under(root) == ["usr/bin/tavconv", "usr/share/doc/tavconv/changelog.gz",
                                       "usr/share/doc/tavconv/copyright",
                                       "usr/share/man/man1/tavconv.1.gz"],
        "man page": unzipped(page) == (source / "docs/tavconv.1").read_bytes(),
        "changelog": unzipped(changelog).startswith(f"tavconv ({version})".encode()),
        "lintian": not errors,
        "--version": run(tavconv, "--version") == f"tavconv {version}\n",
        "samples": written == files_under(golden)
        and not any(filecmp.cmpfiles(logs, golden, written, shallow=False)[1:]),
    }


def main(cpack, build, source, version):
    with tempfile.TemporaryDirectory() as work:
        results = check(pathlib.Path(work), cpack, build, pathlib.Path(source), version)
    for name, passed in results.items():
        print(f"{name}: {'ok' if passed else 'FAILED'}")
    return 0 if all(results.values()) else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
