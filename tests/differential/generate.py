#!/usr/bin/env python3
"""Seeded generator of awkward session logs for the differential test.

Each seed gives one case: one to three log files (name and bytes) and the
folder-name length to convert them with. The logs look like what a terminal
program captured on the online service (modem lines, menus, listings and the
messages read), bent in every way the converter has to cope with: mixed line
ends, both header widths in one log, header-shaped lines that are not
headers, invalid and lone lead bytes, NUL bytes, very long lines, duplicate
and unwritable message numbers, full-width spaces, odd names, IDs and dates.

    generate.py --seed S [--count N] --out DIR    writes the cases for a look
"""

import argparse
import random
import unicodedata
from dataclasses import dataclass, field
from pathlib import Path


def sj(text):
    return text.encode("cp932")


WIDE_SPACE = b"\x81\x40"
REPLY_MARK = sj("へ")

FAMILY_NAMES = ["山本", "中村", "佐藤", "鈴木", "高橋", "田中", "渡辺", "伊藤", "林", "ﾀﾅｶ", "Smith"]
GIVEN_NAMES_2 = ["一郎", "花子", "真一", "和也", "健二", "ﾀﾛｳ", "Jo", "みほ"]
GIVEN_NAMES_3 = ["由美子", "みどり", "健太郎", "さとみ", "ｹﾝｼﾞ", "Tom"]
GIVEN_NAMES_OTHER = ["健", "ひろゆき", "Ann", "J", "Alexander"]
HANDLES = ["ぽちろう", "NetWalker", "ｶﾞﾝﾀﾞﾑ", "ＲＰＧ太郎", "sysop", "ねこ"]
SUBJECT_WORDS = ["プリンタが認識されない", "Re:", "初めまして", "質問です！", "ＲＰＧの戦闘システム",
                 "12/24", "オフ会のお知らせ", "モデム", "28800bps", "ﾊﾟｿｺﾝ購入相談", "魔法の体系",
                 "について", "【重要】", "10:30集合", "Ｗｉｎｄｏｗｓ９５", "ＦＡＱ", "(再送)"]
BODY_TEXTS = ["こんばんは、山本です。", "先日お話しした件ですが、", "ドライバを入れ直したら直りました。",
              "ありがとうございました。", "> そちらの設定を教えてください。", ">> 了解です",
              "ｾｯﾃｲ ｦ ｶｸﾆﾝ ｼﾃｸﾀﾞｻｲ", "http://www.example.jp/~user/index.html",
              "会場：駅前の喫茶店　時間：１８時から", "--", "　全角スペースで始まる行",
              "Windows 95 で 12/24 に試しました。", "時刻は 10:30 です", "ではでは。",
              "ＲＰＧ研究会　会員募集中！", "eof", "EOF", "eof ", "へのコメント", "C:\\TOOLS\\LHA.EXE"]
NOISE_LINES = ["ATZ", "OK", "ATDT0311112222", "CONNECT 28800/ARQ/V34/LAPM/V42BIS",
               "*** HIBARI-NET パソコン通信サービス ***", "ユーザID : HBA01234", "パスワード : ********",
               "前回のアクセス  00/04/11 22:57", "よろしくお願いします。", "＜メインメニュー＞",
               " 1. メール            2. フォーラム", "番号を入力してください (0-5) : 2",
               "コマンド (R:読む L:一覧 Q:戻る) ? R", "[Enter]で次へ、Qで中断 : ",
               "NO CARRIER", "ご利用ありがとうございました。", ""]
SENDER_IDS = [b"HBA01234", b"HBB12345", b"KTX00731", b"OSK40012", b"MNG02345", b"SAB11802", b"TKY30771"]
TEXTS_WITH_HE = ["へのコメント", "へ", "への返事"]


# Bytes at the edges of the lead and trail ranges, and the bytes that the
# converter looks for: a lead byte swallows a following trail-range byte, so
# "he" (0x82 0xD6) or a full-width space (0x81 0x40) right after a lone lead
# byte is no such character.
EDGE_BYTES = bytes([0x00, 0x09, 0x1F, 0x20, 0x20, 0x2F, 0x30, 0x39, 0x3A, 0x3F, 0x40, 0x41, 0x5C,
                    0x7E, 0x7F, 0x80, 0x81, 0x82, 0x9F, 0xA0, 0xA1, 0xD6, 0xDF, 0xE0, 0xEF,
                    0xF0, 0xFC, 0xFD, 0xFE, 0xFF])


def byte_soup(rng, count):
    """Random bytes, mostly from the edge set, with "he" and full-width spaces among them."""
    parts = []
    for _ in range(count):
        roll = rng.random()
        if roll < 0.1:
            parts.append(REPLY_MARK)
        elif roll < 0.2:
            parts.append(WIDE_SPACE)
        elif roll < 0.3:
            parts.append(rng.choice([b"/", b":", b"1", b" "]))
        else:
            parts.append(bytes([rng.choice(EDGE_BYTES)]))
    return b"".join(parts)


def ascii_digits(rng, count):
    return "".join(rng.choice("0123456789") for _ in range(count)).encode()


def awkward_char(rng):
    """One awkward character or byte for a free column."""
    return rng.choice([
        b"\x80", b"\xa0", b"\xfd", b"\xfe", b"\xff",      # bytes the code page does not map
        b"\x82", b"\x9f", b"\xe0", b"\xfc",               # lone lead bytes (when no trail follows)
        b"\x00", b"\x1a", b"\x7f", b"\t", b"\x1b",        # control bytes
        b"\x85\x40", b"\xeb\x40",                         # unassigned double-byte codes
        WIDE_SPACE, sj("０"), sj("／"), b"\xb1", b"\xdf",  # full-width digit and "/", kana
        b"\x81\x5c", b"\x83\x5c", b"\x95\x5c",            # trail byte 0x5C ("\")
        b"\x83\x7c", b"@", b":", b"/", b" ",
    ])


@dataclass
class Case:
    dir_name_len: int
    logs: list  # (file name, bytes)
    existing: list = field(default_factory=list)  # (relative path, bytes, or None for a folder)


class LogBuilder:
    """Collects lines and joins them with the log's line ends."""

    def __init__(self, rng):
        self.rng = rng
        self.lines = []
        self.style = rng.choices(["crlf", "cr", "lf", "mixed"], weights=[6, 1, 1, 3])[0]

    def add(self, *lines):
        self.lines.extend(lines)

    def line_end(self):
        if self.style == "mixed":
            return self.rng.choice([b"\r\n", b"\r", b"\n", b"\r\n"])
        return {"crlf": b"\r\n", "cr": b"\r", "lf": b"\n"}[self.style]

    def data(self):
        rng = self.rng
        parts = []
        for index, line in enumerate(self.lines):
            parts.append(line)
            last = index == len(self.lines) - 1
            if not last or rng.random() < 0.6:
                parts.append(self.line_end())
        return b"".join(parts)


class LogGenerator:
    def __init__(self, rng):
        self.rng = rng
        self.width_mode = rng.choices([3, 5, "mixed"], weights=[4, 4, 2])[0]
        self.used_numbers = []
        self.wide = rng.random() < 0.3  # this log is full of full-width spaces

    # -- pieces ------------------------------------------------------------

    def width(self):
        return self.rng.choice([3, 5]) if self.width_mode == "mixed" else self.width_mode

    def gap(self, low=1, high=4):
        """A run of spaces, some of them full-width when the log likes those."""
        rng = self.rng
        return b"".join(WIDE_SPACE if self.wide and rng.random() < 0.3 else b" "
                        for _ in range(rng.randint(low, high)))

    def message_number(self, width):
        rng = self.rng
        roll = rng.random()
        if self.used_numbers and roll < 0.12:
            number = rng.choice(self.used_numbers)  # duplicate
            if len(number) == width:
                return number
        number = bytearray(ascii_digits(rng, width))
        if roll > 0.9:
            # A free column of the number (not one that screening tests) made awkward.
            free = [1] if width == 3 else [1, 2, 4]
            column = rng.choice(free)
            odd = rng.choice([b":", b"/", b".", b"\x80", b"\xa0", b"\xfd", b"\x82", b"*", b"?", b"|",
                              b"\\", b"<", b"\x00", b"\x7f", b"\x1f", sj("あ"), sj("５"), b"\xb1",
                              b"\x85\x40", b" ", WIDE_SPACE])
            return bytes(number[:column]) + odd + bytes(number[column + 1:])
        number = bytes(number)
        self.used_numbers.append(number)
        return number

    def second_number(self, width):
        rng = self.rng
        number = ascii_digits(rng, width)
        if rng.random() < 0.05:
            # Columns 5 and 6 (width 3) or 7, 8 and 10 (width 5) are not tested.
            if width == 3:
                return rng.choice([b"x", sj("あ"), WIDE_SPACE]) + number[1:]
            return number[:1] + rng.choice([b"-", sj("あ"), b"\x82"]) + number[2:]
        if width == 5 and rng.random() < 0.05:
            # Column 9 must not be an ASCII space; a full-width space or a tab passes.
            return number[:2] + rng.choice([WIDE_SPACE, b"\t", b" "]) + number[3:]
        return number

    def sender_id(self):
        rng = self.rng
        roll = rng.random()
        if roll < 0.75:
            return rng.choice(SENDER_IDS)
        if roll < 0.85:
            return rng.choice(SENDER_IDS)[:7] + b" "  # a 7-character ID
        if roll < 0.9:
            return sj("ＩＤ") + b"12345" + b"6"
        return rng.choice([b"", b"HB", awkward_char(rng) * 3, b"HBA0123456789"])

    def sender_name(self):
        rng = self.rng
        roll = rng.random()
        family = sj(rng.choice(FAMILY_NAMES))
        if roll < 0.3:
            return family + b" " + sj(rng.choice(GIVEN_NAMES_2))
        if roll < 0.55:
            return family + b" " + sj(rng.choice(GIVEN_NAMES_3))
        if roll < 0.65:
            return family + b" " + sj(rng.choice(GIVEN_NAMES_OTHER))
        if roll < 0.7:
            return family + WIDE_SPACE + sj(rng.choice(GIVEN_NAMES_2))
        if roll < 0.95:
            return sj(rng.choice(HANDLES))
        return awkward_char(rng) + family

    def subject(self):
        rng = self.rng
        words = [sj(rng.choice(SUBJECT_WORDS)) for _ in range(rng.randint(0, 4))]
        if rng.random() < 0.1:
            words.append(awkward_char(rng))
        joined = b""
        for word in words:
            joined += (self.gap(1, 2) if joined else b"") + word
        if rng.random() < 0.15:
            joined += self.gap(1, 5)  # trailing blanks
        return joined

    def header_line(self, width=None, number=None):
        """A listing line: numbers, ID, name and subject at realistic or odd spacing."""
        rng = self.rng
        width = width or self.width()
        number = number or self.message_number(width)
        line = number + b"/" + self.second_number(width)
        roll = rng.random()
        if roll < 0.8:
            line += self.gap(2, 4)
        elif roll < 0.95:
            line += b" " * rng.randint(1, 30 - len(line) + 3)  # ID at or past column 30
        else:
            line += b" " * rng.randint(0, 2)
        line += self.sender_id()
        line += self.gap(1, 3)
        if rng.random() < 0.93:
            line += self.sender_name()
        line += self.gap(1, 6) if rng.random() < 0.9 else b""
        line += self.subject()
        return line

    def date_line(self, width):
        """A date line: date, time and, for a reply, the number answered and "he"."""
        rng = self.rng
        line = b""
        if rng.random() < 0.1:
            line += rng.choice([REPLY_MARK, b"x", b"1" + REPLY_MARK, sj("日付"), b" "])
        if rng.random() < 0.1:
            line += rng.choice([b"", b"1", b"12", sj("時")])  # a date at columns 1 or 2
        line += self.date_text() + rng.choice([b" ", b" ", b"  ", WIDE_SPACE, b"\t"]) + self.time_text()
        if rng.random() < 0.35:
            line += self.gap(1, 3) + self.reply_number(width) + sj(rng.choice(TEXTS_WITH_HE))
        if rng.random() < 0.08:
            line += b" " + self.date_text() + b" " + self.time_text()  # a second date
        if rng.random() < 0.05:
            line += b" " + awkward_char(rng) + rng.choice([REPLY_MARK, b""])
        return line

    def date_text(self):
        rng = self.rng
        year = rng.randint(0, 99)
        month, day = rng.randint(1, 12), rng.randint(1, 28)
        roll = rng.random()
        if roll < 0.1:
            month = rng.choice([0, 13, 99])
        elif roll < 0.2:
            month, day = rng.choice([(2, 29), (2, 30), (4, 31), (12, 31), (1, 0), (6, 31)])
        parts = [b"%02d" % year, b"%02d" % month, b"%02d" % day]
        if rng.random() < 0.15:
            parts = [b"%2d" % year, b"%2d" % month, b"%2d" % day]  # blanks for zeros
        if rng.random() < 0.05:
            parts = [b"%-2d" % year, b"%-2d" % month, b"%-2d" % day]
        if rng.random() < 0.08:
            index = rng.randrange(3)
            parts[index] = rng.choice([b"x1", b"\t1", sj("１"), b"1" + WIDE_SPACE[:1], b"+1", b"  "])
        if rng.random() < 0.3:
            parts[0] = (b"19" if year >= 30 else b"20") + parts[0]  # four-digit year
        return b"/".join(parts)

    def time_text(self):
        rng = self.rng
        if rng.random() < 0.05:
            return rng.choice([b"1:5", b"", sj("１２：３４"), b"12:3"])
        return b"%02d:%02d" % (rng.randint(0, 23), rng.randint(0, 59))

    def reply_number(self, width):
        rng = self.rng
        if self.used_numbers and rng.random() < 0.7:
            number = rng.choice(self.used_numbers)
        else:
            number = ascii_digits(rng, rng.choice([width, width, 3, 5, 1]))
        return number

    def body_line(self):
        rng = self.rng
        roll = rng.random()
        if roll < 0.55:
            return sj(rng.choice(BODY_TEXTS))
        if roll < 0.65:
            return b""
        if roll < 0.72:
            return WIDE_SPACE * rng.randint(1, 3) + sj(rng.choice(BODY_TEXTS)) + WIDE_SPACE
        if roll < 0.8:
            return sj(rng.choice(BODY_TEXTS)) + awkward_char(rng) + rng.choice([b"", b"\x82", b"\x81"])
        if roll < 0.85:
            return b"".join(awkward_char(self.rng) for _ in range(rng.randint(1, 20)))
        if roll < 0.9:
            return self.header_line()  # a header-shaped line inside the text
        if roll < 0.95:
            return self.exact_length_line()
        return sj(rng.choice(NOISE_LINES))

    def exact_length_line(self):
        """A header-shaped line of exactly 12 or 13 characters."""
        rng = self.rng
        width = self.width()
        head = b"123/456" if width == 3 else b"12345/12345"
        filler = rng.choice([b"x", sj("あ"), WIDE_SPACE, b" "])
        return head + filler * (rng.choice([12, 13]) - len(head))

    def long_line(self):
        rng = self.rng
        unit = rng.choice([sj("長い行です。"), b"0123456789", WIDE_SPACE, b"a/b:c ", b"\x82"])
        return unit * (rng.randint(10_000, 60_000) // len(unit))

    # -- blocks ------------------------------------------------------------

    def message(self, builder, width=None, header=None):
        rng = self.rng
        width = width or self.width()
        builder.add(header or self.header_line(width))
        builder.add(self.date_line(width))
        for _ in range(rng.choice([0, 0, 1, 2, 3, 5, 8])):
            builder.add(self.body_line())

    def listing(self, builder):
        """Listing lines one after the other, as the title list of a forum shows them."""
        rng = self.rng
        builder.add(sj("コマンド (R:読む L:一覧 Q:戻る) ? L"))
        for _ in range(rng.randint(2, 6)):
            builder.add(self.header_line())
        builder.add(sj(rng.choice(NOISE_LINES)))

    def block(self, builder):
        rng = self.rng
        kind = rng.choices(
            ["message", "listing", "noise", "unconfirmed", "header_header", "exact", "long",
             "eof", "awkward", "soup"],
            weights=[50, 8, 10, 6, 5, 4, 2, 3, 6, 6])[0]
        if kind == "message":
            self.message(builder)
        elif kind == "listing":
            self.listing(builder)
        elif kind == "noise":
            builder.add(*(sj(rng.choice(NOISE_LINES)) for _ in range(rng.randint(1, 4))))
        elif kind == "unconfirmed":
            # A header-shaped line whose next line lacks ":" or "/".
            builder.add(self.header_line(), rng.choice([b"", b"00/04/11", b"22:57", sj("本文")]))
        elif kind == "header_header":
            builder.add(self.header_line())
            self.message(builder)
        elif kind == "exact":
            builder.add(self.exact_length_line(), self.date_line(self.width()))
        elif kind == "long":
            where = rng.choice(["body", "header", "date"])
            if where == "body":
                self.message(builder)
                builder.add(self.long_line())
            elif where == "header":
                builder.add(self.header_line() + self.long_line())
                builder.add(self.date_line(self.width()))
            else:
                builder.add(self.header_line(), self.long_line() + self.date_line(self.width()))
        elif kind == "eof":
            builder.add(rng.choice([b"eof", b"eof", b"EOF", b""]))
        elif kind == "soup":
            # Header and date lines whose free columns are byte soup.
            width = self.width()
            number = self.message_number(width)
            if rng.random() < 0.5:
                number = number[:1] + byte_soup(rng, 1) + number[2:]
            line = number + b"/" + self.second_number(width)
            line += byte_soup(rng, rng.randint(0, 40))
            builder.add(line, byte_soup(rng, rng.randint(0, 8)) + self.date_line(width)
                        + byte_soup(rng, rng.randint(0, 12)))
            builder.add(byte_soup(rng, rng.randint(0, 30)))
        else:
            line = bytearray(self.header_line())
            for _ in range(rng.randint(1, 4)):
                at = rng.randrange(len(line) + 1)
                line[at:at] = awkward_char(rng)
            builder.add(bytes(line), self.date_line(self.width()))
            builder.add(self.body_line())

    def log(self):
        rng = self.rng
        builder = LogBuilder(rng)
        for _ in range(rng.randint(0, 6)):
            builder.add(sj(rng.choice(NOISE_LINES)))
        for _ in range(rng.randint(1, 10)):
            self.block(builder)
        if rng.random() < 0.003:
            # A log of more than 70,000 lines, with messages after the long body.
            self.message(builder)
            builder.add(*(self.body_line() for _ in range(75_000)))
            for _ in range(rng.randint(1, 5)):
                self.block(builder)
        ending = rng.random()
        if ending < 0.3:
            builder.add(self.body_line())     # the last line is a body line
        elif ending < 0.4:
            builder.add(self.header_line())   # the log ends on a header line
        elif ending < 0.5:
            builder.add(self.header_line(), self.date_line(self.width()))
        return builder.data()


def log_name(rng, stem=None):
    # Folder names are cut by characters of the composed name: multibyte and
    # astral ones, and combining marks that compose (é, ガ as a Mac writes them)
    # or stay apart (か with a handakuten).
    stem = stem or rng.choice(["mail", "fbbs", "frpg", "ログ", "fＲＰＧ", "x", "ab",
                               "e\u0301x", "\u30ab\u3099イド", "\u304b\u309a\u304b",
                               "\U0001f600ab", "a b"])
    return stem + "%04d" % rng.randint(0, 1231) + rng.choice([".log", ".LOG", ".txt", ""])


def generate_case(seed):
    """The logs and folder-name length of one case; the same seed gives the same case."""
    rng = random.Random(seed)
    dir_name_len = rng.choices([3, rng.randint(1, 9), rng.randint(10, 16)], weights=[7, 2, 1])[0]
    roll = rng.random()
    if roll < 0.8:
        names = [log_name(rng)]
    elif roll < 0.93:
        # Two or three logs that share their output folder: later files replace earlier ones.
        stem = rng.choice(["mail", "fbbs", "ログ"])
        names = [log_name(rng, stem) for _ in range(rng.randint(2, 3))]
    else:
        # A folder name that must be refused, or that names the log itself.
        names = [rng.choice(["con.log", "Nul.txt", "..x.log", "a.b.log", "x .log", "com1.log",
                             "lpt9.x", "com10.log", "conx.log", ".hidden.log", "AUX",
                             "con .log", "lpt1..log", "prn.a.b"])]
        dir_name_len = rng.choice([1, 2, 3, 4, 5])
    names = list(dict.fromkeys(names))  # no name twice
    case = Case(dir_name_len, [])
    numbers = []
    for name in names:
        if rng.random() < 0.04:
            data = b"".join(sj(line) + b"\r\n" for line in rng.sample(NOISE_LINES, 5))  # no header
        elif rng.random() < 0.01:
            data = b""
        else:
            generator = LogGenerator(rng)
            data = generator.log()
            numbers += generator.used_numbers
        case.logs.append((name, data))
    folder = unicodedata.normalize("NFC", names[0])[:dir_name_len]
    if rng.random() < 0.05 and folder not in names and not folder.startswith("."):
        # The output folder is there already, from an earlier conversion: its
        # files of the same name are replaced, the others stay, and a folder in
        # the way of a message's file makes that write fail.
        case.existing.append((folder, None))
        case.existing.append((folder + "/notes.txt", b"kept\r\n"))
        for number in rng.sample(numbers, min(len(numbers), 3)):
            path = folder + "/" + number.decode("ascii").zfill(5) + ".eml"
            case.existing.append((path, None if rng.random() < 0.3 else b"stale\r\n"))
    return case


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seed", type=int, required=True)
    parser.add_argument("--count", type=int, default=1)
    parser.add_argument("--out", type=Path, required=True)
    args = parser.parse_args()
    for seed in range(args.seed, args.seed + args.count):
        case = generate_case(seed)
        folder = args.out / f"seed-{seed}"
        folder.mkdir(parents=True, exist_ok=True)
        (folder / "dir-name-len").write_text(f"{case.dir_name_len}\n")
        for name, data in case.existing + case.logs:
            if data is None:
                (folder / name).mkdir(exist_ok=True)
            else:
                (folder / name).write_bytes(data)
        print(f"{folder}: {len(case.logs)} log(s), --dir-name-len {case.dir_name_len}")


if __name__ == "__main__":
    main()
