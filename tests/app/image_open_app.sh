#!/usr/bin/env bash
# Opening pictures and the plain Save, end to end: a 16-bit BMP of 200 × 150
# opens in a window and shows its colours; the margin around a picture
# smaller than its window is white; File Open of a large file that is no
# picture is refused after reading its first bytes only (the process's read
# count stays far below the file's size); the plain Save of unchanged JPEGs
# keeps an Exif segment (exiftool reads it back) and drops a lone JFIF APP0
# segment, the coded picture unchanged (djpeg gives the same pixels).
source "$(dirname "$0")/lib.sh"

work=$FQ_ARTIFACTS/image_open_app
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }
strip() { tr -d '\r'; }
titles() { fq_driver image-titles | strip; }
wait_title() {
  local i
  for i in $(seq 1 100); do titles | grep -qxF "$1" && return 0; sleep 0.2; done
  return 1
}
box_text() { fq_driver item-text '#32770' Fotaquill 65535 | strip; }
dismiss_box() { fq_driver item-message '#32770' Fotaquill 1 0x00F5 0 0 >/dev/null; }
pixel() { fq_driver image-pixel "$1" "$2" "$3" | strip | sed 's/.*pixel=//'; }

# 16 bits a pixel, no colour masks (5-5-5): the left half red, the right blue.
python3 - "$work/rgb16.bmp" <<'PY'
import struct, sys
w, h = 200, 150
row = b"".join(struct.pack("<H", 0x7C00 if x < w // 2 else 0x001F) for x in range(w))
pixels = row * h
head = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 16, 0, len(pixels), 0, 0, 0, 0)
open(sys.argv[1], "wb").write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 54)
                              + head + pixels)
PY
/usr/bin/convert -size 24x16 xc:'#00ff00' -type TrueColor "BMP3:$work/tiny.bmp"

fq_start_app "$(winpath "$work/rgb16.bmp")" "$(winpath "$work/tiny.bmp")"
fq_driver wait-window ORXDscFrame Fotaquill 30000 >/dev/null || fq_fail "no frame"
wait_title 'rgb16.bmp [100%]' || fq_fail "the 16-bit BMP did not open: $(titles | tr '\n' '|')"
wait_title 'tiny.bmp [100%]' || fq_fail "tiny.bmp did not open"
sleep 1
fq_screenshot image_open
# Low rows of the 16-bit picture: clear of the smaller window cascaded over it.
left=$(pixel rgb16.bmp 50 140)
right=$(pixel rgb16.bmp 150 140)
echo "rgb16.bmp: left $left, right $right"
grep -Eq '^(f8|ff)0000$' <<<"$left" || fq_fail "16-bit picture: left half $left, not red"
grep -Eq '^0000(f8|ff)$' <<<"$right" || fq_fail "16-bit picture: right half $right, not blue"

# The small picture is centred in a window wider than itself.
info=$(fq_driver image-pixel tiny.bmp 2 8 | strip)
echo "tiny.bmp: $info"
width=$(sed 's/client=\([0-9]*\),.*/\1/' <<<"$info")
[ "$width" -gt 40 ] || fq_fail "tiny.bmp's window is too narrow for a margin: $info"
for x in 2 -3; do
  [ "$(pixel tiny.bmp $x 8)" = ffffff ] || fq_fail "margin at x=$x: $(pixel tiny.bmp $x 8)"
done
[ "$(pixel tiny.bmp $((width / 2)) 8)" = 00ff00 ] || fq_fail "the picture is not in the middle"

# File Open of 64 MB that are no picture: refused, having read a few bytes.
truncate -s 64M "$work/big.dat"
grep -q fotaquill "/proc/$FQ_APP_PID/cmdline" || fq_fail "process $FQ_APP_PID is not the program"
read_bytes() { awk '/^rchar:/ {print $2}' "/proc/$FQ_APP_PID/io"; }
before=$(read_bytes)
fq_driver post-command 100
fq_driver file-dialog "$(winpath "$work/big.dat")" 0 15000 || fq_fail "no Open dialog"
fq_driver wait-window '#32770' Fotaquill 15000 >/dev/null || fq_fail "no box for big.dat"
for i in $(seq 1 20); do t=$(box_text) && [ -n "$t" ] && break; sleep 0.2; done
[ "$t" = "There is no correspondence between this file." ] || fq_fail "big.dat: \"$t\""
read_mb=$(( ($(read_bytes) - before) / 1048576 ))
echo "bytes read while opening big.dat: $read_mb MB"
dismiss_box
rm -f "$work/big.dat"
[ "$read_mb" -lt 16 ] || fq_fail "File Open read $read_mb MB of a 64 MB file that is no picture"
fq_driver close ORXDscFrame Fotaquill
fq_wait_app_exit 20 || fq_fail "the program did not end"

# Plain Save of unchanged JPEGs: one with JFIF only, one with JFIF and Exif.
/usr/bin/convert -size 160x120 gradient:navy-orange "$work/src.ppm"
cjpeg -quality 85 "$work/src.ppm" >"$work/jfif.jpg"
cp "$work/jfif.jpg" "$work/exif.jpg"
exiftool -q -overwrite_original -Make=Merovanta -Model=Testcam "$work/exif.jpg" ||
  fq_fail "exiftool cannot add the Exif segment"
for f in jfif exif; do djpeg "$work/$f.jpg" >"$work/$f.before.ppm"; done
fq_start_app "$(winpath "$work/jfif.jpg")" "$(winpath "$work/exif.jpg")"
fq_driver wait-window ORXDscFrame Fotaquill 30000 >/dev/null || fq_fail "no frame"
wait_title 'exif.jpg [100%]' || fq_fail "exif.jpg did not open"
wait_title 'jfif.jpg [100%]' || fq_fail "jfif.jpg did not open"
touch -d '2001-01-01' "$work/jfif.jpg" "$work/exif.jpg"
saved() { [ "$work/$1" -nt "$work/src.ppm" ]; }
# Save the active window (exif.jpg, opened last), close it, then Save the
# other one.
fq_driver post-command 101
for i in $(seq 1 50); do saved exif.jpg && break; sleep 0.2; done
fq_driver post-command 106
for i in $(seq 1 50); do [ "$(titles)" = 'jfif.jpg [100%]' ] && break; sleep 0.2; done
fq_driver post-command 101
for i in $(seq 1 50); do saved jfif.jpg && break; sleep 0.2; done
fq_driver close ORXDscFrame Fotaquill
fq_wait_app_exit 20 || fq_fail "the program did not end"
for f in jfif exif; do
  saved $f.jpg || fq_fail "$f.jpg was not saved"
  djpeg "$work/$f.jpg" | cmp -s - "$work/$f.before.ppm" || fq_fail "$f.jpg: the picture changed"
done
[ -z "$(exiftool -s3 -JFIFVersion "$work/jfif.jpg")" ] || fq_fail "jfif.jpg kept its APP0 segment"
[ "$(exiftool -s3 -Make "$work/exif.jpg")" = Merovanta ] || fq_fail "exif.jpg lost its Exif segment"
echo "PASS"
