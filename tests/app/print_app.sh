#!/usr/bin/env bash
# Printing end to end on a PostScript printer added to the prefix (every job
# lands in one file), read back with ghostscript: a 2048 × 1536 camera
# picture with an Exif date in the four placements, each rasterised at 300
# dpi with the picture's box where the layout puts it (±2 pixels) and its
# pixels close to ImageMagick's resize of the same file, the name and the
# date as drawn text; the keys each window kind stores; a calendar page
# with its grid lines at their millimetres scaled to the printed width and
# no caption though both are ticked; album jobs titled "Fotaquill" with
# their sheet counts (a missing and a truncated picture leave their cells
# empty), "Print Select" with nothing ticked one blank sheet; Cancel in the
# "Printing..." box of a long job (frame usable at once, no temporary file
# left); no printer at all (no job). Pages and dialogs kept as PNGs.
source "$(dirname "$0")/lib.sh"

F=ORXDscFrame
T=Fotaquill
work=$FQ_ARTIFACTS/print_app
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }
drv() { fq_driver "$@" | tr -d '\r'; }
ps=$work/job.ps
fq_add_printer "$ps"
temp_dir=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Temp
[ -d "$temp_dir" ] || temp_dir=$WINEPREFIX/drive_c/users/$(id -un)/Temp
orx_files() { ls "$temp_dir" 2>/dev/null | grep -ci '^orx' || true; }

# --- Pictures --------------------------------------------------------------------
/usr/bin/convert -size 2048x1536 gradient:'#2050a0'-'#f0d070' \
  -fill '#c03020' -draw 'circle 1024,768 1024,260' -fill '#30a040' -draw 'rectangle 100,100 700,500' \
  "$work/p.ppm"
cjpeg -quality 92 "$work/p.ppm" >"$work/p1.jpg"
exiftool -q -overwrite_original -DateTimeOriginal='2001:01:05 10:20:30' "$work/p1.jpg"
for i in 2 3 4 5; do
  /usr/bin/convert -seed $i -size 640x480 plasma:fractal -blur 0x3 "$work/p.ppm"
  cjpeg "$work/p.ppm" >"$work/a$i.jpg"
done
/usr/bin/convert -size 300x400 gradient:navy-gold -type TrueColor "BMP3:$work/a1.bmp"
rm "$work/p.ppm"
printf '[ORXAPP]\r\ndir=%s\\\r\n' "$(winpath "$work")" >"$FQ_INI"

# Sets a check box of the print dialog to 1 or 0.
set_check() {
  [ "$(drv dlg-checked Print "$1")" = "$2" ] || drv dlg-click Print "$1" >/dev/null
  for i in $(seq 1 20); do [ "$(drv dlg-checked Print "$1")" = "$2" ] && return 0; sleep 0.1; done
  fq_fail "print dialog control $1 not $2"
}
# Opens the print dialog, clicks the given controls, presses OK and waits
# for the finished job.
print_job() {
  rm -f "$ps"
  drv post-command 102
  drv dlg-wait Print 10000 || fq_fail "no print dialog"
  local id
  for id in "$@"; do
    case $id in
      name=*) set_check 1121 "${id#name=}" ;;
      date=*) set_check 1122 "${id#date=}" ;;
      *) drv dlg-click Print "$id" >/dev/null ;;
    esac
    sleep 0.2
  done
  drv dlg-click Print 1 >/dev/null
  wait_job
}
wait_job() {
  local i
  for i in $(seq 1 600); do tail -c 200 "$ps" 2>/dev/null | grep -q '%%EOF' && break; sleep 0.1; done
  tail -c 200 "$ps" 2>/dev/null | grep -q '%%EOF' || fq_fail "the job did not finish"
}
ini() { tr -d '\r' <"$FQ_INI" | sed -n "s/^$1=//p"; }
pages() { grep -c '^%%Page:' "$ps"; }
title() { sed -n 's/^%%Title: //p' "$ps" | tr -d '\r'; }
raster() {  # NAME: every page as NAME-N.png (300 dpi)
  gs -q -dNOPAUSE -dBATCH -dSAFER -r300 -sDEVICE=png16m -sOutputFile="$work/$1-%d.png" "$ps"
}
text_of() { gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -sOutputFile=- "$ps" 2>/dev/null; }
# The box of everything neither white nor black (text) on a page, as
# "X Y W H" in device pixels (the page pixel less the 75-pixel margin).
picture_box() {
  /usr/bin/convert "$1" -fuzz 8% -fill white -opaque black -fill black +opaque white -trim \
    -format '%X %Y %w %h' info: | tr -d '+' | awk '{print $1 - 75, $2 - 75, $3, $4}'
}
near() {  # WHAT GOT WANT: every number within 2
  local got=($2) want=($3) i
  for i in 0 1 2 3; do
    local d=$((got[i] - want[i]))
    [ ${d#-} -le 2 ] || fq_fail "$1: box $2, layout $3"
  done
  echo "$1: box $2 (layout $3)"
}
# PSNR of the printed box against ImageMagick's resize of the source.
likeness() {  # PAGE BOX SOURCE NAME
  local b=($2)
  /usr/bin/convert "$1" -crop "${b[2]}x${b[3]}+$((b[0] + 75))+$((b[1] + 75))" +repage "$work/$4_printed.png"
  /usr/bin/convert "$3" -resize "${b[2]}x${b[3]}!" "$work/$4_magick.png"
  { compare -metric PSNR "$work/$4_printed.png" "$work/$4_magick.png" null: 2>&1 || true; } | cut -d" " -f1
}

fq_start_app "$(winpath "$work/p1.jpg")"
drv wait-window $F $T 30000 >/dev/null || fq_fail "no frame"
drv wait-idle "p1.jpg" 30000 >/dev/null || fq_fail "the picture did not open"

# --- One picture in the four placements -------------------------------------------
# Layouts of a 2048 × 1536 picture on A4 at 300 dpi (2329 × 3358, Lh 60)
# with both captions on.
declare -A want=([1101]="29 793 2270 1702" [1102]="140 911 2048 1536" [1103]="45 20 2238 1679"
                 [1104]="45 1599 2238 1679")
declare -A key=([1101]=0 [1102]=1 [1103]=2 [1104]=3)
drv post-command 102
drv dlg-wait Print 10000 || fq_fail "no print dialog"
[ "$(drv dlg-enabled Print 1101)$(drv dlg-enabled Print 1113)$(drv dlg-enabled Print 1121)" = 101 ] ||
  fq_fail "an image window prints with the album group disabled"
sleep 0.5
fq_screenshot print_dialog
drv dlg-click Print 2 >/dev/null
drv dlg-gone Print 5000 || fq_fail "Cancel left the dialog"
[ ! -e "$ps" ] || fq_fail "Cancel printed"
for id in 1101 1102 1103 1104; do
  print_job "$id" name=1 date=1
  [ "$(pages)" = 1 ] || fq_fail "placement $id: $(pages) sheets"
  [ "$(title)" = "$(winpath "$work/p1.jpg")" ] || fq_fail "job named $(title)"
  raster "image_$id"
  box=$(picture_box "$work/image_$id-1.png")
  near "placement ${key[$id]}" "$box" "${want[$id]}"
  psnr=$(likeness "$work/image_$id-1.png" "$box" "$work/p1.jpg" "image_$id")
  echo "placement ${key[$id]}: PSNR $psnr dB against ImageMagick's resize"
  awk -v p="$psnr" 'BEGIN {exit !(p >= 28)}' || fq_fail "placement $id: printed pixels differ ($psnr dB)"
  text=$(text_of)
  grep -q 'JAN\.5\.2001' <<<"$text" || fq_fail "placement $id: no date in: $text"
  grep -q 'p1\.jpg' <<<"$text" || fq_fail "placement $id: no name in: $text"
  [ "$(ini NorType)" = "${key[$id]}" ] || fq_fail "NorType not ${key[$id]}: $(cat "$FQ_INI")"
done
[ -z "$(ini AlbType)$(ini AlbAll)" ] || fq_fail "an image window stored album keys"
[ "$(ini PrnName)$(ini PrnDate)" = 11 ] || fq_fail "captions not stored"
echo "image placements: keys $(grep -E '^(NorType|PrnName|PrnDate)=' "$FQ_INI" | tr -d '\r' | tr '\n' ' ')"
