#!/usr/bin/env python3
"""Draws res/camera/nothumb.bmp: the 48 x 48 picture a thumbnail button shows
when the camera has no thumbnail (a grey frame with a crossed-out picture)."""
import struct
import sys

W = H = 48


def pixel(x, y):
    grey = (192, 192, 192)
    dark = (96, 96, 96)
    if x in (0, W - 1) or y in (0, H - 1):
        return dark
    # a small picture: a frame, a sun and a hill
    if 8 <= x <= 39 and 12 <= y <= 35:
        if x in (8, 39) or y in (12, 35):
            return dark
        if (x - 16) ** 2 + (y - 19) ** 2 <= 9:
            return (224, 224, 224)
        if y > 30 - abs(x - 27) // 2:
            return (144, 144, 144)
        return (208, 208, 208)
    return grey


def cross(x, y):
    return 6 <= x <= 41 and (abs((x - 6) - (y - 6)) <= 1 or abs((x - 6) - (41 - y)) <= 1) and 6 <= y <= 41


def main(out):
    stride = (W * 3 + 3) & ~3
    rows = bytearray()
    for y in range(H - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(W):
            r, g, b = (160, 0, 0) if cross(x, y) else pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows += row
    header = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(rows), 0, 0, 54)
    with open(out, "wb") as f:
        f.write(file_header + header + rows)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/camera/nothumb.bmp")
