#!/usr/bin/env bash
# Slide show picture change under Wine: a show of two 2048 × 1536 JPEGs on
# the 1280 × 1024 screen; the time from pressing the panel's Next button
# (988) to the new picture painted and the program idle, and the time of a
# repaint without a change of picture (the show window invalidated, as when
# the panel moves away); N of each (default 9), medians. Beside it, in the
# same run, ImageMagick decoding and scaling the same file to the screen
# (`convert big.jpg -resize 1280x1024 out.bmp`) and djpeg decoding it
# (hyperfine). Writes the "Slide show picture change" section of
# bench/RESULTS.md (other sections are left alone).
#
#   bench/slide_show.sh <Win32 build dir> [runs]
#
# "Painted and idle": fqdriver show-press sends the button's click to the
# panel (it returns once the show has chosen the next picture and
# invalidated its window), then waits until the window has nothing left to
# paint and a message sent to it is answered, i.e. the program is back in
# its message loop.
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
source "$BENCH_DIR/../tests/app/lib.sh"
RUNS=${1:-9}

work=$FQ_ARTIFACTS/slide_show_bench
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }
for i in 1 2; do
  /usr/bin/convert -seed $((6 + i)) -size 2048x1536 plasma:fractal -quality 90 "$work/big$i.jpg" ||
    fq_fail "no test picture"
done
python3 "$BENCH_DIR/../tests/app/make_album.py" "$work/big.alb" \
  "$(winpath "$work/big1.jpg")" "$(winpath "$work/big2.jpg")"

# The show's settings: full screen, album order, 10 s between pictures (no
# tick during a measurement). The settings file is put back afterwards.
ini=$FQ_BUILD/Lumvex01.ini
[ -f "$ini" ] && cp "$ini" "$work/ini.orig"
restore_ini() { if [ -f "$work/ini.orig" ]; then cp "$work/ini.orig" "$ini"; else rm -f "$ini"; fi; }
trap 'fq_rc=$?; restore_ini; (exit $fq_rc); fq_cleanup' EXIT
{
  [ -f "$work/ini.orig" ] && tr -d '\r' <"$work/ini.orig" | grep -v -E '^(Size|Speed|Type)='
  [ -f "$work/ini.orig" ] && grep -q '^\[ORXAPP\]' "$work/ini.orig" || echo "[ORXAPP]"
} | awk '{print} /^\[ORXAPP\]/ {print "Size=0"; print "Speed=0"; print "Type=0"}' >"$ini"

fq_start_app
fq_driver wait-window ORXDscFrame Fotaquill 30000 >/dev/null || fq_fail "no frame"
fq_driver post-command 500
fq_driver file-dialog "$(winpath "$work/big.alb")" 0 15000 >/dev/null || fq_fail "no Start dialog"
fq_driver show-painted 30000 >/dev/null || fq_fail "no show"
fq_driver show-click right
fq_driver wait-window '#32770' "Slide Show Menu" 10000 >/dev/null || fq_fail "no panel"
ms_of() { tr -d '\r' | sed -n 's/^ms=//p'; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

# Two unmeasured changes warm the file cache and the program.
for i in 1 2; do fq_driver show-press 988 30000 >/dev/null || fq_fail "next"; done
change=() repaint=()
for i in $(seq 1 "$RUNS"); do
  change+=("$(fq_driver show-press 988 30000 | ms_of)")
  repaint+=("$(fq_driver show-repaint 30000 | ms_of)")
done
fq_driver show-click left
fq_driver wait-gone AutoViewClass - 10000 || fq_fail "the show did not end"
fq_driver close ORXDscFrame Fotaquill
fq_wait_app_exit 20 || true
c_med=$(printf '%s\n' "${change[@]}" | median)
r_med=$(printf '%s\n' "${repaint[@]}" | median)

hyperfine --warmup 2 --runs 10 --export-json "$work/peers.json" \
  -n convert "/usr/bin/convert '$work/big1.jpg' -resize 1280x1024 '$work/im.bmp'" \
  -n djpeg "djpeg -bmp '$work/big1.jpg' >/dev/null" >/dev/null
im_ms=$(jq '.results[0].median * 1000' "$work/peers.json")
dj_ms=$(jq '.results[1].median * 1000' "$work/peers.json")
im_ratio=$(awk -v a="$c_med" -v b="$im_ms" 'BEGIN { printf "%.2f", a / b }')
dj_ratio=$(awk -v a="$c_med" -v b="$dj_ms" 'BEGIN { printf "%.1f", a / b }')
im_ms=$(printf '%.1f' "$im_ms")
dj_ms=$(printf '%.1f' "$dj_ms")
size=$(stat -c %s "$work/big1.jpg")

echo "picture change: ${change[*]} ms (median $c_med)"
echo "repaint:        ${repaint[*]} ms (median $r_med)"
echo "convert -resize: $im_ms ms; djpeg: $dj_ms ms; change / convert $im_ratio, change / djpeg $dj_ratio"

results=$BENCH_DIR/RESULTS.md
section=$(mktemp)
cat >"$section" <<MD
## Slide show picture change

A show of two 2048 × 1536 JPEGs (about $size bytes each, \`convert -size
2048x1536 plasma:fractal -quality 90\`) on the 1280 × 1024 screen of Xvfb, full
size, under Wine $("$WINELOADER" --version 2>/dev/null || echo "?"); $RUNS changes after two
unmeasured ones, \`bench/slide_show.sh\` ($(date -u +%Y-%m-%d)).

Method: \`fqdriver show-press 988\` clicks the panel's Next button and returns
once the show has chosen the next picture; it then waits until the show
window has nothing left to paint and answers a message (the paint is over
and the program is back in its message loop). The repaint is the show window
invalidated from outside with the same picture (as when the panel moves).
ImageMagick decodes and scales the same file to the screen size and djpeg
decodes it, in the same run (hyperfine, 10 runs, median, whole programs).

| Measure | Runs (ms) | Median (ms) |
|---|---|---|
| Next (988) to the new picture painted and idle | ${change[*]} | **$c_med** |
| repaint of the same picture | ${repaint[*]} | $r_med |
| \`convert big.jpg -resize 1280x1024 out.bmp\` | | $im_ms |
| \`djpeg -bmp big.jpg > /dev/null\` | | $dj_ms |

A picture change takes $im_ratio × ImageMagick's decode-and-scale and $dj_ratio × djpeg's
decode. A repaint does not decode: the show keeps its current picture
decoded and only draws it again.

Where the time goes: the JPEG is decoded through a temporary BMP file (the
library's work plus writing and reading the 9 MB file), then scaled once to
its place on the screen the way the colour-on-colour stretch does it (whole
pixels repeated or dropped) and copied to the screen. The scaled picture is
kept with the decoded one, so a repaint is a copy of the screen's pixels; the
size-mode button scales again from the kept picture without reading the file.
The load of the machine shows in djpeg's figure (about 30 ms on a quiet one).

MD
[ -f "$results" ] || printf '# Benchmark results\n\n' >"$results"
awk -v file="$section" '
  BEGIN { while ((getline line < file) > 0) text = text line "\n" }
  /^## Slide show picture change[[:space:]]*$/ { printf "%s", text; skip = 1; done = 1; next }
  skip && /^## / { skip = 0 }
  !skip { print }
  END { if (!done) printf "\n%s", text }
' "$results" >"$results.new"
mv "$results.new" "$results"
rm -f "$section"
echo "updated $results"
