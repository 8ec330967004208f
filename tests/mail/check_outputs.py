#!/usr/bin/env python3
"""Converts logs with tavconv in all four outputs and reads them the way mail
programs do: the standard-form files against the default ones (check_mime),
the mbox with Python's mailbox module and as mboxrd, the Maildir file by
file, and, where notmuch is installed, the Maildir's threads as notmuch
builds them. Every message of the mbox and the Maildir must be byte for byte
the standard-form file of the same identifier.

Usage: check_outputs.py TAVCONV LOG_FOLDER [TAVGEN]
With TAVGEN, two generated logs full of awkward shapes are converted too.
Prints one line per problem; exit status 1 if any."""
import email
import email.policy
import json
import mailbox
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import check_mime  # noqa: E402

FROM_QUOTED = re.compile(rb">+From ")
MESSAGE_ID = re.compile(rb"^Message-Id:\s*(<[^>]*>)", re.M)


def run(command: list, problems: list) -> subprocess.CompletedProcess:
    result = subprocess.run(command, capture_output=True)
    # 1 is a log's own trouble (a number that cannot be a file name): reported, not a failure here.
    if result.returncode not in (0, 1):
        problems.append(f"{' '.join(map(str, command[:2]))}: exit status {result.returncode}: "
                        f"{result.stderr.decode(errors='replace')}")
    return result


def identifier_of(message: bytes) -> bytes:
    found = MESSAGE_ID.search(message.partition(b"\r\n\r\n")[0].replace(b"\r\n ", b" "))
    return found.group(1) if found else b""


def mboxrd_messages(data: bytes) -> list:
    """The messages of an mboxrd file, unquoted, with CR LF line ends again.
    Every line that begins with "From " starts a message; the empty line
    before it ends the one before."""
    messages = []
    for line in data.split(b"\n")[:-1]:
        if line.startswith(b"From "):
            messages.append([])
        else:
            messages[-1].append(line[1:] if FROM_QUOTED.match(line) else line)
    return [b"".join(line + b"\r\n" for line in lines[:-1]) for lines in messages]


def check_mbox(path: pathlib.Path, forms: dict, problems: list) -> dict:
    """Every message once (no identifier twice); the messages of the
    standard-form files among them, byte for byte. Returns them by identifier."""
    data = path.read_bytes()
    if b"\r" in data:
        problems.append("mbox: a CR in a file of LF line ends")
    messages = mboxrd_messages(data)
    if len(mailbox.mbox(path)) != len(messages):
        problems.append(f"mbox: {len(messages)} messages by mboxrd, {len(mailbox.mbox(path))} by "
                        "Python")
    held = {identifier_of(message): message for message in messages}
    if len(held) != len(messages):
        problems.append(f"mbox: {len(messages) - len(held)} identifiers repeat")
    for message in messages:
        parsed = email.message_from_bytes(message, policy=email.policy.default)
        if parsed.defects:
            problems.append(f"mbox: {identifier_of(message)}: defects {parsed.defects}")
    compare_with_forms("mbox", held, forms, problems)
    return held


def compare_with_forms(store: str, held: dict, forms: dict, problems: list) -> None:
    # The folders keep the last message of each number; a store keeps them all.
    for ident in forms.keys() - held.keys():
        problems.append(f"{store}: {ident} missing")
    for ident in forms.keys() & held.keys():
        if forms[ident] != held[ident]:
            problems.append(f"{store}: {ident}: not the standard-form file of that identifier")


def check_maildir(root: pathlib.Path, forms: dict, problems: list) -> dict:
    cur = sorted((root / "cur").iterdir())
    if list((root / "tmp").iterdir()) or list((root / "new").iterdir()):
        problems.append("maildir: files left in tmp or new")
    if len(mailbox.Maildir(root, factory=None)) != len(cur):
        problems.append(f"maildir: Python reads {len(mailbox.Maildir(root))} of {len(cur)}")
    held = {}
    for path in cur:
        message = path.read_bytes()
        ident = identifier_of(message)
        if ident in held:
            problems.append(f"maildir: {ident} twice")
        held[ident] = message
        if path.name != ident[1:-1].decode() + ":2,S":
            problems.append(f"maildir: {path.name} holds {ident}")
        if email.message_from_bytes(message, policy=email.policy.default).defects:
            problems.append(f"maildir: {path.name}: defects")
    compare_with_forms("maildir", held, forms, problems)
    return held


def check_threads(root: pathlib.Path, forms: dict, problems: list) -> None:
    """notmuch threads every reply under the message it answers."""
    config = root.parent / "notmuch-config"
    config.write_text(f"[database]\npath={root.parent}\n[new]\ntags=new\n"
                      "[search]\nexclude_tags=\n")
    env = dict(os.environ, NOTMUCH_CONFIG=str(config))
    subprocess.run(["notmuch", "new", "--quiet"], env=env, check=True, capture_output=True)
    shown = subprocess.run(["notmuch", "show", "--format=json", "--body=false", "*"], env=env,
                           check=True, capture_output=True).stdout
    parents = {}

    def walk(pairs, parent):
        for message, replies in pairs:
            parents[message["id"]] = parent
            walk(replies, message["id"])

    for thread in json.loads(shown):
        walk(thread, None)
    for ident, message in forms.items():
        parsed = email.message_from_bytes(message, policy=email.policy.compat32)
        reference = parsed.get("In-Reply-To", "").encode()
        want = reference[1:-1].decode() if reference in forms else None
        got = parents.get(ident[1:-1].decode(), "missing")
        if got != want:
            problems.append(f"notmuch: {ident} under {got}, expected {want}")


def main(tavconv: str, log_folder: str, tavgen: str = "") -> int:
    problems = []
    with tempfile.TemporaryDirectory() as work:
        work_dir = pathlib.Path(work)
        for form in ("default", "mime"):
            (work_dir / form).mkdir()
            for log in pathlib.Path(log_folder).glob("*.log"):
                shutil.copy(log, work_dir / form)
            if tavgen:
                for name in ("oddmail", "oddforum"):
                    subprocess.run([tavgen, name, work_dir / form / f"{name}.log"], check=True,
                                   capture_output=True)
        logs = sorted(path.name for path in (work_dir / "default").glob("*.log"))
        default_logs = [work_dir / "default" / log for log in logs]
        run([tavconv, *default_logs], problems)
        run([tavconv, "--mime", *[work_dir / "mime" / log for log in logs]], problems)
        problems += [f"mime: {line}" for line in check_mime_lines(work_dir)]

        forms = {}
        for path in sorted((work_dir / "mime").rglob("*.eml")):
            forms[identifier_of(path.read_bytes())] = path.read_bytes()
        run([tavconv, "--mbox", work_dir / "all.mbox", *default_logs], problems)
        in_mbox = check_mbox(work_dir / "all.mbox", forms, problems)
        inbox = work_dir / "mail" / "inbox"
        run([tavconv, "--maildir", inbox, *default_logs], problems)
        first = {path.name: path.stat().st_mtime_ns for path in (inbox / "cur").iterdir()}
        run([tavconv, "--maildir", inbox, *default_logs], problems)  # again: nothing changes
        if {path.name: path.stat().st_mtime_ns for path in (inbox / "cur").iterdir()} != first:
            problems.append("maildir: converting the same logs again changed files")
        in_maildir = check_maildir(inbox, forms, problems)
        if in_mbox.keys() != in_maildir.keys():
            problems.append(f"the mbox and the Maildir hold other messages: "
                            f"{sorted(in_mbox.keys() ^ in_maildir.keys())[:5]}")
        if shutil.which("notmuch"):
            check_threads(inbox, in_maildir, problems)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


def check_mime_lines(work_dir: pathlib.Path) -> list:
    """What check_mime reports for the standard-form files."""
    from io import StringIO
    from contextlib import redirect_stdout
    report = StringIO()
    with redirect_stdout(report):
        check_mime.main(str(work_dir / "default"), str(work_dir / "mime"))
    return report.getvalue().splitlines()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
