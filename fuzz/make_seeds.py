#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets: the sample logs and the
awkward cases, each small. Run it again after changing a case; the files it
writes are committed.

Log seeds begin with two option bytes (see log_check.h): byte 0 holds the
folder-name length less one (bits 0-3) and the index of the log's name
(bits 4-7); byte 1 holds Full Auto (bit 0), what stands at the output
folder's path before the run (bits 1-2), a second log after a form feed
(bit 3) and the answers to the first boxes (bits 4-7)."""

import pathlib

HERE = pathlib.Path(__file__).resolve().parent
SAMPLES = HERE.parent / "samples"

# Indexes into the table of log names in log_check.cpp.
MAIL, FBBS, SHORT, BLANKS, EMOJI, JAPANESE, CON, DOTDOT, DOTX, BLANK_END = range(10)
COM1, FORBIDDEN, NOT_UTF8, NUL, DOTS, DOT_END = range(10, 16)

FULL_AUTO = 1
FOLDER_EXISTS, FILE_AT_FOLDER, EML_IS_FOLDER = 2, 4, 6
TWO_LOGS = 8


def options(name=MAIL, length=3, flags=FULL_AUTO, answers=0):
    return bytes([(name << 4) | (length - 1), flags | (answers << 4)])


def sjis(text):
    return text.encode("cp932")


def crlf(*lines):
    return b"".join(line + b"\r\n" for line in lines)


HEADER = b"001/002  ID000001  Taro     First"
DATE = b"00/04/10 21:47"
MESSAGE = crlf(HEADER, DATE, b"body")

LOGS = {
    "two_messages": crlf(HEADER, DATE, b"body one",
                         b"002/002  ID000002  Jiro     Second",
                         sjis("00/04/11 21:47  001へのコメント"), b"body two"),
    "width_five": crlf(b"00123/00125  ID000001  Taro Ken  Subject words here",
                       sjis("99/12/04 12:34  00120へ"), sjis("本文　一")),
    "mixed_widths": crlf(HEADER, DATE, b"a",
                         b"00123/00125  ID000002  Hanako    Two", DATE, b"b"),
    "japanese_fields": crlf(sjis("001/002  ID000001  佐藤 一郎     最初の　件名"),
                            sjis("00/04/10 21:47"), sjis("本文　一")),
    "nul_bytes": b"001/002\0 ID000001\0 Taro\0 \0First\r\n00/04/10\0 21:47\r\n\0\0body\0\r\n",
    "lone_lead_bytes": b"001/002  ID000001  Taro     Subj\x82\r\n00/04/10 21:47\x81\r\nbody\x9f\r\n\xe0",
    "bad_numbers": crlf(b"0:1/002  ID000001  Taro     colon", DATE, b"x",
                        b"0\x801/002  ID000001  Taro     unmapped", DATE, b"y",
                        b"\x85\x40/002  ID000001  Taro     unassigned", DATE, b"z",
                        b"0*1/002  ID000001  Taro     star", DATE, b"w",
                        b"00\\01/00125  ID000001  Taro     backslash", DATE, b"v"),
    "line_ends": b"001/002  ID000001  Taro     First\r00/04/10 21:47\nbody\r\n\r\n\n\rlast",
    "eof_lines": crlf(HEADER, DATE, b"eof", b"EOF") + b"eof",
    "header_at_end": crlf(b"junk", HEADER, DATE) + HEADER,
    "unconfirmed_header": crlf(sjis("001/002　ID000001　Taro　First"), b"no date here", b"x"),
    "reply_marker_first": crlf(HEADER, sjis("へ/04/10 21:47"), b"x"),
    "date_in_column_one": crlf(HEADER, b"/04/10 21:47", b"x", HEADER, b"0/04/10 2", b"y"),
    "spaces_only_header": crlf(b"001/002                                       ", DATE, b"x"),
    "binary": bytes(range(256)) + b"\r\n" + HEADER + b"\r\n" + bytes(range(255, -1, -1)),
    "empty": b"",
}

SETTINGS = {
    "reset": b"[DefaultDir]=z\r\n[DirName]=3\r\n[Editor]=z\r\n",
    "typical": sjis("[DefaultDir]=C:\\ログ\r\n[DirName]=5\r\n[Editor]=C:\\Program Files\\ed.exe \r\n"),
    "upper_z": b"[DefaultDir]=Z\r\n[DirName]=2.5\r\n[Editor]=Z\r\n",
    "nul_bytes": b"[DefaultDir]=a\0b\r\n[DirName]=\0\r\n[Editor]=\0\0\r\n",
    "not_cp932": b"[DefaultDir]=a\x80\xff\x82\r\n[DirName]=3\r\n[Editor]=\x81\r\n",
    "one_line": b"[DefaultDir]=D:\\only",
    "lone_line_ends": b"[DefaultDir]=a\n[DirName]=-40000\r[Editor]=b\n\n\r\n",
    "wide_keys": sjis("［ＤｅｆａｕｌｔＤｉｒ］＝X\r\n［ＤｉｒＮａｍｅ］＝1e2\r\n［Ｅｄｉｔｏｒ］＝ｚ\r\n"),
    "numbers": b"0123456789abc\r\n0123456789 \t 3.5e0 and more\r\n012345678z\r\n[More]=x\r\n",
    "lead_byte_keys": b"[DefaultDir]\x82=x\r\n[DirName]\x82=7\r\n[Editor]\x82=y\r\n",
    "empty": b"",
}


def write(folder, name, data):
    path = HERE / "corpus" / folder / name
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)


def main():
    for sample, name in (("mail0412.log", MAIL), ("fbbs0412.log", FBBS)):
        write("log", "sample_" + sample, options(name) + (SAMPLES / sample).read_bytes())
    write("log", "sample_two_logs", options(flags=FULL_AUTO | TWO_LOGS, length=4)
          + (SAMPLES / "mail0412.log").read_bytes() + b"\f"
          + (SAMPLES / "frpg0413.log").read_bytes())
    for case, log in LOGS.items():
        write("log", case, options() + log)

    # Names and what stands at the output folder.
    for case, opts in {
        "name_shorter_than_length": options(SHORT, 3),
        "name_with_blanks": options(BLANKS, 3),
        "name_emoji_one": options(EMOJI, 1),
        "name_emoji_two": options(EMOJI, 2),
        "name_japanese": options(JAPANESE, 2),
        "name_device": options(CON, 3),
        "name_device_com1": options(COM1, 4),
        "name_nul_whole": options(NUL, 15),
        "name_dot_dot": options(DOTDOT, 2),
        "name_dot": options(DOTX, 1),
        "name_blank_end": options(BLANK_END, 3),
        "name_dot_end": options(DOT_END, 3),
        "name_forbidden_chars": options(FORBIDDEN, 5),
        "name_not_utf8": options(NOT_UTF8, 2),
        "name_many_dots": options(DOTS, 6),
        "folder_exists_semi_auto_yes": options(flags=FOLDER_EXISTS),
        "folder_exists_semi_auto_no": options(flags=FOLDER_EXISTS, answers=0b10),
        "file_at_folder": options(flags=FILE_AT_FOLDER | FULL_AUTO),
        "eml_is_folder_cancel": options(flags=EML_IS_FOLDER | FULL_AUTO, answers=0b10),
        "eml_is_folder_ok": options(flags=EML_IS_FOLDER | FULL_AUTO | TWO_LOGS),
        "cancel_at_start": options(flags=0, answers=0b1),
    }.items():
        write("log", case, opts + LOGS["two_messages"] + b"\f" + MESSAGE)

    for case, text in SETTINGS.items():
        write("settings", case, text)


if __name__ == "__main__":
    main()
