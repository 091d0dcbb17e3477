#!/usr/bin/env bash
# Sending pictures to the camera, deleting, the viewfinder, the camera clock
# and the port search, end to end: the real program with simulated cameras
# on pseudo-terminals. COM1 is a device that never answers, COM2 a device
# that does not exist, COM3 the camera of each step (a fresh simulator
# behind a symbolic link, so the prefix's port mapping stays as it is).
#
# - Data out to a type-2 camera: a picture with blanks in its name goes as
#   is (cmp-equal on the camera), a 640 x 480 picture with 1 x 1 sampling is
#   re-encoded (djpeg decodes it, ImageMagick reads 2 x 1), a 1600 x 1200
#   one is refused and a text file named .jpg is "not a Jpeg file", each
#   with its message box read; to a type-1 camera: one as is, one
#   re-encoded to 4 x 1 inside the class of the mode it was sent in, one
#   refused for its file size; to a type-4 camera: a picture without Exif
#   arrives re-encoded with an Exif segment exiftool finds clean.
# - A type-2 camera with no room: "Camera memory is full." twice, then the
#   thumbnail grid.
# - Type 1 memory list: the viewfinder shows the chosen pictures 5 s apart;
#   deleting two with Yes and No, then Select All and "Delete all images?",
#   leaves exactly the expected pictures.
# - Thumbnail grid: pictures chosen by plain, Shift and Ctrl clicks are
#   deleted highest first with Yes, No, Delete All and Cancel; a type-4
#   camera refusing midway keeps the rest.
# - Camera Setup: the clock as the camera holds it, 29 February 2001
#   refused (nothing sent, the dialog left open), a good time set.
# - COM Port Setup: Auto Setup passes over COM1 and COM2, checks COM3 and
#   leaves "com" alone until OK.
# Screenshots of the dialogs are kept.
source "$(dirname "$0")/lib.sh"

F=ORXDscFrame
T=Fotaquill
sim=$FQ_BUILD/tools/camsim/fqcamsim
[ -x "$sim" ] || fq_fail "no simulator at $sim"
work=$FQ_ARTIFACTS/camera_out_app
rm -rf "$work" "$FQ_ARTIFACTS/camera_out_failure.png"
mkdir -p "$work/in"
winpath() { echo "Z:${1//\//\\}"; }
strip() { tr -d '\r'; }
drv() { fq_driver "$@" | strip; }

# step NAME: true when the step is to run (all of them, or those named in
# CAMERA_OUT_STEPS, for working on one).
step() { [ -z "${CAMERA_OUT_STEPS:-}" ] || [[ " $CAMERA_OUT_STEPS " == *" $1 "* ]]; }
fq_fail() {
  fq_screenshot camera_out_failure >&2
  echo "FAIL: $*" >&2
  exit 1
}

# box EXPECTED_TEXT [BUTTON]: the next message box says EXPECTED_TEXT; it is
# answered with BUTTON (1 OK by default).
box() {
  local got
  got=$(drv msgbox 20000) || fq_fail "no message box (expected: $1)"
  [ "$(sed -n 's/^text=//p' <<<"$got")" = "$1" ] || fq_fail "message box: '$got', expected '$1'"
  drv msgbox-press "${2:-1}" 5000 >/dev/null || fq_fail "cannot answer the message box"
  sleep 0.3
}

# --- Pictures -------------------------------------------------------------------
in=$work/in
picture() {  # NAME WIDTH HEIGHT SAMPLING QUALITY [SEED]
  /usr/bin/convert -seed "${6:-3}" -size "$2x$3" plasma:fractal "$work/p.ppm"
  cjpeg -quality "$5" -sample "$4" "$work/p.ppm" >"$in/$1"
}
picture "as is.jpg" 320 240 2x1 85
picture wide.jpg 1600 1200 2x1 75
picture fine.jpg 640 480 1x1 90 4
echo "just some text" >"$in/text.jpg"
picture small41.jpg 320 240 4x1 40 5
/usr/bin/convert -seed 6 -size 320x240 xc: +noise Random "$work/p.ppm"
cjpeg -quality 100 -sample 4x1 "$work/p.ppm" >"$in/heavy41.jpg"  # 320 x 240 above 21503 bytes
picture vga21.jpg 640 480 2x1 85 7
picture plain.jpg 320 240 2x1 85 8
rm "$work/p.ppm"
[ "$(stat -c %s "$in/small41.jpg")" -le 21503 ] || fq_fail "small41.jpg is too large for the test"
[ "$(stat -c %s "$in/heavy41.jpg")" -gt 21503 ] || fq_fail "heavy41.jpg is too small for the test"
exiftool -q -q -EXIF:all "$in/plain.jpg" | grep -q . && fq_fail "plain.jpg has Exif already"

# --- Ports ----------------------------------------------------------------------
# COM1: a device that takes everything and never answers.
"$sim" --silent --link "$work/com1" </dev/null >/dev/null 2>"$work/silent.log" &
FQ_EXTRA_PIDS+=($!)
cam_pid=
# camera NAME ARGS...: a fresh simulated camera on COM3, its log in
# $work/NAME.log and what it holds at exit in $work/NAME.holdings.
camera() {
  local name=$1
  shift
  stop_camera
  rm -f "$work/com3"
  "$sim" "$@" --verbose --link "$work/com3" --holdings "$work/$name.holdings" \
    </dev/null >/dev/null 2>"$work/$name.log" &
  cam_pid=$!
  FQ_EXTRA_PIDS+=("$cam_pid")
  local i
  for i in $(seq 1 50); do [ -L "$work/com3" ] && return 0; sleep 0.1; done
  fq_fail "camera $name: no terminal"
}
stop_camera() {  # once the program is done with it
  [ -n "$cam_pid" ] || return 0
  [ -z "$FQ_APP_PID" ] || drv frame-ready 30000 >/dev/null || fq_fail "the frame stays disabled"
  kill "$cam_pid" 2>/dev/null
  wait "$cam_pid" 2>/dev/null || true
  cam_pid=
}
for i in $(seq 1 50); do [ -L "$work/com1" ] && break; sleep 0.1; done
"$WINELOADER" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$work/com1" /f >/dev/null 2>&1
"$WINELOADER" reg add 'HKLM\Software\Wine\Ports' /v COM2 /d "$work/no-such-device" /f >/dev/null 2>&1
fq_map_com_port COM3 "$work/com3"
fq_start_wineserver

# A simulator still writing to a terminal nobody reads may not get to its
# signal check: it is stopped for good after a moment.
kill_sims() {
  local p
  for p in "${FQ_EXTRA_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  sleep 0.5
  for p in "${FQ_EXTRA_PIDS[@]}"; do kill -9 "$p" 2>/dev/null || true; done
}
fq_keep_ini
fq_at_exit fq_unmap_ports
fq_at_exit kill_sims
printf '[ORXAPP]\r\ndir=%s\\\r\ncom=COM3\r\nbaudrate=384\r\n' "$(winpath "$in")" >"$FQ_INI"

fq_start_app
drv wait-window $F $T 30000 >/dev/null || fq_fail "no frame"
sleep 1

# send NAMES: Data out with the files NAMES of the input folder.
# command ID: a menu command, once the frame takes commands again (while a
# camera command runs, its menu is out of reach).
command() {
  drv frame-ready 30000 >/dev/null || fq_fail "the frame stays disabled"
  drv post-command "$1" >/dev/null
}
send() {
  command 122
  drv dlg-wait "PC to DSC Jpeg File" 10000 >/dev/null || fq_fail "no upload file dialog"
  drv file-dialog "$1" 0 10000 >/dev/null || fq_fail "cannot choose the files"
}
# uploads LOG: the names the camera stored its uploads under, in order.
stored() { grep -o 'stored an uploaded picture of [0-9]* bytes' "$work/$1.log" | wc -l; }
wait_stored() {  # LOG COUNT
  local i
  for i in $(seq 1 200); do [ "$(stored "$1")" -ge "$2" ] && return 0; sleep 0.1; done
  fq_fail "$1: the camera stored $(stored "$1") uploads, expected $2"
}
refusal() { printf 'This JPEG file cannot be transferred to the Camera.\\nFile Name : %s' "$1"; }

# --- Type 2: as is, re-encoded, refused, not a JPEG ------------------------------------
if step type2; then
mkdir -p "$work/t2"
camera t2 --type 2 --folder "$work/t2"
send '"as is.jpg" "wide.jpg" "fine.jpg" "text.jpg"'
texts=()
for n in 1 2; do
  got=$(drv msgbox 30000) || fq_fail "type 2: message box $n missing"
  texts+=("$(sed -n 's/^text=//p' <<<"$got")")
  [ $n = 1 ] && fq_screenshot camera_out_refused
  drv msgbox-press 1 5000 >/dev/null
  sleep 0.3
done
printf '%s\n' "${texts[@]}" | sort >"$work/t2.boxes"
printf '%s\n' "$(refusal wide.jpg)" "This is not a Jpeg file." | sort | cmp -s - "$work/t2.boxes" ||
  fq_fail "type 2 boxes: $(cat "$work/t2.boxes")"
wait_stored t2 2
drv no-msgbox 1500 || fq_fail "type 2: an unexpected message box"
stop_camera
mapfile -t up < <(ls "$work/t2"/UPLD*.jpg)
[ ${#up[@]} -eq 2 ] || fq_fail "type 2: ${#up[@]} files on the camera"
cmp "$in/as is.jpg" "${up[0]}" || fq_fail "type 2: 'as is.jpg' was changed on the way"
djpeg "${up[1]}" >/dev/null || fq_fail "type 2: the re-encoded picture does not decode"
[ "$(identify -format '%w %h %[jpeg:sampling-factor]' "${up[1]}")" = "640 480 2x1,1x1,1x1" ] ||
  fq_fail "type 2 re-encoded: $(identify -format '%w %h %[jpeg:sampling-factor]' "${up[1]}")"
grep -q "refused" "$work/t2.log" && fq_fail "type 2: the camera refused an upload"

fi

# --- Type 1: as is, re-encoded to 4 x 1 inside its class, refused for its size -------------
if step type1; then
mkdir -p "$work/t1"
camera t1 --type 1 --folder "$work/t1"
send '"small41.jpg" "heavy41.jpg" "vga21.jpg"'
box "$(refusal heavy41.jpg)"
wait_stored t1 2
drv no-msgbox 1500 || fq_fail "type 1: an unexpected message box"
stop_camera
mapfile -t up < <(ls "$work/t1"/UPLD*.jpg)
[ ${#up[@]} -eq 2 ] || fq_fail "type 1: ${#up[@]} files on the camera"
cmp "$in/small41.jpg" "${up[0]}" || fq_fail "type 1: small41.jpg was changed on the way"
djpeg "${up[1]}" >/dev/null || fq_fail "type 1: the re-encoded picture does not decode"
[ "$(identify -format '%w %h %[jpeg:sampling-factor]' "${up[1]}")" = "640 480 4x1,1x1,1x1" ] ||
  fq_fail "type 1 re-encoded: $(identify -format '%w %h %[jpeg:sampling-factor]' "${up[1]}")"
# The holdings name each upload's mode: the re-encoded one lies in the size
# class of the mode it was sent in (mode 1 up to 64511 bytes, 2 up to 131071).
size=$(stat -c %s "${up[1]}")
mode=$(awk -v s="$size" '$3 == s {print $4}' "$work/t1.holdings")
case $mode in
  1) [ "$size" -le 64511 ] ;;
  2) [ "$size" -gt 64511 ] && [ "$size" -le 131071 ] ;;
  3) [ "$size" -gt 131071 ] && [ "$size" -le 262143 ] ;;
  *) false ;;
esac || fq_fail "type 1: re-encoded picture of $size bytes held in mode '$mode'"
echo "type 1: re-encoded vga21.jpg to $size bytes, mode $mode"
grep -q "refused" "$work/t1.log" && fq_fail "type 1: the camera refused an upload"

fi

# --- Type 4: re-encoded with Exif ---------------------------------------------------
if step type4; then
mkdir -p "$work/t4"
camera t4 --type 4 --folder "$work/t4"
send '"plain.jpg"'
wait_stored t4 1
drv no-msgbox 1500 || fq_fail "type 4: an unexpected message box"
stop_camera
up4=$(find "$work/t4" -name 'UPLD*.jpg')
[ -n "$up4" ] || fq_fail "type 4: nothing written"
djpeg "$up4" >/dev/null || fq_fail "type 4: the picture does not decode"
exiftool -q -q -EXIF:ExifVersion "$up4" | grep -q . || fq_fail "type 4: no Exif segment"
check=$(exiftool -validate -warning -a "$up4" 2>&1)
grep -q '^Validate *: OK$' <<<"$check" && ! grep -qi 'warning' <<<"$check" ||
  fq_fail "type 4: exiftool: $check"

fi

# --- Memory full: the grid opens ---------------------------------------------------
if step full; then
mkdir -p "$work/full"
cp "$in/small41.jpg" "$work/full/"
camera full --type 2 --folder "$work/full" --capacity $(($(stat -c %s "$in/small41.jpg") + 2000))
send '"as is.jpg"'
box "Camera memory is full."
box "Camera memory is full."
drv dlg-wait "Image Preview" 20000 >/dev/null || fq_fail "memory full: no thumbnail grid"
sleep 1
fq_screenshot camera_out_memory_full
drv dlg-press "Image Preview" 2 >/dev/null
drv dlg-gone "Image Preview" 10000 >/dev/null || fq_fail "the grid did not close"
stop_camera

fi

# --- Type 1 memory list: viewfinder and deletions ---------------------------------------
if step list; then
mkdir -p "$work/list"
for p in p1 p2 p3 p4; do picture "../list/$p.jpg" 160 120 4x1 60 "${p#p}"; done
camera list --type 1 --folder "$work/list"
command 121
L="Camera Memory List"
drv dlg-wait "$L" 20000 >/dev/null || fq_fail "no memory list"
[ "$(drv list-rows "$L" 285 | wc -l)" = 4 ] || fq_fail "the list: $(drv list-rows "$L" 285)"
drv list-select "$L" 285 2,0 >/dev/null
drv dlg-press "$L" 282 >/dev/null  # Preview
shows() { grep -c "viewfinder shows" "$work/list.log"; }
for i in $(seq 1 100); do [ "$(shows)" -ge 1 ] && break; sleep 0.05; done
first=$(date +%s%N)
for i in $(seq 1 300); do [ "$(shows)" -ge 2 ] && break; sleep 0.05; done
apart=$((($(date +%s%N) - first) / 1000000))
echo "viewfinder: the second picture $apart ms after the first"
[ "$apart" -ge 4800 ] || fq_fail "the viewfinder held the first picture $apart ms"
sleep 5.5  # the last picture's hold
grep -o 'viewfinder shows picture [0-9] ([^)]*)' "$work/list.log" | sed 's/\.jpg)/)/' >"$work/shown"
printf '%s\n' "viewfinder shows picture 1 (p1)" "viewfinder shows picture 3 (p3)" | cmp -s - "$work/shown" ||
  fq_fail "viewfinder: $(cat "$work/shown")"
drv list-select "$L" 285 0,2 >/dev/null
drv dlg-press "$L" 283 >/dev/null  # Delete: highest first
box "Are you sure you want to delete Image No.3?" 6
box "Are you sure you want to delete Image No.1?" 7
for i in $(seq 1 100); do [ "$(drv list-rows "$L" 285 | wc -l)" = 3 ] && break; sleep 0.1; done
[ "$(drv list-rows "$L" 285 | wc -l)" = 3 ] || fq_fail "after one deletion: $(drv list-rows "$L" 285)"
fq_screenshot camera_out_memory_list
# The flow ends by clearing the selection, which greys Delete.
for i in $(seq 1 100); do [ "$(drv dlg-enabled "$L" 283)" = 0 ] && break; sleep 0.1; done
drv dlg-press "$L" 284 >/dev/null  # Select All
for i in $(seq 1 50); do [ "$(drv list-marks "$L" 285 | grep -c ' selected$')" = 3 ] && break; sleep 0.1; done
[ "$(drv list-marks "$L" 285 | grep -c ' selected$')" = 3 ] || fq_fail "Select All: $(drv list-marks "$L" 285)"
drv dlg-press "$L" 283 >/dev/null
box "Delete all images?" 6
drv dlg-gone "$L" 30000 >/dev/null || fq_fail "the emptied list did not close"
stop_camera
grep -o 'deleted picture [0-9] ([^)]*)' "$work/list.log" | sed 's/\.jpg)/)/' >"$work/deleted"
printf '%s\n' "deleted picture 3 (p3)" "deleted picture 3 (p4)" "deleted picture 2 (p2)" "deleted picture 1 (p1)" |
  cmp -s - "$work/deleted" || fq_fail "deletions: $(cat "$work/deleted")"
[ ! -s "$work/list.holdings" ] || fq_fail "the camera still holds: $(cat "$work/list.holdings")"

fi

# --- Thumbnail grid deletions: type 2 with clicks, type 4 refused midway -----------------
# Asked highest first whatever the order of the clicks; "Delete All" greyed
# for a single picture; the grid's total follows the camera.
if step grid; then
mkdir -p "$work/grid"
for i in 1 2 3 4 5 6; do picture "../grid/g$i.jpg" 160 120 2x1 60 "$i"; done
camera grid --type 2 --folder "$work/grid"
command 121
G="Image Preview"
drv dlg-wait "$G" 20000 >/dev/null || fq_fail "grid: no thumbnail grid"
sleep 1
total() { drv dlg-text "$G" 610 | tr -dc '0-9'; }
[ "$(total)" = 6 ] || fq_fail "grid: total '$(drv dlg-text "$G" 610)'"
# question EXPECTED_LINE2 ALL ANSWER: the next deletion question names the
# picture and offers "Delete All" or not; it is answered.
question() {
  local got
  got=$(drv delete-question 20000) || fq_fail "grid: no deletion question (expected $1)"
  [ "$(sed -n 's/^line2=//p' <<<"$got")" = "$1" ] && [ "$(sed -n 's/^all=//p' <<<"$got")" = "$2" ] ||
    fq_fail "grid: question '$got', expected '$1' all=$2"
  drv delete-answer "$3" 5000 >/dev/null || fq_fail "grid: cannot answer the question"
  sleep 0.3
}
# 6, 2 and 4 chosen as 2, Shift+4 (2 to 4), Ctrl+3 (off again), Ctrl+6.
drv grid-click "$G" 502 plain >/dev/null
drv grid-click "$G" 504 shift >/dev/null
drv grid-click "$G" 503 ctrl >/dev/null
drv grid-click "$G" 506 ctrl >/dev/null
sleep 0.5
drv dlg-press "$G" 604 >/dev/null  # Delete
question "Are you sure you want to delete Image No.6?" 1 800
fq_screenshot camera_out_delete_question
question "Are you sure you want to delete Image No.4?" 1 802
question "Are you sure you want to delete Image No.2?" 1 800
for i in $(seq 1 100); do [ "$(total)" = 4 ] && break; sleep 0.1; done
[ "$(total)" = 4 ] || fq_fail "grid: total after two deletions '$(drv dlg-text "$G" 610)'"
# Now g1 g3 g4 g5: the first three, then Delete All at the first question.
drv grid-click "$G" 501 plain >/dev/null
drv grid-click "$G" 503 shift >/dev/null
sleep 0.5
drv dlg-press "$G" 604 >/dev/null
question "Are you sure you want to delete Image No.3?" 1 801
for i in $(seq 1 100); do [ "$(total)" = 1 ] && break; sleep 0.1; done
[ "$(total)" = 1 ] || fq_fail "grid: total after Delete All '$(drv dlg-text "$G" 610)'"
# The last one: asked without "Delete All", and cancelled.
drv grid-click "$G" 501 plain >/dev/null
sleep 0.5
drv dlg-press "$G" 604 >/dev/null
question "Are you sure you want to delete Image No.1?" 0 803
sleep 1
[ "$(total)" = 1 ] || fq_fail "grid: a cancelled deletion changed the total"
drv dlg-press "$G" 2 >/dev/null
drv dlg-gone "$G" 20000 >/dev/null || fq_fail "grid: the grid stayed open after Exit"
stop_camera
grep -o 'deleted picture [0-9] ([^)]*)' "$work/grid.log" | sed 's/\.jpg)/)/' >"$work/grid.deleted"
printf '%s\n' "deleted picture 6 (g6)" "deleted picture 2 (g2)" "deleted picture 3 (g4)" \
  "deleted picture 2 (g3)" "deleted picture 1 (g1)" | cmp -s - "$work/grid.deleted" ||
  fq_fail "grid deletions: $(cat "$work/grid.deleted")"
[ "$(awk '{print $2}' "$work/grid.holdings")" = g5.jpg ] || fq_fail "grid: the camera holds $(cat "$work/grid.holdings")"

# Type 4 (folder 100 holding three): the second deletion is refused,
# "Command cannot be executed.", the rest kept.
mkdir -p "$work/grid4"
cp "$work"/grid/g[123].jpg "$work/grid4/"
camera grid4 --type 4 --folder "$work/grid4" --faults busy:cmd=17:at=2:count=0
command 121
drv dlg-wait "$G" 20000 >/dev/null || fq_fail "grid4: no thumbnail grid"
for i in $(seq 1 100); do [ "$(total)" = 3 ] && break; sleep 0.1; done
[ "$(total)" = 3 ] || fq_fail "grid4: total '$(drv dlg-text "$G" 610)'"
drv grid-click "$G" 501 plain >/dev/null
drv grid-click "$G" 503 shift >/dev/null
sleep 0.5
drv dlg-press "$G" 604 >/dev/null
question "Are you sure you want to delete Image No.3?" 1 801
box "Command cannot be executed."
drv no-msgbox 1500 || fq_fail "grid4: a second message box"
for i in $(seq 1 100); do [ "$(total)" = 2 ] && break; sleep 0.1; done
[ "$(total)" = 2 ] || fq_fail "grid4: total after the refusal '$(drv dlg-text "$G" 610)'"
drv dlg-press "$G" 2 >/dev/null
drv dlg-gone "$G" 20000 >/dev/null || fq_fail "grid4: the grid stayed open after Exit"
stop_camera
grep -c 'deleted file' "$work/grid4.log" | grep -qx 1 || fq_fail "grid4: $(grep 'deleted' "$work/grid4.log")"
[ "$(awk '{print $2}' "$work/grid4.holdings" | tr '\n' ' ')" = "g1.jpg g2.jpg " ] ||
  fq_fail "grid4: the camera holds $(cat "$work/grid4.holdings")"

fi

# --- Camera clock -----------------------------------------------------------------
if step clock; then
camera clock --type 2 --clock '2001-02-27 22:30'
command 125
C="Camera Setup"
drv dlg-wait "$C" 20000 >/dev/null || fq_fail "no clock dialog"
read_clock() {
  local id out=
  for id in 721 722 720 723 724; do out+="$(drv dlg-text "$C" $id) "; done
  echo "$out$(drv dlg-checked "$C" 726)"
}
[ "$(read_clock)" = "2 27 2001 10 30 1" ] || fq_fail "clock read: $(read_clock)"
fq_screenshot camera_out_clock
drv dlg-set "$C" 722 29 >/dev/null
drv dlg-press "$C" 1 >/dev/null
# Refused without a word: the day field gets the focus, the dialog stays,
# and nothing after the year (checked and sent first) reaches the camera.
drv no-msgbox 1500 || fq_fail "a message box over the refused date"
drv dlg-wait "$C" 5000 >/dev/null || fq_fail "the clock dialog closed after a refused date"
grep 'clock set' "$work/clock.log" | grep -v 'to 2001-2-27 22:30$' &&
  fq_fail "29 February 2001 went to the camera"
fq_screenshot camera_out_clock_refused
drv dlg-set "$C" 722 28 >/dev/null
drv dlg-set "$C" 723 11 >/dev/null
drv dlg-set "$C" 724 5 >/dev/null
drv dlg-press "$C" 1 >/dev/null
drv dlg-gone "$C" 20000 >/dev/null || fq_fail "the clock dialog stayed open"
sleep 1
stop_camera
grep 'clock set to' "$work/clock.log" | tail -1 | grep -q '2001-2-28 23:5' ||
  fq_fail "clock: $(grep 'clock set' "$work/clock.log")"

fi

# --- Port search ------------------------------------------------------------------
if step detect; then
camera detect --type 2
printf '[ORXAPP]\r\ndir=%s\\\r\ncom=COM1\r\nbaudrate=384\r\n' "$(winpath "$in")" >"$FQ_INI"
command 120
P="COM Port Setup"
drv dlg-wait "$P" 10000 >/dev/null || fq_fail "no port dialog"
[ "$(drv dlg-checked "$P" 260)" = 1 ] || fq_fail "COM1 is not checked at first"
start=$(date +%s%N)
drv dlg-press "$P" 5001 >/dev/null
for i in $(seq 1 300); do [ "$(drv dlg-checked "$P" 262)" = 1 ] && break; sleep 0.1; done
end=$(date +%s%N)
[ "$(drv dlg-checked "$P" 262)" = 1 ] || fq_fail "Auto Setup did not check COM3"
echo "Auto Setup found COM3 in $(((end - start) / 1000000)) ms"
fq_screenshot camera_out_port_setup
grep -qi '^com=COM1' "$FQ_INI" || fq_fail "Auto Setup wrote the port: $(grep -i '^com=' "$FQ_INI")"
drv dlg-press "$P" 1 >/dev/null
drv dlg-gone "$P" 10000 >/dev/null || fq_fail "the port dialog stayed open"
sleep 0.5
grep -qi '^com=COM3' "$FQ_INI" || fq_fail "OK did not keep COM3: $(grep -i '^com=' "$FQ_INI")"
stop_camera

fi

drv close $F $T >/dev/null
fq_wait_app_exit 20 || fq_fail "the program did not end"
echo "PASS"
