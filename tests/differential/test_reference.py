#!/usr/bin/env python3
"""Checks of the reference converter against the documented examples.

The differential test only shows that two implementations agree; these
checks tie the reference itself to the rules on known inputs.
"""

import io
import os
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference as ref  # noqa: E402

HE = "へ".encode("cp932")
WIDE = b"\x81\x40"


def header(line, width=None):
    message = ref.Message()
    line = ref.convert_wide_spaces(line) if ref.header_width_of(line) else line
    ref.read_header_line(ref.split_chars(line), width or ref.header_width_of(line), message)
    return message


def date(line, width=5):
    message = ref.Message()
    ref.read_date_line(ref.split_chars(line), width, message)
    return message


def text(chars):
    return b"".join(chars)


def messages(data):
    return list(ref.messages_of(ref.load_log(data)))


class TextModel(unittest.TestCase):
    def test_characters(self):
        self.assertEqual(ref.split_chars(b"a\x82\xa0\x82 \x80\xa0\xfd\xfc"),
                         [b"a", b"\x82\xa0", b"\x82", b" ", b"\x80", b"\xa0", b"\xfd", b"\xfc"])
        self.assertEqual(ref.split_chars(b"\x82\x82\xd6"), [b"\x82\x82", b"\xd6"])  # no "he"

    def test_line_ends(self):
        self.assertEqual(ref.split_lines(b"a\r\nb\rc\nd"), [b"a", b"b", b"c", b"d"])
        self.assertEqual(ref.split_lines(b"a\r\n"), [b"a"])
        self.assertEqual(ref.split_lines(b"a\n\r"), [b"a", b""])
        self.assertEqual(ref.split_lines(b"\r\n"), [b""])
        self.assertEqual(ref.split_lines(b""), [])


class Screening(unittest.TestCase):
    def test_shapes(self):
        self.assertEqual(ref.header_width_of(b"001/003xxxxx"), 0)  # 12 characters
        self.assertEqual(ref.header_width_of(b"001/003xxxxxx"), 3)
        self.assertEqual(ref.header_width_of(b"0\x82\xa01/0a3xxxxxx"), 3)  # one column, two bytes
        self.assertEqual(ref.header_width_of("０01/003xxxxxx".encode("cp932")), 0)
        self.assertEqual(ref.header_width_of(b"00123/00125xx"), 5)
        self.assertEqual(ref.header_width_of(b"00123/00 25xx"), 0)
        self.assertEqual(ref.header_width_of(b"00123/00" + WIDE + b"25xx"), 5)
        self.assertEqual(ref.header_width_of(b"00123/00\t25xx"), 5)

    def test_last_shape_sets_the_width_and_only_header_lines_lose_wide_spaces(self):
        log = ref.load_log(b"001/003" + WIDE * 6 + b"\r\n" + WIDE + b"\r\n00123/00125" + WIDE * 2)
        self.assertEqual(log.header_width, 5)
        self.assertEqual(log.lines, [b"001/003" + b" " * 6, WIDE, b"00123/00125  "])
        self.assertEqual(log.flags, [True, False, True])


class HeaderLine(unittest.TestCase):
    def test_message_number(self):
        self.assertEqual(text(header(b"001/003  HBA01234  Name  Subj").msg_no), b"00001")
        self.assertEqual(text(header(b"00123/00125  HBA01234  Name  Subj").msg_no), b"00123")
        self.assertEqual(text(header(b"00123/00125  HBA01234  Name  Subj", 3).msg_no), b"00001")

    def test_names_and_subjects(self):
        cases = [
            (b"001/003  HBA01234  Name   Sub ject", b"Name ", b"Subject"),
            (b"001/003  HBA01234  Name On  Subject", b"Name On", b"Subject"),
            (b"001/003  HBA01234  Name Two Subject", b"Name Two", b"Subject"),
            (b"001/003  HBA01234  Name  Su bj", b"Name  S", b"bj"),
            (b"001/003  HBA01234  Name", b"", b"Name"),
            ("001/003  HBA01234  山本　一郎　　質問　です".encode("cp932"),
             "山本 一郎".encode("cp932"), "質問です".encode("cp932")),
        ]
        for line, name, subject in cases:
            with self.subTest(line=line):
                message = header(line)
                self.assertEqual(text(message.sender_id), b"HBA01234")
                self.assertEqual(text(message.sender_name), name)
                self.assertEqual(text(message.subject), subject)

    def test_sender_id(self):
        self.assertEqual(text(header(b"001/003  HBA0123 Name  Subj").sender_id), b"HBA0123 ")
        short = header(b"001/003" + b" " * 15)
        self.assertEqual((short.sender_id, short.sender_name, short.subject), ([], [], []))
        # Columns 8 to 30 all spaces: no ID, the name is looked for from column 31.
        late = header(b"001/003" + b" " * 23 + b"HBA01234  Name  Subj")
        self.assertEqual(text(late.sender_id), b"")
        self.assertEqual(text(late.sender_name), b"HBA01234 ")
        self.assertEqual(text(late.subject), b"NameSubj")


class DateLine(unittest.TestCase):
    def test_documented_examples(self):
        message = date(b"99/12/04 12:34  00120" + HE)
        self.assertEqual((message.msg_date, text(message.msg_time), text(message.ref_no)),
                         (b"4 Dec 1999", b"12:34", b"00120"))
        self.assertEqual(text(date(b"99/12/04 12:34  012" + HE, 3).ref_no), b"00012")
        self.assertEqual(date(b"2000/04/13 01:15").msg_date, b"13 Apr 2000")
        empty = date(b"12:34 a/b")
        self.assertEqual((empty.msg_date, empty.msg_time), (b"", []))

    def test_dates(self):
        cases = [(b"00/02/29 10:00", b"29 Feb 2000"), (b"99/02/29 10:00", b""),
                 (b"29/ 1/ 5 10:00", b"5 Jan 2029"), (b"30/01/05 10:00", b"5 Jan 1930"),
                 (b"99/13/01 10:00", b""), (b"99/1x/01 10:00", b""), (b"99/\t1/01 10:00", b""),
                 (b"1/12/04 10:00", b""), (b"99/12/04 10:00 98/01/02 11:00", b"2 Jan 1998"),
                 (b"99/12/04 10:00 98/02/30 11:00", b""), (b"99/12/4", b"4 Dec 1999")]
        for line, expected in cases:
            with self.subTest(line=line):
                self.assertEqual(date(line).msg_date, expected)
        self.assertEqual(text(date(b"99/13/01 10:00").msg_time), b"10:00")

    def test_reply_mark(self):
        early = date(b"1" + HE + b" 99/12/04 12:34")
        self.assertEqual((early.msg_date, text(early.ref_no)), (b"", b"00001"))
        self.assertEqual(text(date(HE).ref_no), b"00000")
        # The twelve columns after a date's first "/" are not looked at.
        self.assertEqual(date(b"99/12/04 1" + HE).ref_no, [])


class Messages(unittest.TestCase):
    def test_cutting(self):
        log = (b"intro\r\n001/003  HBA01234  Name   Subj\r\n99/12/04 12:34\r\nbody 1\r\neof\r\n"
               b"002/003  HBA01234  Name   Subj\r\nno date here\r\n"
               b"003/003  HBA01234  Name   Subj\n004/003  HBA01234  X   Y 10:00 a/b\rlast")
        first, second = messages(log)
        self.assertEqual(first.body, b"body 1\r\neof\r\n002/003  HBA01234  Name   Subj\r\nno date here\r\n")
        self.assertEqual(text(second.msg_no), b"00003")
        self.assertEqual(second.body, b"last\r\n")
        (last,) = messages(b"001/003  HBA01234  Name   Subj\r\n99/12/04 12:34")
        self.assertEqual((last.msg_date, last.body), (b"4 Dec 1999", b""))
        self.assertEqual(messages(b"x\r\n001/003  HBA01234  Name   Subj\r\n"), [])

    def test_eml_layout(self):
        (message,) = messages(b"001/003  HBA01234  Name   Subj\r\n12:34 a/b")
        self.assertEqual(ref.eml_bytes(message),
                         b"From: Name  <HBA01234@tav.example.jp>\r\nSubject: Subj\r\n"
                         b"Date:  :00 +0900\r\nMessage-Id: <00001>\r\nReferences: <>\r\n\r\n\r\n")


class Names(unittest.TestCase):
    def test_message_file_names(self):
        def name(data):
            return ref.eml_file_name(ref.split_chars(data))
        self.assertEqual(name(b"00001"), "00001.eml")
        self.assertEqual(name(b"01 23"), "01 23.eml")
        self.assertEqual(name(b"0\x83\x5c23"), "0ソ23.eml")
        for bad in (b"001/3", b"001:3", b"00\x823", b"0012\x82", b"001\x803", b"001\xa03",
                    b"001\xfd3", b"00\x85\x403", b"001\x003", b"001\x7f3", b"001*3", b"0\\123",
                    b"0\x87\x9023"):  # the last one does not come back the same when encoded
            with self.subTest(number=bad):
                self.assertIsNone(name(bad))

    def test_folder_names(self):
        for name in (".", "..", "a.", "a ", "con", "CON.x", "Nul", "com1", "LPT9.log"):
            self.assertTrue(ref.unsafe_folder_name(name), name)
        for name in ("mai", "com10", "conx", ".a", "ログ"):
            self.assertFalse(ref.unsafe_folder_name(name), name)
        # Cut from the composed name; a name that is not UTF-8 stays as it is.
        self.assertEqual(ref.composed_name("\u30ab\u3099\u30a4\u30c8\u3099.log"), "ガイド.log")
        self.assertEqual(ref.composed_name("\udcff\u30ab\u3099"), "\udcff\u30ab\u3099")

    def test_run_beside_the_log(self):
        with tempfile.TemporaryDirectory() as temp:
            log = Path(temp, "ログ0412.log")
            log.write_bytes(b"00007/00009  HBA01234  Name   Subj\r\n99/12/04 12:34\r\nhello")
            self.assertEqual(ref.main(["--dir-name-len", "2", str(log)], io.StringIO(), io.StringIO()), ref.EXIT_OK)
            self.assertTrue(Path(temp, "ログ", "00007.eml").read_bytes().endswith(b"\r\n\r\nhello\r\n\r\n"))
            # The whole name as folder name is the log itself: nothing can be written.
            self.assertEqual(ref.main(["--dir-name-len", "20", str(log)], io.StringIO(), io.StringIO()), ref.EXIT_FAILURE)


if __name__ == "__main__":
    unittest.main()
