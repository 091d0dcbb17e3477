#!/usr/bin/env bash
# The picture editor end to end, in the real program: quarter turns, Undo
# (No keeps the selection, Yes undoes, a second Undo redoes, nothing happens
# outside the last edited window), Image Cutout into "Untitled 1* [100%]",
# Image Size with its field rules and error box, Image Adjustment by the
# sliders and Automatic, the refusal of a 256-colour picture, the pen and the
# text tool fixed into the picture, and the tool window's On/Off. Each result
# is saved as a BMP and held to ImageMagick (turn, cut-out, size change) or to
# `fqtool edit` on the same input (adjustment), and drawings are checked to
# change only the pixels under the stroke or the text. Screenshots of both
# dialogs, the tool window with a placed text and a turned picture.
source "$(dirname "$0")/lib.sh"

work=$FQ_ARTIFACTS/edit_app
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }
IM=/usr/bin/convert
fqtool=$FQ_BUILD/fqtool
INI=$FQ_INI
fq_keep_ini
# The tools' font and colour: a face every Wine prefix here has, red ink.
cat >"$INI" <<'EOF'
[ORXAPP]
Tool=0
Status=0
ToolBox=0
[TOOL]
Font=DejaVu Sans
Height=-24
Width=0
Weight=400
Italic=0
Color=255
PenSize=5
EOF

$IM -size 160x120 plasma:fractal -seed 11 -type TrueColor "BMP3:$work/a.bmp"
$IM "$work/a.bmp" +dither -colors 200 -type Palette "BMP3:$work/p8.bmp"

titles() { fq_driver image-titles | tr -d '\r'; }
wait_title() {
  local i
  for i in $(seq 1 100); do titles | grep -qxF "$1" && return 0; sleep 0.1; done
  fq_fail "no window titled '$1' (titles: $(titles | tr '\n' '|'))"
}
save_bmp() {  # save_bmp NAME [ZOOM]: Save As Full Color BMP
  fq_driver post-command 107
  fq_driver file-dialog "$(winpath "$work/$1")" 4 15000 || fq_fail "no Save As dialog for $1"
  wait_title "$1.bmp [${2:-100}%]"
  [ -s "$work/$1.bmp" ] || fq_fail "$1.bmp not written"
}
ae() { /usr/bin/compare -metric AE "$1" "$2" null: 2>&1 || true; }
box() { fq_driver dialog-text 10000 | tr -d '\r'; }

fq_start_app "$(winpath "$work/a.bmp")"
fq_driver wait-window ORXDscFrame Fotaquill 30000 >/dev/null || fq_fail "no frame"
wait_title "a.bmp [100%]"
[ "$(fq_driver tool-shown | tr -d '\r')" = 1 ] || fq_fail "the tool window is not shown with the first image window"

# --- Rotate right, saved, identical to ImageMagick's turn ------------------
fq_driver post-command 176
wait_title "a.bmp* [100%]"
[ "$(fq_driver image-size a.bmp | tr -d '\r')" = "120 160" ] || fq_fail "turned window size $(fq_driver image-size a.bmp)"
sleep 0.3
fq_screenshot edit_turned
save_bmp rot
$IM "$work/a.bmp" -rotate 90 "$work/rot_im.png"
[ "$(ae "$work/rot.bmp" "$work/rot_im.png")" = 0 ] || fq_fail "turned picture differs from convert -rotate 90"
echo "rotate right: identical to convert -rotate 90"

# --- Undo: No keeps the selection; Yes undoes, a second Undo redoes -------
fq_driver stroke rot.bmp "10,10 30,25 50,40"   # a selection dragged with the select tool
fq_driver post-command 178
q=$(box)
grep -qx 'title=Undo Check Message' <<<"$q" && grep -qx 'text=Back before photo image. Really?' <<<"$q" ||
  fq_fail "no undo question: $q"
fq_driver dialog-press 7 5000  # No
fq_driver no-dialog 800 || fq_fail "a box after No"
titles | grep -qxF "rot.bmp [100%]" || fq_fail "No changed the picture"
# The selection is still there: Image Cutout makes a window of it.
fq_driver post-command 179
wait_title "Untitled 1* [100%]"
save_bmp cut
$IM "$work/rot.bmp" -crop 40x30+10+10 +repage "$work/cut_im.png"
[ "$(ae "$work/cut.bmp" "$work/cut_im.png")" = 0 ] || fq_fail "cut-out differs from convert -crop"
echo "undo No keeps the selection; cut-out identical to convert -crop"

fq_driver activate rot.bmp
fq_driver post-command 178
box | grep -q 'Undo Check Message' || fq_fail "no undo question"
fq_driver dialog-press 6 5000  # Yes
wait_title "rot.bmp* [100%]"    # before the saved picture: modified
[ "$(fq_driver image-size rot.bmp | tr -d '\r')" = "160 120" ] || fq_fail "undo did not turn the window back"
fq_driver post-command 178
box | grep -q 'Undo Check Message' || fq_fail "no redo question"
fq_driver dialog-press 6 5000
wait_title "rot.bmp [100%]"     # the saved picture again
echo "undo and redo: change mark and size follow"

# Edit the cut-out, then Undo in rot.bmp does nothing.
fq_driver activate cut.bmp
fq_driver post-command 177
wait_title "cut.bmp* [100%]"
fq_driver activate rot.bmp
fq_driver post-command 178
fq_driver no-dialog 1500 || fq_fail "Undo acted outside the last edited window"
echo "undo outside the last edited window: nothing"

# --- Image Size ------------------------------------------------------------
fq_driver post-command 180
box | grep -qx 'title=Image Size' || fq_fail "no Image Size dialog"
[ "$(fq_driver dialog-get 'Image Size' 451 | tr -d '\r')" = 120 ] || fq_fail "current width"
[ "$(fq_driver dialog-get 'Image Size' 452 | tr -d '\r')" = 160 ] || fq_fail "current height"
fq_driver dialog-set "Image Size" 453 "3000"
w=$(fq_driver dialog-get "Image Size" 453 | tr -d '\r'); h=$(fq_driver dialog-get "Image Size" 454 | tr -d '\r')
[ "$w x $h" = "1440 x 1920" ] || fq_fail "3000 typed for 120 x 160 gave $w x $h"
fq_driver dialog-set "Image Size" 453 "1a5"
[ "$(fq_driver dialog-get 'Image Size' 453 | tr -d '\r')" = 1 ] || fq_fail "letters not cut"
fq_driver dialog-set "Image Size" 453 "31"
sleep 0.3
fq_screenshot edit_size_dialog
fq_driver dialog-press 1 5000
e=$(box)
grep -q 'text=Invalid new size value input.' <<<"$e" || fq_fail "no error box for 31: $e"
fq_driver dialog-press 1 5000
box | grep -qx 'title=Image Size' || fq_fail "the dialog did not stay"
fq_driver dialog-set "Image Size" 453 "240"
[ "$(fq_driver dialog-get 'Image Size' 454 | tr -d '\r')" = 320 ] || fq_fail "height for 240"
fq_driver dialog-press 1 5000
wait_title "rot.bmp* [100%]"
save_bmp big
$IM -size 240x320 xc: \( "$work/rot.bmp" -flip \) -interpolate bilinear \
  -fx 'v.p{i*v.w/w,j*v.h/h}' -flip "$work/big_im.png"
pae=$({ /usr/bin/compare -metric PAE "$work/big.bmp" "$work/big_im.png" null: 2>&1 || true; } | sed -n 's/.*(\(.*\))/\1/p')
awk -v p="$pae" 'BEGIN { exit !(p * 255 <= 1.0001) }' || fq_fail "size change differs by $pae"
echo "image size 240 x 320: within 1 level of bilinear sampling"

# --- Image Adjustment --------------------------------------------------------
fq_driver post-command 170
box | grep -qx 'title=Image Adjustment' || fq_fail "no Image Adjustment dialog"
fq_driver dialog-scroll "Image Adjustment" 1213 3 0   # page right: +20
fq_driver dialog-scroll "Image Adjustment" 1214 5 30  # thumb track to 30
fq_driver dialog-scroll "Image Adjustment" 1215 5 41
fq_driver dialog-scroll "Image Adjustment" 1215 0 0   # line left: -1
fq_driver dialog-scroll "Image Adjustment" 1216 5 50
vals=$(for i in 1209 1210 1211 1212; do fq_driver dialog-get "Image Adjustment" $i | tr -d '\r'; done | tr '\n' ' ')
[ "$vals" = "20 30 40 50 " ] || fq_fail "slider labels: $vals"
sleep 0.3
fq_screenshot edit_adjust_dialog
fq_driver dialog-press 1 5000
wait_title "big.bmp* [100%]"
save_bmp adjusted
"$fqtool" edit "$work/big.bmp" "$work/adjusted_fq.bmp" --adjust 20,30,40,50
[ "$(ae "$work/adjusted.bmp" "$work/adjusted_fq.bmp")" = 0 ] || fq_fail "adjusted picture differs from fqtool edit --adjust"
echo "adjustment 20, 30, 40, 50: identical to fqtool edit"

fq_driver post-command 170
box | grep -qx 'title=Image Adjustment' || fq_fail "no Image Adjustment dialog"
fq_driver dialog-click "Image Adjustment" 1203
sleep 0.5
[ "$(fq_driver dialog-enabled 'Image Adjustment' 1213 | tr -d '\r')" = 0 ] || fq_fail "sliders enabled in Automatic"
shown=$(for i in 1209 1210 1211 1212; do fq_driver dialog-get "Image Adjustment" $i | tr -d '\r'; done | tr '\n' ' ')
want=$("$fqtool" edit "$work/adjusted.bmp" "$work/auto_fq.bmp" --auto | awk -F': ' '/^(brightness|contrast|saturation|sharpness)/{printf "%s ", $2}')
[ "$shown" = "$want" ] || fq_fail "Automatic shows '$shown', fqtool derives '$want'"
fq_driver dialog-press 1 5000
wait_title "adjusted.bmp* [100%]"
save_bmp auto
[ "$(ae "$work/auto.bmp" "$work/auto_fq.bmp")" = 0 ] || fq_fail "automatic adjustment differs from fqtool edit --auto"
echo "automatic adjustment ($shown): identical to fqtool edit --auto"

# --- A 256-colour picture is refused ---------------------------------------
fq_driver post-command 100
fq_driver file-dialog "$(winpath "$work/p8.bmp")" 0 15000 || fq_fail "no Open dialog"
wait_title "p8.bmp [100%]"
fq_driver post-command 170
e=$(box)
grep -qx 'text=This image is not full color.' <<<"$e" || fq_fail "8-bit picture not refused: $e"
fq_driver dialog-press 1 5000

# --- Pen: only the pixels under the stroke change -------------------------
fq_driver post-command 176   # 8 bits turn too
wait_title "p8.bmp* [100%]"
save_bmp pen_before
fq_driver tool-button 353
sleep 0.3
fq_driver stroke pen_before.bmp "20,30 60,30 60,70"
fq_driver tool-button 351   # choosing another tool fixes the strokes
wait_title "pen_before.bmp* [100%]"
save_bmp pen_after
python3 - "$work/pen_before.bmp" "$work/pen_after.bmp" <<'EOF' || fq_fail "pen changed pixels it should not"
import struct, sys
def load(p):
    b = open(p, "rb").read()
    off, w, h, bits = struct.unpack_from("<I", b, 10)[0], *struct.unpack_from("<ii", b, 18), struct.unpack_from("<H", b, 28)[0]
    pal = [b[54 + 4 * i: 57 + 4 * i] for i in range(256)] if bits == 8 else None
    stride = (w * bits // 8 + 3) & ~3
    px = {}
    for y in range(h):
        row = b[off + (h - 1 - y) * stride:]
        for x in range(w):
            px[x, y] = tuple(pal[row[x]]) if bits == 8 else tuple(row[3 * x:3 * x + 3])
    return w, h, px
w, h, a = load(sys.argv[1]); _, _, b = load(sys.argv[2])
def near(x, y):  # within the 5-pixel pen of the two segments
    if 17 <= x <= 63 and 27 <= y <= 33: return True
    return 57 <= x <= 63 and 27 <= y <= 73
changed = [(x, y) for (x, y) in a if a[x, y] != b[x, y]]
bad = [(x, y) for (x, y) in changed if not near(x, y) or max(abs(c - r) for c, r in zip(b[x, y], (0, 0, 255))) > 10]
print(f"pen: {len(changed)} pixels changed, {len(bad)} outside the stroke or not red")
sys.exit(1 if bad or len(changed) < 150 else 0)
EOF

# --- Text: placed, moved, fixed; only the letters change --------------------
fq_driver tool-button 352
box | grep -qx 'title=Text Input' || fq_fail "no Text Input dialog"
fq_driver dialog-set "Text Input" 371 "$(printf 'x%.0s' $(seq 1 301))"
fq_driver dialog-click "Text Input" 373
e=$(box)
grep -q 'text=Entered text has exceeded 300 letters.' <<<"$e" || fq_fail "301 letters accepted: $e"
fq_driver dialog-press 1 5000
fq_driver dialog-set "Text Input" 371 "Fotaquill"
fq_driver dialog-click "Text Input" 373
fq_driver no-dialog 500 || fq_fail "the text dialog stayed"
# A second press inside the text within 500 ms opens it for editing.
fq_driver double-click pen_after.bmp 20 20
box | grep -qx 'title=Text Input' || fq_fail "a double press did not open the text"
[ "$(fq_driver dialog-get 'Text Input' 371 | tr -d '\r')" = Fotaquill ] || fq_fail "the text dialog is not filled"
fq_driver dialog-press 2 5000   # Cancel keeps the placed text
fq_driver image-key pen_after.bmp 39   # right arrow: one pixel
fq_driver image-key pen_after.bmp 40   # down arrow
sleep 0.3
fq_driver raise-tool || true
sleep 0.3
fq_screenshot edit_tool_text
fq_driver image-key pen_after.bmp 13   # Enter: the fixing question
q=$(box)
grep -qx 'title=Message' <<<"$q" || fq_fail "no fixing question: $q"
fq_driver dialog-press 6 5000
wait_title "pen_after.bmp* [100%]"
save_bmp text_after
python3 - "$work/pen_after.bmp" "$work/text_after.bmp" <<'EOF' || fq_fail "text changed pixels it should not"
import struct, sys
def load(p):
    b = open(p, "rb").read()
    off, (w, h), bits = struct.unpack_from("<I", b, 10)[0], struct.unpack_from("<ii", b, 18), struct.unpack_from("<H", b, 28)[0]
    pal = [b[54 + 4 * i: 57 + 4 * i] for i in range(256)] if bits == 8 else None
    stride = (w * bits // 8 + 3) & ~3
    return {(x, y): (tuple(pal[b[off + (h - 1 - y) * stride + x]]) if bits == 8 else
                     tuple(b[off + (h - 1 - y) * stride + 3 * x: off + (h - 1 - y) * stride + 3 * x + 3]))
            for y in range(h) for x in range(w)}
a, b = load(sys.argv[1]), load(sys.argv[2])
changed = [p for p in a if a[p] != b[p]]
bad = [p for p in changed if max(abs(c - r) for c, r in zip(b[p], (0, 0, 255))) > 10 or p[0] < 11 or p[1] < 11]
print(f"text: {len(changed)} pixels changed, {len(bad)} not red or before the text's corner")
sys.exit(1 if bad or len(changed) < 50 else 0)
EOF

# Cancel at the fixing question drops the text and leaves the picture.
fq_driver tool-button 352
box | grep -qx 'title=Text Input' || fq_fail "no Text Input dialog"
fq_driver dialog-set "Text Input" 371 "gone"
fq_driver dialog-click "Text Input" 373
fq_driver image-key text_after.bmp 13
box | grep -qx 'title=Message' || fq_fail "no fixing question"
fq_driver dialog-press 2 5000
fq_driver no-dialog 500
titles | grep -qxF "text_after.bmp [100%]" || fq_fail "Cancel changed the picture"

# The eraser at 50 %: a 5-pixel eraser makes a 10-pixel white band.
fq_driver post-command 172
wait_title "text_after.bmp [50%]"
read -r cw ch < <(fq_driver image-size text_after.bmp | tr -d '\r')
fq_driver tool-button 354
sleep 0.3
fq_driver stroke text_after.bmp "4,$((ch / 2)) $((cw - 4)),$((ch / 2))"
fq_driver tool-button 351
wait_title "text_after.bmp* [50%]"
save_bmp eraser 50
python3 - "$work/text_after.bmp" "$work/eraser.bmp" <<'EOF' || fq_fail "eraser band wrong"
import struct, sys
def load(p):
    b = open(p, "rb").read()
    off, (w, h) = struct.unpack_from("<I", b, 10)[0], struct.unpack_from("<ii", b, 18)
    stride = (3 * w + 3) & ~3
    return w, h, lambda x, y: tuple(b[off + (h - 1 - y) * stride + 3 * x: off + (h - 1 - y) * stride + 3 * x + 3])
w, h, a = load(sys.argv[1]); _, _, b = load(sys.argv[2])
changed = [(x, y) for y in range(h) for x in range(w) if a(x, y) != b(x, y)]
assert all(b(x, y) == (255, 255, 255) for x, y in changed), "an erased pixel is not white"
rows = sorted({y for x, y in changed if x == w // 2})
print(f"eraser at 50 %: {len(changed)} pixels white, band of {len(rows)} rows at the middle column")
sys.exit(0 if 9 <= len(rows) <= 11 and rows == list(range(rows[0], rows[-1] + 1)) else 1)
EOF
fq_driver post-command 173
wait_title "eraser.bmp [100%]"

# Options: the font dialog with the pen width; 31 typed becomes 30.
fq_driver tool-button 355
box | grep -qx 'title=Font' || fq_fail "no options dialog"
[ "$(fq_driver dialog-get Font 361 | tr -d '\r')" = 5 ] || fq_fail "pen width not shown"
fq_driver dialog-set Font 361 31
sleep 0.3
fq_screenshot edit_options_dialog
fq_driver dialog-press 1 5000
fq_driver no-dialog 800 || fq_fail "the options dialog stayed"
grep -q '^PenSize=30' "$INI" || fq_fail "pen width 31 not stored as 30: $(grep PenSize "$INI")"
grep -q '^Color=255' "$INI" || fq_fail "colour not kept"
echo "options: pen width 31 stored as 30"

# --- Tool On/Off ------------------------------------------------------------
fq_driver post-command 184
sleep 0.3
[ "$(fq_driver tool-shown | tr -d '\r')" = 0 ] || fq_fail "Tool On/Off did not hide the tool window"
fq_driver post-command 184
sleep 0.3
[ "$(fq_driver tool-shown | tr -d '\r')" = 1 ] || fq_fail "Tool On/Off did not show the tool window"

# --- JPEG: an edited picture re-encodes on Save with its Exif size and date
# brought up to date; Save As makes a thumbnail of the edit; after a
# 256-colour save adjustment refuses.
"$fqtool" convert "$work/a.bmp" "$work/j.jpg"
exiftool -q -overwrite_original -ModifyDate="2001:02:03 04:05:06" "$work/j.jpg"
[ "$(exiftool -s3 -ExifImageWidth -ExifImageHeight "$work/j.jpg" | tr '\n' ' ')" = "160 120 " ] ||
  fq_fail "test JPEG without its Exif size"
fq_driver post-command 100
fq_driver file-dialog "$(winpath "$work/j.jpg")" 0 15000 || fq_fail "no Open dialog"
wait_title "j.jpg [100%]"
fq_driver post-command 176
wait_title "j.jpg* [100%]"
fq_driver post-command 101
wait_title "j.jpg [100%]"
[ "$(/usr/bin/identify -format '%wx%h' "$work/j.jpg")" = 120x160 ] || fq_fail "Save did not re-encode the turned picture"
[ "$(exiftool -s3 -ExifImageWidth -ExifImageHeight "$work/j.jpg" | tr '\n' ' ')" = "120 160 " ] ||
  fq_fail "Exif size after Save: $(exiftool -s3 -ExifImageWidth -ExifImageHeight "$work/j.jpg" | tr '\n' ' ')"
[ "$(exiftool -s3 -ModifyDate "$work/j.jpg")" != "2001:02:03 04:05:06" ] || fq_fail "Exif date not brought up to date"
fq_driver post-command 107
fq_driver file-dialog "$(winpath "$work/j2")" 1 15000 || fq_fail "no Save As dialog"
wait_title "j2.jpg [100%]"
exiftool -b -ThumbnailImage "$work/j2.jpg" >"$work/thumb.jpg"
# The 160 x 120 thumbnail holds the turned (upright) picture between black
# side margins of 35 columns.
side=$(/usr/bin/convert "$work/thumb.jpg" -crop 30x120+0+0 -format '%[fx:mean]' info:)
mid=$(/usr/bin/convert "$work/thumb.jpg" -crop 60x120+50+0 -format '%[fx:mean]' info:)
awk -v s="$side" -v m="$mid" 'BEGIN { exit !(s < 0.03 && m > 0.1) }' ||
  fq_fail "Save As thumbnail does not show the turned picture (side $side, middle $mid)"
echo "JPEG: Save re-encoded with Exif 120 x 160 and a new date; thumbnail upright (side mean $side)"
fq_driver post-command 107
fq_driver file-dialog "$(winpath "$work/j256")" 5 15000 || fq_fail "no Save As dialog"
wait_title "j256.bmp [100%]"
fq_driver post-command 170
box | grep -qx 'text=This image is not full color.' || fq_fail "adjustment not refused after a 256-colour save"
fq_driver dialog-press 1 5000

# Close All, not saving: with no image window the tool window hides.
fq_driver post-command 163
for i in $(seq 1 10); do
  q=$(fq_driver dialog-text 2000 2>/dev/null | tr -d '\r') || break
  grep -q 'Do you want to save' <<<"$q" && fq_driver dialog-press 7 3000
done
fq_driver image-titles >/dev/null 2>&1 && fq_fail "windows left after Close All: $(titles | tr '\n' '|')"
[ "$(fq_driver tool-shown | tr -d '\r')" = 0 ] || fq_fail "the tool window stays without an image window"
fq_driver close ORXDscFrame Fotaquill
fq_wait_app_exit 20 || fq_fail "the program did not end"
echo "PASS"
