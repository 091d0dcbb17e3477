#!/usr/bin/env python3
"""Draws the nine button pictures of the slide show's control panel.

Each is a 96 x 48 24-bit bitmap holding two 48 x 48 pictures side by side:
the button as it normally looks (raised) on the left, and as it looks while
pressed (sunken, its symbol one pixel down and right) on the right.

    python3 tools/make_slide_bitmaps.py [output folder]   (default: res/show)
"""
import os
import struct
import sys

SIZE = 48

FACE = (192, 192, 192)
LIGHT = (255, 255, 255)
SHADOW = (128, 128, 128)
DARK = (0, 0, 0)
INK = (24, 24, 96)
RED = (200, 0, 0)
GREEN = (0, 140, 0)
SCREEN = (0, 0, 0)
PICTURE = (70, 150, 230)


class Half:
    """One 48 x 48 picture; (0, 0) is the top left corner."""

    def __init__(self, offset):
        self.px = [[FACE] * SIZE for _ in range(SIZE)]
        self.dx = self.dy = offset

    def put(self, x, y, c):
        x += self.dx
        y += self.dy
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):  # inclusive corners
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, pressed):
        # Edges are drawn without the symbol's offset.
        d, self.dx, self.dy = self.dx, 0, 0
        top, bottom = (SHADOW, LIGHT) if pressed else (LIGHT, SHADOW)
        for i in range(SIZE):
            self.put(i, 0, top)
            self.put(0, i, top)
            self.put(i, SIZE - 1, DARK if not pressed else LIGHT)
            self.put(SIZE - 1, i, DARK if not pressed else LIGHT)
            if 1 <= i < SIZE - 1:
                self.put(i, SIZE - 2, bottom)
                self.put(SIZE - 2, i, bottom)
        self.dx = self.dy = d

    def triangle(self, x0, y_mid, half_height, length, right, c):
        """A filled triangle pointing right (or left) with its base at x0."""
        for i in range(length):
            h = half_height * (length - i) // length
            x = x0 + i if right else x0 - i
            for y in range(y_mid - h, y_mid + h + 1):
                self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c, width=1):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            x = x0 + (x1 - x0) * i // n
            y = y0 + (y1 - y0) * i // n
            self.fill(x - width // 2, y - width // 2, x + (width - 1) // 2, y + (width - 1) // 2, c)

    def pointer(self, x, y, c):
        """The mouse pointer: an arrow with its tip at (x, y), white inside."""
        for i in range(19):
            w = i * 2 // 3
            for j in range(w + 1):
                edge = j == 0 or j == w or i == 18
                self.put(x + j, y + i, c if edge else LIGHT)
        # The stem, slanting down to the right.
        for i in range(10):
            for j in range(4):
                edge = j == 0 or j == 3 or i == 9
                self.put(x + 5 + i // 2 + j, y + 16 + i, c if edge else LIGHT)


def exit_(h):
    h.line(14, 14, 33, 33, RED, 5)
    h.line(33, 14, 14, 33, RED, 5)


def cursor_on(h):
    h.pointer(17, 9, DARK)


def cursor_off(h):
    h.pointer(17, 9, DARK)
    h.line(10, 36, 38, 10, RED, 3)


def screen_std(h):
    # Each picture at its own size inside the screen.
    h.fill(8, 11, 39, 36, SCREEN)
    h.fill(18, 18, 29, 29, PICTURE)


def screen_big(h):
    # Pictures filling the screen.
    h.fill(8, 11, 39, 36, SCREEN)
    h.fill(10, 13, 37, 34, PICTURE)


def prev(h):
    h.fill(11, 13, 14, 34, INK)
    h.triangle(35, 23, 11, 19, False, INK)


def nxt(h):
    h.triangle(13, 23, 11, 19, True, INK)
    h.fill(33, 13, 36, 34, INK)


def play(h):
    h.triangle(16, 23, 13, 20, True, GREEN)


def pause(h):
    h.fill(15, 12, 20, 35, INK)
    h.fill(27, 12, 32, 35, INK)


PICTURES = {
    "sld_exit": exit_,
    "sld_cursor_on": cursor_on,
    "sld_cursor_off": cursor_off,
    "sld_scrn_std": screen_std,
    "sld_scrn_big": screen_big,
    "sld_prev": prev,
    "sld_next": nxt,
    "sld_play": play,
    "sld_pause": pause,
}


def write_bmp(path, rows):
    """rows: top to bottom, each a list of (r, g, b); written bottom-up."""
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        pixels += line
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)))
        f.write(header)
        f.write(pixels)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "res", "show")
    os.makedirs(out, exist_ok=True)
    for name, draw in PICTURES.items():
        normal, pressed = Half(0), Half(1)
        normal.frame(False)
        pressed.frame(True)
        draw(normal)
        draw(pressed)
        rows = [normal.px[y] + pressed.px[y] for y in range(SIZE)]
        write_bmp(os.path.join(out, name + ".bmp"), rows)


if __name__ == "__main__":
    main()
