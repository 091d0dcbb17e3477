#!/usr/bin/env bash
# Writes the seed corpus of the movie-frame fuzz target: packed frames (a
# bitmap header, masks, colour table, rows, no file header) in the forms a
# decoder hands over — 24-, 16- and 32-bit, palette, run-length — made from
# BMP files with ImageMagick, and two top-down frames built by hand.
set -euo pipefail
IM=/usr/bin/convert
out="$(cd "$(dirname "$0")" && pwd)/corpus/movie_frame_fuzz"
mkdir -p "$out"
rm -f "$out"/*.dib
src="$(mktemp -d)"
trap 'rm -rf "$src"' EXIT
$IM -size 13x7 gradient:red-blue "$src/grad.png"
$IM "$src/grad.png" -type TrueColor BMP3:"$src/rgb24.bmp"
$IM hald:2 -type Palette BMP3:"$src/pal8.bmp"
$IM -size 24x40 gradient:red-blue -type Palette -compress RLE BMP3:"$src/rle8.bmp"
$IM "$src/grad.png" -define bmp:subtype=RGB565 BMP:"$src/rgb565.bmp"
$IM "$src/grad.png" -define bmp:subtype=RGB555 BMP3:"$src/rgb555.bmp"
$IM "$src/grad.png" -alpha set BMP:"$src/argb32.bmp"
# A packed frame is a BMP file without its 14-byte file header (these files
# have no gap before their pixels).
for f in "$src"/*.bmp; do
  tail -c +15 "$f" >"$out/$(basename "$f" .bmp).dib"
done
python3 - "$out" <<'PY'
import struct, sys
out = sys.argv[1]
def frame(w, h, bits, pixels, colors=b"", used=0):
    head = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, 0, 0, 0, used, 0)
    return head + colors + pixels
# 3 x 2 top-down, 24 bits, rows padded to 12 bytes.
open(f"{out}/topdown24.dib", "wb").write(
    frame(3, -2, 24, bytes(range(9)) + b"\0" * 3 + bytes(range(9, 18)) + b"\0" * 3))
# 2 x 2 top-down, 8 bits, three colours.
open(f"{out}/topdown8.dib", "wb").write(
    frame(2, -2, 8, b"\x02\x01\0\0\0\x02\0\0", bytes(range(12)), 3))
PY
ls "$out"
