#!/usr/bin/env bash
# Rebuilds the seed corpus of jpeg_fuzz: a few tiny JPEGs of the kinds the
# decoder meets (baseline, progressive, greyscale, 4:2:0, restart markers,
# arithmetic coding), made with cjpeg from a small generated picture.
set -euo pipefail
out="$(cd "$(dirname "$0")" && pwd)/corpus/jpeg_fuzz"
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 - "$tmp/p.ppm" "$tmp/g.pgm" <<'PY'
import sys
w, h = 24, 16
rgb = bytes(((x * 10 + y * 3) & 255, (y * 15) & 255, ((x ^ y) * 9) & 255) [i]
            for y in range(h) for x in range(w) for i in range(3))
open(sys.argv[1], "wb").write(b"P6 %d %d 255\n" % (w, h) + rgb)
open(sys.argv[2], "wb").write(b"P5 %d %d 255\n" % (w, h) + rgb[::3])
PY
cjpeg -quality 75 -sample 2x1 "$tmp/p.ppm" > "$out/baseline_422.jpg"
cjpeg -quality 60 -sample 2x2 "$tmp/p.ppm" > "$out/baseline_420.jpg"
cjpeg -quality 90 -sample 1x1 -progressive "$tmp/p.ppm" > "$out/progressive_444.jpg"
cjpeg -quality 75 -grayscale "$tmp/g.pgm" > "$out/grey.jpg"
cjpeg -quality 75 -restart 1 "$tmp/p.ppm" > "$out/restart.jpg"
cjpeg -quality 75 -arithmetic "$tmp/p.ppm" > "$out/arithmetic.jpg"
ls -l "$out"
