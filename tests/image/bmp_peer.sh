#!/usr/bin/env bash
# BMP files against ImageMagick, both ways:
#  1. every BMP form ImageMagick writes is read by fqtool to the same pixels
#     ImageMagick reads from it;
#  2. the 8 and 24-bit files fqtool writes are read by ImageMagick to the
#     same pixels fqtool holds.
# Usage: bmp_peer.sh BUILD_DIR (the folder holding fqtool).
set -uo pipefail
build=$(cd "${1:?usage: bmp_peer.sh BUILD_DIR}" && pwd)
FQ="$build/fqtool"
IM=/usr/bin/convert
CMP=/usr/bin/compare
[[ -x $FQ ]] || { echo "no fqtool in $build"; exit 1; }
[[ -x $IM && -x $CMP ]] || { echo "ImageMagick is not installed at /usr/bin"; exit 1; }

corpus="$(cd "$(dirname "$0")/../fuzz/corpus/bmp_fuzz" && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Sources: a full-colour picture with an odd width (row padding), a
# 200-colour one, a 12-colour one and a two-colour one. Hand-built files
# from the fuzz corpus add what ImageMagick does not write: 4-bit run-length,
# top-down rows and a gap between palette and pixels.
$IM -seed 7 -size 67x45 plasma:fractal -blur 0x1 full.png
$IM full.png +dither -colors 200 colors200.png
$IM full.png +dither -colors 12 colors12.png
$IM -size 37x21 pattern:checkerboard two.png

# name | ImageMagick arguments making it | masks applied to ImageMagick's own
# reading (16-bit fields: we widen 5 and 6-bit fields by shifting, 4-bit
# fields by repeating the nibble; ImageMagick repeats the top bits for 5 and
# 6 bits and shifts 4-bit ones)
forms=(
  "bmp3-24|full.png -type TrueColor BMP3:|"
  "bmp2-24|full.png -type TrueColor BMP2:|"
  "bmp4-24|full.png -type TrueColor BMP:|"
  "bmp3-8|colors200.png -type Palette -compress None BMP3:|"
  "bmp3-rle8|colors200.png -type Palette -compress RLE BMP3:|"
  "bmp2-8|colors200.png -type Palette BMP2:|"
  "bmp3-4|colors12.png -type Palette -compress None BMP3:|"
  "bmp2-4|colors12.png -type Palette BMP2:|"
  "bmp3-1|two.png -type Bilevel BMP3:|"
  "bmp2-1|two.png -type Bilevel BMP2:|"
  "rgb565|full.png -define bmp:subtype=RGB565 BMP:|-channel RB -evaluate And 63736 -channel G -evaluate And 64764 +channel"
  "rgb555|full.png -define bmp:subtype=RGB555 BMP:|-evaluate And 63736"
  "argb1555|full.png -alpha set -define bmp:subtype=ARGB1555 BMP:|-evaluate And 63736"
  "argb4444|full.png -alpha set -define bmp:subtype=ARGB4444 BMP:|ours:-evaluate And 61680"
  "argb32|full.png -alpha set BMP:|"
)

echo "== ImageMagick's files read by fqtool"
for f in rle4 topdown24 gap8; do
  forms+=("hand-$f|$corpus/$f.bmp|")
done
for row in "${forms[@]}"; do
  IFS='|' read -r name make mask <<<"$row"
  if [[ $name == hand-* ]]; then
    cp "$make" "$name.bmp"
  # shellcheck disable=SC2086
  elif ! $IM ${make}"$name.bmp" 2>/dev/null; then
    echo "skip $name: ImageMagick cannot write it"
    continue
  fi
  info=$("$FQ" info "$name.bmp" | tr '\n' ' ')
  if ! "$FQ" convert "$name.bmp" "$name.ours.bmp" --bits 24; then
    fail "$name: fqtool cannot read it ($info)"
    continue
  fi
  ours="$name.ours.bmp"
  ref_mask=$mask
  if [[ $mask == ours:* ]]; then
    # shellcheck disable=SC2086
    $IM "$ours" ${mask#ours:} -type TrueColor BMP3:"$name.ours.masked.bmp"
    ours="$name.ours.masked.bmp"
    ref_mask=""
  fi
  # shellcheck disable=SC2086
  $IM "$name.bmp" -alpha off $ref_mask -type TrueColor BMP3:"$name.ref.bmp"
  diff=$($CMP -metric AE "$ours" "$name.ref.bmp" null: 2>&1)
  if [[ $diff != 0 ]]; then
    fail "$name: $diff pixels differ from ImageMagick's reading ($info)"
  else
    echo "ok   $name ($info)"
  fi
done

echo "== fqtool's files read by ImageMagick"
$IM full.png -type TrueColor BMP3:full24.bmp
for bits in 24 8; do
  for size in "" "--size 101x59"; do
    out="ours$bits${size:+-sized}.bmp"
    # shellcheck disable=SC2086
    "$FQ" convert full24.bmp "$out" --bits "$bits" $size || { fail "fqtool cannot write $out"; continue; }
    "$FQ" raw "$out" ours.rgb || { fail "fqtool cannot dump $out"; continue; }
    $IM "$out" -depth 8 rgb:im.rgb
    if ! cmp -s ours.rgb im.rgb; then
      fail "$out: ImageMagick reads other pixels than fqtool holds"
    else
      echo "ok   $out ($("$FQ" info "$out" | tr '\n' ' '))"
    fi
  done
done

if ((failures)); then
  echo "$failures mismatches"
  exit 1
fi
echo "all BMP forms agree"
