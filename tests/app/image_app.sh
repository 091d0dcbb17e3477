#!/usr/bin/env bash
# Image windows end to end: a JPEG and a BMP named on the command line open
# in image windows titled with their names at 100 %; the five zoom commands
# retitle the window; Save As in each of the five kinds writes files that
# djpeg and ImageMagick read (JPEGs with the generated Exif thumbnail, the
# 256-colour BMP with a palette); a name typed without extension is asked
# about under its final name; a save that cannot write leaves the old file
# byte for byte; screenshots of a window and of Image Information.
source "$(dirname "$0")/lib.sh"

work=$FQ_ARTIFACTS/$FQ_TEST_NAME
chattr -i "$work/locked" 2>/dev/null || true
rm -rf "$work"
mkdir -p "$work/locked"
winpath() { echo "Z:${1//\//\\}"; }

/usr/bin/convert -size 320x240 gradient:navy-orange -fill white -draw "circle 160,120 160,60" \
  "$work/source.ppm" || fq_fail "no test picture"
cjpeg -quality 90 "$work/source.ppm" >"$work/test.jpg"
/usr/bin/convert "$work/source.ppm" -type TrueColor "BMP3:$work/test.bmp"

fq_start_app "$(winpath "$work/test.jpg")" "$(winpath "$work/test.bmp")"
fq_driver wait-window ORXDscFrame Fotaquill 30000 >/dev/null || fq_fail "no frame"
titles() { fq_driver image-titles | tr -d '\r'; }
for i in $(seq 1 100); do [ "$(titles | wc -l)" -ge 2 ] && break; sleep 0.2; done
titles
titles | grep -qx 'test.jpg \[100%\]' || fq_fail "JPEG window title"
titles | grep -qx 'test.bmp \[100%\]' || fq_fail "BMP window title"

# Zoom: the active window (the BMP, opened last) follows each command.
for z in 171:25 172:50 174:200 175:400 173:100; do
  fq_driver post-command "${z%%:*}"
  want="test.bmp [${z##*:}%]"
  for i in $(seq 1 50); do titles | grep -qxF "$want" && break; sleep 0.1; done
  titles | grep -qxF "$want" || fq_fail "zoom ${z##*:}: titles $(titles | tr '\n' '|')"
done
sleep 0.5
fq_screenshot image_window

# Save As in the five kinds; names typed without extension get the type's.
# An unchanged JPEG saved at standard or high quality keeps its coded bytes,
# so the BMP save comes between the qualities: each JPEG is then encoded
# from the same picture.
declare -A ext=([1]=jpg [2]=jpg [3]=jpg [4]=bmp [5]=bmp)
for t in 1 4 3 2 5; do
  fq_driver post-command 107
  fq_driver file-dialog "$(winpath "$work/out_$t")" "$t" 15000 || fq_fail "no Save As dialog ($t)"
  f=$work/out_$t.${ext[$t]}
  for i in $(seq 1 100); do titles | grep -qxF "out_$t.${ext[$t]} [100%]" && break; sleep 0.1; done
  [ -s "$f" ] || fq_fail "Save As kind $t wrote no $f"
  if [ "$t" = 1 ]; then
    # Image Information of the file just written with the generated segment.
    fq_driver post-command 570
    fq_driver dialog-text 10000 | tr -d '\r' | grep -qx 'title=Image Information' ||
      fq_fail "no Image Information dialog"
    sleep 0.5
    fq_screenshot image_information
    fq_driver dialog-press 1 5000 || fq_fail "cannot close Image Information"
  fi
done
for t in 1 2 3; do
  djpeg "$work/out_$t.jpg" >/dev/null || fq_fail "djpeg cannot read out_$t.jpg"
  [ "$(/usr/bin/identify -format '%wx%h' "$work/out_$t.jpg")" = 320x240 ] || fq_fail "size $t"
  exiftool -b -ThumbnailImage "$work/out_$t.jpg" >"$work/thumb_$t.jpg"
  [ "$(/usr/bin/identify -format '%wx%h' "$work/thumb_$t.jpg")" = 160x120 ] ||
    fq_fail "out_$t.jpg has no 160 x 120 thumbnail"
done
s1=$(stat -c %s "$work/out_1.jpg"); s2=$(stat -c %s "$work/out_2.jpg"); s3=$(stat -c %s "$work/out_3.jpg")
echo "JPEG sizes: standard $s1, low $s2, high $s3"
[ "$s2" -lt "$s1" ] && [ "$s1" -lt "$s3" ] || fq_fail "qualities do not order the sizes"
[ "$(/usr/bin/identify -format '%z %[type]' "$work/out_4.bmp")" = "8 TrueColor" ] ||
  fq_fail "out_4.bmp: $(/usr/bin/identify -format '%z %[type]' "$work/out_4.bmp")"
[ "$(/usr/bin/identify -format '%r' "$work/out_5.bmp" | grep -c Pseudo)" = 1 ] ||
  fq_fail "out_5.bmp is not a palette picture"
/usr/bin/compare -metric AE "$work/test.bmp" "$work/out_4.bmp" null: 2>"$work/ae" || true
[ "$(cat "$work/ae")" = 0 ] || fq_fail "full-colour BMP differs from the picture: $(cat "$work/ae")"

# A save that cannot be written: the existing file stays as it was. The name
# is typed without extension, so the replace question must come for the
# final name victim.jpg.
cp "$work/test.jpg" "$work/locked/victim.jpg"
cp "$work/test.jpg" "$work/victim.orig"
chattr +i "$work/locked" 2>/dev/null || chmod 555 "$work/locked"
fq_driver post-command 107
fq_driver file-dialog "$(winpath "$work/locked/victim")" 1 15000 || fq_fail "no Save As dialog"
q=$(fq_driver dialog-text 10000 | tr -d '\r')
echo "$q"
grep -q 'victim.jpg already exists' <<<"$q" || fq_fail "no replace question for the final name"
fq_driver dialog-press 6 5000  # Yes
e=
for i in $(seq 1 50); do
  e=$(fq_driver dialog-text 1000 2>/dev/null | tr -d '\r' || true)
  # The progress dialog shows first; the error box follows it.
  grep -q '^title=Fotaquill' <<<"$e" && ! grep -q 'Compressing' <<<"$e" && break
  sleep 0.2
done
echo "$e"
grep -q '^text=File cannot be opened.' <<<"$e" || fq_fail "no error box for the failed save"
fq_driver dialog-press 1 5000
chattr -i "$work/locked" 2>/dev/null || chmod 755 "$work/locked"
cmp "$work/locked/victim.jpg" "$work/victim.orig" || fq_fail "the old file changed"
[ "$(ls "$work/locked")" = victim.jpg ] || fq_fail "left behind: $(ls "$work/locked")"
titles | grep -qxF 'out_5.bmp [100%]' || fq_fail "the window's name changed on a failed save"

fq_driver close ORXDscFrame Fotaquill
fq_wait_app_exit 20 || fq_fail "the program did not end"
echo "PASS"
