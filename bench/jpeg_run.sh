#!/usr/bin/env bash
# JPEG coding speed against djpeg and cjpeg on the same 2048 × 1536 files in
# the same run: Google Benchmark for the in-process roads, hyperfine for the
# command-line jobs (fqtool convert vs djpeg -bmp / cjpeg).
# Usage: bench/jpeg_run.sh [build folder]   (default: build-bench, Release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
if [ ! -x "$build/jpeg_bench" ] || [ ! -x "$build/fqtool" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DFQ_WINE=OFF -DFQ_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target jpeg_bench fqtool
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 - "$tmp/in.ppm" <<'PY'
import sys, random
random.seed(3)
w, h = 2048, 1536
noise = bytes(random.randrange(8) for _ in range(4096))
rows = []
for y in range(h):
    row = bytearray(3 * w)
    for x in range(w):
        edge = 60 if (x // 97 + y // 61) % 2 else 0
        n = noise[(x * 7 + y * 13) & 4095]
        row[3 * x] = (x * 255 // w + edge + n) & 255
        row[3 * x + 1] = (y * 255 // h + n) & 255
        row[3 * x + 2] = ((x + y) * 255 // (w + h) + edge + n) & 255
    rows.append(bytes(row))
open(sys.argv[1], "wb").write(b"P6 %d %d 255\n" % (w, h) + b"".join(rows))
PY
/usr/bin/convert "$tmp/in.ppm" BMP3:"$tmp/in.bmp"
cjpeg -quality 75 -sample 2x1 -outfile "$tmp/in.jpg" "$tmp/in.ppm"
ls -l "$tmp/in.jpg" "$tmp/in.bmp"

echo "== in-process (Google Benchmark)"
FQ_BENCH_JPEG="$tmp/in.jpg" FQ_BENCH_BMP="$tmp/in.bmp" TMPDIR="$tmp" \
  "$build/jpeg_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.5

echo "== command line (hyperfine): decode JPEG → BMP file"
TMPDIR="$tmp" hyperfine -N -w 3 -r 20 \
  "djpeg -bmp -outfile $tmp/d.bmp $tmp/in.jpg" \
  "$build/fqtool convert $tmp/in.jpg $tmp/f.bmp"
echo "== command line (hyperfine): encode BMP file → JPEG (quality 75, 2x1)"
TMPDIR="$tmp" hyperfine -N -w 3 -r 20 \
  "cjpeg -quality 75 -sample 2x1 -outfile $tmp/c.jpg $tmp/in.bmp" \
  "$build/fqtool convert $tmp/in.bmp $tmp/f.jpg --quality standard --sampling 2x1,1x1,1x1"
