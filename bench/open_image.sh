#!/usr/bin/env bash
# Opening a picture under Wine: the time from launching the program with a
# 2048 × 1536 JPEG on its command line to its image window painted and the
# program idle, less the time from launching it without a file to its frame
# painted and idle; N runs each (default 5), medians. Beside it, in the same
# run, `djpeg -bmp` decoding the same file (hyperfine). Writes the "Opening
# a picture" section of bench/RESULTS.md (other sections are left alone).
#
#   bench/open_image.sh <Win32 build dir> [runs]
#
# "Painted and idle": fqdriver wait-idle finds the window once its title
# carries the zoom (set while the window paints) and then sends it a message;
# the answer comes when the program is back in its message loop, i.e. the
# paint has finished. The driver is started before the program, so its own
# start-up is not in the figure.
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
source "$BENCH_DIR/../tests/app/lib.sh"
RUNS=${1:-5}

work=$FQ_ARTIFACTS/open_image
rm -rf "$work"
mkdir -p "$work"
/usr/bin/convert -seed 7 -size 2048x1536 plasma:fractal -quality 90 "$work/big.jpg" ||
  fq_fail "no test picture"
bigwin="Z:${work//\//\\}\\big.jpg"

# Milliseconds from launch to the window named by $1 (a title prefix, "-" for
# the frame) painted and idle; the rest of the arguments are the program's.
open_ms() {
  local want=$1 out t0 pid drv
  shift
  out=$(mktemp)
  fq_driver wait-idle "$want" 60000 >"$out" 2>&1 &
  drv=$!
  sleep 1.5  # the driver is running and polling before the program starts
  t0=$(date +%s%3N)
  "$WINELOADER" "$FQ_BUILD/fotaquill.exe.so" "$@" </dev/null >/dev/null 2>&1 &
  pid=$!
  if ! wait "$drv"; then
    kill "$pid" 2>/dev/null || true
    fq_fail "wait-idle $want: $(tr -d '\r' <"$out")"
  fi
  local line
  line=$(tr -d '\r' <"$out")
  rm -f "$out"
  echo "$line" >"$work/last_idle"
  fq_driver close ORXDscFrame - >/dev/null || true
  timeout 15 tail --pid="$pid" -f /dev/null || kill "$pid" 2>/dev/null || true
  echo $((${line##*at_ms=} - t0))
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }

# One unmeasured start of each warms the prefix and the file cache.
open_ms - >/dev/null
open_ms "big.jpg [" "$bigwin" >/dev/null
title=$(sed -n 's/^title=\(.*\) at_ms=.*/\1/p' "$work/last_idle")

with=() without=()
for i in $(seq 1 "$RUNS"); do
  without+=("$(open_ms -)")
  with+=("$(open_ms "big.jpg [" "$bigwin")")
done
w_med=$(printf '%s\n' "${with[@]}" | median)
e_med=$(printf '%s\n' "${without[@]}" | median)
open_med=$((w_med - e_med))

hyperfine --warmup 3 --runs 20 --export-json "$work/djpeg.json" \
  "djpeg -bmp '$work/big.jpg' >/dev/null" >/dev/null
djpeg_ms=$(jq '.results[0].median * 1000' "$work/djpeg.json")
djpeg_user=$(jq '.results[0].user * 1000' "$work/djpeg.json")
ratio=$(awk -v a="$open_med" -v b="$djpeg_ms" 'BEGIN { printf "%.1f", a / b }')
djpeg_ms=$(printf '%.1f' "$djpeg_ms")
djpeg_user=$(printf '%.1f' "$djpeg_user")
size=$(stat -c %s "$work/big.jpg")

echo "with the picture:   ${with[*]} ms (median $w_med)"
echo "frame only:         ${without[*]} ms (median $e_med)"
echo "opening the picture: $open_med ms; djpeg -bmp: $djpeg_ms ms (user $djpeg_user ms); ratio $ratio"

results=$BENCH_DIR/RESULTS.md
section=$(mktemp)
cat >"$section" <<MD
## Opening a picture

A 2048 × 1536 JPEG ($size bytes, \`convert -size 2048x1536 plasma:fractal -quality 90\`)
opened from the command line under Wine $("$WINELOADER" --version 2>/dev/null || echo "?"), Xvfb, warm prefix
with its server running; $RUNS runs of each after one unmeasured start, \`bench/open_image.sh\`
($(date -u +%Y-%m-%d)).

Method: launch to "window painted and program idle". \`fqdriver wait-idle\` is started
before the program; it finds the image window once its title carries the zoom
(the title is set while the window paints) and then sends it a message, whose
answer comes once the program is back in its message loop, so the paint has
finished. The time to open the picture is the median with the file less the
median of launching without a file (frame painted and idle, measured the same
way). djpeg decodes the same file to BMP in the same run (hyperfine, 20 runs,
median).

| Measure | Runs (ms) | Median (ms) |
|---|---|---|
| launch with big.jpg to image window painted (\`$title\`) | ${with[*]} | $w_med |
| launch without a file to frame painted | ${without[*]} | $e_med |
| **opening the picture** (difference) | | **$open_med** |
| \`djpeg -bmp big.jpg > /dev/null\` (native, user CPU $djpeg_user ms) | | $djpeg_ms |

Opening the picture takes $ratio × the time djpeg needs to decode it.

Where the time goes: the decode itself is the library's (djpeg's) work plus
about 4 ms for the temporary BMP; the rest is Win32 work done through the
Wine server and the X server — creating and destroying the progress dialog,
creating the device bitmap (the picture's pixels cross to the X server once)
and painting the window. The progress meter is repainted only when its
position changes (25 steps), not for every group of rows.

On a private Xvfb there is no window manager, and Wine by default waits up
to two seconds for one to confirm that a window it hid is withdrawn; every
closed dialog then cost two seconds (this measured 2262 ms before). The set-up
scripts therefore make Wine's windows unmanaged on a private display
(\`tools/setup/common.sh\`, \`fq_window_management\`) and leave them managed on
a real one.

MD
[ -f "$results" ] || printf '# Benchmark results\n\n' >"$results"
# Replace the old section (up to the next "## " heading) or append.
awk -v file="$section" '
  BEGIN { while ((getline line < file) > 0) text = text line "\n" }
  /^## Opening a picture[[:space:]]*$/ { printf "%s", text; skip = 1; done = 1; next }
  skip && /^## / { skip = 0 }
  !skip { print }
  END { if (!done) printf "\n%s", text }
' "$results" >"$results.new"
mv "$results.new" "$results"
rm -f "$section"
echo "updated $results"
