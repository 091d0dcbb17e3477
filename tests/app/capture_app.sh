#!/usr/bin/env bash
# Screen capture end to end: the "Capture" dialog opens with the stored
# Time and Application, refuses an empty field and holds typed seconds at
# 30; a window capture of a solid test window partly off the left edge of
# the screen, after a countdown timed from the driver's clock, gives an
# "Untitled" image window of the clipped size whose every pixel is the
# window's colour (saved as BMP and read by ImageMagick); a stored Time of
# 0 or text counts 1 second; a window wholly off the screen gives "It failed
# to capture." and no window; a display capture with the frame shown is the
# whole screen; with the clipboard road of palette displays forced, the
# clipboard's text, bitmap and a third format of the test's own are all
# back after "It failed to capture." (a synthesised Print Screen brings no
# picture under Wine) and after the program is closed while it waits.
# Screenshots of the dialog and the captured window.
source "$(dirname "$0")/lib.sh"

F=ORXDscFrame
T=Fotaquill
work=$FQ_ARTIFACTS/capture_app
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }
drv() { fq_driver "$@" | tr -d '\r'; }
ini_capture() {  # TIME APPLICATION
  printf '[ORXAPP]\r\ndir=%s\\\r\n[CAPTURE]\r\nTime=%s\r\nApplication=%s\r\n' "$(winpath "$work")" "$1" "$2" >"$FQ_INI"
}
ini() { tr -d '\r' <"$FQ_INI" | sed -n "s/^$1=//p"; }
untitled() { drv image-titles | grep -c '^Untitled' || true; }
# Opens the dialog for COMMAND, types SECONDS (unless "-"), sets the hide
# box, presses OK and prints the moment of the press.
capture() {  # COMMAND SECONDS HIDE
  drv post-command "$1" >/dev/null
  drv dlg-wait Capture 10000 >/dev/null || fq_fail "no Capture dialog"
  [ "$2" = - ] || drv dlg-set Capture 431 "$2" >/dev/null
  [ "$(drv dlg-checked Capture 2000)" = "$3" ] || drv dlg-click Capture 2000 >/dev/null
  for i in $(seq 1 20); do [ "$(drv dlg-checked Capture 2000)" = "$3" ] && break; sleep 0.1; done
  drv click-at Capture 1 | sed -n 's/^at_ms=//p'
}
# The moment the COUNT-th untitled window appears.
appeared() { drv wait-untitled "$1" 15000 | sed -n 's/^at_ms=//p'; }
failed_box() {
  drv dlg-wait Fotaquill "$1" || fq_fail "no message box (test window: $(cat "$work/offscreen.txt" 2>/dev/null)); windows: $(drv image-titles | tr '\n' ' ') $(drv list-windows | grep visible | tr '\n' ' ')"
  local text
  text=$(drv dlg-statics Fotaquill)
  grep -q 'It failed to capture.' <<<"$text" || fq_fail "the box says: $text"
  drv dlg-press Fotaquill 1 >/dev/null
  drv dlg-gone Fotaquill 5000 || fq_fail "the box stayed"
}

ini_capture 2 1
fq_start_app
drv wait-window $F $T 30000 >/dev/null || fq_fail "no frame"
sleep 1

# --- The dialog ------------------------------------------------------------------
drv post-command 183
drv dlg-wait Capture 10000 || fq_fail "no Capture dialog"
[ "$(drv dlg-text Capture 431)" = 2 ] || fq_fail "the dialog shows $(drv dlg-text Capture 431) seconds"
[ "$(drv dlg-checked Capture 2000)" = 1 ] || fq_fail "Hide the application should be ticked"
fq_screenshot capture_dialog
drv dlg-set Capture 431 45 >/dev/null
[ "$(drv dlg-text Capture 431)" = 30 ] || fq_fail "45 typed shows $(drv dlg-text Capture 431)"
drv dlg-set Capture 431 "" >/dev/null
drv dlg-click Capture 1 >/dev/null
drv dlg-wait Fotaquill 5000 || fq_fail "an empty field was taken"
text=$(drv dlg-statics Fotaquill)
grep -q 'It is invalid input value.' <<<"$text" && grep -q 'Please input again.' <<<"$text" ||
  fq_fail "the empty field says: $text"
drv dlg-press Fotaquill 1 >/dev/null
drv dlg-gone Fotaquill 5000 || fq_fail "the box stayed"
drv dlg-wait Capture 2000 || fq_fail "the dialog closed on an empty field"
drv dlg-press Capture 2 >/dev/null
drv dlg-gone Capture 5000 || fq_fail "Cancel left the dialog"
[ "$(ini Time)" = 2 ] || fq_fail "Cancel stored Time=$(ini Time)"

# --- A window partly off the left edge -------------------------------------------------
fq_driver solid-window -40 200 200 150 3366cc 12000 >/dev/null &
solid=$!
FQ_EXTRA_PIDS+=($solid)
sleep 1.5
pressed=$(capture 183 2 1)
[ "$(ini Time)$(ini Application)" = 21 ] || fq_fail "OK stored Time=$(ini Time) Application=$(ini Application)"
at=$(appeared 1)
[ -n "$at" ] || fq_fail "no captured window"
ms=$((at - pressed))
echo "window capture: countdown of 2 s: $ms ms from OK to the window"
[ $ms -ge 1950 ] && [ $ms -le 2800 ] || fq_fail "a 2-second countdown took $ms ms"
sleep 1
fq_screenshot capture_window
drv post-command 107
drv file-dialog "$(winpath "$work/window")" 4 15000 >/dev/null || fq_fail "no Save As dialog"
for i in $(seq 1 100); do [ -s "$work/window.bmp" ] && break; sleep 0.1; done
facts=$(/usr/bin/convert "$work/window.bmp" -format '%w %h %k %[hex:p{0,0}]' info:)
echo "captured window: $facts (width height colours first-pixel)"
[ "$facts" = "160 150 1 3366CC" ] || fq_fail "captured $facts, want 160 150 1 3366CC"
wait $solid || true

# --- Stored Time of 0 and of text: one second ------------------------------------------
for stored in 0 abc; do
  ini_capture "$stored" 1
  fq_driver solid-window 300 300 120 90 cc6633 6000 >/dev/null &
  solid=$!
  FQ_EXTRA_PIDS+=($solid)
  sleep 1.5
  before=$(untitled)
  drv post-command 183
  drv dlg-wait Capture 10000 || fq_fail "no Capture dialog"
  [ "$(drv dlg-text Capture 431)" = 1 ] || fq_fail "Time=$stored shows $(drv dlg-text Capture 431)"
  pressed=$(drv click-at Capture 1 | sed -n 's/^at_ms=//p')
  at=$(appeared $((before + 1)))
  [ -n "$at" ] || fq_fail "Time=$stored: no capture"
  ms=$((at - pressed))
  echo "stored Time=$stored: countdown of $ms ms"
  [ $ms -ge 950 ] && [ $ms -le 1800 ] || fq_fail "Time=$stored took $ms ms"
  wait $solid || true
done

# --- A window wholly off the screen ------------------------------------------------------
fq_driver solid-window -500 100 200 100 00ff00 6000 >"$work/offscreen.txt" &
solid=$!
FQ_EXTRA_PIDS+=($solid)
sleep 1.5
before=$(untitled)
capture 183 1 1 >/dev/null
failed_box 8000
[ "$(untitled)" = "$before" ] || fq_fail "a window off the screen was captured"
wait $solid || true

# --- The display, frame shown ------------------------------------------------------------
before=$(untitled)
capture 182 1 0 >/dev/null
for i in $(seq 1 100); do [ "$(untitled)" -gt "$before" ] && break; sleep 0.1; done
name=$(drv image-titles | grep '^Untitled' | tail -1 | sed 's/ \[.*//')
sleep 1
drv post-command 107
drv file-dialog "$(winpath "$work/display")" 4 15000 >/dev/null || fq_fail "no Save As dialog"
for i in $(seq 1 100); do [ -s "$work/display.bmp" ] && break; sleep 0.1; done
size=$(/usr/bin/convert "$work/display.bmp" -format '%w %h' info:)
echo "display capture ($name): $size"
[ "$size" = "$(xdpyinfo -display "$DISPLAY" | awk '/dimensions:/ {sub("x", " ", $2); print $2}')" ] ||
  fq_fail "display captured as $size"

# --- The clipboard road of palette displays, forced -------------------------------------------
drv close $F $T
for i in $(seq 1 30); do drv dlg-wait Fotaquill 300 >/dev/null 2>&1 && drv dlg-press Fotaquill 7 >/dev/null; sleep 0.2; done &
answers=$!
fq_wait_app_exit 30 || true
kill $answers 2>/dev/null || true $solid || true
/usr/bin/convert -size 40x30 gradient:red-blue -type TrueColor "BMP3:$work/clip.bmp"
drv clipboard-fill "kept text" "$work/clip.bmp" "a third format" || fq_fail "cannot fill the clipboard"
drv clipboard-dump >"$work/clip_before.txt"
grep -c '^data' "$work/clip_before.txt" | grep -qx 3 || fq_fail "the clipboard holds: $(cat "$work/clip_before.txt")"
ini_capture 1 1
FQ_CAPTURE_PALETTE_ROAD=1 fq_start_app
drv wait-window $F $T 30000 >/dev/null || fq_fail "no frame"
sleep 1
capture 182 - 1 >/dev/null
failed_box 10000
drv clipboard-dump >"$work/clip_after.txt"
diff <(grep '^data' "$work/clip_before.txt") <(grep '^data' "$work/clip_after.txt") ||
  fq_fail "the clipboard changed"
echo "palette road: clipboard kept: $(grep '^data' "$work/clip_after.txt" | tr '\n' ';')"
[ "$(untitled)" = 0 ] || fq_fail "a window without a picture"
# Closing the program while it waits for the picture (the clipboard set
# aside and emptied) puts everything back as well.
capture 182 - 1 >/dev/null
emptied=0
for i in $(seq 1 60); do
  if ! drv clipboard-dump | grep -q '^data'; then emptied=1; break; fi
  sleep 0.05
done
[ $emptied = 1 ] || fq_fail "the clipboard was never emptied for the capture"
drv close $F $T
fq_wait_app_exit 30 || fq_fail "the program did not end"
drv clipboard-dump >"$work/clip_closed.txt"
diff <(grep '^data' "$work/clip_before.txt") <(grep '^data' "$work/clip_closed.txt") ||
  fq_fail "the clipboard changed when the program closed during a capture"
echo "palette road, program closed while waiting: clipboard kept"
echo "capture_app: OK"
