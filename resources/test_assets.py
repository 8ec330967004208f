#!/usr/bin/env python3
"""Checks the committed pictures and the help page.

    python3 resources/test_assets.py
"""

import html.parser
import os
import re
import struct
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)

import make_pictures  # noqa: E402


def read(rel):
    with open(os.path.join(HERE, rel), "rb") as f:
        return f.read()


def icon_entries(data):
    """(kind, [(width, height, field1, field2, dib bytes)]) of an .ico/.cur."""
    reserved, kind, count = struct.unpack_from("<HHH", data)
    assert reserved == 0
    entries = []
    for n in range(count):
        w, h, _, _, f1, f2, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        assert offset + size <= len(data), "image runs past the end of the file"
        entries.append((w or 256, h or 256, f1, f2, data[offset:offset + size]))
    return kind, entries


def dib_header(dib):
    size, w, h, planes, bpp, compression = struct.unpack_from("<IiiHHI", dib)
    return size, w, h, planes, bpp, compression


def icon_pixels(w, h, dib):
    """Rows top-down of (b, g, r, a, and_bit) for a 32-bit icon image."""
    stride = ((w + 31) // 32) * 4
    xor_at, and_at = 40, 40 + w * h * 4
    rows = []
    for j in range(h):
        src = h - 1 - j  # stored bottom-up
        row = []
        for i in range(w):
            b, g, r, a = dib[xor_at + (src * w + i) * 4: xor_at + (src * w + i) * 4 + 4]
            bit = (dib[and_at + src * stride + i // 8] >> (7 - i % 8)) & 1
            row.append((b, g, r, a, bit))
        rows.append(row)
    return rows


class GeneratedFilesTest(unittest.TestCase):
    def test_committed_files_are_what_the_generator_draws(self):
        # A picture changed in the script but not rebuilt, or a script that
        # draws differently from run to run, shows up here.
        for rel, data in make_pictures.build_all().items():
            with self.subTest(rel):
                self.assertEqual(read(rel), data)


class IconTest(unittest.TestCase):
    ICONS = {"icons/%s.ico" % n: (16, 32) for n in make_pictures.TOOLBAR_ICONS}
    ICONS["app.ico"] = (16, 32, 48)

    def test_every_icon_holds_its_sizes_as_32_bit_images(self):
        self.assertEqual(sorted(make_pictures.TOOLBAR_ICONS),
                         ["dev", "edit", "end", "info", "opt", "start"])
        for rel, sizes in self.ICONS.items():
            kind, entries = icon_entries(read(rel))
            with self.subTest(rel):
                self.assertEqual(kind, 1)
                self.assertEqual([e[0] for e in entries], list(sizes))
                for w, h, planes, bpp, dib in entries:
                    self.assertEqual((w, h, planes, bpp), (w, w, 1, 32))
                    self.assertEqual(dib_header(dib), (40, w, 2 * h, 1, 32, 0))
                    mask_stride = ((w + 31) // 32) * 4
                    self.assertEqual(len(dib), 40 + w * h * 4 + mask_stride * h)

    def test_and_mask_marks_exactly_the_clear_pixels(self):
        for rel in self.ICONS:
            for w, h, _, _, dib in icon_entries(read(rel))[1]:
                with self.subTest(rel, size=w):
                    for row in icon_pixels(w, h, dib):
                        for b, g, r, a, bit in row:
                            self.assertEqual(bit, 1 if a == 0 else 0)
                            if a == 0:
                                self.assertEqual((b, g, r), (0, 0, 0))

    def test_every_image_has_a_solid_picture_on_a_clear_ground(self):
        for rel in self.ICONS:
            for w, h, _, _, dib in icon_entries(read(rel))[1]:
                alphas = [p[3] for row in icon_pixels(w, h, dib) for p in row]
                with self.subTest(rel, size=w):
                    solid = sum(1 for a in alphas if a == 255) / len(alphas)
                    self.assertGreater(solid, 0.3)
                    self.assertIn(0, alphas)


class CursorTest(unittest.TestCase):
    def setUp(self):
        kind, entries = icon_entries(read("hand.cur"))
        self.assertEqual(kind, 2)
        self.assertEqual(len(entries), 1)
        self.w, self.h, self.hot_x, self.hot_y, self.dib = entries[0]

    def pixel(self, x, y):
        """'#' black, 'o' white, '.' clear, '^' inverted."""
        stride = 4
        src = self.h - 1 - y
        xor_at = 40 + 8
        and_at = xor_at + stride * self.h

        def bit(base):
            return (self.dib[base + src * stride + x // 8] >> (7 - x % 8)) & 1
        return {(0, 0): "#", (0, 1): "o", (1, 0): ".", (1, 1): "^"}[(bit(and_at), bit(xor_at))]

    def test_is_a_32_by_32_one_bit_cursor_with_its_hot_spot_at_13_9(self):
        self.assertEqual((self.w, self.h, self.hot_x, self.hot_y), (32, 32, 13, 9))
        self.assertEqual(dib_header(self.dib), (40, 32, 64, 1, 1, 0))
        self.assertEqual(self.dib[40:48], bytes((0, 0, 0, 0, 255, 255, 255, 0)))
        self.assertEqual(len(self.dib), 40 + 8 + 2 * 4 * 32)

    def test_hot_spot_lies_inside_the_sheet(self):
        # White at the hot spot, and black before any clear pixel in every
        # direction: the point is enclosed by the sheet's outline.
        self.assertEqual(self.pixel(13, 9), "o")
        for dx, dy in ((1, 0), (-1, 0), (0, -1)):
            x, y = 13, 9
            while self.pixel(x, y) == "o":
                x, y = x + dx, y + dy
            self.assertEqual(self.pixel(x, y), "#", (dx, dy))

    def test_uses_only_black_white_and_clear(self):
        found = {self.pixel(x, y) for y in range(32) for x in range(32)}
        self.assertEqual(found, {"#", "o", "."})


class AboutPictureTest(unittest.TestCase):
    def setUp(self):
        data = read("about.bmp")
        magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data)
        self.assertEqual((magic, size, offset), (b"BM", len(data), 54))
        self.assertEqual(dib_header(data[14:]), (40, 339, 305, 1, 24, 0))
        self.stride = (339 * 3 + 3) & ~3
        self.assertEqual(len(data), 54 + self.stride * 305)
        self.data = data

    def luminance(self, x, y):
        at = 54 + (304 - y) * self.stride + x * 3
        b, g, r = self.data[at:at + 3]
        return 0.299 * r + 0.587 * g + 0.114 * b

    def test_label_areas_are_light_and_plain(self):
        # The about dialog's labels (left, top, width, height in twips, 15
        # twips to the pixel at 96 DPI) with a few pixels' margin: black and
        # blue text must stay readable over them.
        labels = {"title": (240, 300, 3825, 285), "version": (1980, 540, 1995, 210),
                  "credit": (720, 780, 2835, 225), "mail": (720, 1260, 2835, 225),
                  "web": (420, 1560, 3465, 255)}
        for name, (left, top, width, height) in labels.items():
            x0, y0 = left // 15 - 4, top // 15 - 4
            x1, y1 = (left + width) // 15 + 4, (top + height) // 15 + 4
            values = [self.luminance(x, y) for y in range(y0, y1) for x in range(x0, x1)]
            with self.subTest(name):
                self.assertGreater(min(values), 235)
                self.assertLess(max(values) - min(values), 10)


class HelpPageChecker(html.parser.HTMLParser):
    VOID = {"meta", "br", "hr", "img", "link", "input", "wbr"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open, self.errors, self.ids, self.links = [], [], [], []
        self.titles, self.attrs_seen, self._title_depth = [], [], None
        self._title_text = ""

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        self.attrs_seen.append((tag, a))
        if "id" in a:
            self.ids.append(a["id"])
        if tag == "a" and "href" in a:
            self.links.append(a["href"])
        if tag not in self.VOID:
            self.open.append(tag)
            if a.get("class") == "title":
                self._title_depth, self._title_text = len(self.open), ""

    def handle_endtag(self, tag):
        if not self.open or self.open[-1] != tag:
            self.errors.append("</%s> at line %d closes %s" % (tag, self.getpos()[0], self.open[-1:]))
            return
        if self._title_depth == len(self.open):
            self.titles.append(self._title_text)
            self._title_depth = None
        self.open.pop()

    def handle_data(self, data):
        if self._title_depth is not None:
            self._title_text += data


class HelpPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.text = read("tav.htm").decode("utf-8")  # strict: the page is UTF-8
        cls.page = HelpPageChecker()
        cls.page.feed(cls.text)
        cls.page.close()

    def test_is_well_formed_utf8_html_in_japanese_with_an_english_part(self):
        self.assertTrue(self.text.startswith("<!DOCTYPE html>"))
        self.assertEqual(self.page.errors, [])
        self.assertEqual(self.page.open, [])
        tags = self.page.attrs_seen
        self.assertIn(("meta", {"charset": "utf-8"}), tags)
        self.assertIn(("html", {"lang": "ja"}), tags)
        self.assertTrue(any(a.get("id") == "english" and a.get("lang") == "en" for _, a in tags))

    def test_needs_nothing_but_the_file_itself(self):
        for tag, attrs in self.page.attrs_seen:
            self.assertNotIn("src", attrs, tag)
            self.assertNotEqual(tag, "link")
        self.assertNotRegex(self.text, r"url\(")

    def test_ids_are_unique_and_every_internal_link_finds_one(self):
        self.assertEqual(len(self.page.ids), len(set(self.page.ids)))
        for href in self.page.links:
            if href.startswith("#"):
                self.assertIn(href[1:], self.page.ids)

    def test_message_box_titles_are_the_programs_own(self):
        # The page quotes the titles of the program's message boxes; each must
        # be a string literal in the sources, leading blank included.
        titles = set(self.page.titles)
        self.assertIn(" start?", titles)
        sources = []
        for top in ("src", "apps"):
            for folder, _, files in os.walk(os.path.join(ROOT, top)):
                for name in files:
                    if name.endswith((".cpp", ".h")):
                        with open(os.path.join(folder, name), encoding="utf-8") as f:
                            sources.append(f.read())
        code = "\n".join(sources)
        missing = {t for t in titles if '"%s"' % t not in code}
        if not os.path.isdir(os.path.join(ROOT, "src", "forms")):
            missing.discard(" Editor?")  # asked by the main window, once it is built
        self.assertEqual(missing, set())


if __name__ == "__main__":
    unittest.main()
