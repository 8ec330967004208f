#!/usr/bin/env python3
"""Checks the standard-form (.eml, MIME) output of some logs against their
default output: every message file of the MIME side is read with Python's
email package (policy.default) and must carry, decoded, the name, subject and
body that the code page 932 decoding of the default file gives, under the
header rules of docs/mail-forms.md.

Usage: check_mime.py DEFAULT_ROOT MIME_ROOT
The two roots hold the same relative paths; a file's folder name is the tag
of its identifiers. Prints one line per problem; exit status 1 if any."""
import email
import email.header
import email.policy
import pathlib
import re
import string
import sys

DOMAIN = "@tav.example.jp"
ATEXT = set(string.ascii_letters + string.digits + "!#$%&'*+-/=?^_`{|}~")
ENCODED_WORD = re.compile(rb"=\?[^?\s]*\?[bBqQ]\?[^?\s]*\?=")
CONTROL = re.compile(r"[\x00-\x08\x0a-\x1f\x7f]")
DEFAULT_DATE = re.compile(rb"(\d{1,2} [A-Z][a-z]{2} \d{4})? (.*):00 \+0900")
VALID_TIME = re.compile(r"([01]\d|2[0-3]):[0-5]\d")
LONE_LINE_END = re.compile(rb"\r(?!\n)|(?<!\r)\n")
DIGEST_PART = re.compile(r"\.[0-9a-f]{16}\.")


def cp932(data: bytes) -> str:
    return data.decode("cp932", "replace")


def hex_form(text: str) -> str:
    return "_" + text.encode("utf-8", "surrogateescape").hex()


def local_part(sender_id: bytes) -> str:
    text = cp932(sender_id.rstrip(b" "))
    dot_atom = all(atom and set(atom) <= ATEXT for atom in text.split("."))
    return text if dot_atom and not text.startswith("_") else hex_form(text)


def identifier(number: bytes, folder: str) -> str:
    text = cp932(number)
    plain_number = text.isascii() and text.isalnum()
    plain_tag = folder != "" and set(folder) <= set(string.ascii_letters + string.digits + "-")
    return (f"<{text if plain_number else hex_form(text)}."
            f"{folder if plain_tag else hex_form(folder)}{DOMAIN}>")


def key_of(ident: str) -> str:
    """The plain identifier that an identifier with a digest belongs to."""
    return DIGEST_PART.sub(".", ident, count=1)


def read_default(raw: bytes) -> dict:
    """The fields of a default .eml file (five header lines in a fixed form)."""
    head, _, body = raw.partition(b"\r\n\r\n")
    lines = head.split(b"\r\n")
    sender = lines[0][len(b"From: "):-len(DOMAIN) - 1]
    cut = sender.rfind(b" <")
    date = DEFAULT_DATE.fullmatch(lines[2][len(b"Date: "):])
    return {"name": sender[:cut].strip(b" "), "id": sender[cut + 2:],
            "subject": lines[1][len(b"Subject: "):],
            "date": date.group(1) if date else None, "time": date.group(2) if date else b"",
            "number": lines[3][len(b"Message-Id: <"):-1],
            "ref": lines[4][len(b"References: <"):-1], "body": body}


def raw_headers(raw: bytes) -> tuple:
    """The physical header lines and the unfolded value of each field."""
    lines = raw.partition(b"\r\n\r\n")[0].split(b"\r\n")
    values = {}
    for line in lines:
        if line[:1] in (b" ", b"\t"):
            values[name] += line.decode("ascii", "replace")
        else:
            name, _, value = line.decode("ascii", "replace").partition(":")
            values[name] = value
    return lines, {name: value.strip() for name, value in values.items()}


def long_line_problems(lines: list) -> list:
    """Lines over 78 characters that folding could have avoided."""
    problems = []
    for index, line in enumerate(lines):
        if len(line) <= 78:
            continue
        content = (line if index and line[:1] == b" " else line.partition(b":")[2]).strip()
        if re.search(rb"\s", content) or ENCODED_WORD.fullmatch(content):
            problems.append(f"header line of {len(line)} characters could fold: {line[:40]!r}")
        elif index == 0 or line[:1] != b" ":
            if len(content) + 1 <= 78:
                problems.append(f"header line of {len(line)} characters: {line[:40]!r}")
    problems += [f"encoded word of {len(word)} characters" for line in lines
                 for word in ENCODED_WORD.findall(line) if len(word) > 75]
    return problems


def display_name(from_value: str) -> str:
    phrase = from_value[:from_value.rfind("<")].strip()
    return "".join(text.decode(charset) if charset else text
                   for text, charset in email.header.decode_header(phrase))


def check(default_raw: bytes, mime_raw: bytes, folder: str, numbers: set) -> list:
    want = read_default(default_raw)
    name, subject, body = cp932(want["name"]), cp932(want["subject"]), cp932(want["body"])
    message = email.message_from_bytes(mime_raw, policy=email.policy.default)
    problems = [f"message defect {type(d).__name__}" for d in message.defects]
    for field, value in message.items():
        for defect in value.defects:
            # A control character of a name or subject is kept, and Python flags it.
            kept = CONTROL.search({"From": name, "Subject": subject}.get(field, ""))
            if not (type(defect).__name__ == "NonPrintableDefect" and kept):
                problems.append(f"{field}: defect {type(defect).__name__}")
    lines, values = raw_headers(mime_raw)
    problems += long_line_problems(lines)
    if mime_raw.replace(b"\r\n", b"").translate(None, b"\r\n") != mime_raw.replace(b"\r\n", b""):
        problems.append("a line ends in a lone CR or LF")

    time = want["time"].decode("ascii", "replace")
    dated = want["date"] is not None and VALID_TIME.fullmatch(time)
    # A reply names its parent where the folder holds a message of that number.
    reply = want["ref"] != b"" and cp932(want["ref"]) in numbers
    utf8 = body.encode()
    quoted = (b"\0" in utf8 or LONE_LINE_END.search(utf8) is not None
              or any(len(line) > 998 for line in utf8.split(b"\r\n")))
    order = ["From", "Subject", *(["Date"] if dated else []), "Message-Id",
             *(["In-Reply-To", "References"] if reply else []),
             "X-TAV-Digest", "MIME-Version", "Content-Type", "Content-Transfer-Encoding"]
    expected = {
        "Date": f"{want['date'].decode()} {time}:00 +0900" if dated else None,
        "Message-Id": identifier(want["number"], folder),
        "In-Reply-To": identifier(want["ref"], folder) if reply else None,
        "References": identifier(want["ref"], folder) if reply else None,
        "MIME-Version": "1.0", "Content-Type": "text/plain; charset=UTF-8",
        "Content-Transfer-Encoding": "quoted-printable" if quoted else "8bit",
    }
    if list(message.keys()) != order:
        problems.append(f"header fields {list(message.keys())}, expected {order}")
    for field, value in expected.items():
        # An identifier may carry the message's digest: another message of
        # the number came first.
        got = values.get(field)
        if field in ("Message-Id", "In-Reply-To", "References") and got:
            got = key_of(got)
        if value is not None and got != value:
            problems.append(f"{field}: {values.get(field)!r}, expected {value!r}")
    digest = values.get("X-TAV-Digest", "")
    if values.get("Message-Id", "") not in (expected["Message-Id"],
                                            expected["Message-Id"].replace(".", f".{digest}.", 1)):
        problems.append(f"Message-Id {values.get('Message-Id')!r} holds no digest {digest!r}")
    if "From" in values:
        if display_name(values["From"]) != name:
            problems.append(f"name {display_name(values['From'])!r}, expected {name!r}")
        sender = message["From"].addresses
        address = f"{sender[0].username}@{sender[0].domain}" if sender else ""
        if address != local_part(want["id"]) + DOMAIN:
            problems.append(f"address {address!r}, expected {local_part(want['id']) + DOMAIN!r}")
    if str(message.get("Subject")) != subject:
        problems.append(f"subject {str(message.get('Subject'))!r}, expected {subject!r}")
    if message.get_content() != body:
        problems.append("the body differs from the decoding of the default file's body")
    encoded_body = mime_raw.partition(b"\r\n\r\n")[2].split(b"\r\n")
    limit = 76 if quoted else 998
    if any(len(line) > limit for line in encoded_body):
        problems.append(f"a body line is longer than {limit} characters")
    return problems


def main(default_root: str, mime_root: str) -> int:
    default_dir, mime_dir = pathlib.Path(default_root), pathlib.Path(mime_root)
    mime_files = {p.relative_to(mime_dir) for p in mime_dir.rglob("*.eml")}
    default_files = {p.relative_to(default_dir) for p in default_dir.rglob("*.eml")}
    # A title-list entry is written in the default form only where its number
    # has no file: without a date, time or reply number, and no message.
    problems = [f"{rel}: no MIME form" for rel in sorted(default_files - mime_files)
                if not re.search(rb"\r\nDate:  :00 \+0900\r\n(.*\r\n)?References: <>\r\n",
                                 (default_dir / rel).read_bytes())]
    problems += [f"{rel}: no default form" for rel in sorted(mime_files - default_files)]
    if not mime_files:
        problems.append(f"{mime_root}: no .eml files")
    numbers = {}  # the numbers each folder holds a message of
    for rel in mime_files:
        numbers.setdefault(rel.parent, set()).add(rel.stem)
    for rel in sorted(mime_files & default_files):
        try:
            found = check((default_dir / rel).read_bytes(), (mime_dir / rel).read_bytes(),
                          (mime_dir / rel).parent.name, numbers[rel.parent])
        except Exception as error:  # a file too broken to read at all
            found = [f"unreadable: {type(error).__name__}: {error}"]
        problems += [f"{rel}: {problem}" for problem in found]
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
