#!/usr/bin/env python3
"""Checks the code page 932 decoder against Python's own codec: the committed
table must be what tools/gen_cp932_table.py makes now, and the decoder
(through cp932_decode_probe) must give what bytes.decode("cp932", "replace")
gives, with the same count of replaced bytes (also when only counted), for
every text of one and two bytes and a few longer ones.

Usage: check_cp932_decoder.py PROBE SOURCE_DIR"""
import codecs
import pathlib
import runpy
import subprocess
import sys


def python_decoding(data: bytes):
    replaced = 0

    def count(error):
        nonlocal replaced
        replaced += error.end - error.start
        return "\ufffd", error.end

    codecs.register_error("tav-count", count)
    text = data.decode("cp932", "tav-count")
    assert text == data.decode("cp932", "replace")
    return text, replaced


def main(probe: str, source_dir: str) -> int:
    root = pathlib.Path(source_dir)
    generator = runpy.run_path(str(root / "tools" / "gen_cp932_table.py"))
    problems = []
    committed = (root / "src" / "mail" / "cp932_table.cpp").read_text(encoding="ascii")
    if generator["table_source"]() != committed:
        problems.append("src/mail/cp932_table.cpp differs from what the generator makes now")

    inputs = [bytes([a]) for a in range(256)]
    inputs += [bytes([a, b]) for a in range(256) for b in range(256)]
    inputs += [b"ab\x82", b"\x85\x82\xa0", b"\x81\x7f\x82\xa0\x82", b"\x82\xa0" * 9 + b"\x80x" * 9,
               b"0123456789abcdef\x83\x5c\xed\x40\xfa\x40\xf0\x40\xa0\xfd\xff"]
    feed = "".join(data.hex() + "\n" for data in inputs)
    result = subprocess.run([probe], input=feed, capture_output=True, text=True, check=True)
    for data, line in zip(inputs, result.stdout.splitlines()):
        text, replaced = python_decoding(data)
        if line != f"{text.encode('utf-8').hex()} {replaced}":
            problems.append(f"{data.hex()}: decoder gives {line}, Python {text!r} {replaced}")
    if len(result.stdout.splitlines()) != len(inputs):
        problems.append("the probe answered a different number of lines")
    for problem in problems[:50]:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
