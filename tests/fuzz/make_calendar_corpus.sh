#!/usr/bin/env bash
# Writes the seed corpus of the calendar fuzz target with fqtool: monthly
# and yearly pages, portrait and landscape, with and without a photograph
# (a small one, so that the seeds stay small), with day texts.
# Usage: make_calendar_corpus.sh BUILD_DIR
set -euo pipefail
fqtool="$1/fqtool"
out="$(cd "$(dirname "$0")" && pwd)/corpus/calendar_fuzz"
mkdir -p "$out"
rm -f "$out"/*.cal
src="$(mktemp -d)"
trap 'rm -rf "$src"' EXIT
/usr/bin/convert -size 16x12 gradient:navy-orange -type TrueColor BMP3:"$src/photo.bmp"
/usr/bin/convert -size 9x12 gradient:red-blue -colors 16 -type Palette BMP3:"$src/tall.bmp"
for kind in monthly yearly; do
  for layout in portrait landscape; do
    extra=()
    [ "$layout" = landscape ] && extra=(--landscape)
    "$fqtool" calendar make "$out/${kind}_${layout}.cal" --kind "$kind" --year 2003 --month 8 \
      "${extra[@]}" --text 1=New --text 31=End --text-position 1339
    "$fqtool" calendar make "$out/${kind}_${layout}_photo.cal" --kind "$kind" --year 2000 \
      --month 2 "${extra[@]}" --photo "$src/photo.bmp" --title 1202 --align right --italic
  done
done
"$fqtool" calendar make "$out/monthly_tall_photo.cal" --kind monthly --year 2099 --month 12 \
  --photo "$src/tall.bmp" --frame off --position 1335
ls -l "$out"
