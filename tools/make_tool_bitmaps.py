#!/usr/bin/env python3
"""Draws the drawing-tool window's button images.

Five bitmaps, one per button: select (arrow), text, pen, eraser and options.
Each holds two images side by side: the left one as the button is normally
drawn, the right one for the current tool (pressed in, on a darker face).
The first four are 26 x 26 each, the options button's 52 x 26 each.

    python3 tools/make_tool_bitmaps.py [output folder]   (default: res/icons)
"""
import os
import struct
import sys

H = 26

PALETTE = [
    (192, 192, 192),  # 0 button face
    (0, 0, 0),        # 1 outline
    (128, 128, 128),  # 2 shadow
    (255, 255, 255),  # 3 highlight / paper
    (0, 0, 160),      # 4 blue
    (200, 0, 0),      # 5 red
    (0, 140, 0),      # 6 green
    (230, 190, 0),    # 7 yellow
    (160, 160, 160),  # 8 pressed face
    (240, 160, 170),  # 9 eraser pink
]


class Canvas:
    def __init__(self, w):
        self.w = w
        self.px = [[0] * w for _ in range(H)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < H:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.put(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)


def frame(c, pressed):
    """A raised button, or a sunken one on the darker face."""
    w = c.w
    c.fill(0, 0, w - 1, H - 1, 8 if pressed else 0)
    light, dark = (2, 3) if pressed else (3, 2)
    c.line(0, 0, w - 1, 0, light)
    c.line(0, 0, 0, H - 1, light)
    c.line(0, H - 1, w - 1, H - 1, 1)
    c.line(w - 1, 0, w - 1, H - 1, 1)
    c.line(1, H - 2, w - 2, H - 2, dark)
    c.line(w - 2, 1, w - 2, H - 2, dark)


def arrow(c, o):
    pts = [(8, 5), (8, 19), (11, 16), (14, 22), (16, 21), (13, 15), (18, 15)]
    for y in range(5, 20):
        for x in range(8, 19):
            if inside(pts, x + 0.5, y + 0.5):
                c.put(x + o, y + o, 3)
    for (a, b), (p, q) in zip(pts, pts[1:] + pts[:1]):
        c.line(a + o, b + o, p + o, q + o, 1)


def inside(pts, x, y):
    n, hit = len(pts), False
    for i in range(n):
        (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % n]
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            hit = not hit
    return hit


def text(c, o):
    # A capital A with a cursor bar.
    c.line(7 + o, 20 + o, 12 + o, 5 + o, 1)
    c.line(8 + o, 20 + o, 13 + o, 5 + o, 1)
    c.line(13 + o, 5 + o, 18 + o, 20 + o, 1)
    c.line(14 + o, 5 + o, 19 + o, 20 + o, 1)
    c.line(10 + o, 15 + o, 16 + o, 15 + o, 1)
    c.line(21 + o, 6 + o, 21 + o, 20 + o, 4)


def pen(c, o):
    for i in range(12):
        c.line(7 + i + o, 18 - i + o, 9 + i + o, 20 - i + o, 7)
    c.line(6 + o, 18 + o, 17 + o, 7 + o, 1)
    c.line(9 + o, 21 + o, 20 + o, 10 + o, 1)
    c.line(17 + o, 7 + o, 20 + o, 10 + o, 1)
    c.fill(5 + o, 20 + o, 6 + o, 21 + o, 1)
    c.line(17 + o, 7 + o, 20 + o, 10 + o, 5)


def eraser(c, o):
    for i in range(8):
        c.line(6 + i + o, 16 - i + o, 12 + i + o, 22 - i + o, 9 if i > 2 else 3)
    c.line(6 + o, 16 + o, 13 + o, 9 + o, 1)
    c.line(12 + o, 22 + o, 19 + o, 15 + o, 1)
    c.line(6 + o, 16 + o, 12 + o, 22 + o, 1)
    c.line(13 + o, 9 + o, 19 + o, 15 + o, 1)
    c.line(9 + o, 13 + o, 15 + o, 19 + o, 1)


def options(c, o):
    # "Aa" in two colours and a stroke of each width.
    c.line(5 + o, 18 + o, 9 + o, 6 + o, 1)
    c.line(9 + o, 6 + o, 13 + o, 18 + o, 1)
    c.line(7 + o, 13 + o, 11 + o, 13 + o, 1)
    c.fill(15 + o, 13 + o, 19 + o, 18 + o, 5)
    c.fill(16 + o, 14 + o, 18 + o, 17 + o, 0 if not o else 8)
    c.line(20 + o, 12 + o, 20 + o, 18 + o, 5)
    for i, wdt in enumerate((1, 2, 3)):
        y = 6 + i * 5
        c.fill(27 + o, y + o, 46 + o, y + wdt - 1 + o, 4)


TOOLS = [("tool1.bmp", 26, arrow), ("tool2.bmp", 26, text), ("tool3.bmp", 26, pen),
         ("tool4.bmp", 26, eraser), ("tool5.bmp", 52, options)]


def image(width, draw):
    rows = [[0] * (2 * width) for _ in range(H)]
    for k, pressed in enumerate((False, True)):
        c = Canvas(width)
        frame(c, pressed)
        draw(c, 1 if pressed else 0)
        for y in range(H):
            rows[y][k * width:(k + 1) * width] = c.px[y]
    return rows


def write_bmp(path, rows):
    width, height = len(rows[0]), len(rows)
    stride = (width + 3) & ~3
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    pal += b"\0" * (4 * 256 - len(pal))
    pixels = b"".join(bytes(row) + b"\0" * (stride - width) for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + pal + pixels)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res", "icons")
    for name, width, draw in TOOLS:
        path = os.path.join(out, name)
        write_bmp(path, image(width, draw))
        print(path)


if __name__ == "__main__":
    main()
