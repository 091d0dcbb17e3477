#!/usr/bin/env bash
# Draws the calendar wizard's pictures (res/calendar/*.bmp) with ImageMagick:
# the four page layouts in miniature (two thirds of a pixel per millimetre of
# the A4 sheet) and the help strips. Rerun after changing them; the outputs
# are committed.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/res/calendar"
mkdir -p "$out"
IM=/usr/bin/convert
photo="fill #7fa7d8 stroke #4a6f9f"
grid="fill none stroke #303030"

# Monthly grid lines between x0..x1 and y0..y1 with 7 columns and 6 rows.
month_grid() {
  local x0=$1 y0=$2 x1=$3 y1=$4 d="" i
  for i in $(seq 0 7); do d="$d line $((x0 + (x1 - x0) * i / 7)),$y0 $((x0 + (x1 - x0) * i / 7)),$y1"; done
  for i in $(seq 0 6); do d="$d line $x0,$((y0 + (y1 - y0) * i / 6)) $x1,$((y0 + (y1 - y0) * i / 6))"; done
  echo "$d"
}
# Twelve small month blocks, 4 across and 3 down.
year_blocks() {
  local x0=$1 y0=$2 w=$3 h=$4 px=$5 py=$6 d="" r c
  for r in 0 1 2; do for c in 0 1 2 3; do
    d="$d rectangle $((x0 + px * c)),$((y0 + py * r)) $((x0 + px * c + w)),$((y0 + py * r + h))"
  done; done
  echo "$d"
}

$IM -size 140x198 xc:white -stroke '#909090' -fill none -draw "rectangle 0,0 139,197" \
  -draw "$photo rectangle 17,9 106,80" -fill '#202020' -stroke none -draw "rectangle 45,91 95,99" \
  -draw "$grid $(month_grid 12 103 128 189)" -type TrueColor BMP3:"$out/cal_imgm1.bmp"
$IM -size 198x140 xc:white -stroke '#909090' -fill none -draw "rectangle 0,0 197,139" \
  -draw "$photo rectangle 29,24 169,130" -fill '#202020' -stroke none -draw "rectangle 74,12 124,20" \
  -draw "$grid $(month_grid 29 24 169 130)" -type TrueColor BMP3:"$out/cal_imgm2.bmp"
$IM -size 140x198 xc:white -stroke '#909090' -fill none -draw "rectangle 0,0 139,197" \
  -draw "$photo rectangle 17,9 106,80" -fill '#202020' -stroke none -draw "rectangle 55,91 85,99" \
  -draw "$grid $(year_blocks 12 103 25 24 30 29)" -type TrueColor BMP3:"$out/cal_imgy1.bmp"
$IM -size 198x140 xc:white -stroke '#909090' -fill none -draw "rectangle 0,0 197,139" \
  -draw "$photo rectangle 29,24 169,130" -fill '#202020' -stroke none -draw "rectangle 84,12 114,20" \
  -draw "$grid $(year_blocks 30 25 30 30 36 35)" -type TrueColor BMP3:"$out/cal_imgy2.bmp"
$IM -size 185x23 xc:'#fff8d0' -stroke '#b0a060' -fill none -draw "rectangle 0,0 184,22" \
  -stroke none -fill '#403000' -font DejaVu-Sans -pointsize 9 \
  -annotate +6+15 'Click a picture to choose its layout.' -type TrueColor BMP3:"$out/cal_help.bmp"
$IM -size 88x23 xc:'#fff8d0' -stroke '#b0a060' -fill none -draw "rectangle 0,0 87,22" \
  -stroke none -fill '#403000' -font DejaVu-Sans -pointsize 9 \
  -annotate +6+15 'Click a picture.' -type TrueColor BMP3:"$out/cal_help_ja.bmp"
ls -l "$out"
