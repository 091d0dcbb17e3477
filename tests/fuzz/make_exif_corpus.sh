#!/usr/bin/env bash
# Rebuilds the seed corpus of exif_fuzz: tiny JPEGs with Exif written by
# exiftool in both byte orders (texts, dates, exposure, a thumbnail), one
# written by our own Save As (fqtool convert, when a build folder is given),
# a maker APP0 segment and bare Exif segments.
# Usage: make_exif_corpus.sh [BUILD_DIR_WITH_FQTOOL]
set -euo pipefail
out="$(cd "$(dirname "$0")" && pwd)/corpus/exif_fuzz"
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 - "$tmp/p.ppm" <<'PY'
import sys
w, h = 16, 8
rgb = bytes(((x * 16 + y * 3) & 255, (y * 30) & 255, ((x ^ y) * 9) & 255)[i]
            for y in range(h) for x in range(w) for i in range(3))
open(sys.argv[1], "wb").write(b"P6 %d %d 255\n" % (w, h) + rgb)
PY
cjpeg -quality 50 "$tmp/p.ppm" > "$tmp/plain.jpg"
cjpeg -quality 30 -grayscale "$tmp/p.ppm" > "$tmp/thumb.jpg"
for order in MM II; do
  cp "$tmp/plain.jpg" "$out/exiftool_$order.jpg"
  exiftool -q -overwrite_original -ExifByteOrder=$order -Make=Maker -Model="Model 1" \
    -DateTimeOriginal="2003:04:05 06:07:08" -ModifyDate="2004:05:06 07:08:09" \
    -ExposureTime=1/125 -ExifImageWidth=16 -ExifImageHeight=8 "$out/exiftool_$order.jpg"
done
cp "$tmp/plain.jpg" "$out/exiftool_thumbnail.jpg"
exiftool -q -overwrite_original -Make=T "-ThumbnailImage<=$tmp/thumb.jpg" "$out/exiftool_thumbnail.jpg"
if [ $# -ge 1 ] && [ -x "$1/fqtool" ]; then
  "$1/fqtool" convert "$tmp/plain.jpg" "$out/save_as.jpg"
fi
python3 - "$out" <<'PY'
import struct, sys
out = sys.argv[1]
def seg(marker, body):
    return bytes([0xFF, marker]) + struct.pack(">H", len(body) + 2) + body
# Maker APP0: "II", base 30 after "HEAP" "JPGM", directory offset last.
body = bytearray(64)
body[0:2] = b"II"; body[6:14] = b"HEAPJPGM"
struct.pack_into("<HH4xI", body, 26, 1, 0x1810, 20)
struct.pack_into("<II", body, 46, 1280, 960)
struct.pack_into("<I", body, 60, 0)
open(out + "/maker_app0.bin", "wb").write(seg(0xE0, bytes(body)))
# Bare Exif segments: IFD0 with Make and an Exif IFD pointer; a self loop.
def tiff(order, loop):
    e = "<" if order == b"II" else ">"
    t = bytearray(order + struct.pack(e + "HI", 42, 8))
    t += struct.pack(e + "H", 2)
    t += struct.pack(e + "HHII", 271, 2, 6, 50)
    t += struct.pack(e + "HHII", 34665, 4, 1, 8 if loop else 60)
    t += struct.pack(e + "I", 8 if loop else 0)
    t += bytes(50 - len(t)) + b"Maker\0" + bytes(4)
    t += struct.pack(e + "H", 1) + struct.pack(e + "HHII", 40962, 4, 1, 640) + bytes(4)
    return seg(0xE1, b"Exif\0\0" + bytes(t))
open(out + "/exif_ii.bin", "wb").write(tiff(b"II", False))
open(out + "/exif_mm_loop.bin", "wb").write(tiff(b"MM", True))
PY
ls -l "$out"
