#!/usr/bin/env python3
"""Writes an album file for the end-to-end tests, byte for byte as the
program writes one: header, one entry per picture path (with a small
thumbnail), and the check-mark extension block.

    python3 tests/app/make_album.py OUT.alb [PICTURE_PATH ...]
"""
import struct
import sys


def thumb(w=4, h=3):
    stride = (w * 3 + 3) // 4 * 4
    rows = b"".join(bytes((40, 80, 120)) * w + bytes(stride - 3 * w) for _ in range(h))
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, 0, 2835, 2835, 0, 0) + rows


def album(paths):
    out = b"ORX DSC ALBUM  \0" + struct.pack("<HB5xH6x", 0x0102, ord("P"), len(paths))
    for p in paths:
        field = p.encode()
        t = thumb()
        out += field + bytes(260 - len(field)) + struct.pack("<I", len(t)) + t
    body = b"ORX_P" + struct.pack("<I", 0) + bytes([len(paths)]) + bytes(len(paths))
    return out + b"ORX_ALBEXT" + struct.pack("<I", len(body)) + body


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(album(sys.argv[2:]))
