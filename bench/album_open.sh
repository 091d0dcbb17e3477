#!/usr/bin/env bash
# Opening an album under Wine: the time from launching the program with an
# album of 100 pictures (thumbnails stored) on its command line to the album
# window holding its 100 cells, painted and idle, less the time from
# launching it without a file to its frame painted and idle; N runs each
# (default 9), medians and minima (on the shared machine the load swings
# the launches by seconds; the minima are the steadiest figure). Beside it, in the same run, ImageMagick's montage
# laying out the same 100 thumbnails (written by `fqtool album thumbnails`)
# with their names in a five-column sheet (hyperfine). Writes the "Opening
# an album" section of bench/RESULTS.md (other sections are left alone).
#
#   bench/album_open.sh <Win32 build dir> [runs]
#
# "Painted and idle": fqdriver wait-album-idle waits for the 100 cells, then
# sends the album a message (answered once the program is back in its
# message loop) until neither the album nor a cell has anything left to
# paint. The driver is started before the program.
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
source "$BENCH_DIR/../tests/app/lib.sh"
RUNS=${1:-9}

work=$FQ_ARTIFACTS/album_open
rm -rf "$work"
mkdir -p "$work/pictures" "$work/thumbs"
# 100 photographs of 640 × 480: ten pictures, each saved ten times.
for s in 0 1 2 3 4 5 6 7 8 9; do
  /usr/bin/convert -seed "$s" -size 640x480 plasma:fractal "$work/p.ppm"
  for c in 0 1 2 3 4 5 6 7 8 9; do cjpeg -quality 85 "$work/p.ppm" >"$work/pictures/photo$s$c.jpg"; done
done
rm "$work/p.ppm"
(cd "$work/pictures" && "$FQ_BUILD/fqtool" album make "$work/album100.alb" photo*.jpg)
"$FQ_BUILD/fqtool" album thumbnails "$work/album100.alb" "$work/thumbs" >/dev/null
albumwin="Z:${work//\//\\}\\album100.alb"

# Milliseconds from launch to the moment the waiting driver command ($@)
# reports; the program's own arguments come after "--".
launch_ms() {
  local args=() out t0 pid drv line
  while [ "$1" != "--" ]; do args+=("$1"); shift; done
  shift
  out=$(mktemp)
  fq_driver "${args[@]}" >"$out" 2>&1 &
  drv=$!
  sleep 1.5  # the driver is running and polling before the program starts
  t0=$(date +%s%3N)
  "$WINELOADER" "$FQ_BUILD/fotaquill.exe.so" "$@" </dev/null >/dev/null 2>&1 &
  pid=$!
  if ! wait "$drv"; then
    kill "$pid" 2>/dev/null || true
    fq_fail "${args[*]}: $(tr -d '\r' <"$out")"
  fi
  line=$(tr -d '\r' <"$out")
  rm -f "$out"
  fq_driver close ORXDscFrame - >/dev/null || true
  timeout 15 tail --pid="$pid" -f /dev/null || kill "$pid" 2>/dev/null || true
  echo $((${line##*at_ms=} - t0))
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }

# One unmeasured start of each warms the prefix and the file cache.
launch_ms wait-idle - 60000 -- >/dev/null
launch_ms wait-album-idle album100.alb 100 120000 -- "$albumwin" >/dev/null

with=() without=()
for i in $(seq 1 "$RUNS"); do
  without+=("$(launch_ms wait-idle - 60000 --)")
  with+=("$(launch_ms wait-album-idle album100.alb 100 120000 -- "$albumwin")")
done
w_med=$(printf '%s\n' "${with[@]}" | median)
e_med=$(printf '%s\n' "${without[@]}" | median)
open_med=$((w_med - e_med))
w_min=$(printf '%s\n' "${with[@]}" | sort -n | head -1)
e_min=$(printf '%s\n' "${without[@]}" | sort -n | head -1)
open_min=$((w_min - e_min))

montage_cmd="cd '$work/thumbs' && montage -font DejaVu-Sans -label '%f' 0*.bmp -tile 5x -geometry +5+5 '$work/sheet.png'"
hyperfine --warmup 2 --runs 10 --export-json "$work/montage.json" "$montage_cmd" >/dev/null
m_ms=$(jq '.results[0].median * 1000' "$work/montage.json")
m_min=$(jq '.results[0].min * 1000' "$work/montage.json")
m_cpu=$(jq '(.results[0].user + .results[0].system) * 1000' "$work/montage.json")
ratio=$(awk -v a="$open_med" -v b="$m_ms" 'BEGIN { printf "%.2f", a / b }')
ratio_min=$(awk -v a="$open_min" -v b="$m_min" 'BEGIN { printf "%.2f", a / b }')
m_ms=$(printf '%.0f' "$m_ms")
m_min=$(printf '%.0f' "$m_min")
m_cpu=$(printf '%.0f' "$m_cpu")
load=$(cut -d' ' -f1-3 /proc/loadavg)

echo "with the album:     ${with[*]} ms (median $w_med)"
echo "frame only:         ${without[*]} ms (median $e_med)"
echo "opening the album: $open_med ms (minima $open_min ms); montage: $m_ms ms (min $m_min, CPU $m_cpu ms); ratio $ratio (minima $ratio_min)"

results=$BENCH_DIR/RESULTS.md
section=$(mktemp)
cat >"$section" <<MD
## Opening an album

An album of 100 pictures (640 × 480 JPEGs, thumbnails stored, \`fqtool album make\`)
opened from the command line under Wine $("$WINELOADER" --version 2>/dev/null || echo "?"), Xvfb, warm
prefix with its server running; $RUNS runs of each after one unmeasured start,
\`bench/album_open.sh\` ($(date -u +%Y-%m-%d), load average $load on the shared 2-core machine).

Method: launch to "album painted and program idle", less launch to "frame painted and
idle", medians. \`fqdriver wait-album-idle\` is started before the program; it waits
for the 100 cells, then until a message sent to the album is answered (the
program is back in its message loop) and neither the album nor any cell has
anything left to paint. Peer in the same run: ImageMagick's \`montage\` laying
out the same 100 thumbnails (96 × 72 BMPs from \`fqtool album thumbnails\`) with
their file names in a five-column sheet (hyperfine, 10 runs, median).

| Measure | Runs (ms) | Median (ms) | Minimum (ms) |
|---|---|---|---|
| launch with the album to 100 cells painted | ${with[*]} | $w_med | $w_min |
| launch without a file to the frame painted | ${without[*]} | $e_med | $e_min |
| **opening the album** (difference) | | **$open_med** | **$open_min** |
| \`montage -label '%f' ... -tile 5x\` (CPU $m_cpu ms) | | $m_ms | $m_min |

Opening the album takes $ratio × the time montage needs for the same sheet
by the medians, $ratio_min × by the minima.

Where the time goes (temporary timers in the program, three opens at load
average 8–10, 2026-12-09): reading the album file 10–30 ms and making its
window 30–70 ms; then per picture about 1.7 ms for its date (the picture
file's header segments read through the Wine file system), 1.7–3 ms for the
cell's bitmap (samples of the stored thumbnail, drawn onto the 96 × 72 face)
and 5–10 ms for the cell window with its check box (each window is a round
trip to the Wine server); at the end 130–380 ms for growing the window,
scrolling to the last cell and the first paint of the cells in view. The
additions are laid out once, at the end (\`BatchAddition\`); the title field
is made only when the title is first clicked (an edit control costs about
6 ms a cell here); until then the cell draws its title. montage does all its
work in one process on the CPU (CPU $m_cpu ms); on this loaded 2-core machine
our figure is mostly waiting for the Wine server and the X server.

MD
[ -f "$results" ] || printf '# Benchmark results\n\n' >"$results"
awk -v file="$section" '
  BEGIN { while ((getline line < file) > 0) text = text line "\n" }
  /^## Opening an album[[:space:]]*$/ { printf "%s", text; skip = 1; done = 1; next }
  skip && /^## / { skip = 0 }
  !skip { print }
  END { if (!done) printf "\n%s", text }
' "$results" >"$results.new"
mv "$results.new" "$results"
rm -f "$section"
echo "updated $results"
