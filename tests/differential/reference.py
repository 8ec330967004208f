#!/usr/bin/env python3
"""Reference converter: session logs (code page 932 text) to .eml files.

A second implementation of the conversion, written independently of the C++
one, so that the two can be run on the same logs and their output compared
byte for byte (see compare.py). It behaves as `tavconv` does on the command
line, that is as a Full Auto run without questions:

    reference.py [--dir-name-len N] LOG...

Each log is converted into a folder beside it named by the first N characters
of the composed form (NFC) of the log's file name (default 3). Exit status 0 when every log was converted
or skipped as not a log, 1 when anything could not be read or written, 2 on a
usage error.

The log is handled as raw bytes throughout. A column is one code page 932
character: a lead byte (0x81-0x9F, 0xE0-0xFC) followed by a trail byte
(0x40-0x7E, 0x80-0xFC) is one character of two bytes; any other byte, a lone
lead byte included, is one character of one byte. Every character taken from
the log is written out as exactly the bytes it had.
"""

import argparse
import os
import re
import sys
import unicodedata
from calendar import monthrange
from dataclasses import dataclass, field
from pathlib import Path

MAIL_DOMAIN = b"tav.example.jp"
CRLF = b"\r\n"
SPACE = b" "
SLASH = b"/"
WIDE_SPACE = b"\x81\x40"
REPLY_MARK = b"\x82\xd6"  # "he", which follows the number of the message replied to
ZEROS = [b"0"] * 5
MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun",
          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]

# One code page 932 character: a lead byte with its trail byte, or any single byte.
_CHAR = re.compile(rb"[\x81-\x9f\xe0-\xfc][\x40-\x7e\x80-\xfc]|.", re.S)
# CR LF, a lone CR and a lone LF all end a line.
_LINE_END = re.compile(rb"\r\n|\r|\n")
_DATE_PART = re.compile(rb" *([0-9]{1,2}) *")
DIGITS = {bytes([d]) for d in b"0123456789"}

RESERVED_DEVICE_NAMES = {"CON", "PRN", "AUX", "NUL"} | {
    f"{kind}{digit}" for kind in ("COM", "LPT") for digit in range(1, 10)}
FORBIDDEN_IN_FILE_NAMES = set('\\/:*?"<>|')

EXIT_OK, EXIT_FAILURE, EXIT_USAGE = 0, 1, 2


def split_chars(data):
    """The characters of a byte string, each as a bytes object of one or two bytes."""
    return _CHAR.findall(data)


def split_lines(data):
    """The lines of a file; a line end at the very end adds no empty line."""
    lines = _LINE_END.split(data)
    if lines[-1] == b"":
        lines.pop()  # empty file, or a file that ends with a line end
    return lines


def char_at(chars, column):
    """The character at a 1-based column; outside the line, empty text."""
    return chars[column - 1] if 1 <= column <= len(chars) else b""


# --- Loading and screening -------------------------------------------------


def header_width_of(line):
    """3 or 5 when the line has that header shape, else 0."""
    # Only the first 13 characters matter; 32 bytes always hold them whole.
    chars = split_chars(line[:32])
    if len(chars) <= 12:
        return 0
    digit = lambda column: chars[column - 1] in DIGITS
    if chars[3] == SLASH and digit(1) and digit(3) and digit(7):
        return 3
    # Character 4 is "/" above and a digit here, so at most one shape matches.
    if chars[5] == SLASH and chars[8] != SPACE and digit(1) and digit(4) and digit(11):
        return 5
    return 0


def convert_wide_spaces(line):
    return b"".join(SPACE if ch == WIDE_SPACE else ch for ch in split_chars(line))


@dataclass
class LoadedLog:
    lines: list            # the log's lines, header lines with their wide spaces converted
    flags: list            # True for a header-shaped line
    header_width: int = 0  # width of the last header-shaped line, 0 when there is none
    shaped: list = field(default_factory=list)  # the flags as screening set them


def load_log(data):
    log = LoadedLog(lines=[], flags=[])
    for line in split_lines(data):
        width = header_width_of(line)
        if width:
            log.header_width = width
            line = convert_wide_spaces(line)
        log.lines.append(line)
        log.flags.append(bool(width))
    log.shaped = list(log.flags)  # the screening's own flags, kept through confirmation
    return log


# --- Cutting the log into messages -----------------------------------------


@dataclass
class Message:
    msg_no: list = field(default_factory=list)  # lists of characters, but for date and body
    sender_id: list = field(default_factory=list)
    sender_name: list = field(default_factory=list)
    subject: list = field(default_factory=list)
    msg_date: bytes = b""
    msg_time: list = field(default_factory=list)
    ref_no: list = field(default_factory=list)
    body: bytes = b""
    title_list_entry: bool = False


def is_number_pair(chars, width):
    """Of the first 2N + 1 characters, only column N + 1 is "/"."""
    if len(chars) < 2 * width + 1:
        return False
    return all((chars[k] == b"/") == (k == width) for k in range(2 * width + 1))


def confirm_headers(log):
    """Keeps a header flag only when the next line holds both ":" and "/"."""
    count = len(log.lines)
    for index in range(count):
        if not log.flags[index]:
            continue
        following = log.lines[index + 1] if index + 1 < count else b""
        if b":" not in following or b"/" not in following:
            log.flags[index] = False


def messages_of(log):
    """The messages of a screened log in log order, after confirmation."""
    confirm_headers(log)
    count = len(log.lines)
    index = 0
    while index < count:
        if not log.flags[index]:
            index += 1
            continue
        message = Message()
        read_header_line(split_chars(log.lines[index]), log.header_width, message)
        index += 1  # a confirmed header line always has a next line
        date_chars = split_chars(log.lines[index])
        # A title listing: the "date line" is the next title's header line.
        message.title_list_entry = log.shaped[index] and is_number_pair(date_chars, log.header_width)
        read_date_line(date_chars, log.header_width, message)
        # The body runs up to the next header line or the end of the log; the
        # line after the header is its date line even when that line is flagged.
        body = []
        while index + 1 < count and not log.flags[index + 1]:
            index += 1
            body.append(log.lines[index] + CRLF)
        message.body = b"".join(body)
        yield message
        index += 1


# --- Field readers -----------------------------------------------------------


def read_header_line(chars, width, message):
    """Message number, sender ID, sender name and subject of a header line."""
    length = len(chars)
    is_space = lambda column: char_at(chars, column) == SPACE
    message.msg_no = (ZEROS + chars[:width])[-5:]

    # Sender ID: the first non-space from column 2N+2 up to 30; a column past
    # the end of the line counts as a non-space.
    for column in range(2 * width + 2, 31):
        if not is_space(column):
            message.sender_id = chars[column - 1:column + 7]
            position = column + 8
            break
    else:
        position = 31  # nothing but spaces there: no ID, the name is looked for from 31

    # Name: from its first non-space up to and including the space that ends it.
    name_start = None
    for column in range(position, length + 1):
        if not is_space(column):
            name_start = position = column
            break
    for column in range(position, length + 1):
        if is_space(column):
            message.sender_name = chars[position - 1:column]
            position = column
            break

    # Subject, with a second word of two or three characters taken into the
    # name when a space follows it. Spaces are left out of the subject.
    appended = 0
    for column in range(position, length + 1):
        if column - position < 4 and appended > 0:
            message.subject.append(chars[column - 1])
            for extra in (2, 3):
                if is_space(column + extra - 1):
                    assert name_start is not None  # a non-space was appended
                    name_length = len(message.sender_name) + extra
                    message.sender_name = chars[name_start - 1:name_start - 1 + name_length]
                    message.subject = [ch for ch in chars[column + extra - 2:] if ch != SPACE]
                    return
        elif chars[column - 1] != SPACE:
            message.subject.append(chars[column - 1])
            appended += 1


def read_date_line(chars, width, message):
    """Date, time and replied-to number of a date line."""
    length = len(chars)
    column = 1
    while column <= length:
        ch = chars[column - 1]
        if ch == REPLY_MARK:
            # The N characters before the mark, or those that exist from column 1.
            start = max(column - width, 1)
            message.ref_no = (ZEROS + chars[start - 1:column - 1])[-5:]
            return
        if column + 3 <= length and ch == SLASH and chars[column + 2] == SLASH:
            # A later date on the line replaces an earlier one.
            message.msg_date = format_date(chars, column)
            message.msg_time = chars[column + 6:column + 11]
            column += 13
            continue
        column += 1


def format_date(chars, slash):
    """The date yy/mm/dd whose first "/" is at column `slash` as "d Mon yyyy".

    Empty when the date does not start within the line or is not a calendar
    date. A four-digit year is read by its last two digits.
    """
    if slash < 3:
        return b""
    parts = []
    for first in (slash - 2, slash + 1, slash + 4):
        text = b"".join(chars[first - 1:first + 1])
        match = _DATE_PART.fullmatch(text)
        if not match:
            return b""
        parts.append(int(match.group(1)))
    yy, month, day = parts
    year = 1900 + yy if yy >= 30 else 2000 + yy
    if not 1 <= month <= 12 or not 1 <= day <= monthrange(year, month)[1]:
        return b""
    return f"{day} {MONTHS[month - 1]} {year}".encode("ascii")


# --- The .eml file -------------------------------------------------------------


def eml_bytes(message):
    j = b"".join
    return b"".join([
        b"From: ", j(message.sender_name), b" <", j(message.sender_id), b"@", MAIL_DOMAIN, b">", CRLF,
        b"Subject: ", j(message.subject), CRLF,
        b"Date: ", message.msg_date, b" ", j(message.msg_time), b":00 +0900", CRLF,
        b"Message-Id: <", j(message.msg_no), b">", CRLF,
        b"References: <", j(message.ref_no), b">", CRLF,
        CRLF,
        message.body,
        CRLF,
    ])


def eml_file_name(msg_no):
    """The file name for a message number, or None when it cannot stand as one.

    The number is read as code page 932. It cannot stand when it holds a
    byte that the code page does not map (a lone lead byte, 0x80, 0xA0,
    0xFD-0xFF, an unassigned double-byte code), a control character or one
    of \\ / : * ? " < > |. A number whose bytes do not come back the same
    when encoded again is refused too: its name would be ambiguous.
    """
    data = b"".join(msg_no)
    if any(len(ch) == 1 and ch in (b"\x80", b"\xa0", b"\xfd", b"\xfe", b"\xff") for ch in msg_no):
        return None
    try:
        name = data.decode("cp932")
    except UnicodeDecodeError:
        return None
    if name.encode("cp932") != data:
        return None
    if any(ch in FORBIDDEN_IN_FILE_NAMES or ord(ch) < 0x20 or ord(ch) == 0x7F for ch in name):
        return None
    return name + ".eml"


# --- The run over the logs -----------------------------------------------------


def unsafe_folder_name(name):
    """True for a folder name that would write into another folder or a device."""
    if name in (".", "..") or name.endswith((".", " ")):
        return True
    # Windows ignores blanks after a device name: "con .t" is the device too.
    return name.split(".", 1)[0].rstrip(" ").upper() in RESERVED_DEVICE_NAMES


def composed_name(name):
    """The name in normalization form C; a name that is not UTF-8 (its bytes
    held as lone surrogates) stays as it is."""
    try:
        name.encode("utf-8")
    except UnicodeEncodeError:
        return name
    return unicodedata.normalize("NFC", name)


def convert_log(path, dir_name_len, out, err):
    """Converts one log; returns True when everything could be read and written."""
    try:
        data = Path(path).read_bytes()
    except OSError as error:
        print(f"{path}: cannot read the log: {error.strerror}", file=err)
        return False
    log = load_log(data)
    if log.header_width == 0:
        print(f"{path}: no header lines, not a log: skipped", file=err)
        return True

    path = Path(path)
    folder_name = composed_name(path.name)[:dir_name_len]
    out_dir = path.parent / folder_name
    if unsafe_folder_name(folder_name):
        print(f"{out_dir}: not a usable folder name: log skipped", file=err)
        return False
    if out_dir.is_dir():
        print(f"{out_dir}: folder exists, reused", file=err)
    else:
        try:
            out_dir.mkdir()
        except OSError as error:
            print(f"{out_dir}: cannot make the folder: {error.strerror}: log skipped", file=err)
            return False

    written, ok = 0, True
    for message in messages_of(log):
        name = eml_file_name(message.msg_no)
        if name is None:
            number = b"".join(message.msg_no)
            print(f"{path}: message number {number!r} cannot name a file: not written", file=err)
            ok = False
            continue
        if message.title_list_entry and (out_dir / name).exists():
            continue  # a title list never stands in for a message read
        try:
            (out_dir / name).write_bytes(eml_bytes(message))
        except OSError as error:
            print(f"{out_dir / name}: cannot write: {error.strerror}: rest of the log skipped",
                  file=err)
            return False
        written += 1
    print(f"{path}: {written} messages written to {out_dir}", file=out)
    return ok


def main(argv=None, out=sys.stdout, err=sys.stderr):
    parser = argparse.ArgumentParser(description="Convert session logs into .eml files.")
    parser.add_argument("--dir-name-len", type=int, default=3, metavar="N",
                        help="characters of the log's name that name its folder (1 to 32767)")
    parser.add_argument("logs", nargs="+", metavar="LOG")
    try:
        args = parser.parse_args(argv)
    except SystemExit:
        return EXIT_USAGE
    if not 1 <= args.dir_name_len <= 32767:
        print("--dir-name-len takes a whole number from 1 to 32767", file=err)
        return EXIT_USAGE
    ok = True
    for log in args.logs:
        ok = convert_log(os.fsdecode(log), args.dir_name_len, out, err) and ok
    return EXIT_OK if ok else EXIT_FAILURE


if __name__ == "__main__":
    sys.exit(main())
