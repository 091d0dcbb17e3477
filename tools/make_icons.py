#!/usr/bin/env python3
"""Draws the program's window icons and writes them as .ico files.

Each icon is a small scene described by shapes in unit coordinates (0..1,
y downwards); it is rendered with 4x4 supersampling at 32x32 and at 16x16 and
stored as two 32-bit images with alpha and an AND mask.

    python3 tools/make_icons.py [output folder]   (default: res/icons)
"""
import os
import struct
import sys

SS = 4  # supersampling per axis


def rect(x0, y0, x1, y1, color):
    return lambda x, y: color if x0 <= x < x1 and y0 <= y < y1 else None


def circle(cx, cy, r, color):
    return lambda x, y: color if (x - cx) ** 2 + (y - cy) ** 2 <= r * r else None


def ring(cx, cy, r0, r1, color):
    def f(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        return color if r0 * r0 <= d <= r1 * r1 else None
    return f


def triangle(a, b, c, color):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def f(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        inside = (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
        return color if inside else None
    return f


def frame_rect(x0, y0, x1, y1, w, color):
    def f(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return None
        inner = x0 + w <= x < x1 - w and y0 + w <= y < y1 - w
        return None if inner else color
    return f


DARK = (40, 44, 52)
GREY = (120, 126, 136)
LIGHT = (220, 224, 230)
WHITE = (255, 255, 255)
SKY = (110, 170, 230)
GRASS = (70, 150, 80)
HILL = (50, 110, 60)
SUN = (250, 200, 60)
RED = (200, 50, 50)
BLUE = (40, 90, 170)
AMBER = (230, 140, 40)


def camera():
    return [
        rect(0.06, 0.30, 0.94, 0.84, DARK),
        rect(0.10, 0.34, 0.90, 0.80, GREY),
        rect(0.18, 0.20, 0.42, 0.32, DARK),          # viewfinder hump
        rect(0.70, 0.22, 0.84, 0.30, RED),           # shutter button
        circle(0.52, 0.57, 0.21, DARK),
        circle(0.52, 0.57, 0.15, BLUE),
        circle(0.47, 0.52, 0.05, LIGHT),             # lens glint
        rect(0.14, 0.40, 0.24, 0.46, SUN),           # flash
    ]


def picture():
    return [
        rect(0.06, 0.14, 0.94, 0.86, DARK),
        rect(0.10, 0.18, 0.90, 0.82, SKY),
        circle(0.72, 0.36, 0.09, SUN),
        triangle((0.10, 0.82), (0.40, 0.42), (0.70, 0.82), HILL),
        triangle((0.45, 0.82), (0.66, 0.56), (0.90, 0.82), GRASS),
    ]


def album():
    shapes = [
        rect(0.10, 0.06, 0.90, 0.94, (120, 60, 40)),     # cover
        rect(0.10, 0.06, 0.20, 0.94, (90, 40, 28)),      # spine
        rect(0.30, 0.18, 0.82, 0.56, WHITE),             # mounted photo
        rect(0.34, 0.22, 0.78, 0.52, SKY),
        triangle((0.34, 0.52), (0.50, 0.32), (0.66, 0.52), GRASS),
        circle(0.68, 0.30, 0.05, SUN),
        rect(0.34, 0.66, 0.78, 0.72, LIGHT),             # label lines
        rect(0.34, 0.78, 0.66, 0.84, LIGHT),
    ]
    return shapes


def film():
    shapes = [rect(0.16, 0.04, 0.84, 0.96, DARK)]
    for i in range(5):
        y = 0.08 + i * 0.18
        shapes.append(rect(0.20, y, 0.28, y + 0.08, LIGHT))   # sprocket holes
        shapes.append(rect(0.72, y, 0.80, y + 0.08, LIGHT))
    shapes += [
        rect(0.33, 0.10, 0.67, 0.46, SKY),
        circle(0.50, 0.30, 0.09, SUN),
        rect(0.33, 0.54, 0.67, 0.90, GRASS),
        triangle((0.42, 0.62), (0.42, 0.82), (0.60, 0.72), WHITE),   # play mark
    ]
    return shapes


def calendar():
    shapes = [
        rect(0.08, 0.14, 0.92, 0.92, DARK),
        rect(0.11, 0.17, 0.89, 0.89, WHITE),
        rect(0.11, 0.17, 0.89, 0.36, RED),
        rect(0.26, 0.06, 0.32, 0.24, GREY),          # rings
        rect(0.68, 0.06, 0.74, 0.24, GREY),
    ]
    for row in range(3):
        for col in range(4):
            x = 0.17 + col * 0.18
            y = 0.44 + row * 0.15
            colour = AMBER if (row, col) == (1, 2) else GREY
            shapes.append(rect(x, y, x + 0.12, y + 0.09, colour))
    return shapes


def render(shapes, size):
    """Returns rows top-down of (b, g, r, a)."""
    rows = []
    n = size * SS
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            cover = 0
            for sy in range(SS):
                for sx in range(SS):
                    x = (px * SS + sx + 0.5) / n
                    y = (py * SS + sy + 0.5) / n
                    colour = None
                    for s in shapes:            # later shapes paint over earlier ones
                        c = s(x, y)
                        if c is not None:
                            colour = c
                    if colour is not None:
                        cover += 1
                        for i in range(3):
                            acc[i] += colour[i]
            if cover:
                r, g, b = (acc[i] // cover for i in range(3))
                a = cover * 255 // (SS * SS)
            else:
                r = g = b = a = 0
            row.append((b, g, r, a))
        rows.append(row)
    return rows


def icon_image(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(rows):                  # bottom-up
        for b, g, r, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    andmask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:                         # transparent where mostly uncovered
                bits[x // 8] |= 0x80 >> (x % 8)
        andmask += bits
    return header + bytes(xor) + bytes(andmask)


def write_ico(path, shapes):
    images = [icon_image(render(shapes, s)) for s in (32, 16)]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, img in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    with open(path, 'wb') as f:
        f.write(out)


ICONS = {
    'frame.ico': camera,
    'album.ico': album,
    'image.ico': picture,
    'movie.ico': film,
    'calendar.ico': calendar,
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'res', 'icons')
    os.makedirs(out, exist_ok=True)
    for name, scene in ICONS.items():
        write_ico(os.path.join(out, name), scene())


if __name__ == '__main__':
    main()
