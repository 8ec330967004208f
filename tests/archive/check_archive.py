#!/usr/bin/env python3
"""Checks what `tavconv --html` writes, against the reference converter's
reading of the same logs (tests/differential/reference.py):

- every message is in the archive once, on a page of its own whose subject,
  sender and body are the code page 932 decoding of the log's bytes (control
  characters as the symbols the archive shows for them), and on its thread's
  page, below its parent;
- text with <script>, &, quotes and control characters in every field shows
  as text: the only scripts are the archive's own, no event attribute;
- every link and anchor resolves inside the archive;
- a second log added keeps every file of the first run; a late parent moves
  a thread, and its old page leads to the new one; a rerun changes no file;
- a folder holding a file that is not the archive's is refused and left as
  it was; the files a file manager leaves are kept;
- with --browser, the archive in headless Chromium (browser_checks.mjs).

Usage: check_archive.py TAVCONV WORK [--browser]
Prints one line per problem and "N passed, N failed"."""
import hashlib
import html
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
from html.parser import HTMLParser

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "differential"))
import reference  # noqa: E402

PRE = re.compile(r'<pre class="body">(.*?)</pre>', re.S)
H1 = re.compile(r"<h1>(.*?)</h1>", re.S)
TAG = re.compile(r"<[^>]*>")


def shown(raw: bytes) -> str:
    """The text the archive shows for code page 932 bytes."""
    text = raw.decode("cp932", "replace").replace("\r\n", "\n")
    out = []
    for c in text:
        code = ord(c)
        if c in "\t\n":
            out.append(c)
        elif code < 0x20:
            out.append(chr(0x2400 + code))
        elif code == 0x7F:
            out.append("\u2421")
        elif code == 0x80:
            out.append("\u2426")
        else:
            out.append(c)
    return "".join(out)


def safe_name(name: str) -> str:
    """A section's folder: the name when it is lowercase ASCII letters, digits
    and hyphens (and no device name), else "_" and its UTF-8 in hexadecimal."""
    if re.fullmatch(r"[a-z0-9][a-z0-9-]*", name) and not re.fullmatch(r"con|prn|aux|nul|(com|lpt)[1-9]", name):
        return name
    return "_" + name.encode().hex()


def sjis_line(*parts: str) -> bytes:
    return "".join(parts).encode("cp932")


def header(number: int, sender: bytes, name: bytes, subject: bytes, total: int = 99) -> bytes:
    return b"%05d/%05d  " % (number, total) + sender.ljust(8) + b"  " + name + b"  " + subject


def hostile_log() -> bytes:
    """<script>, &, quotes and control characters in every field a header
    line and a body can hold."""
    lines = [
        b"ATZ",
        header(1, b'<i>&"\'', "<b>名前&amp;\x1b".encode("cp932"),
               sjis_line("<script>alert('件名')</script>&\"\x01\x7f")),
        b"00/04/10 21:47",
        sjis_line("本文 <script>alert(1)</script> & &amp; \"'"),
        b"\x01\x02\x1b[31m\x7f\x80 tab\there",
        sjis_line("リンク https://example.com/a?b=1&c=\"x\" の後"),
        b"",
        header(2, b"ID000002", sjis_line("たけし"), sjis_line("Re:<img src=x onerror=alert(1)>")),
        b"00/04/11 09:05   00001" + sjis_line("へのコメント"),
        sjis_line("返信です。ケーブルは新品です。"),
        b"",
        # A reply whose parent is only in the second log.
        header(4, b"ID000003", sjis_line("みけ"), sjis_line("Re:ずっと前の話")),
        b"00/04/12 10:00   00003" + sjis_line("へのコメント"),
        sjis_line("後から来る元の記事への返信"),
    ]
    return b"\r\n".join(lines) + b"\r\n"


def second_log() -> bytes:
    lines = [
        header(3, b"ID000004", sjis_line("ぽんた"), sjis_line("ずっと前の話")),
        b"00/04/09 08:00",
        sjis_line("元の記事です。"),
        header(5, b"ID000002", sjis_line("たけし"), sjis_line("新しい話")),
        b"00/04/13 08:00",
        sjis_line("二つ目のログだけの記事"),
    ]
    return b"\r\n".join(lines) + b"\r\n"


class Links(HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.ids, self.scripts, self.events = [], set(), [], []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        for name in ("href", "src"):
            if name in attrs:
                self.links.append(attrs[name])
        if tag == "script":
            self.scripts.append(attrs.get("src"))
        self.events += [name for name in attrs if name.startswith("on")]
        if tag == "meta" and attrs.get("http-equiv") == "refresh":
            self.links.append(attrs["content"].split("url=", 1)[1])


class Checker:
    def __init__(self, tavconv: str, work: pathlib.Path):
        self.tavconv, self.work = tavconv, work
        self.passed, self.failed = 0, 0

    def check(self, ok: bool, what: str) -> bool:
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAIL {what}")
        return ok

    def run(self, *args) -> subprocess.CompletedProcess:
        return subprocess.run([self.tavconv, *map(str, args)], capture_output=True)

    # --- What the archive must hold ---

    def expected(self, logs: list) -> dict:
        """identity -> (folder name, fields, body of the last reading), as the
        reference converter reads the logs, in order."""
        found = {}
        for log in logs:
            folder = log.name[:3]
            for m in reference.messages_of(reference.load_log(log.read_bytes())):
                if m.title_list_entry:
                    continue  # no message read
                fields = tuple(b"".join(f) if isinstance(f, list) else f for f in
                               (m.msg_no, m.sender_id, m.sender_name, m.subject, m.msg_date, m.msg_time, m.ref_no))
                found[(folder,) + fields] = m.body
        return found

    def manifest(self, archive: pathlib.Path) -> list:
        data = json.loads((archive / ".tav-archive" / "manifest.json").read_text())
        sections = [s["name"] for s in data["sections"]]
        from_name = {name: name for name in sections}
        entries = []
        for section, stored, ends, parent in data["messages"]:
            raw = bytes.fromhex(stored)
            parts = [raw[b:e] for b, e in zip([0] + ends[:-1], ends)]
            # Number, ID, name, subject, date, time, reply number, the date
            # as written, then the stem.
            entries.append({"folder": from_name[sections[section]], "fields": tuple(parts[:7]),
                            "stem": parts[8].decode(), "parent": parent})
        return entries

    def contents(self, archive: pathlib.Path, logs: list) -> None:
        expected = self.expected(logs)
        entries = self.manifest(archive)
        identities = {(e["folder"],) + e["fields"]: e for e in entries}
        self.check(len(entries) == len(identities) == len(expected) and set(identities) == set(expected),
                   f"{archive.name}: {len(expected)} messages read, {len(entries)} in the archive")
        for identity, body in expected.items():
            entry = identities.get(identity)
            if entry is None:
                continue
            folder = archive / "f" / safe_name(entry["folder"])
            page = (folder / "m" / (entry["stem"] + ".html")).read_text()
            pre = PRE.search(page)
            self.check(pre is not None and html.unescape(TAG.sub("", pre.group(1))) == shown(body),
                       f"{entry['stem']}: body on its page")
            subject = shown(identity[4]) or "（件名なし）"
            self.check(html.unescape(H1.search(page).group(1)) == subject, f"{entry['stem']}: subject")
            name = shown(identity[3].strip(b" "))
            self.check(not name or html.escape(name, quote=True).replace("&#x27;", "&#39;") in page,
                       f"{entry['stem']}: sender name")
            self.check((folder / "m" / (entry["stem"] + ".eml")).exists(), f"{entry['stem']}: .eml")
            # On its thread's page, below its parent.
            root, chain = entry, [entry]
            while root["parent"] >= 0:
                root = entries[root["parent"]]
                chain.append(root)
            thread = (folder / "t" / (root["stem"] + ".html")).read_text()
            places = [thread.find(f'id="m-{e["stem"]}"') for e in chain]
            self.check(all(p >= 0 for p in places) and places == sorted(places, reverse=True),
                       f"{entry['stem']}: on thread {root['stem']} below its parents")

    def pages(self, archive: pathlib.Path) -> None:
        files = {p.relative_to(archive).as_posix() for p in archive.rglob("*") if p.is_file()}
        parsed = {}
        for name in sorted(f for f in files if f.endswith(".html")):
            parser = Links()
            parser.feed((archive / name).read_text())
            parsed[name] = parser
        broken, scripts = [], []
        for name, parser in parsed.items():
            base = pathlib.PurePosixPath(name).parent
            for link in parser.links:
                if re.match(r"(https?|ftp)://", link):
                    continue
                path, _, fragment = link.partition("#")
                target = os.path.normpath((base / path).as_posix()) if path else name
                if target not in files or (fragment and fragment not in parsed[target].ids):
                    broken.append(f"{name}: {link}")
            scripts += [f"{name}: {s}" for s in parser.scripts if not (s or "").endswith("search.js")]
            scripts += [f"{name}: {e}" for e in parser.events]
        self.check(not broken, f"{archive.name}: links resolve" + "".join(f"\n  {b}" for b in broken[:10]))
        self.check(not scripts, f"{archive.name}: only the archive's own scripts" +
                   "".join(f"\n  {s}" for s in scripts[:10]))

    @staticmethod
    def snapshot(archive: pathlib.Path) -> dict:
        return {p.relative_to(archive).as_posix(): (hashlib.sha256(p.read_bytes()).hexdigest(), p.stat().st_mtime_ns)
                for p in archive.rglob("*") if p.is_file()}

    def main(self, browser: bool) -> int:
        shutil.rmtree(self.work, ignore_errors=True)
        logs = self.work / "logs"
        logs.mkdir(parents=True)
        for sample in (HERE.parent.parent / "samples").glob("*.log"):
            shutil.copy(sample, logs)
        (logs / "odd0410.log").write_bytes(hostile_log())
        (logs / "odd0413.log").write_bytes(second_log())
        first = sorted(p for p in logs.glob("*.log") if p.name != "odd0413.log")
        archive = self.work / "web"

        result = self.run("--html", archive, *first)
        self.check(result.returncode == 0, f"first run: exit {result.returncode} {result.stderr.decode()}")
        self.contents(archive, first)
        self.pages(archive)
        before = self.snapshot(archive)
        orphan_page = (archive / "f" / "odd" / "t" / "00004.html").read_text()
        self.check("00003 への返信です" in orphan_page, "an orphan says which number it answered")

        result = self.run("--html", archive, logs / "odd0413.log")
        self.check(result.returncode == 0, f"second log: exit {result.returncode} {result.stderr.decode()}")
        after = self.snapshot(archive)
        self.check(set(before) <= set(after), "a second log keeps every file of the first run: " +
                   " ".join(sorted(set(before) - set(after))[:10]))
        self.contents(archive, first + [logs / "odd0413.log"])
        self.pages(archive)
        moved = (archive / "f" / "odd" / "t" / "00004.html").read_text()
        self.check('url=00003.html#m-00004' in moved, "a thread joined by a late parent leads to its new thread")

        result = self.run("--html", archive, logs / "odd0413.log")
        self.check(result.returncode == 0 and self.snapshot(archive) == after,
                   "a rerun changes no file (content and modification time)")

        # Foreign files.
        foreign = self.work / "foreign"
        foreign.mkdir()
        (foreign / "notes.txt").write_text("mine")
        result = self.run("--html", foreign, logs / "odd0410.log")
        self.check(result.returncode == 1 and sorted(p.name for p in foreign.iterdir()) == ["notes.txt"],
                   "a folder with a file of its own is refused and left alone")
        in_the_way = self.work / "other.tav-new"
        in_the_way.mkdir()
        (in_the_way / "mine.txt").write_text("mine")
        result = self.run("--html", self.work / "other", logs / "odd0410.log")
        self.check(result.returncode == 1 and (in_the_way / "mine.txt").exists(),
                   "a folder of the staging folder's name that is not the archive's is left alone")
        managed = self.work / "managed"
        managed.mkdir()
        (managed / "Thumbs.db").write_bytes(b"x")
        result = self.run("--html", managed, logs / "odd0410.log")
        self.check(result.returncode == 0 and (managed / "Thumbs.db").exists() and (managed / "index.html").exists(),
                   "a file manager's file does not stop the archive and is kept")

        if browser:
            entries = {e["stem"]: e for e in self.manifest(archive)}
            self.check("00001" in entries, "the hostile message is in the archive")
            status = subprocess.run(["node", str(HERE / "browser_checks.mjs"), str(archive),
                                     "--search", "<script>alert(1)=00001",
                                     "--search", "ケーブルは新品=00002",
                                     "--search", "二つ目のログ=00005"]).returncode
            self.check(status == 0, "the archive in a browser (see above)")
        print(f"{self.passed} passed, {self.failed} failed")
        return 0 if self.failed == 0 else 1


if __name__ == "__main__":
    arguments = sys.argv[1:]
    sys.exit(Checker(arguments[0], pathlib.Path(arguments[1])).main("--browser" in arguments))
