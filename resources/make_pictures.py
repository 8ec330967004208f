#!/usr/bin/env python3
"""Draws the program's pictures and writes them as Windows resource files.

    python3 resources/make_pictures.py [--out DIR]

Writes, under DIR (default: the folder of this script):
    icons/end.ico opt.ico edit.ico start.ico info.ico dev.ico
                    toolbar buttons, 16 and 32 px, 32-bit with alpha
    app.ico         the program's own icon, 16, 32 and 48 px
    hand.cur        the links' pointer, 32 x 32 black and white, hot spot 13, 9
    about.bmp       the about dialog's background, 339 x 305, 24-bit

Every picture is drawn here from geometry (or, for the 1-bit pointer, from a
pixel map), so the files can be rebuilt at any time and give the same bytes.
Only the standard library is used.
"""

import argparse
import math
import os
import struct

# ---------------------------------------------------------------------------
# Shapes: an inside test plus a bounding box, in pixel coordinates where pixel
# (i, j) covers the square [i, i+1) x [j, j+1).


class Shape:
    def __init__(self, box, inside):
        self.box = box  # (x0, y0, x1, y1)
        self.inside = inside

    def __sub__(self, other):
        return Shape(self.box, lambda x, y: self.inside(x, y) and not other.inside(x, y))


def circle(cx, cy, r):
    r2 = r * r
    return Shape((cx - r, cy - r, cx + r, cy + r),
                 lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r2)


def rect(x0, y0, x1, y1):
    return Shape((x0, y0, x1, y1), lambda x, y: x0 <= x < x1 and y0 <= y < y1)


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return Shape((x0, y0, x1, y1), inside)


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        # Even-odd rule; every polygon here is simple, so it equals non-zero.
        hit = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return Shape((min(xs), min(ys), max(xs), max(ys)), inside)


def _segment_distance2(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
    px, py = ax + t * dx - x, ay + t * dy - y
    return px * px + py * py


def line(ax, ay, bx, by, width):
    """A stroke with round caps."""
    h = width / 2
    h2 = h * h
    return Shape((min(ax, bx) - h, min(ay, by) - h, max(ax, bx) + h, max(ay, by) + h),
                 lambda x, y: _segment_distance2(x, y, ax, ay, bx, by) <= h2)


def polyline(points, width):
    """A stroke along several segments with round joins."""
    h = width / 2
    h2 = h * h
    segments = list(zip(points, points[1:]))
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    def inside(x, y):
        return any(_segment_distance2(x, y, a[0], a[1], b[0], b[1]) <= h2 for a, b in segments)
    return Shape((min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h), inside)


def arc(cx, cy, r, width, start, end):
    """A stroke along a circle from angle start to end (degrees, clockwise on
    screen from 3 o'clock), with round caps."""
    h = width / 2
    a0, a1 = math.radians(start), math.radians(end)
    span = (a1 - a0) % (2 * math.pi)
    ends = [(cx + r * math.cos(a), cy + r * math.sin(a)) for a in (a0, a1)]

    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) <= h and (math.atan2(y - cy, x - cx) - a0) % (2 * math.pi) <= span:
            return True
        return any((x - ex) ** 2 + (y - ey) ** 2 <= h * h for ex, ey in ends)
    return Shape((cx - r - h, cy - r - h, cx + r + h, cy + r + h), inside)


def gear(cx, cy, r_body, r_tip, teeth, root_frac, tip_frac, phase=0.0):
    """A gear wheel: a disc with tapered teeth. root_frac and tip_frac are the
    share of each tooth's angular period taken by the tooth at the body and at
    the tip."""
    period = 2 * math.pi / teeth

    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if d > r_tip:
            return False
        if d <= r_body:
            return True
        t = (d - r_body) / (r_tip - r_body)
        half = (root_frac * (1 - t) + tip_frac * t) / 2
        f = ((math.atan2(y - cy, x - cx) - phase) / period) % 1.0
        return abs(f - 0.5) <= half
    return Shape((cx - r_tip, cy - r_tip, cx + r_tip, cy + r_tip), inside)


def rotate(points, angle, origin):
    """Rotates points (given relative to origin) by angle degrees and moves
    them to origin."""
    a = math.radians(angle)
    c, s = math.cos(a), math.sin(a)
    ox, oy = origin
    return [(ox + x * c - y * s, oy + x * s + y * c) for x, y in points]


# ---------------------------------------------------------------------------
# Paint and canvas.


def linear(x0, y0, c0, x1, y1, c1):
    """A colour that runs from c0 at (x0, y0) to c1 at (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def paint(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return tuple(a + (b - a) * t for a, b in zip(c0, c1))
    return paint


class Canvas:
    """RGBA pixels with premultiplied alpha, drawn by supersampling: a shape
    covers a pixel by the share of samples x samples points inside it."""

    def __init__(self, width, height, samples=8):
        self.width, self.height, self.samples = width, height, samples
        self.px = [[[0.0, 0.0, 0.0, 0.0] for _ in range(width)] for _ in range(height)]

    def coverage(self, shape):
        x0, y0, x1, y1 = shape.box
        n = self.samples
        offsets = [(k + 0.5) / n for k in range(n)]
        cover = {}
        for j in range(max(0, math.floor(y0)), min(self.height, math.ceil(y1))):
            for i in range(max(0, math.floor(x0)), min(self.width, math.ceil(x1))):
                hits = sum(1 for oy in offsets for ox in offsets if shape.inside(i + ox, j + oy))
                if hits:
                    cover[(i, j)] = hits / (n * n)
        return cover

    def fill(self, shape, paint, opacity=1.0):
        self.fill_coverage(self.coverage(shape), paint, opacity)

    def fill_coverage(self, cover, paint, opacity=1.0):
        constant = not callable(paint)
        for (i, j), c in cover.items():
            r, g, b = paint if constant else paint(i + 0.5, j + 0.5)
            a = c * opacity
            p = self.px[j][i]
            p[0] = r * a + p[0] * (1 - a)
            p[1] = g * a + p[1] * (1 - a)
            p[2] = b * a + p[2] * (1 - a)
            p[3] = a + p[3] * (1 - a)

    def erase(self, shape):
        """Makes the shape's area transparent again."""
        for (i, j), c in self.coverage(shape).items():
            p = self.px[j][i]
            for n in range(4):
                p[n] *= 1 - c

    def rgba(self, i, j):
        """The pixel as straight (not premultiplied) 8-bit RGBA."""
        r, g, b, a = self.px[j][i]
        alpha = round(a * 255)
        if alpha == 0:
            return 0, 0, 0, 0
        return (min(255, round(r / a)), min(255, round(g / a)), min(255, round(b / a)), alpha)


def union_coverage(*covers):
    """Coverage of several shapes drawn as one: overlaps are not painted twice,
    which matters for translucent strokes."""
    out = {}
    for cover in covers:
        for key, c in cover.items():
            out[key] = max(out.get(key, 0.0), c)
    return out


# ---------------------------------------------------------------------------
# Colours. One palette for all icons, so the toolbar reads as one set.

INK = (38, 46, 62)           # outlines and dark strokes
PAPER = (255, 255, 255)
PAPER_SHADE = (226, 232, 242)
RULE = (150, 164, 186)       # text lines on paper
RED, RED_DARK, RED_LIGHT = (222, 56, 52), (150, 26, 26), (244, 112, 96)
BLUE, BLUE_DARK, BLUE_LIGHT = (40, 112, 206), (20, 66, 140), (96, 160, 236)
GREEN, GREEN_DARK, GREEN_LIGHT = (46, 164, 72), (24, 104, 44), (110, 206, 120)
TEAL, TEAL_DARK, TEAL_LIGHT = (24, 138, 132), (12, 88, 86), (68, 186, 176)
STEEL, STEEL_DARK, STEEL_LIGHT = (128, 140, 158), (64, 74, 92), (196, 204, 216)
YELLOW, YELLOW_DARK = (250, 196, 48), (196, 132, 20)
WOOD, GRAPHITE = (238, 206, 156), (56, 56, 64)
ERASER, FERRULE = (232, 118, 136), (178, 184, 196)
ENVELOPE, ENVELOPE_EDGE = (252, 248, 236), (92, 104, 128)
TERMINAL, TERMINAL_TEXT = (28, 36, 52), (120, 232, 140)


# ---------------------------------------------------------------------------
# Toolbar icons. Each takes the canvas and its size; coordinates are written
# for a 32 px grid and scaled by k, with the thinnest strokes kept at least
# about one pixel wide so the 16 px images stay crisp.


def draw_disc_button(c, k, fill, dark, light):
    """A round button face with a darker rim and a lighter top."""
    c.fill(circle(16 * k, 16 * k, 15.5 * k), dark)
    c.fill(circle(16 * k, 16 * k, 15.5 * k - max(1.0, 1.2 * k)),
           linear(0, 1 * k, light, 0, 30 * k, fill))


def draw_end(c, size):
    """A red power button: the program ends."""
    k = size / 32
    draw_disc_button(c, k, RED, RED_DARK, RED_LIGHT)
    w = 3.2 * k if size > 16 else 1.7
    r = 7.6 * k if size > 16 else 3.9
    cy = 17 * k if size > 16 else 8.5
    # The gap at the top is wider on the small image so the bar stands free.
    gap = 35 if size > 16 else 48
    c.fill(arc(16 * k, cy, r, w, -90 + gap, 270 - gap), PAPER)
    c.fill(line(16 * k, 6.5 * k if size > 16 else 3.4, 16 * k, cy, w), PAPER)


def draw_opt(c, size):
    """A steel gear: the options."""
    k = size / 32
    cx = cy = 16 * k
    if size > 16:
        outer = gear(cx, cy, 11.2 * k, 15.2 * k, 8, 0.55, 0.36, math.pi / 8)
        inner = gear(cx, cy, 10.0 * k, 14.0 * k, 8, 0.48, 0.26, math.pi / 8)
        hole_rim, hole = 5.6 * k, 4.4 * k
    else:
        outer = gear(cx, cy, 5.6, 7.8, 8, 0.56, 0.40, math.pi / 8)
        inner = gear(cx, cy, 4.6, 6.8, 8, 0.46, 0.26, math.pi / 8)
        hole_rim, hole = 3.1, 2.0
    c.fill(outer, STEEL_DARK)
    c.fill(inner, linear(0, 0, STEEL_LIGHT, 0, size, STEEL))
    c.fill(circle(cx, cy, hole_rim), STEEL_DARK)
    # The hole is cut, not painted: the toolbar shows through it.
    c.erase(circle(cx, cy, hole))


def draw_page(c, k, x0, y0, x1, y1, fold, lines, edge_width, back_face=True):
    """A sheet of paper with a folded top-right corner and ruled text; without
    back_face the corner is only cut, which reads better at 16 px."""
    outline = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    c.fill(outline, INK)
    e = edge_width
    c.fill(polygon([(x0 + e, y0 + e), (x1 - fold - e * 0.4, y0 + e), (x1 - e, y0 + fold + e * 0.4),
                    (x1 - e, y1 - e), (x0 + e, y1 - e)]),
           linear(0, y0, PAPER, 0, y1, PAPER_SHADE))
    if back_face:
        c.fill(polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)]), INK)
        c.fill(polygon([(x1 - fold + e, y0 + e * 2.4), (x1 - fold + e, y0 + fold - e),
                        (x1 - e * 2.4, y0 + fold - e)]), PAPER_SHADE)
    for lx0, ly, lx1 in lines:
        c.fill(rect(lx0, ly, lx1, ly + max(1.0, 1.4 * k)), RULE)


def draw_edit(c, size):
    """A pencil over a page: open the logs in the editor."""
    k = size / 32
    if size > 16:
        draw_page(c, k, 3 * k, 2 * k, 23 * k, 29 * k, 6 * k,
                  [(7 * k, y * k, 16 * k if y < 9 else 19 * k) for y in (7, 11, 15, 19, 23)],
                  1.2 * k)
    else:
        draw_page(c, k, 1, 1, 12, 15, 4, [(3, 4, 8), (3, 6, 10), (3, 8, 10), (3, 10, 8)], 1.0,
                  back_face=False)
    # The pencil, drawn along its own axis (x along the pencil, y across it)
    # and turned so that its point rests on the page's lower left.
    if size > 16:
        tip, angle, half, length = (9 * k, 27 * k), -48, 3.3 * k, 25 * k
    else:
        tip, angle, half, length = (4.8, 13.8), -48, 2.1, 13.5
    cone = length * 0.24
    ferrule = length * 0.80
    eraser = length * 0.90

    def piece(points):
        return polygon(rotate(points, angle, tip))

    edge = max(1.0, 1.0 * k)
    body = piece([(cone, -half), (length, -half), (length, half), (cone, half), (0, 0)])
    c.fill(body, INK)
    inset = [(cone + edge * 0.3, -half + edge), (length - edge, -half + edge),
             (length - edge, half - edge), (cone + edge * 0.3, half - edge), (edge * 1.6, 0)]
    c.fill(piece(inset), YELLOW)
    c.fill(piece([(cone + edge * 0.3, -half + edge), (ferrule, -half + edge),
                  (ferrule, -half * 0.25), (cone + edge * 0.3, -half * 0.25)]), (253, 224, 120))
    c.fill(piece([(cone + edge * 0.3, half * 0.35), (ferrule, half * 0.35),
                  (ferrule, half - edge), (cone + edge * 0.3, half - edge)]), YELLOW_DARK)
    c.fill(piece([(edge * 1.6, 0), (cone, -half + edge), (cone, half - edge)]), WOOD)
    c.fill(piece([(edge * 1.0, 0), (cone * 0.42, -half * 0.42), (cone * 0.42, half * 0.42)]),
           GRAPHITE)
    c.fill(piece([(ferrule, -half + edge), (eraser, -half + edge), (eraser, half - edge),
                  (ferrule, half - edge)]), FERRULE)
    c.fill(piece([(eraser, -half + edge), (length - edge, -half + edge),
                  (length - edge, half - edge), (eraser, half - edge)]), ERASER)


def draw_envelope(c, x0, y0, x1, y1, edge, flap_width):
    """A closed envelope seen from the back, with its flap."""
    c.fill(round_rect(x0, y0, x1, y1, edge * 1.2), ENVELOPE_EDGE)
    c.fill(rect(x0 + edge, y0 + edge, x1 - edge, y1 - edge),
           linear(0, y0, ENVELOPE, 0, y1, (236, 228, 206)))
    mid = (x0 + x1) / 2
    fold_y = y0 + (y1 - y0) * 0.58
    c.fill(polyline([(x0 + edge, y0 + edge), (mid, fold_y), (x1 - edge, y0 + edge)], flap_width),
           ENVELOPE_EDGE)


def draw_start(c, size):
    """An envelope with a green start mark: create the .EML files."""
    k = size / 32
    if size > 16:
        draw_envelope(c, 1 * k, 5 * k, 27 * k, 24 * k, 1.4 * k, 1.5 * k)
        bx, by, br, rim = 23 * k, 22.5 * k, 8.5 * k, 1.3 * k
        play = [(-2.6 * k, -4.4 * k), (4.8 * k, 0), (-2.6 * k, 4.4 * k)]
    else:
        draw_envelope(c, 0, 2, 14, 12, 1.0, 1.0)
        bx, by, br, rim = 11.5, 11.5, 4.5, 1.0
        play = [(-1.5, -2.6), (2.9, 0), (-1.5, 2.6)]
    # A green start badge with a white play mark, over the envelope's corner.
    c.fill(circle(bx, by, br), GREEN_DARK)
    c.fill(circle(bx, by, br - rim), linear(0, by - br, GREEN_LIGHT, 0, by + br, GREEN))
    c.fill(polygon([(bx + x, by + y) for x, y in play]), PAPER)


def draw_info(c, size):
    """A blue disc with a white i: version information."""
    k = size / 32
    draw_disc_button(c, k, BLUE, BLUE_DARK, BLUE_LIGHT)
    if size > 16:
        c.fill(circle(16 * k, 8.8 * k, 2.5 * k), PAPER)
        c.fill(round_rect(13.8 * k, 13 * k, 18.2 * k, 25.5 * k, 0.8 * k), PAPER)
        c.fill(rect(11.8 * k, 23 * k, 20.2 * k, 25.5 * k), PAPER)
        c.fill(rect(11.8 * k, 13 * k, 16 * k, 15.2 * k), PAPER)
    else:
        c.fill(rect(7, 3, 9, 5), PAPER)
        c.fill(rect(7, 6, 9, 13), PAPER)
        c.fill(rect(6, 6, 7, 7), PAPER)
        c.fill(rect(6, 12, 10, 13), PAPER)


def draw_dev(c, size):
    """A help book with a question mark: the help page."""
    k = size / 32
    if size > 16:
        # Back cover, the page block showing below the front cover, front cover.
        back, pages, front = (5, 3, 27, 30), (7, 24, 26, 28), (4, 2, 26, 25)
        x0, y0, x1, y1 = [v * k for v in front]
        edge = 1.3 * k
        c.fill(round_rect(*[v * k for v in back], 2 * k), TEAL_DARK)
        c.fill(rect(*[v * k for v in pages]), PAPER)
        for y in (25.6, 27.0):
            c.fill(rect(8 * k, y * k, 26 * k, (y + 0.5) * k), RULE)
    else:
        x0, y0, x1, y1 = 2, 1, 14, 12
        edge = 1.0
        c.fill(round_rect(2, 1, 15, 15, 1), TEAL_DARK)
        c.fill(rect(3, 12, 14, 14), PAPER)
    c.fill(round_rect(x0, y0, x1, y1, edge * 1.4), TEAL_DARK)
    spine = max(1.0, 2.2 * k)
    c.fill(round_rect(x0 + edge, y0 + edge, x1 - edge, y1 - edge, edge),
           linear(x0, y0, TEAL_LIGHT, x1, y1, TEAL))
    c.fill(rect(x0 + edge, y0 + edge, x0 + edge + spine, y1 - edge), TEAL_DARK)
    # The question mark, centred on the cover to the right of the spine.
    if size > 16:
        qx = (x0 + edge + spine + x1 - edge) / 2
        w, r, top = 3.2 * k, 4.3 * k, 8.6 * k
        c.fill(arc(qx, top, r, w, 170, 50), PAPER)
        c.fill(line(qx + r * math.cos(math.radians(50)), top + r * math.sin(math.radians(50)),
                    qx, top + r + 2.4 * k, w), PAPER)
        c.fill(line(qx, top + r + 2.4 * k, qx, top + r + 3.6 * k, w), PAPER)
        c.fill(circle(qx, 20.6 * k, 1.9 * k), PAPER)
    else:
        # Drawn on whole pixels: at this size a smooth curve only blurs.
        for box in ((7, 3, 11, 4), (6, 4, 8, 5), (10, 4, 12, 6), (9, 6, 11, 7), (8, 7, 10, 8),
                    (8, 9, 10, 10)):
            c.fill(rect(*box), PAPER)


TOOLBAR_ICONS = {
    "end": draw_end,
    "opt": draw_opt,
    "edit": draw_edit,
    "start": draw_start,
    "info": draw_info,
    "dev": draw_dev,
}
TOOLBAR_SIZES = (16, 32)


# ---------------------------------------------------------------------------
# The program's icon: a terminal log page turning into an envelope.


def draw_app(c, size):
    if size <= 16:
        draw_app_small(c)
        return
    k = size / 48

    def px(v):
        # Whole pixels keep the text lines and frames sharp at 32 px.
        return round(v * k)

    e = max(1, px(1.4))
    # Terminal window, upper left, with a title bar and green text.
    tx0, ty0, tx1, ty1 = px(2), px(3), px(33), px(30)
    bar = px(5)
    c.fill(round_rect(tx0, ty0, tx1, ty1, 2.5 * k), INK)
    c.fill(rect(tx0 + e, ty0 + e, tx1 - e, ty0 + bar), STEEL_LIGHT)
    c.fill(rect(tx0 + e, ty0 + bar, tx1 - e, ty1 - e), TERMINAL)
    lx = tx0 + e + px(3)
    for n, width in enumerate((18, 12, 20, 9)):
        y = ty0 + bar + px(3.5 + n * 4.6)
        c.fill(rect(lx, y, lx + px(width), y + px(2)), TERMINAL_TEXT)
    # The cursor after the last line.
    c.fill(rect(lx + px(11), y, lx + px(14), y + px(2)), PAPER)
    # An elbow arrow from the terminal down into the envelope, one solid shape.
    c.fill(polygon([(px(x), px(y)) for x, y in ((31, 13), (42, 13), (42, 19), (46, 19), (40, 26),
                                                (34, 19), (38, 19), (38, 17), (31, 17))]), GREEN)
    # The envelope, lower right, over the terminal's corner.
    draw_envelope(c, px(15), px(25), px(47), px(46), e, max(1.0, 1.8 * k))


def draw_app_small(c):
    """The 16 px program icon, on whole pixels."""
    c.fill(round_rect(0, 1, 11, 11, 1), INK)
    c.fill(rect(1, 2, 10, 3), STEEL_LIGHT)
    c.fill(rect(1, 3, 10, 10), TERMINAL)
    for y, x1 in ((4, 8), (6, 6), (8, 7)):
        c.fill(rect(2, y, x1, y + 1), TERMINAL_TEXT)
    draw_envelope(c, 5, 7, 16, 15, 1.0, 1.0)


APP_SIZES = (16, 32, 48)


# ---------------------------------------------------------------------------
# The links' mouse pointer: a hand holding up a sheet of paper, in black and
# white. At one bit per pixel a smooth shape only turns into stair-steps, so
# it is drawn as a pixel map: '#' black, 'o' white, '.' clear. The fist grips
# the sheet's lower edge: thumb upright in front, four fingers curled across.

HAND_HOTSPOT = (13, 9)  # inside the sheet, just above its second text line
HAND = """
....############................
....#oooooooooo##...............
....#oooooooooo#o#..............
....#oooooooooo#oo#.............
....#oooooooooo#ooo#............
....#oooooooooo#####............
....#oooooooooooooo#............
....#oo##########oo#............
....#oooooooooooooo#............
....#oooooooooooooo#............
....#oo########oooo#............
....#oooooooooooooo#............
....#oooooooooooooo#............
....#ooo##oo#####oo#............
....#oo#oo#oooooooo#............
....#o#oooo#ooooooo#............
....#o#oooo###########..........
....#o#oooo#oooooooooo#.........
....#o#oooo#oooooooooo#.........
....###oooo###########..........
......#oooo#oooooooooo#.........
......#oooo#oooooooooo#.........
......#oooo###########..........
......#oooo#ooooooooo#..........
......#oooo#ooooooooo#..........
.......#ooo##########...........
.......#ooo#oooooooo#...........
........#oo#oooooooo#...........
.........###########............
..........#oooooooo#............
..........#oooooooo#............
..........##########............
"""


def hand_pixels():
    rows = HAND.strip().split("\n")
    if len(rows) != 32 or any(len(r) != 32 for r in rows):
        raise ValueError("the pointer map must be 32 x 32")
    return rows


# ---------------------------------------------------------------------------
# The about dialog's background: a calm gradient with a faint thread of
# envelopes in the lower half. The dialog's labels sit in the upper part
# (title, version, credit, two links, down to about y 125) and the "cancel"
# button at the lower right (about x 240-325, y 260-290); those areas stay
# light and plain.

ABOUT_SIZE = (339, 305)


def about_background(x, y):
    w, h = ABOUT_SIZE
    t = y / (h - 1)
    # Near-white at the top, soft blue towards the bottom; the upper third
    # stays almost white so black and blue text keeps its contrast.
    t = max(0.0, (t - 0.30) / 0.70) ** 1.4
    top, bottom = (251, 252, 255), (212, 226, 242)
    c = [a + (b - a) * t for a, b in zip(top, bottom)]
    # A faint warmth on the left so the picture is not flat.
    s = max(0.0, 1 - x / (w * 0.6)) * 0.5
    warm = (250, 244, 232)
    return tuple(a + (b - a) * s * (1 - t) * 0.6 for a, b in zip(c, warm))


def bezier(p0, p1, p2, p3, steps):
    out = []
    for n in range(steps + 1):
        t = n / steps
        u = 1 - t
        out.append((u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
                    u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]))
    return out


def even_points(path, spacing):
    """Points spaced evenly by arc length along a polyline."""
    out = [path[0]]
    left = spacing
    for (ax, ay), (bx, by) in zip(path, path[1:]):
        seg = math.hypot(bx - ax, by - ay)
        pos = 0.0
        while seg - pos >= left:
            pos += left
            out.append((ax + (bx - ax) * pos / seg, ay + (by - ay) * pos / seg))
            left = spacing
        left -= seg - pos
    return out


def airmail_band(c, y0, y1):
    """A faint band of diagonal red and blue stripes, as on an airmail
    envelope's border."""
    stripe = 8.0
    colours = ((226, 120, 120), None, (110, 146, 210), None)
    for j in range(y0, y1):
        for i in range(c.width):
            colour = colours[int((i + j) // stripe) % 4]
            if colour:
                c.fill_coverage({(i, j): 1.0}, colour, 0.28)


def draw_envelope_outline(c, x0, y0, w, h, colour):
    """A translucent envelope: a light body, a thin edge and the flap's V."""
    body = round_rect(x0, y0, x0 + w, y0 + h, 2.5)
    c.fill(body, (255, 255, 255), 0.75)
    edge = union_coverage(
        c.coverage(body - round_rect(x0 + 1.4, y0 + 1.4, x0 + w - 1.4, y0 + h - 1.4, 1.5)),
        c.coverage(polyline([(x0 + 2, y0 + 2), (x0 + w / 2, y0 + h * 0.58), (x0 + w - 2, y0 + 2)],
                            1.4)))
    c.fill_coverage(edge, colour, 0.55)


def draw_about():
    w, h = ABOUT_SIZE
    c = Canvas(w, h, samples=4)
    for j in range(h):
        for i in range(w):
            r, g, b = about_background(i + 0.5, j + 0.5)
            c.px[j][i] = [r, g, b, 1.0]
    airmail_band(c, 0, 5)
    airmail_band(c, h - 7, h - 2)

    # A quiet rule under the labels (the last one ends near y 122).
    c.fill(rect(16, 140, 323, 141), (196, 210, 230), 0.6)

    # A reply thread below it: three envelopes, each answering the one
    # before, joined by a dotted line. Clear of the "cancel" button at the
    # lower right.
    thread = (120, 148, 188)
    envelopes = [(28, 212, 48, 32), (122, 162, 40, 27), (204, 196, 34, 23)]
    (ax, ay, aw, ah), (bx, by, bw, bh), (cx, cy, cw, ch) = envelopes
    path = (bezier((ax + aw + 2, ay + ah / 2), (ax + aw + 30, ay + ah / 2),
                   (bx - 30, by + bh / 2), (bx - 2, by + bh / 2), 80)
            + bezier((bx + bw + 2, by + bh / 2), (bx + bw + 26, by + bh / 2),
                     (cx - 26, cy + ch / 2), (cx - 2, cy + ch / 2), 80))
    first_leg = even_points(path[:81], 6.0)
    second_leg = even_points(path[81:], 6.0)
    dots = union_coverage(*[c.coverage(circle(x, y, 1.3)) for x, y in first_leg + second_leg])
    c.fill_coverage(dots, thread, 0.55)
    for x0, y0, ew, eh in envelopes:
        draw_envelope_outline(c, x0, y0, ew, eh, thread)
    return c


# ---------------------------------------------------------------------------
# File formats.


def dib_32(canvas):
    """An icon image: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, then the
    1-bit AND mask. The mask marks the fully transparent pixels, whose colour
    bytes are 0, so a screen without alpha support shows them unchanged."""
    w, h = canvas.width, canvas.height
    mask_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for j in reversed(range(h)):
        bits = bytearray(mask_stride)
        for i in range(w):
            r, g, b, a = canvas.rgba(i, j)
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def icon_file(images, kind=1, hotspot=None, bit_count=32, color_count=0):
    """An .ico (kind 1) or .cur (kind 2) file from (width, height, dib) images.
    In a cursor the planes and bit-count fields of the directory hold the hot
    spot instead."""
    out = bytearray(struct.pack("<HHH", 0, kind, len(images)))
    offset = 6 + 16 * len(images)
    for w, h, dib in images:
        if kind == 2:
            field1, field2 = hotspot
        else:
            field1, field2 = 1, bit_count
        out += struct.pack("<BBBBHHII", w % 256, h % 256, color_count, 0, field1, field2,
                           len(dib), offset)
        offset += len(dib)
    for _, _, dib in images:
        out += dib
    return bytes(out)


def cursor_dib(rows):
    """A 1-bit cursor image: header, a black/white palette, the XOR rows and
    the AND rows, bottom-up. Clear: AND 1, XOR 0; black: AND 0, XOR 0;
    white: AND 0, XOR 1."""
    w, h = len(rows[0]), len(rows)
    stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        x_bits, a_bits = bytearray(stride), bytearray(stride)
        for i, ch in enumerate(row):
            bit = 0x80 >> (i % 8)
            if ch == "o":
                x_bits[i // 8] |= bit
            elif ch == ".":
                a_bits[i // 8] |= bit
            elif ch != "#":
                raise ValueError("unknown pointer pixel %r" % ch)
        xor += x_bits
        mask += a_bits
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    return header + palette + bytes(xor) + bytes(mask)


def bmp_24(canvas):
    """A bottom-up 24-bit BMP, rows padded to four bytes, marked 96 DPI."""
    w, h = canvas.width, canvas.height
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for j in reversed(range(h)):
        row = bytearray()
        for i in range(w):
            r, g, b, _ = canvas.rgba(i, j)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        pixels += row
    dpm = 3780  # 96 dots per inch in dots per metre
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), dpm, dpm, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + bytes(pixels)


# ---------------------------------------------------------------------------


def render_icon(draw, sizes):
    images = []
    for size in sizes:
        c = Canvas(size, size, samples=8 if size <= 32 else 6)
        draw(c, size)
        images.append((size, size, dib_32(c)))
    return icon_file(images)


def build_all():
    """Every output file as {relative path: bytes}."""
    files = {}
    for name, draw in TOOLBAR_ICONS.items():
        files["icons/%s.ico" % name] = render_icon(draw, TOOLBAR_SIZES)
    files["app.ico"] = render_icon(draw_app, APP_SIZES)
    files["hand.cur"] = icon_file([(32, 32, cursor_dib(hand_pixels()))], kind=2,
                                  hotspot=HAND_HOTSPOT, color_count=2)
    files["about.bmp"] = bmp_24(draw_about())
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", default=os.path.dirname(os.path.abspath(__file__)),
                        help="folder to write into (default: beside this script)")
    args = parser.parse_args()
    for rel, data in build_all().items():
        path = os.path.join(args.out, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        print("wrote %s (%d bytes)" % (path, len(data)))


if __name__ == "__main__":
    main()
