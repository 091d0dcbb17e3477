#!/usr/bin/env bash
# Album thumbnails against djpeg: an album made by fqtool from JPEGs of
# several sizes, orientations, samplings, greyscale, progressive and with
# restart markers stores, for each, exactly the nearest-neighbour samples
# (counted from the bottom-left) of djpeg's full decode at the fitted size
# (fqtool decodes only the sampled rows, as Add to Album does); a BMP source gives its own samples. The album
# file reads back with every entry, and its thumbnails come out as BMP
# files ImageMagick reads at the fitted sizes.
# Argument: the build folder holding fqtool.
set -euo pipefail
build=${1:?build folder}
fqtool="$build/fqtool"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Pictures with detail everywhere, so that a sample taken one pixel off
# shows.
make() {  # name width height
  python3 - "$tmp/$1.ppm" "$2" "$3" <<'PY'
import sys, random
random.seed(int(sys.argv[2]) * 7 + int(sys.argv[3]))
w, h = int(sys.argv[2]), int(sys.argv[3])
px = bytearray()
for y in range(h):
    for x in range(w):
        px += bytes(((x * 7 + y * 3) & 255, (x ^ y) & 255, random.randrange(256)))
open(sys.argv[1], "wb").write(b"P6 %d %d 255\n" % (w, h) + px)
PY
}
make wide 1600 1200
make tall 480 640
make odd 203 131
make tiny 10 7
cjpeg -quality 90 "$tmp/wide.ppm" >"$tmp/wide.jpg"
cjpeg -quality 75 -sample 2x1 "$tmp/tall.ppm" >"$tmp/tall.jpg"
cjpeg -quality 85 -sample 1x1 "$tmp/odd.ppm" >"$tmp/odd.jpg"
cjpeg -quality 95 "$tmp/tiny.ppm" >"$tmp/tiny.jpg"
cjpeg -grayscale "$tmp/odd.ppm" >"$tmp/grey.jpg"
cjpeg -progressive -quality 80 "$tmp/wide.ppm" >"$tmp/progressive.jpg"
cjpeg -restart 1 -sample 2x1 "$tmp/odd.ppm" >"$tmp/restart.jpg"
/usr/bin/convert "$tmp/odd.ppm" -type TrueColor BMP3:"$tmp/odd.bmp"

pictures=(wide.jpg tall.jpg odd.jpg tiny.jpg grey.jpg progressive.jpg restart.jpg odd.bmp)
(cd "$tmp" && "$fqtool" album make album.alb "${pictures[@]}")
"$fqtool" album list "$tmp/album.alb" | tee "$tmp/list"
grep -q "^entries: ${#pictures[@]}$" "$tmp/list"
mkdir "$tmp/thumbs"
"$fqtool" album thumbnails "$tmp/album.alb" "$tmp/thumbs" >"$tmp/names"

i=0
for p in "${pictures[@]}"; do
  i=$((i + 1))
  thumb=$(printf '%s/thumbs/%03d.bmp' "$tmp" "$i")
  grep -q "$(printf '%03d' "$i").bmp .*/$p\$" "$tmp/names"
  case $p in
    *.jpg) djpeg -pnm "$tmp/$p" >"$tmp/$p.pnm" ;;
    *.bmp) /usr/bin/convert "$tmp/$p" "$tmp/$p.pnm" ;;
  esac
  python3 - "$tmp/$p.pnm" "$thumb" "$p" <<'PY'
import struct, sys
def pnm(path):
    d = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while d[pos:pos + 1].isspace(): pos += 1
        start = pos
        while not d[pos:pos + 1].isspace(): pos += 1
        fields.append(d[start:pos])
    pos += 1
    magic, w, h = fields[0], int(fields[1]), int(fields[2])
    px = d[pos:]
    if magic == b"P5":  # grey: three equal channels
        px = bytes(v for g in px for v in (g, g, g))
    return w, h, px  # top row first, RGB
w, h, src = pnm(sys.argv[1])
b = open(sys.argv[2], "rb").read()
assert b[:2] == b"BM"
off = struct.unpack_from("<I", b, 10)[0]
hs, tw, th, planes, bits = struct.unpack_from("<IiiHH", b, 14)
assert hs == 40 and bits == 24 and th > 0, (hs, bits, th)
# The fitted size by the cell's rule.
if w * 72 > h * 96: fw, fh = 96, max(1, h * 96 // w)
else: fw, fh = max(1, w * 72 // h), 72
assert (tw, th) == (fw, fh), ("size", tw, th, fw, fh)
stride = (tw * 3 + 3) // 4 * 4
bad = 0
for r in range(th):          # from the bottom
    sy = h - 1 - r * h // th  # source row from the bottom, as a top-first index
    for c in range(tw):
        sx = c * w // tw
        s = src[(sy * w + sx) * 3:(sy * w + sx) * 3 + 3]
        t = b[off + r * stride + c * 3:off + r * stride + c * 3 + 3]
        if bytes((t[2], t[1], t[0])) != s: bad += 1
print("%-9s %4dx%-4d -> %2dx%-2d nearest samples differing: %d" % (sys.argv[3], w, h, tw, th, bad))
sys.exit(1 if bad else 0)
PY
  [ "$(/usr/bin/identify -format '%wx%h' "$thumb")" != "" ]
done
echo "PASS"
