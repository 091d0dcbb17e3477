#!/usr/bin/env bash
# Printing one "4 Images/Sheet" page of four 2048 × 1536 camera JPEGs under
# Wine: from OK in the print dialog to the PostScript file closed (the
# printer added by the tests' fq_add_printer writes each job straight into
# a file), N runs (default 5), median. Beside it in the same run: ImageMagick's
# montage of the same four files into the same A4 layout at 300 dpi (cells
# 1154 × 1539, as the program lays them out), piped through netpbm's pnmtops
# into PostScript (hyperfine). Prints the numbers for bench/RESULTS.md.
#
#   bench/print_page.sh <Win32 build dir> [runs]
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
source "$BENCH_DIR/../tests/app/lib.sh"
RUNS=${1:-5}

work=$FQ_ARTIFACTS/print_page
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }
drv() { fq_driver "$@" | tr -d '\r'; }
ps=$work/job.ps
fq_add_printer "$ps"

pics=()
for s in 1 2 3 4; do
  /usr/bin/convert -seed "$s" -size 2048x1536 plasma:fractal -blur 0x2 "$work/p.ppm"
  cjpeg -quality 90 "$work/p.ppm" >"$work/cam$s.jpg"
  pics+=("$(winpath "$work/cam$s.jpg")")
done
rm "$work/p.ppm"
python3 "$BENCH_DIR/../tests/app/make_album.py" "$work/four.alb" "${pics[@]}"
printf '[ORXAPP]\r\nAlbType=2\r\nAlbAll=1\r\nPrnName=0\r\nPrnDate=0\r\n' >"$FQ_INI"

fq_start_app "$(winpath "$work/four.alb")"
drv wait-window ORXDscFrame Fotaquill 30000 >/dev/null
for i in $(seq 1 100); do drv mdi-children ORXDscFrame Fotaquill | grep -q four.alb && break; sleep 0.2; done
sleep 2

ours=()
for r in $(seq 1 "$RUNS"); do
  rm -f "$ps"
  drv post-command 102
  drv dlg-wait Print 10000
  t0=$(date +%s%N)
  drv dlg-press Print 1 >/dev/null
  until tail -c 200 "$ps" 2>/dev/null | grep -q '%%EOF'; do sleep 0.02; done
  t1=$(date +%s%N)
  ours+=($(((t1 - t0) / 1000000)))
  [ "$(grep -c '^%%Page:' "$ps")" = 1 ] || { echo "not one page" >&2; exit 1; }
  sleep 1
done
size=$(stat -c %s "$ps")
drv close ORXDscFrame Fotaquill
fq_wait_app_exit 20 || true

cd "$work"
hyperfine -N --warmup 1 --runs "$RUNS" --export-json "$work/peer.json" \
  "bash -c 'montage cam1.jpg cam2.jpg cam3.jpg cam4.jpg -tile 2x2 -geometry 1154x1539+4+70 -density 300 ppm:- | pnmtops -dpi 300 -width 8.27 -height 11.69 -noturn > magick.ps'" \
  >/dev/null
peer=$(jq '.results[0].median * 1000 | floor' "$work/peer.json")
median=$(printf '%s\n' "${ours[@]}" | sort -n | sed -n "$(((RUNS + 1) / 2))p")
echo "print one 4 Images/Sheet page (runs ms): ${ours[*]}"
echo "ours median: $median ms, PostScript $size bytes"
echo "montage | pnmtops median: $peer ms, PostScript $(stat -c %s "$work/magick.ps") bytes"
awk -v a="$median" -v b="$peer" 'BEGIN {printf "montage | pnmtops / ours: %.2fx\n", b / a}'
