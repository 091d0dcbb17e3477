#!/usr/bin/env bash
# A monthly portrait calendar page with a 2048 × 1536 photograph, drawn by
# `fqtool calendar render` and by ImageMagick in the same run: the same
# white page, the photograph resized into the same box, the same grid lines
# and texts at the same places (ImageMagick draws the item list fqtool
# prints), BMP out. hyperfine, median of the runs.
# Usage: bench/calendar_run.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:?usage: bench/calendar_run.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-15}
IM=/usr/bin/convert
fqtool="$build/fqtool"
command -v hyperfine >/dev/null || { echo "hyperfine is needed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

$IM -seed 2 -size 2048x1536 plasma:fractal -quality 90 "$work/photo.jpg"
"$fqtool" calendar make "$work/page.cal" --kind monthly --year 2003 --month 8 \
  --photo "$work/photo.jpg" --face "DejaVu Sans" --text 15=Meeting --text 29=Trip
"$fqtool" calendar photo "$work/page.cal" "$work/photo.bmp"

# The same page as ImageMagick drawing primitives (an MVG file, read as a
# picture): white page, the photograph, filled line rectangles, texts at
# their baselines.
"$fqtool" calendar items "$work/page.cal" | python3 -c '
import sys
photo = sys.argv[1]
out = ["viewbox 0 0 840 1188", "font DejaVu-Sans", "stroke none"]
for line in sys.stdin:
    f = line.rstrip("\n").split(" ", 7)
    kind, l, t, r, b, rgb, size = f[0], *map(int, f[1:5]), f[5], int(f[6])
    text = f[7] if len(f) > 7 else ""
    if kind == "photo":
        out.append(f"image over {l},{t} {r - l},{b - t} \"{photo}\"")
    elif kind in ("fill", "line"):
        out.append(f"fill #{rgb} rectangle {l},{t} {r - 1},{b - 1}")
    elif kind == "text" and text:
        em = abs(size)
        out.append(f"fill #{rgb} font-size {em} text {l},{t + em * 4 // 5} \"{text}\"")
print("\n".join(out))
' "$work/photo.jpg" >"$work/page_jpg.mvg"
sed "s#\"$work/photo.jpg\"#\"$work/photo.bmp\"#" "$work/page_jpg.mvg" >"$work/page_bmp.mvg"

hyperfine -N --warmup 2 --runs "$runs" --export-json "$work/times.json" \
  -n fqtool "$fqtool calendar render $work/page.cal $work/fq.bmp" \
  -n im-jpeg "$IM mvg:$work/page_jpg.mvg BMP3:$work/im_jpg.bmp" \
  -n im-bmp "$IM mvg:$work/page_bmp.mvg BMP3:$work/im_bmp.bmp"
/usr/bin/compare -metric PSNR "$work/fq.bmp" "$work/im_bmp.bmp" null: 2>"$work/psnr" || true
echo "PSNR fqtool page vs ImageMagick page: $(cat "$work/psnr") dB (glyphs and resampling differ)"
python3 - "$work/times.json" <<'PY'
import json, sys
r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
ours = r["fqtool"]["median"] * 1000
print("| page | fqtool (ms) | ImageMagick (ms) | ImageMagick / fqtool |")
print("|---|---:|---:|---:|")
for name, label in [("im-jpeg", "photograph from the JPEG"), ("im-bmp", "photograph from the same BMP")]:
    im = r[name]["median"] * 1000
    print(f"| monthly portrait, {label} | {ours:.1f} | {im:.1f} | {im / ours:.1f}x |")
PY
