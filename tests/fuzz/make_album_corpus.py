#!/usr/bin/env python3
"""Writes the seed corpus of the album fuzz target: a few small album files
in the forms the reader knows (empty, ticked entries, the older format
without check marks, a gap before the mark count, excess thumbnail bytes)."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "album_fuzz")


def header(count, version=0x0102):
    return b"ORX DSC ALBUM  \0" + struct.pack("<HB5xH6x", version, ord("P"), count)


def thumb(w, h, seed=1, excess=0):
    stride = (w * 3 + 3) // 4 * 4
    rows = bytearray()
    for y in range(h):
        row = bytearray()
        for x in range(w):
            row += bytes(((x + y) & 255, seed, 7))
        rows += row + bytes(stride - len(row))
    hdr = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, 0, 2835, 2835, 0, 0)
    return hdr + bytes(rows) + b"\xab" * excess


def entry(path, t):
    field = path.encode() + bytes(260 - len(path))
    return field + struct.pack("<I", len(t)) + t


def extension(marks, gap=0):
    body = b"ORX_P" + struct.pack("<I", gap) + b"\xee" * gap + bytes([len(marks)]) + bytes(marks)
    return b"ORX_ALBEXT" + struct.pack("<I", len(body)) + body


FILES = {
    "empty.alb": header(0) + extension([]),
    "two_ticked.alb": header(2) + entry("C:\\Pictures\\DSC0001.jpg", thumb(8, 6))
    + entry("C:\\Pictures\\DSC0002.bmp", thumb(5, 3, 9)) + extension([1, 0]),
    "old_format.alb": header(1, 0x0101) + entry("D:\\a.jpg", thumb(3, 2)),
    "gap_excess.alb": header(2) + entry("a.jpg", thumb(4, 4, 2, excess=17))
    + entry("b.avi", thumb(1, 1)) + extension([0, 1], gap=3),
    "full_size.alb": header(1) + entry("big.jpg", thumb(96, 72, 5)) + extension([1]),
}

os.makedirs(OUT, exist_ok=True)
for name, data in FILES.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
    print(name, len(data))
