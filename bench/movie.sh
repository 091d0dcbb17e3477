#!/usr/bin/env bash
# Movies under Wine. (1) Play timing: 30-frame movies at 8 and 10 frames per
# second (MS Video 1 and Cinepak, made by ffmpeg) opened with File Open and
# followed through the media control's mode and position; the time from
# "playing" to "stopped" over (frames - 1) / rate; N runs each (default 3).
# (2) Frame 0 as a picture: PictureFromMovie's road (the video library,
# decoding, the frame checks and normalisation) on 320 × 240 movies, timed
# in process over 50 extractions, beside `ffmpeg -frames:v 1` extracting the
# same frame (hyperfine, whole program). Writes the "Movies" section of
# bench/RESULTS.md (other sections are left alone).
#
#   bench/movie.sh <Win32 build dir> [runs]
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
source "$BENCH_DIR/../tests/app/lib.sh"
RUNS=${1:-3}

work=$FQ_ARTIFACTS/movie_bench
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }
ff() { ffmpeg -loglevel error -y "$@"; }
for r in 8 10; do
  ff -f lavfi -i testsrc=size=320x240:rate=$r -frames:v 30 -c:v msvideo1 "$work/msvideo1_$r.avi"
  ff -f lavfi -i testsrc=size=320x240:rate=$r -frames:v 30 -c:v cinepak "$work/cinepak_$r.avi"
done
ff -f lavfi -i testsrc=size=320x240:rate=10 -frames:v 30 -c:v rawvideo -pix_fmt bgr24 "$work/raw24_10.avi"

# --- Play timing -------------------------------------------------------------------
fq_start_app
fq_driver wait-window ORXDscFrame Fotaquill 30000 >/dev/null || fq_fail "no frame"
declare -A ratios
for m in msvideo1_10 msvideo1_8 cinepak_10 cinepak_8; do
  rate=${m##*_}
  for i in $(seq 1 "$RUNS"); do
    fq_driver movie-timing 30 "$rate" 30000 >"$work/timing.out" 2>&1 &
    drv=$!
    sleep 1  # the driver polls before the movie opens
    fq_driver post-command 100
    fq_driver file-dialog "$(winpath "$work/$m.avi")" 0 15000 >/dev/null || fq_fail "no Open dialog"
    wait "$drv" || fq_fail "$m: $(tr -d '\r' <"$work/timing.out")"
    t=$(tr -d '\r' <"$work/timing.out")
    echo "$m: $t"
    grep -q "went_back=0" <<<"$t" || fq_fail "$m: the position went back"
    ratios[$m]+="$(sed -n 's/.*ratio=\([0-9.]*\).*/\1/p' <<<"$t") "
    fq_driver movie-close
    for j in $(seq 1 100); do [ "$(fq_driver movie-count | tr -d '\r')" = 0 ] && break; sleep 0.1; done
  done
done
fq_driver close ORXDscFrame Fotaquill
fq_wait_app_exit 20 || true
median() { tr ' ' '\n' | grep . | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

# --- Frame 0 -----------------------------------------------------------------------
declare -A ours peer
for m in msvideo1_10 cinepak_10 raw24_10; do
  out=$(timeout 120 "$WINELOADER" "$FQ_BUILD/fqmovie.exe.so" frame "$(winpath "$work/$m.avi")" \
    "$(winpath "$work/$m.bmp")" 50 </dev/null | tr -d '\r')
  ours[$m]=$(sed -n 's/^ms_per_frame=//p' <<<"$out")
  hyperfine --warmup 2 --runs 20 --export-json "$work/$m.json" \
    "ffmpeg -loglevel error -y -i '$work/$m.avi' -frames:v 1 '$work/${m}_ff.bmp'" >/dev/null
  peer[$m]=$(jq '.results[0].median * 1000' "$work/$m.json")
  echo "$m: ours ${ours[$m]} ms per frame, ffmpeg ${peer[$m]} ms"
done

results=$BENCH_DIR/RESULTS.md
section=$(mktemp)
{
  cat <<MD
## Movies

Under Wine $("$WINELOADER" --version 2>/dev/null || echo "?"), Xvfb, \`bench/movie.sh\` ($(date -u +%Y-%m-%d)).

Play timing: 30-frame 320 × 240 movies made by ffmpeg, opened with File Open
into the movie window; \`fqdriver movie-timing\` polls the media control's
mode and position (every 2 ms) from before the file is chosen, and measures
from the first "playing" to "stopped" against (frames − 1) / rate, the
movie's own rate being the limit. $RUNS runs each; positions never went back.

| Movie | rate (frames/s) | play time / ((frames − 1) / rate), runs | median |
|---|---|---|---|
MD
  for m in msvideo1_10 msvideo1_8 cinepak_10 cinepak_8; do
    echo "| ${m%_*} | ${m##*_} | ${ratios[$m]}| $(median <<<"${ratios[$m]}") |"
  done
  cat <<MD

Frame 0 as a picture (\`PictureFromMovie\`'s road: open the file with the
video library, find the streams, decode frame 0 in the display's best
format, check and copy it, normalise it), timed in process over 50 runs by
\`fqmovie frame\`; ffmpeg extracts the same frame to a BMP file as a whole
program (start-up included), hyperfine, 20 runs, median.

| Movie (320 × 240) | ours, in process (ms) | \`ffmpeg -i m.avi -frames:v 1 f.bmp\` (ms) | ffmpeg / ours |
|---|---|---|---|
MD
  for m in msvideo1_10 cinepak_10 raw24_10; do
    printf '| %s | %.1f | %.1f | %.1f |\n' "${m%_*}" "${ours[$m]}" "${peer[$m]}" \
      "$(awk -v a="${peer[$m]}" -v b="${ours[$m]}" 'BEGIN { print a / b }')"
  done
  cat <<MD

Frame extraction in process against ffmpeg as a whole program is not like
for like: ffmpeg's figure is mostly its own start-up, ours has none in it.
MD
  echo
} >"$section"
[ -f "$results" ] || printf '# Benchmark results\n\n' >"$results"
awk -v file="$section" '
  BEGIN { while ((getline line < file) > 0) text = text line "\n" }
  /^## Movies[[:space:]]*$/ { printf "%s", text; skip = 1; done = 1; next }
  skip && /^## / { skip = 0 }
  !skip { print }
  END { if (!done) printf "\n%s", text }
' "$results" >"$results.new"
mv "$results.new" "$results"
rm -f "$section"
echo "updated $results"
