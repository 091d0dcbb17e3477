#!/usr/bin/env python3
"""Draws the cursor shown while an album picture is dragged to another album
("DropCursor") and writes it as a monochrome 32 x 32 .cur file: the arrow
with a small framed picture (sky, sun and hill) below and right of its tip.

    python3 tools/make_cursor.py [output file]   (default: res/icons/drop.cur)
"""
import os
import struct
import sys

SIZE = 32
HOT = (0, 0)

# The cursor as text: "#" black, "." white, blank transparent.
PICTURE = [
    "#",
    "##",
    "#.#",
    "#..#",
    "#...#",
    "#....#",
    "#.....#",
    "#......#",
    "#.......#",
    "#........#",
    "#.....#####",
    "#..#..#",
    "#.# #..#",
    "##  #..#",
    "#    #..#",
    "     #..#",
    "      ##       ################",
    "               #..............#",
    "               #..##..........#",
    "               #..##..........#",
    "               #..............#",
    "               #.........#....#",
    "               #........###...#",
    "               #.......#####..#",
    "               #......#######.#",
    "               #.....##########",
    "               ################",
]


def draw():
    # None: transparent, 0: black, 1: white.
    px = [[None] * SIZE for _ in range(SIZE)]
    for y, line in enumerate(PICTURE):
        for x, c in enumerate(line):
            if c == "#":
                px[y][x] = 0
            elif c == ".":
                px[y][x] = 1
    return px


def cur_bytes(px):
    def rows(bit_of):
        out = b""
        for y in range(SIZE - 1, -1, -1):  # bottom-up
            v = 0
            for x in range(SIZE):
                v = (v << 1) | bit_of(px[y][x])
            out += struct.pack(">I", v)
        return out
    xor = rows(lambda p: 1 if p == 1 else 0)
    and_mask = rows(lambda p: 1 if p is None else 0)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(and_mask), 0, 0, 2, 0)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + palette + xor + and_mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT[0], HOT[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "res", "icons", "drop.cur")
    with open(out, "wb") as f:
        f.write(cur_bytes(draw()))
    print("wrote", out)


if __name__ == "__main__":
    main()
