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
# The job's temporary bitmaps (the system's temporary names with the ORX prefix).
orx_files() { ls "$temp_dir" 2>/dev/null | grep -ciE '^orx[0-9a-f]+\.tmp$' || true; }

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
# Clicks a radio button of the print dialog until it shows checked.
set_radio() {
  local i
  for i in $(seq 1 20); do
    [ "$(drv dlg-checked Print "$1")" = 1 ] && return 0
    drv dlg-click Print "$1" >/dev/null
    sleep 0.2
  done
  fq_fail "print dialog control $1 not checked"
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
      name=*) set_check 1321 "${id#name=}" ;;
      date=*) set_check 1322 "${id#date=}" ;;
      *) set_radio "$id" ;;
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
raster() {  # NAME [PAGES]: every page (or the first PAGES) as NAME-N.png (300 dpi)
  gs -q -dNOPAUSE -dBATCH -dSAFER -r300 ${2:+-dFirstPage=1 -dLastPage=$2} -sDEVICE=png16m \
    -sOutputFile="$work/$1-%d.png" "$ps"
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
declare -A want=([1301]="29 793 2270 1702" [1302]="140 911 2048 1536" [1303]="45 20 2238 1679"
                 [1304]="45 1599 2238 1679")
declare -A key=([1301]=0 [1302]=1 [1303]=2 [1304]=3)
drv post-command 102
drv dlg-wait Print 10000 || fq_fail "no print dialog"
[ "$(drv dlg-enabled Print 1301)$(drv dlg-enabled Print 1313)$(drv dlg-enabled Print 1321)" = 101 ] ||
  fq_fail "an image window prints with the album group disabled"
sleep 0.5
fq_screenshot print_dialog
drv dlg-click Print 2 >/dev/null
drv dlg-gone Print 5000 || fq_fail "Cancel left the dialog"
[ ! -e "$ps" ] || fq_fail "Cancel printed"
for id in 1301 1302 1303 1304; do
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

# Print Setup changes nothing but the kept printer: no job, no key.
cp "$FQ_INI" "$work/ini_before_setup"
drv post-command 123
box=$(drv dialog-text 10000) || fq_fail "no Print Setup dialog"
grep -q 'title=Print Setup' <<<"$box" || fq_fail "Print Setup shows: $box"
drv dialog-press 1 5000 >/dev/null || fq_fail "cannot press OK in Print Setup"
sleep 1
cmp -s "$FQ_INI" "$work/ini_before_setup" || fq_fail "Print Setup wrote settings"
echo "Print Setup: shown, no settings written"

# --- A calendar page ----------------------------------------------------------------
/usr/bin/convert -size 640x480 gradient:white-'#c0c0c0' "$work/ph.ppm"
cjpeg "$work/ph.ppm" >"$work/photo.jpg"
rm "$work/ph.ppm"
"$FQ_BUILD/fqtool" calendar make "$work/aug.cal" --kind monthly --year 2003 --month 8 \
  --photo "$work/photo.jpg" --frame on --colors 000000,0000FF,FF0000,FF00FF >/dev/null ||
  fq_fail "fqtool made no calendar"
drv post-command 100
drv file-dialog "$(winpath "$work/aug.cal")" 0 15000 >/dev/null || fq_fail "no Open dialog"
drv wait-idle "aug.cal" 30000 >/dev/null || fq_fail "the calendar did not open"
rm -f "$ps"
drv post-command 102
drv dlg-wait Print 10000 || fq_fail "no print dialog"
[ "$(drv dlg-enabled Print 1301)$(drv dlg-enabled Print 1313)$(drv dlg-enabled Print 1321)$(drv dlg-enabled Print 1322)" = 1000 ] ||
  fq_fail "a calendar prints with only the image group enabled"
[ "$(drv dlg-checked Print 1321)$(drv dlg-checked Print 1322)" = 11 ] || fq_fail "the captions should show ticked"
set_radio 1301
drv dlg-click Print 1 >/dev/null
wait_job
[ "$(title)" = "$(winpath "$work/aug.cal")" ] || fq_fail "calendar job named $(title)"
raster calendar
# 840 × 1188 at paper size: 2319 wide at (5, 39); s = 2319 × 4 / 840 pixels
# per millimetre. The eight column lines of the portrait grid lie at
# 17.5 + 25 i mm; a row at 220 mm crosses them all.
y=$((39 + 220 * 2319 * 4 / 840 + 75))
/usr/bin/convert "$work/calendar-1.png" -crop "2479x1+0+$y" +repage -depth 8 txt:- |
  awk -F'[,: ]+' 'NR > 1 && $0 ~ /#FF00FF/ {print $1 - 75}' >"$work/grid_x.txt"
runs=$(awk 'NR == 1 || $1 != prev + 1 {if (NR > 1) printf "%d-%d ", start, prev; start = $1} {prev = $1}
            END {if (NR) printf "%d-%d", start, prev}' "$work/grid_x.txt")
echo "calendar grid lines at device x: $runs"
for i in 0 1 2 3 4 5 6 7; do
  x=$(awk -v i=$i 'BEGIN {print 5 + int((17.5 + 25 * i) * 2319 * 4 / 840)}')
  hit=0
  for r in $runs; do
    [ "$x" -ge $((${r%-*} - 2)) ] && [ "$x" -le $((${r#*-} + 2)) ] && hit=1
  done
  [ $hit = 1 ] || fq_fail "no grid line at x = $x (column line $i): $runs"
done
[ "$(wc -w <<<"$runs")" = 8 ] || fq_fail "expected 8 column lines: $runs"
text=$(text_of)
grep -q 'aug\.cal' <<<"$text" && fq_fail "a calendar was captioned with its name"
grep -q 'August' <<<"$text" || fq_fail "the calendar's texts were not drawn as text: $text"
[ "$(pages)" = 1 ] || fq_fail "calendar: $(pages) sheets"

# --- Albums ---------------------------------------------------------------------
album() { python3 "$(dirname "$0")/make_album.py" "$work/$1" "${@:2}"; }
five=()
for f in a1.bmp a2.jpg a3.jpg a4.jpg a5.jpg; do five+=("$(winpath "$work/$f")"); done
album five.alb "${five[@]}"
drv drop-files $F $T "$(winpath "$work/five.alb")" >/dev/null
for i in $(seq 1 100); do drv mdi-children $F $T | grep -q 'five.alb' && break; sleep 0.2; done
sleep 1
declare -A sheets=([1314]=3 [1315]=2 [1316]=1 [1313]=1)
declare -A layout=([1313]=0 [1314]=1 [1315]=2 [1316]=3)
first=1
for id in 1314 1315 1316 1313; do
  if [ $first = 1 ]; then
    drv post-command 102
    drv dlg-wait Print 10000 || fq_fail "no print dialog"
    [ "$(drv dlg-enabled Print 1301)$(drv dlg-enabled Print 1313)$(drv dlg-enabled Print 1321)" = 011 ] ||
      fq_fail "an album prints with the image group disabled"
    drv dlg-click Print 2 >/dev/null
    drv dlg-gone Print 5000 || fq_fail "the dialog stayed"
    first=0
  fi
  print_job 1311 "$id" name=1 date=1
  [ "$(title)" = Fotaquill ] || fq_fail "album job named $(title)"
  [ "$(pages)" = "${sheets[$id]}" ] || fq_fail "5 pictures in layout ${layout[$id]}: $(pages) sheets"
  echo "album of 5 in layout ${layout[$id]}: $(pages) sheets"
  # The first sheets of two layouts are kept to look at.
  case $id in 1315 | 1313) raster "album_${layout[$id]}" 1 ;; esac
  [ "$(ini AlbType)$(ini AlbAll)" = "${layout[$id]}1" ] || fq_fail "album keys: $(cat "$FQ_INI")"
done
[ "$(ini NorType)" = 0 ] || fq_fail "an album changed NorType (the calendar stored 0)"
print_job 1312 1315
[ "$(pages)" = 1 ] || fq_fail "Print Select with nothing ticked: $(pages) sheets"
raster album_none
[ "$(/usr/bin/convert "$work/album_none-1.png" -format '%k' info:)" = 1 ] || fq_fail "the sheet is not blank"
echo "Print Select, nothing ticked: 1 blank sheet"

# Missing and truncated pictures leave their cells empty; the job goes on.
head -c 600 "$work/a4.jpg" >"$work/cut.jpg"
album holes.alb "$(winpath "$work/a2.jpg")" "$(winpath "$work/gone.jpg")" "$(winpath "$work/cut.jpg")" \
  "$(winpath "$work/a3.jpg")"
drv drop-files $F $T "$(winpath "$work/holes.alb")" >/dev/null
for i in $(seq 1 100); do drv mdi-children $F $T | grep -q 'holes.alb' && break; sleep 0.2; done
sleep 1
print_job 1311 1315 name=0 date=0
raster album_holes
# Four to a sheet: cells 1154 × 1539, 7 apart, rows 1679 apart from 20.
cell_colours() {
  /usr/bin/convert "$work/album_holes-1.png" -crop "1154x1539+$((7 + $1 * 1161 + 75))+$((20 + $2 * 1679 + 75))" \
    +repage -format '%k' info:
}
[ "$(cell_colours 0 0)" -gt 100 ] || fq_fail "the first picture is missing"
[ "$(cell_colours 1 0)" = 1 ] || fq_fail "the missing picture's cell is not empty"
[ "$(cell_colours 0 1)" = 1 ] || fq_fail "the truncated picture's cell is not empty"
[ "$(cell_colours 1 1)" -gt 100 ] || fq_fail "the picture after the bad ones is missing"
echo "album with a missing and a truncated picture: their cells empty, the others printed"
[ "$(orx_files)" = 0 ] || fq_fail "temporary files left: $(ls "$temp_dir")"

# --- Cancel -------------------------------------------------------------------------
many=()
for i in $(seq -w 1 40); do cp "$work/p1.jpg" "$work/c$i.jpg"; many+=("$(winpath "$work/c$i.jpg")"); done
album many.alb "${many[@]}"
drv drop-files $F $T "$(winpath "$work/many.alb")" >/dev/null
for i in $(seq 1 100); do drv mdi-children $F $T | grep -q 'many.alb' && break; sleep 0.2; done
sleep 1
rm -f "$ps"
drv post-command 102
drv dlg-wait Print 10000 || fq_fail "no print dialog"
set_radio 1316
drv dlg-click Print 1 >/dev/null
drv dlg-wait Fotaquill 10000 || fq_fail "no Printing... box"
sleep 1
fq_screenshot print_printing
[ "$(drv dlg-text Fotaquill 2)" = Cancel ] || fq_fail "the box has no Cancel button"
disabled() {  # the frame's WS_DISABLED bit
  local style
  style=$(drv window-info $F $T | sed -n 's/^style=//p')
  echo $(((style >> 27) & 1))
}
[ "$(disabled)" = 1 ] || fq_fail "the frame is usable during the job"
drv dlg-click Fotaquill 2 >/dev/null
start=$(date +%s%N)
for i in $(seq 1 50); do [ "$(disabled)" = 0 ] && break; sleep 0.1; done
[ "$(disabled)" = 0 ] || fq_fail "the frame stayed disabled after Cancel"
echo "Cancel: frame usable after $(( ($(date +%s%N) - start) / 1000000 )) ms"
drv dlg-gone Fotaquill 10000 || fq_fail "the Printing... box stayed"
sleep 2
[ "$(orx_files)" = 0 ] || fq_fail "temporary files left after Cancel: $(ls "$temp_dir")"
if [ ! -e "$ps" ]; then
  echo "Cancel: no job file left"
else
  echo "Cancel: job file $(stat -c %s "$ps") bytes, $(grep -c '^%%Page:' "$ps") pages begun"
  tail -c 200 "$ps" | grep -q '%%EOF' && fq_fail "a cancelled job was finished"
fi

# --- No printer -----------------------------------------------------------------------
drv remove-printers
rm -f "$ps"
drv post-command 102
box=$(drv dialog-text 10000) || fq_fail "no message without a printer"
echo "without a printer: $(tr '\n' ' ' <<<"$box")"
fq_screenshot print_no_printer
drv dialog-press 1 5000 >/dev/null || drv dialog-press 2 5000 >/dev/null || true
drv dlg-gone Print 5000 >/dev/null 2>&1 || drv dlg-click Print 2 >/dev/null 2>&1 || true
sleep 2
[ ! -e "$ps" ] || fq_fail "a job without a printer"

for f in image_1301-1 image_1304-1 calendar-1 album_2-1 album_0-1; do
  /usr/bin/convert "$work/$f.png" -resize 25% "$FQ_ARTIFACTS/print_$f.png"
done
drv close $F $T
echo "print_app: OK"
