#!/usr/bin/env python3
"""Checks pages drawn by `fqtool calendar render` against Python's own
calendar module and the page's millimetres, and the photograph against
ImageMagick.

For every month 1999-2099 a monthly portrait page is made with distinct
weekday, Saturday, Sunday and frame colours: the day ink must sit in exactly
the cells the calendar module gives (in the colour of the cell's column),
and the grid lines where the page's millimetres put them. Yearly pages of
some years are checked block by block the same way. A page with a 2048 x
1536 photograph must show it as ImageMagick resizes it into the box.

Usage: calendar_peer.py BUILD_DIR
"""
import calendar
import os
import struct
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

BUILD = sys.argv[1]
FQTOOL = os.path.join(BUILD, "fqtool")
# A face with sturdy strokes (Debian's fonts-dejavu-core), so that every
# glyph has pixels of exactly its colour whatever other faces the machine
# has: the checks look for those.
FACE = "DejaVu Sans"
# Colours as RRGGBB for fqtool, and the BGR bytes a BMP stores them as.
WEEKDAY, SATURDAY, SUNDAY, FRAME = "00A000", "0000FF", "FF0000", "505050"


def bgr(hex_rgb):
    v = bytes.fromhex(hex_rgb)
    return bytes([v[2], v[1], v[0]])


INK = {"weekday": bgr(WEEKDAY), "saturday": bgr(SATURDAY), "sunday": bgr(SUNDAY)}
FRAME_BGR = bgr(FRAME)


class Page:
    """A 24-bit BMP as rows of bytes, top row first."""

    def __init__(self, path):
        data = open(path, "rb").read()
        offset = struct.unpack_from("<I", data, 10)[0]
        self.width, height = struct.unpack_from("<ii", data, 18)
        self.height = abs(height)
        stride = (self.width * 3 + 3) & ~3
        rows = [data[offset + stride * i: offset + stride * i + self.width * 3]
                for i in range(self.height)]
        self.rows = rows[::-1] if height > 0 else rows

    def pixel(self, x, y):
        return self.rows[y][3 * x: 3 * x + 3]

    def has(self, colour, x0, y0, x1, y1):
        """Whether a pixel of exactly `colour` lies in [x0, x1) x [y0, y1)."""
        for y in range(y0, y1):
            row = self.rows[y]
            at = row.find(colour, 3 * x0, 3 * x1)
            while at >= 0:
                if at % 3 == 0:
                    return True
                at = row.find(colour, at + 1, 3 * x1)
        return False


def run(*args):
    subprocess.run([FQTOOL, "calendar", *args], check=True, capture_output=True)


def px(mm, scale):
    return int(mm * scale)


def colour_of_column(c):
    return "sunday" if c == 0 else "saturday" if c == 6 else "weekday"


def check_monthly(page, year, month, scale):
    """Day ink in the module's cells, grid lines at the page's millimetres."""
    weeks = calendar.Calendar(firstweekday=6).monthdayscalendar(year, month)
    first, length = calendar.monthrange(year, month)
    first = (first + 1) % 7  # the module counts from Monday
    six = (first == 5 and length == 31) or (first == 6 and length >= 30)
    rows = 6 if six else 5
    assert len(weeks) <= rows, (year, month, len(weeks))
    weeks += [[0] * 7] * (rows - len(weeks))
    top, pitch = (170.0, 19.0) if six else (171.5, 22.5)
    errors = []
    for k, week in enumerate(weeks):
        for c, day in enumerate(week):
            # The cell inside its grid lines.
            x0 = px(17.5 + 25 * c + 1.5, scale)
            x1 = px(17.5 + 25 * (c + 1) - 1.5, scale)
            y0 = px(top + pitch * k + 1.5, scale)
            y1 = px(top + pitch * (k + 1) - 1.5, scale)
            found = {name for name, ink in INK.items() if page.has(ink, x0, y0, x1, y1)}
            want = {colour_of_column(c)} if day else set()
            if found != want:
                errors.append(f"{year}-{month:02d} row {k} col {c} day {day}: {sorted(found)}")
    # Grid lines: vertical at the column boundaries, horizontal at the grid
    # top, the heading's bottom and every week row, checked half way along.
    ys = [155.0] + [top + pitch * i for i in range(rows + 1)]
    for i in range(8):
        x = px(17.5 + 25 * i, scale)
        y = px(top + pitch * 0.5, scale)
        if page.pixel(x, y) != FRAME_BGR:
            errors.append(f"{year}-{month:02d} no vertical line {i} at x={x}")
    for i, y_mm in enumerate(ys):
        y = px(y_mm, scale)
        x = px(17.5 + 12.5, scale)
        if page.pixel(x, y) != FRAME_BGR:
            errors.append(f"{year}-{month:02d} no horizontal line {i} at y={y}")
    # And nothing of the frame's colour half way between two lines.
    for i in range(len(ys) - 1):
        y = px((ys[i] + ys[i + 1]) / 2, scale)
        if page.pixel(px(17.5 + 12.5, scale), y) == FRAME_BGR:
            errors.append(f"{year}-{month:02d} frame colour between lines {i} and {i + 1}")
    return errors


def check_yearly(page, year, scale):
    errors = []
    for m in range(12):
        left = 17.5 + 45.5 * (m % 4)
        top = 155 + 43 * (m // 4) + 8 + 5
        weeks = calendar.Calendar(firstweekday=6).monthdayscalendar(year, m + 1)
        for k, week in enumerate(weeks + [[0] * 7] * (6 - len(weeks))):
            for c, day in enumerate(week):
                x0, x1 = px(left + 5.5 * c, scale) + 1, px(left + 5.5 * (c + 1), scale) - 1
                y0, y1 = px(top + 5 * k, scale) + 1, px(top + 5 * (k + 1), scale) - 1
                found = {name for name, ink in INK.items() if page.has(ink, x0, y0, x1, y1)}
                want = {colour_of_column(c)} if day else set()
                if found != want:
                    errors.append(f"{year} month {m + 1} row {k} col {c} day {day}: {sorted(found)}")
    return errors


def monthly_job(work, year, month, width):
    cal = os.path.join(work, f"m{year}_{month}.cal")
    bmp = os.path.join(work, f"m{year}_{month}.bmp")
    run("make", cal, "--kind", "monthly", "--year", str(year), "--month", str(month),
        "--colors", f"{WEEKDAY},{SATURDAY},{SUNDAY},{FRAME}", "--position", "1335",
        "--face", FACE)
    run("render", cal, bmp, "--width", str(width))
    errors = check_monthly(Page(bmp), year, month, width / 210.0)
    os.remove(cal)
    os.remove(bmp)
    return errors


def psnr(a, b):
    out = subprocess.run(["/usr/bin/compare", "-metric", "PSNR", a, b, "null:"],
                         capture_output=True, text=True)
    return float(out.stderr.split()[0])


def main():
    errors = []
    with tempfile.TemporaryDirectory() as work:
        # Every month of the accepted range; half the native width keeps the
        # run short (the layout scales: see the printer-width test).
        jobs = [(y, m) for y in range(1999, 2100) for m in range(1, 13)]
        with ThreadPoolExecutor(max_workers=2) as pool:
            for e in pool.map(lambda ym: monthly_job(work, ym[0], ym[1], 420), jobs):
                errors += e
        print(f"monthly pages checked: {len(jobs)}")
        # A few at the native width.
        for year, month in [(2000, 2), (2003, 8), (2099, 12)]:
            errors += monthly_job(work, year, month, 840)
        # Yearly pages at the native width.
        years = [1999, 2000, 2001, 2024, 2096, 2099]
        for year in years:
            cal = os.path.join(work, f"y{year}.cal")
            bmp = os.path.join(work, f"y{year}.bmp")
            run("make", cal, "--kind", "yearly", "--year", str(year),
                "--colors", f"{WEEKDAY},{SATURDAY},{SUNDAY},{FRAME}", "--face", FACE)
            run("render", cal, bmp)
            errors += check_yearly(Page(bmp), year, 4.0)
        print(f"yearly pages checked: {len(years)}")

        # The photograph: a 2048 x 1536 JPEG fills the 160 x 120 mm box
        # (640 x 480 pixels at 25, 13 mm) as ImageMagick resizes it.
        jpg = os.path.join(work, "photo.jpg")
        subprocess.run(["/usr/bin/convert", "-size", "2048x1536", "gradient:navy-orange",
                        "-fill", "white", "-draw", "circle 1024,768 1024,300",
                        "-fill", "green", "-draw", "rectangle 200,200 700,600",
                        "-quality", "92", jpg], check=True)
        cal = os.path.join(work, "photo.cal")
        page_bmp = os.path.join(work, "photo_page.bmp")
        run("make", cal, "--kind", "monthly", "--year", "2000", "--month", "2", "--photo", jpg)
        run("render", cal, page_bmp)
        box = os.path.join(work, "box.png")
        subprocess.run(["/usr/bin/convert", page_bmp, "-crop", "640x480+100+52", "+repage", box],
                       check=True)
        sampled = os.path.join(work, "sampled.png")
        resized = os.path.join(work, "resized.png")
        subprocess.run(["/usr/bin/convert", jpg, "-sample", "640x480!", sampled], check=True)
        subprocess.run(["/usr/bin/convert", jpg, "-resize", "640x480!", resized], check=True)
        p_sample, p_resize = psnr(box, sampled), psnr(box, resized)
        print(f"photograph PSNR: {p_sample:.1f} dB against ImageMagick -sample, "
              f"{p_resize:.1f} dB against -resize")
        # Nearest-pixel stretching picks other source pixels than either of
        # ImageMagick's resizes (it takes the pixel at the left/top edge of
        # each step, -sample the one at its centre, -resize filters): both
        # land near 33 dB on this picture; a misplaced or mis-scaled box
        # falls far below 20.
        if p_sample < 30:
            errors.append(f"photograph differs from ImageMagick's -sample: {p_sample:.1f} dB")
        if p_resize < 30:
            errors.append(f"photograph differs from ImageMagick's -resize: {p_resize:.1f} dB")
        # White everywhere around the box's rows above the title.
        page = Page(page_bmp)
        if page.pixel(50, 200) != b"\xff\xff\xff" or page.pixel(800, 200) != b"\xff\xff\xff":
            errors.append("the page beside the photograph is not white")

    for e in errors[:40]:
        print("MISMATCH", e)
    print(f"{len(errors)} mismatches")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
