#!/usr/bin/env bash
# The application shell driven as a user drives it: the frame's bars and
# their states with no document open, the menu's greyed items and their
# status texts walked with the keyboard, the bars switched off and written
# back to the settings file at exit, a start with both bars switched off, a
# second start handing its command line to the first, files dropped on the
# frame, the test switches ignored outside the tests, and a close refused
# while a camera transfer runs.
source "$(dirname "$0")/lib.sh"

F=ORXDscFrame
T=Fotaquill
INI=$FQ_INI
winpath() { echo "Z:${1//\//\\}"; }
strip() { tr -d '\r'; }

start_frame() {
  fq_start_app "$@"
  fq_driver wait-window $F $T 30000 >/dev/null || fq_fail "no frame window"
  sleep 1
}
close_frame() {
  fq_driver close $F $T || fq_fail "cannot close"
  local rc=0
  fq_wait_app_exit 20 || rc=$?
  [ $rc -eq 0 ] || fq_fail "the program ended with $rc after a close"
}
# The static text of the program's message box ("#32770" titled Fotaquill).
box_text() { fq_driver item-text '#32770' $T 65535 | strip; }
dismiss_box() { fq_driver item-message '#32770' $T 1 0x00F5 0 0 >/dev/null; }  # BM_CLICK on OK

rm -f "$INI"

# --- 1. No document open: bars, states, menu texts; a missing name on the
# command line opens nothing and shows nothing.
start_frame "$(winpath "$FQ_ARTIFACTS/no such file.jpg")"
for id in 701 700 3232; do
  [ "$(fq_driver has-child $F $T $id | strip)" = present ] || fq_fail "control $id missing"
done
[ "$(fq_driver count-windows '#32770' '' | strip)" = 0 ] || fq_fail "a box for a missing start-up name"
[ "$(fq_driver status-text $F $T | strip)" = Ready ] || fq_fail "status bar does not say Ready"

states=$(fq_driver toolbar-states $F $T 405,400,401,421,422,402,443,442,440,441,461,460,462 | strip)
echo "$states"
# TBSTATE_ENABLED = 4, TBSTATE_INDETERMINATE = 16.
want="count=19
405=4
400=4
401=16
421=4
422=4
402=16
443=16
442=16
440=16
441=16
461=16
460=16
462=4"
[ "$states" = "$want" ] || fq_fail "toolbar states with no document"

# File: every entry from the top, separators skipped by the keyboard.
walk=$(fq_driver menu-keys $F $T fDDDDDDDDDDDDD | strip)
echo "$walk"
fq_screenshot shell_frame_menu
expect_walk() {
  local got
  got=$(sed -n "${1}p" <<<"$walk" | cut -c3-)
  [ "$got" = "$2" ] || fq_fail "menu step $1: \"$got\", expected \"$2\""
}
expect_walk 1 "Create a new album."
expect_walk 2 "Open an existing file."
expect_walk 3 "Cannot select!! There is no file to close."
expect_walk 4 "Cannot select!! There is no file to save."
expect_walk 5 "Cannot select!! There is no file to save."
expect_walk 6 "Ready"   # the Slide Show popup
expect_walk 7 "Ready"   # Communication
expect_walk 8 "Cannot select!! No information available because image is not opened."
expect_walk 9 "Ready"   # Create Calendar
expect_walk 10 "Input schedule into monthly calendar."  # greyed, without a greyed text
expect_walk 11 "Ready"  # Capture
expect_walk 12 "Cannot select!! There is no file to print."
expect_walk 13 "Set the printer options."
expect_walk 14 "Exit application."

# Edit, then on to Window.
walk=$(fq_driver menu-keys $F $T RDDDDRRRDDDDDDD | strip)
echo "$walk"
expect_walk 1 "Cannot Select!! Not open album."
expect_walk 2 "Cannot Select!! Not open album or Not open image to album."
expect_walk 3 "Cannot Select!! Not open album or Not open image to album."
expect_walk 4 "Cannot Select!! Not open album or Not copy image."
expect_walk 5 "Cannot Select!! Not open image or Not last adjusted image."
expect_walk 8 "Cannot Select!! Not open window."
expect_walk 9 "Cannot Select!! Not open window."
expect_walk 10 "Cannot Select!! Icon not lined up."
expect_walk 11 "Cannot Select!! Not open window or line up icon."
expect_walk 12 "Toggle the toolbar on/off."
expect_walk 13 "Toggle the statusbar on/off."
fq_driver menu-keys $F $T EEE >/dev/null
sleep 0.5
[ "$(fq_driver status-text $F $T | strip)" = Ready ] || fq_fail "status bar not back to Ready after the menu"

# The version dialog names the product, its version and the credit line.
fq_driver frame-command $F $T 104
fq_driver wait-window '#32770' 'Version Information' 10000 >/dev/null || fq_fail "no version dialog"
for pair in "1100:Fotaquill" "1101:Version 1.0" \
  "1102:This image change process is based on parg on the work of the independent JPEG Group."; do
  got=$(fq_driver item-text '#32770' 'Version Information' "${pair%%:*}" | strip)
  [ "$got" = "${pair#*:}" ] || fq_fail "version dialog: \"$got\""
done
fq_driver item-message '#32770' 'Version Information' 1 0x00F5 0 0 >/dev/null
fq_driver wait-gone '#32770' 'Version Information' 5000 || fq_fail "version dialog stays after OK"

# The toolbar switched off goes away and stays off in the settings file.
fq_driver frame-command $F $T 164
sleep 0.5
[ "$(fq_driver has-child $F $T 701 | strip)" = absent ] || fq_fail "toolbar still there after Toolbar On/Off"
close_frame
[ -f "$INI" ] || fq_fail "no settings file written at exit"
tr -d '\r' <"$INI"
grep -qx 'Tool=1' <(tr -d '\r' <"$INI") || fq_fail "Tool=1 not written back"
grep -qx 'Status=0' <(tr -d '\r' <"$INI") || fq_fail "Status=0 not written back"
grep -qx 'ToolBox=0' <(tr -d '\r' <"$INI") || fq_fail "ToolBox=0 not written back"

# --- 2. Tool = 1 and Status = 1: neither bar.
printf '[ORXAPP]\r\nTool=1\r\nStatus=1\r\n' >"$INI"
start_frame
[ "$(fq_driver has-child $F $T 701 | strip)" = absent ] || fq_fail "toolbar shown for Tool=1 Status=1"
[ "$(fq_driver has-child $F $T 700 | strip)" = absent ] || fq_fail "status bar shown for Tool=1 Status=1"
[ "$(fq_driver has-child $F $T 3232 | strip)" = present ] || fq_fail "no MDI client"
close_frame
rm -f "$INI"

# --- 3. A second start hands its command line to the first and ends.
dir="$FQ_ARTIFACTS/shell app"
mkdir -p "$dir"
/usr/bin/convert -size 64x48 xc:orange "$dir/a b.jpg"
start_frame
first_pid=$FQ_APP_PID
# An empty command line only brings the first instance forward.
rm -f "$(find "$WINEPREFIX/drive_c" -name OrxCmdLine.Dat 2>/dev/null | head -1)"
timeout 30 "$WINELOADER" "$FQ_APP_EXE" || fq_fail "empty second start failed"
[ -z "$(find "$WINEPREFIX/drive_c" -name OrxCmdLine.Dat)" ] || fq_fail "hand-over file written for an empty command line"

jpg=$(winpath "$dir/a b.jpg")
timeout 30 "$WINELOADER" "$FQ_APP_EXE" "$jpg" || fq_fail "second start failed"
[ "$(fq_driver count-windows $F $T | strip)" = 1 ] || fq_fail "the second start left a frame"
handover=$(find "$WINEPREFIX/drive_c" -name OrxCmdLine.Dat | head -1)
[ -n "$handover" ] || fq_fail "no hand-over file"
# The text as the second start received it, then two zero bytes.
od -c "$handover" | tail -3
[ "$(tail -c 2 "$handover" | od -An -tx1 | tr -d ' \n')" = 0000 ] || fq_fail "hand-over file not ended by two zero bytes"
grep -qF "a b.jpg" "$handover" || fq_fail "the name with a blank is not in the hand-over file"
# The first instance opens it: an image window titled with the name, or,
# while picture windows are not linked in, the notice naming the full path.
for i in $(seq 1 50); do
  kids=$(fq_driver mdi-children $F $T | strip)
  grep -q '^ORXNormalChild "a b.jpg' <<<"$kids" && break
  fq_driver item-text '#32770' $T 65535 >/dev/null 2>&1 && break  # a message box, not the meter
  sleep 0.2
done
echo "$kids"
if grep -q '^ORXNormalChild "a b.jpg' <<<"$kids"; then
  echo "hand-over: image window opened"
else
  text=$(box_text)
  echo "$text"
  grep -qF "$jpg" <<<"$text" || fq_fail "the first instance did not receive \"$jpg\""
  dismiss_box
  echo "hand-over: the image route received the whole name"
fi

# A calendar file handed over is refused with the file-kind message.
cal="$dir/c d.cal"
python3 -c "import struct,sys; open(sys.argv[1],'wb').write(struct.pack('<I',131)+bytes(1526))" "$cal"
timeout 30 "$WINELOADER" "$FQ_APP_EXE" "$(winpath "$cal")" || fq_fail "second start failed"
fq_driver wait-window '#32770' $T 10000 >/dev/null || fq_fail "no message for a handed-over calendar"
[ "$(box_text)" = "There is no correspondence between this file." ] || fq_fail "calendar: $(box_text)"
dismiss_box
sleep 0.5
[ "$FQ_APP_PID" = "$first_pid" ] && kill -0 "$first_pid" || fq_fail "first instance gone"

# Files dropped on the frame, in drop order; each failure is reported and
# the next name is still opened.
expect_box() {
  fq_driver wait-window '#32770' $T 10000 >/dev/null || fq_fail "no message box for $2"
  local got
  for i in $(seq 1 20); do got=$(box_text) && [ -n "$got" ] && break; sleep 0.2; done
  [ "$got" = "$1" ] || fq_fail "$2: \"$got\""
  dismiss_box
  sleep 1  # the next name's box may follow at once
}
missing=$(winpath "$dir/gone.jpg")
fq_driver drop-files $F $T "$missing|$(winpath "$cal")"
expect_box "File does not exist." "a dropped missing file"
expect_box "There is no correspondence between this file." "a dropped calendar"
long=$(winpath "$dir/$(printf 'n%.0s' $(seq 1 290)).jpg")
fq_driver drop-files $F $T "$long"
expect_box "The file Name is too long." "a dropped name of 300 characters"
fq_driver wait-gone '#32770' $T 5000 >/dev/null || fq_fail "box stays after OK"
if grep -q '^ORXNormalChild "a b.jpg' <<<"$kids"; then
  fq_driver drop-files $F $T "$jpg"
  expect_box "File with same name has already been opened." "a dropped file already open"
  [ "$(fq_driver mdi-children $F $T | strip | grep -c '^ORXNormalChild')" = 1 ] ||
    fq_fail "a second window for a file already open"
  # Still open but gone from the disk: the window comes forward all the same.
  rm "$dir/a b.jpg"
  fq_driver drop-files $F $T "$jpg"
  expect_box "File with same name has already been opened." "a dropped file open but deleted"
fi
close_frame

# --- 4. The test switches are the test harness's: without FQ_TEST_SWITCHES=1
# "/test-commbusy" is an ordinary name (which opens nothing and shows
# nothing) and the program closes when asked.
export FQ_TEST_SWITCHES=0
start_frame /test-commbusy
export FQ_TEST_SWITCHES=1
fq_driver no-dialog 1000 || fq_fail "a box for a user's /test-commbusy"
fq_driver close $F $T
rc=0
fq_wait_app_exit 20 || rc=$?
[ $rc -eq 0 ] || fq_fail "a user's /test-commbusy kept the program from closing ($rc)"

# --- 5. A close while a camera transfer runs is refused, nothing closes.
start_frame /test-commbusy
fq_driver close $F $T
fq_driver wait-window '#32770' $T 10000 >/dev/null || fq_fail "no refusal box"
text=$(box_text)
echo "$text"
[ "$text" = "$(printf 'Now Communicating to Digital Camera.\nPlease quit the communication before quitting Application.')" ] ||
  fq_fail "refusal text: $text"
fq_screenshot shell_close_refused
dismiss_box
sleep 1
[ "$(fq_driver count-windows $F $T | strip)" = 1 ] || fq_fail "frame closed while busy"
kill -0 "$FQ_APP_PID" || fq_fail "the program ended while busy"
echo "PASS"
