#!/usr/bin/env bash
# The picture editor's results held to ImageMagick, through `fqtool edit`
# (the same core the program runs):
# - quarter turns pixel-identical to -rotate 90 / -rotate -90 (24 and 8 bits);
# - 24-bit size change within 1 level per channel of bilinear sampling at
#   i * w / w' (rows counted from the bottom); 8-bit size change identical to
#   nearest sampling at floor(i * w / w');
# - cut-out at 100 % identical to -crop;
# - saturation -100 alone within 1 level of -grayscale Rec601Luma;
# - contrast alone on a grey ramp within 1 level of -level at the black and
#   white points the contrast rule gives.
# Usage: edit_peer.sh <build dir>
set -euo pipefail
build=$(cd "$1" && pwd)
fqtool=$build/fqtool
IM=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Absolute error count, and the largest channel difference in levels.
ae() { /usr/bin/compare -metric AE "$1" "$2" null: 2>&1 || true; }
peak() {
  local n
  n=$(/usr/bin/compare -metric PAE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p' || true)
  awk -v n="$n" 'BEGIN { printf "%.2f", n * 255 }'
}
within1() { awk -v p="$1" 'BEGIN { exit !(p <= 1.0001) }'; }

# A photograph-like 24-bit picture with an odd width, and its 8-bit form.
$IM -size 61x37 plasma:fractal -seed 7 -blur 0x0.5 -type TrueColor BMP3:"$tmp/in.bmp"
$IM "$tmp/in.bmp" +dither -colors 200 -type Palette BMP3:"$tmp/in8.bmp"

# Quarter turns.
for bmp in in in8; do
  "$fqtool" edit "$tmp/$bmp.bmp" "$tmp/r.bmp" --rotate right
  $IM "$tmp/$bmp.bmp" -rotate 90 "$tmp/r_im.png"
  [ "$(ae "$tmp/r.bmp" "$tmp/r_im.png")" = 0 ] || fail "$bmp: rotate right differs: $(ae "$tmp/r.bmp" "$tmp/r_im.png")"
  "$fqtool" edit "$tmp/$bmp.bmp" "$tmp/l.bmp" --rotate left
  $IM "$tmp/$bmp.bmp" -rotate -90 "$tmp/l_im.png"
  [ "$(ae "$tmp/l.bmp" "$tmp/l_im.png")" = 0 ] || fail "$bmp: rotate left differs"
done
echo "rotate right/left: identical (24 and 8 bits)"

# Size change, up and down, odd sizes.
for size in 100x75 32x45 640x33; do
  w=${size%x*} h=${size#*x}
  "$fqtool" edit "$tmp/in.bmp" "$tmp/s.bmp" --resize "$size"
  $IM -size "${size}" xc: \( "$tmp/in.bmp" -flip \) -interpolate bilinear \
    -fx 'v.p{i*v.w/w,j*v.h/h}' -flip "$tmp/s_im.png"
  p=$(peak "$tmp/s.bmp" "$tmp/s_im.png")
  within1 "$p" || fail "24-bit resize $size: largest difference $p levels"
  echo "resize 24-bit $size: largest difference $p levels"
  "$fqtool" edit "$tmp/in8.bmp" "$tmp/s8.bmp" --resize "$size"
  [ "$(/usr/bin/identify -format '%r' "$tmp/s8.bmp" | grep -c Pseudo)" = 1 ] || fail "8-bit resize lost its palette"
  $IM -size "${size}" xc: \( "$tmp/in8.bmp" -flip \) -interpolate integer \
    -fx 'v.p{floor(i*v.w/w),floor(j*v.h/h)}' -flip "$tmp/s8_im.png"
  [ "$(ae "$tmp/s8.bmp" "$tmp/s8_im.png")" = 0 ] || fail "8-bit resize $size differs: $(ae "$tmp/s8.bmp" "$tmp/s8_im.png")"
done
echo "resize 8-bit: identical"

# Cut-out at 100 %: corners as dragged, in any order.
"$fqtool" edit "$tmp/in.bmp" "$tmp/c.bmp" --cutout 50,30,7,3
$IM "$tmp/in.bmp" -crop 43x27+7+3 +repage "$tmp/c_im.png"
[ "$(ae "$tmp/c.bmp" "$tmp/c_im.png")" = 0 ] || fail "cut-out differs"
"$fqtool" edit "$tmp/in8.bmp" "$tmp/c8.bmp" --cutout 3,2,20,35 --zoom 100
$IM "$tmp/in8.bmp" -crop 17x33+3+2 +repage "$tmp/c8_im.png"
[ "$(ae "$tmp/c8.bmp" "$tmp/c8_im.png")" = 0 ] || fail "8-bit cut-out differs"
echo "cut-out: identical"

# Saturation -100: grey at the luminance.
"$fqtool" edit "$tmp/in.bmp" "$tmp/g.bmp" --adjust 0,0,-100,0
$IM "$tmp/in.bmp" -grayscale Rec601Luma "$tmp/g_im.png"
p=$(peak "$tmp/g.bmp" "$tmp/g_im.png")
within1 "$p" || fail "saturation -100: largest difference $p levels"
echo "saturation -100: largest difference $p levels"

# Contrast alone on a grey ramp (each column one level).
$IM -size 64x256 gradient:white-black -rotate 90 -type TrueColor BMP3:"$tmp/ramp.bmp"
read -r low high < <("$fqtool" edit "$tmp/ramp.bmp" "$tmp/x.bmp" --auto | awk -F': ' '/^low/{l=$2} /^high/{h=$2} END{print l, h}')
for vc in 30 -40; do
  read -r a w < <(awk -v L="$low" -v H="$high" -v c="$vc" 'BEGIN {
    if (L < 255 - H) { a = int(L / (255 - H) * c + 0.5); w = 255 - c }
    else { a = c; w = int(255 - (255 - H) / L * c + 0.5) }
    print a, w }')
  "$fqtool" edit "$tmp/ramp.bmp" "$tmp/k.bmp" --adjust 0,"$vc",0,0
  if [ "$vc" -gt 0 ]; then
    $IM "$tmp/ramp.bmp" -level "$(awk -v v="$a" 'BEGIN{print v/2.55}')%,$(awk -v v="$w" 'BEGIN{print v/2.55}')%" "$tmp/k_im.png"
  else
    # A negative contrast widens the range: black and white points outside 0..255.
    $IM "$tmp/ramp.bmp" -fx "max(0,min(1,(u*255-($a))/(($w)-($a))))" "$tmp/k_im.png"
  fi
  p=$(peak "$tmp/k.bmp" "$tmp/k_im.png")
  within1 "$p" || fail "contrast $vc (L=$low H=$high a=$a w=$w): largest difference $p levels"
  echo "contrast $vc on a ramp (L=$low H=$high a=$a w=$w): largest difference $p levels"
done
echo PASS
