#!/usr/bin/env bash
# `fqtool convert` BMP → JPEG (quality 75, chroma 2x1, with the generated
# Exif segment and thumbnail, as Save As writes it) against
# `cjpeg -quality 75 -sample 2x1` on the same 2048 × 1536 picture, in the
# same run; prints CPU time (user + system) of each and the ratio.
# Usage: bench/convert_run.sh [build folder] [other fqtool to compare]
#   (default build folder: build-bench, Release; built when missing)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
other=${2:-}
if [ ! -x "$build/fqtool" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DFQ_WINE=OFF -DFQ_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target fqtool
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The picture of bench/jpeg_run.sh: gradients, hard edges, light noise.
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

cmds=(-n cjpeg "cjpeg -quality 75 -sample 2x1 -outfile $tmp/c.jpg $tmp/in.bmp"
      -n fqtool "$build/fqtool convert $tmp/in.bmp $tmp/f.jpg --quality standard --sampling 2x1,1x1,1x1")
[ -n "$other" ] && cmds+=(-n other "$other convert $tmp/in.bmp $tmp/o.jpg --quality standard --sampling 2x1,1x1,1x1")
TMPDIR="$tmp" hyperfine -N -w 3 -r "${FQ_BENCH_RUNS:-20}" --export-json "$tmp/r.json" "${cmds[@]}" >&2
python3 - "$tmp/r.json" <<'PY'
import json, sys
res = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
cpu = {k: (r["user"] + r["system"]) * 1000 for k, r in res.items()}
wall = {k: r["mean"] * 1000 for k, r in res.items()}
print("| command | CPU ms (user + system) | wall ms | CPU / cjpeg |")
print("|---|---:|---:|---:|")
for k in res:
    print(f"| {k} | {cpu[k]:.1f} ({res[k]['user']*1000:.1f} + {res[k]['system']*1000:.1f}) "
          f"| {wall[k]:.1f} | {cpu[k] / cpu['cjpeg']:.2f}x |")
PY
