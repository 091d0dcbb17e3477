#!/usr/bin/env python3
"""Draws the program's own toolbar images and writes them as one strip.

Eight 16 x 16 images side by side (new album, save as, data in, data out,
add to album, cascade, tile, help) in an 8-bit bitmap with a small palette.
The background is light grey (192, 192, 192) and the outlines use black,
dark grey and white, so that the toolbar maps them to the system's button
colours when it loads the strip.

    python3 tools/make_toolbar_bitmap.py [output file]   (default: res/icons/toolbar.bmp)
"""
import os
import struct
import sys

SIZE = 16
COUNT = 8

PALETTE = [
    (192, 192, 192),  # 0 background (button face)
    (0, 0, 0),        # 1 outline
    (128, 128, 128),  # 2 shadow
    (255, 255, 255),  # 3 highlight / paper
    (0, 0, 160),      # 4 blue
    (200, 0, 0),      # 5 red
    (0, 140, 0),      # 6 green
    (230, 190, 0),    # 7 yellow
    (0, 128, 128),    # 8 teal
    (128, 0, 128),    # 9 purple
]


class Canvas:
    def __init__(self):
        self.px = [[0] * SIZE for _ in range(SIZE)]

    def put(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):  # inclusive corners
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def box(self, x0, y0, x1, y1, edge, inside=None):
        if inside is not None:
            self.fill(x0, y0, x1, y1, inside)
        for x in range(x0, x1 + 1):
            self.put(x, y0, edge)
            self.put(x, y1, edge)
        for y in range(y0, y1 + 1):
            self.put(x0, y, edge)
            self.put(x1, y, edge)

    def hline(self, x0, x1, y, c):
        for x in range(x0, x1 + 1):
            self.put(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(y0, y1 + 1):
            self.put(x, y, c)


def album(c, cover):
    # A bound book: cover, spine and a picture on the cover.
    c.box(2, 2, 12, 14, 1, cover)
    c.vline(3, 3, 13, 2)
    c.box(6, 5, 10, 9, 1, 3)
    c.fill(7, 7, 9, 8, 6)
    c.put(8, 6, 7)


def plus(c, x, y, col):
    c.hline(x - 2, x + 2, y, col)
    c.vline(x, y - 2, y + 2, col)


def new_album(c):
    album(c, 4)
    plus(c, 13, 3, 5)


def save_as(c):
    # A disk with its shutter and label, and a pen across the corner.
    c.box(1, 1, 12, 13, 1, 4)
    c.fill(4, 2, 9, 5, 3)
    c.fill(7, 3, 8, 4, 1)
    c.fill(3, 8, 10, 12, 3)
    c.hline(4, 9, 10, 2)
    for i in range(6):
        c.put(9 + i, 14 - i, 7)
        c.put(10 + i, 14 - i, 1)
    c.put(9, 15, 1)


def camera(c):
    c.box(1, 5, 10, 12, 1, 2)
    c.fill(3, 4, 5, 4, 1)
    c.box(4, 7, 7, 10, 1, 3)
    c.fill(5, 8, 6, 9, 4)
    c.put(9, 6, 7)


def arrow_right(c, y, col):
    c.hline(11, 14, y, col)
    c.vline(13, y - 1, y + 1, col)
    c.put(12, y - 2, col)
    c.put(12, y + 2, col)


def arrow_left(c, y, col):
    c.hline(11, 14, y, col)
    c.vline(12, y - 1, y + 1, col)
    c.put(13, y - 2, col)
    c.put(13, y + 2, col)


def data_in(c):
    camera(c)
    arrow_right(c, 8, 6)


def data_out(c):
    camera(c)
    arrow_left(c, 8, 5)


def add_to_album(c):
    album(c, 8)
    # a loose picture sliding in
    c.box(10, 9, 15, 14, 1, 3)
    c.fill(11, 12, 14, 13, 6)
    c.put(13, 10, 7)


def cascade(c):
    for i, col in enumerate((2, 4, 8)):
        o = i * 3
        c.box(1 + o, 1 + o, 9 + o, 8 + o, 1, 3)
        c.hline(2 + o, 8 + o, 2 + o, col)


def tile(c):
    for x0, col in ((1, 4), (8, 8)):
        c.box(x0, 2, x0 + 6, 13, 1, 3)
        c.hline(x0 + 1, x0 + 5, 3, col)


def help_mark(c):
    # A question mark in a round badge.
    for y in range(SIZE):
        for x in range(SIZE):
            d = (x - 7.5) ** 2 + (y - 7.5) ** 2
            if d <= 7.2 ** 2:
                c.put(x, y, 1 if d > 6.2 ** 2 else 7)
    pts = [(6, 4), (7, 3), (8, 3), (9, 4), (10, 5), (9, 6), (8, 7), (7, 8), (7, 9)]
    for x, y in pts:
        c.put(x, y, 1)
        c.put(x + 1, y, 1) if (x, y) in ((7, 3), (7, 8)) else None
    c.fill(7, 11, 8, 12, 1)


IMAGES = [new_album, save_as, data_in, data_out, add_to_album, cascade, tile, help_mark]


def strip():
    rows = [[0] * (SIZE * COUNT) for _ in range(SIZE)]
    for i, draw in enumerate(IMAGES):
        c = Canvas()
        draw(c)
        for y in range(SIZE):
            rows[y][i * SIZE:(i + 1) * SIZE] = c.px[y]
    return rows


def write_bmp(path, rows):
    width, height = len(rows[0]), len(rows)
    stride = (width + 3) & ~3
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    pal += b"\0" * (4 * 256 - len(pal))  # a full table: every index is defined
    pixels = b"".join(bytes(row) + b"\0" * (stride - width) for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + pal + pixels)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res", "icons", "toolbar.bmp")
    write_bmp(out, strip())
    print(out)


if __name__ == "__main__":
    main()
