#!/usr/bin/env bash
# Add to Album under Wine: 100 JPEGs of 1600 × 1200 chosen at once in the
# "Add Album File" dialog of a new album, from the moment the dialog's OK is
# pressed to the album holding its 100th cell, painted and idle; N runs
# (default 3), medians. Beside it, in the same run and on the same files:
# ImageMagick's mogrify making 96 × 72 thumbnails of all of them in one
# process (full decodes), djpeg decoding each at 1/8 scale (the bound of a
# decode that does not produce every pixel), and album_bench (in process:
# the thumbnail rule alone, the program's decode road and its parts). Writes
# the "Add to Album" section of bench/RESULTS.md.
#
#   bench/album_add.sh <build dir> [runs]
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
source "$BENCH_DIR/../tests/app/lib.sh"
RUNS=${1:-3}

work=$FQ_ARTIFACTS/album_add
rm -rf "$work"
mkdir -p "$work/pictures" "$work/mogrify"
for s in 0 1 2 3 4 5 6 7 8 9; do
  /usr/bin/convert -seed "$s" -size 1600x1200 plasma:fractal "$work/p.ppm"
  for c in 0 1 2 3 4 5 6 7 8 9; do cjpeg -quality 90 "$work/p.ppm" >"$work/pictures/big$s$c.jpg"; done
done
rm "$work/p.ppm"
names=$(cd "$work/pictures" && for f in big*.jpg; do printf '"%s" ' "$f"; done)
folder="Z:${work//\//\\}\\pictures"
ini=$FQ_BUILD/Lumvex01.ini
[ -f "$ini" ] && cp "$ini" "$work/ini.saved"
restore_ini() { if [ -f "$work/ini.saved" ]; then cp "$work/ini.saved" "$ini"; else rm -f "$ini"; fi; }
trap 'rc=$?; restore_ini; (exit $rc); fq_cleanup' EXIT

# One run: a new program, a new album, the 100 names in the dialog.
add_ms() {
  printf '[ORXAPP]\r\ndir=%s\\\r\n' "$folder" >"$ini"
  "$WINELOADER" "$FQ_BUILD/fotaquill.exe.so" </dev/null >/dev/null 2>&1 &
  local pid=$! t0 t1
  fq_driver wait-idle - 60000 >/dev/null || fq_fail "no frame"
  fq_driver post-command 105 >/dev/null
  fq_driver post-command 143 >/dev/null
  t0=$(fq_driver file-dialog-ok "$names" 30000 | tr -d '\r') || fq_fail "no add dialog"
  t1=$(fq_driver wait-album-idle "Album 1" 100 600000 | tr -d '\r') || fq_fail "no 100 cells"
  fq_driver close ORXDscFrame - >/dev/null || true
  # The new album asks to be saved: No.
  fq_driver dialog-press 7 10000 >/dev/null 2>&1 || true
  timeout 15 tail --pid="$pid" -f /dev/null || kill "$pid" 2>/dev/null || true
  echo $((${t1##*=} - ${t0##*=}))
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }

runs=()
for i in $(seq 1 "$RUNS"); do runs+=("$(add_ms)"); done
a_med=$(printf '%s\n' "${runs[@]}" | median)

hyperfine --warmup 1 --runs 3 --export-json "$work/peers.json" \
  "/usr/bin/mogrify -path '$work/mogrify' -thumbnail 96x72 '$work'/pictures/*.jpg" \
  "for f in '$work'/pictures/*.jpg; do djpeg -scale 1/8 -bmp \"\$f\" >/dev/null; done" >/dev/null
mog=$(jq '.results[0].median * 1000' "$work/peers.json")
mog_cpu=$(jq '(.results[0].user + .results[0].system) * 1000' "$work/peers.json")
dj=$(jq '.results[1].median * 1000' "$work/peers.json")
dj_cpu=$(jq '(.results[1].user + .results[1].system) * 1000' "$work/peers.json")

FQ_BENCH_JPEG="$work/pictures/big00.jpg" "$FQ_BUILD/album_bench" --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true --benchmark_out="$work/ours.json" --benchmark_out_format=json >/dev/null
ours() {  # benchmark name, field → milliseconds (median)
  jq -r --arg n "$1_median" --arg f "$2" \
    '.benchmarks[] | select(.name | startswith($n) or (. == $n)) | (.[$f] * (if .time_unit == "us" then 0.001 else 1 end))' \
    "$work/ours.json" | head -1
}
b_thumb=$(ours BM_Thumbnail cpu_time)
b_load=$(ours BM_LoadJpeg/process_time/real_time real_time)
b_load_cpu=$(ours BM_LoadJpeg/process_time/real_time cpu_time)
b_dec_cpu=$(ours BM_DecodeOnly/process_time/real_time cpu_time)
b_sam=$(ours BM_DecodeSampled/process_time/real_time real_time)
b_sam_cpu=$(ours BM_DecodeSampled/process_time/real_time cpu_time)
b_date=$(ours BM_Date cpu_time)
b_all_cpu=$(ours BM_AddWithoutWindows/process_time/real_time cpu_time)
f() { printf '%.1f' "$1"; }
per_file=$(awk -v a="$a_med" 'BEGIN { printf "%.1f", a / 100 }')
ratio=$(awk -v a="$a_med" -v b="$mog" 'BEGIN { printf "%.2f", a / b }')
ratio_dj=$(awk -v a="$a_med" -v b="$dj" 'BEGIN { printf "%.2f", a / b }')
load=$(cut -d' ' -f1-3 /proc/loadavg)
echo "add 100: ${runs[*]} ms (median $a_med); mogrify $(f "$mog") ms; djpeg 1/8 $(f "$dj") ms; ratio $ratio"

results=$BENCH_DIR/RESULTS.md
section=$(mktemp)
cat >"$section" <<MD
## Add to Album

100 JPEGs of 1600 × 1200 (\`plasma:fractal\`, \`cjpeg -quality 90\`, 4:2:0) chosen at once
in the "Add Album File" dialog of a new album under Wine, from the dialog's OK to the
album holding its 100th cell, painted and idle (\`fqdriver file-dialog-ok\`, then
\`wait-album-idle\`); $RUNS runs, \`bench/album_add.sh\` ($(date -u +%Y-%m-%d), load average
$load on the shared 2-core machine). Peers in the same run on the same files
(hyperfine, 3 runs, median).

| Measure | Runs (ms) | Median (ms) | per file (ms) |
|---|---|---|---|
| **Add to Album of 100 files** | ${runs[*]} | **$a_med** | $per_file |
| \`mogrify -thumbnail 96x72\`, one process (CPU $(f "$mog_cpu") ms) | | $(f "$mog") | $(awk -v m="$mog" 'BEGIN{printf "%.1f", m/100}') |
| \`djpeg -scale 1/8\`, one process a file (CPU $(f "$dj_cpu") ms) | | $(f "$dj") | $(awk -v m="$dj" 'BEGIN{printf "%.1f", m/100}') |

Add to Album takes $ratio × mogrify's time and $ratio_dj × that of the scaled decodes.

Where the time goes, per file (album_bench, in process, same file; medians):

| Part | CPU (ms) |
|---|---:|
| **the sampled decode Add to Album uses** (only the 72 sampled rows made, wall $(f "$b_sam") ms) | **$(f "$b_sam_cpu")** |
| the thumbnail rule on the samples (nearest samples of a decoded picture; here the identity) | $(awk -v t="$b_thumb" 'BEGIN{printf "%.3f", t}') |
| the date from the header segments | $(awk -v t="$b_date" 'BEGIN{printf "%.3f", t}') |
| all three (date, sampled decode, thumbnail), in process | $(f "$b_all_cpu") |
| for comparison: the road of opening a JPEG, full decode → temporary BMP → record (wall $(f "$b_load") ms) | $(f "$b_load_cpu") |
| for comparison: the library's full decode alone (JPEG bytes → BMP bytes) | $(f "$b_dec_cpu") |

Add to Album decodes each JPEG only at the rows its thumbnail samples
(\`DecodeJpegSampled\`, the library skipping the other rows), in memory, with
one progress dialog for the whole batch; the thumbnails are still exactly the
nearest samples of a full decode (\`tests/album/album_peer.sh\` against djpeg,
\`JpegSampled\` tests against the full decode). The rest of a file's time in
the program is the cell (its window and check box, its bitmap, its date) and
the Wine server's round trips; mogrify decodes every pixel and filters.

MD
[ -f "$results" ] || printf '# Benchmark results\n\n' >"$results"
awk -v file="$section" '
  BEGIN { while ((getline line < file) > 0) text = text line "\n" }
  /^## Add to Album[[:space:]]*$/ { printf "%s", text; skip = 1; done = 1; next }
  skip && /^## / { skip = 0 }
  !skip { print }
  END { if (!done) printf "\n%s", text }
' "$results" >"$results.new"
mv "$results.new" "$results"
rm -f "$section"
echo "updated $results"
