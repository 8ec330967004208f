#!/usr/bin/env python3
"""Differential test: tavconv against the reference converter on generated logs.

For every seed from --seed to --seed + --count - 1 the generator's case (one
to three logs and a folder-name length) is written into two temporary
folders; tavconv converts the one copy, the reference converter the other.
The two folders must then hold the same files and folders with the same
bytes, and both converters must end with the same exit status.

The minimal logs of --cases (*.log, kept from earlier differences and for
the corners of the format) are compared first, each converted under its own
name with the default folder-name length.

On a difference the seed, the file and the first differing bytes are printed
and the case's logs are kept in --keep for inspection. The last line reads
"N passed, M failed".

    compare.py --tavconv build/default/bin/tavconv --seed 1 --count 5000
"""

import argparse
import io
import os
import shutil
import subprocess
import sys
import tempfile
from concurrent.futures import ProcessPoolExecutor
from pathlib import Path

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import generate  # noqa: E402
import reference  # noqa: E402

DIRECTORY = object()  # marks a folder in a tree snapshot


def snapshot(root):
    """Every file and folder under root, by relative path (bytes): contents or DIRECTORY."""
    tree = {}
    root = os.fsencode(root)
    for folder, dirs, files in os.walk(root):
        for name in dirs:
            tree[os.path.relpath(os.path.join(folder, name), root)] = DIRECTORY
        for name in files:
            path = os.path.join(folder, name)
            with open(path, "rb") as handle:
                tree[os.path.relpath(path, root)] = handle.read()
    return tree


def first_difference(left, right):
    for index, (a, b) in enumerate(zip(left, right)):
        if a != b:
            return index
    return min(len(left), len(right))


def describe(data, at):
    if data is DIRECTORY:
        return "a folder"
    return f"{len(data)} bytes, from {at}: {data[max(0, at - 16):at + 32]!r}"


def differences(cpp_tree, ref_tree):
    """Readable lines for every path where the two trees differ."""
    lines = []
    for path in sorted(set(cpp_tree) | set(ref_tree)):
        name = os.fsdecode(path)
        if path not in ref_tree:
            lines.append(f"  {name}: written by tavconv only")
        elif path not in cpp_tree:
            lines.append(f"  {name}: written by the reference only")
        elif cpp_tree[path] != ref_tree[path]:
            cpp, ref = cpp_tree[path], ref_tree[path]
            at = 0 if DIRECTORY in (cpp, ref) else first_difference(cpp, ref)
            lines.append(f"  {name}: differs at byte {at}")
            lines.append(f"    tavconv:   {describe(cpp, at)}")
            lines.append(f"    reference: {describe(ref, at)}")
    return lines


def write_files(folder, entries):
    """Writes (relative path, bytes) entries; None as the bytes makes a folder."""
    for name, data in entries:
        if data is None:
            Path(folder, name).mkdir(exist_ok=True)
        else:
            Path(folder, name).write_bytes(data)


def run_seed(tavconv, seed, keep):
    """Runs the generator's case for one seed; returns (label, difference lines)."""
    return run_case(tavconv, generate.generate_case(seed), f"seed-{seed}", keep)


def run_case(tavconv, case, label, keep):
    """Converts one case with both converters; returns (label, difference lines)."""
    with tempfile.TemporaryDirectory(prefix="tav-diff-") as temp:
        problems = []
        statuses = {}
        for side in ("cpp", "ref"):
            folder = Path(temp, side)
            folder.mkdir()
            write_files(folder, case.existing + case.logs)
            logs = [str(folder / name) for name, _ in case.logs]
            arguments = ["--dir-name-len", str(case.dir_name_len), "--", *logs]
            if side == "cpp":
                try:
                    result = subprocess.run([tavconv, *arguments], capture_output=True, timeout=120)
                    statuses[side] = result.returncode
                except subprocess.TimeoutExpired:
                    statuses[side] = "timeout"
            else:
                statuses[side] = reference.main(arguments[:2] + logs, io.StringIO(), io.StringIO())
        if statuses["cpp"] != statuses["ref"]:
            problems.append(f"  exit status: tavconv {statuses['cpp']}, reference {statuses['ref']}")
        problems += differences(snapshot(Path(temp, "cpp")), snapshot(Path(temp, "ref")))
        if problems and keep:
            kept = Path(keep, label)
            shutil.rmtree(kept, ignore_errors=True)
            kept.mkdir(parents=True)
            write_files(kept, case.existing + case.logs)
            (kept / "command").write_text(
                f"tavconv --dir-name-len {case.dir_name_len} -- "
                + " ".join(name for name, _ in case.logs) + "\n")
        return label, problems


def case_files(folder):
    return sorted(Path(folder).glob("*.log")) if folder else []


def case_from_file(path):
    """A kept minimal log: converted under its own name with the default folder-name length."""
    return generate.Case(3, [(path.name, path.read_bytes())])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tavconv", required=True, help="the tavconv binary to test")
    parser.add_argument("--seed", type=int, default=1, help="first seed (default 1)")
    parser.add_argument("--count", type=int, default=200, help="number of seeds (default 200)")
    parser.add_argument("--keep", default=os.path.join(tempfile.gettempdir(), "tav-differential"),
                        help="folder for the logs of differing cases (default: tav-differential "
                             "in the temporary folder)")
    parser.add_argument("--cases", help="folder of minimal logs (*.log) to compare first")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1,
                        help="worker processes (default: one per core)")
    parser.add_argument("--max-report", type=int, default=20,
                        help="print the details of at most this many failing seeds")
    args = parser.parse_args()
    tavconv = os.path.abspath(args.tavconv)
    keep = os.path.abspath(args.keep)

    cases = [(case_from_file(path), f"case-{path.stem}") for path in case_files(args.cases)]
    seeds = range(args.seed, args.seed + args.count)
    failed = []

    def report(label, problems):
        if problems:
            failed.append(label)
            if len(failed) <= args.max_report:
                print(f"{label}: differs (logs kept in {os.path.join(keep, label)})", flush=True)
                print("\n".join(problems), flush=True)

    for case, label in cases:
        report(*run_case(tavconv, case, label, keep))
    with ProcessPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for label, problems in pool.map(run_seed, [tavconv] * len(seeds), seeds,
                                        [keep] * len(seeds), chunksize=8):
            report(label, problems)
    if failed:
        print(f"differing: {' '.join(failed)}")
    print(f"{len(cases) + len(seeds) - len(failed)} passed, {len(failed)} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
