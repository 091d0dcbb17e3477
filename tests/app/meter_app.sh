#!/usr/bin/env bash
# The progress and status windows, shown by the program's /demo-meter switch
# without a camera: the percentage bar (range 25, position 13 reads 52% and
# fills 52 % of its width in blue), the dialog texts, the placement at a third
# of the screen, Cancel by typing "c" and by Escape (both through the
# program's message pump), the blinking message windows and the connection
# status text. The program ends with exit code 0 only when both cancel
# requests reached its working loop.
source "$(dirname "$0")/lib.sh"

DLG='#32770'
T=Fotaquill

# Prints a control's text without carriage returns.
item_text() { fq_driver item-text "$DLG" "$1" "$2" 2>/dev/null | tr -d '\r'; }

# Waits at most $4 seconds until control $2 of the window titled $1 reads $3.
wait_item_text() {
  local title=$1 id=$2 want=$3 seconds=$4 end=$((SECONDS + $4)) got=
  while [ $SECONDS -le $end ]; do
    got=$(item_text "$title" "$id")
    [ "$got" = "$want" ] && return 0
    sleep 0.2
  done
  echo "control $id of \"$title\": last read \"$got\", wanted \"$want\"" >&2
  return 1
}

field() { grep "^$1=" <<<"$2" | head -1 | cut -d= -f2- | tr -d '\r'; }

fq_start_app /demo-meter
fq_driver wait-window "$DLG" "$T" 30000 >/dev/null || fq_fail "no progress dialog"

# --- progress dialog ---------------------------------------------------------
end=$((SECONDS + 15))
until [ "$(fq_driver item-message "$DLG" "$T" 300 0x403 0 0 | tr -d '\r')" = "result=13" ]; do
  [ $SECONDS -le $end ] || fq_fail "the meter never reached position 13"
  sleep 0.2
done
[ "$(fq_driver item-message "$DLG" "$T" 300 0x401 0 0 | tr -d '\r')" = "result=25" ] ||
  fq_fail "meter range is not 25"
[ "$(item_text "$T" 301)" = "Now transferring image(Digital Camera -> PC)." ] || fq_fail "line 301"
[ "$(item_text "$T" 302)" = "File Name: DSC0001.jpg" ] || fq_fail "line 302"

meter=$(fq_driver item-info "$DLG" "$T" 300)
echo "$meter"
[ "$(field class "$meter")" = OrxMeter ] || fq_fail "control 300 is not an OrxMeter"
# Three pointer-sized window words; horizontal and vertical redraw, global.
[ "$(field class_extra_bytes "$meter")" = 24 ] || fq_fail "meter window words"
[ "$(field class_style "$meter")" = 0x4003 ] || fq_fail "meter class style"

# Placement: centred horizontally, at a third of the free height.
info=$(fq_driver window-info "$DLG" "$T")
IFS=, read -r l t r b <<<"$(field rect "$info")"
read -r sw sh < <(xdpyinfo -display "$DISPLAY" | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')
[ "$l" -eq $(((sw - (r - l)) / 2)) ] || fq_fail "dialog left $l, screen width $sw"
[ "$t" -eq $(((sh - (b - t)) / 3)) ] || fq_fail "dialog top $t, screen height $sh"

# The bar: blue up to 13/25 of the width, the menu colour after it (row 1
# stays clear of the centred text).
IFS=, read -r ml mt mr mb <<<"$(field rect "$meter")"
w=$((mr - ml))
split=$((13 * w / 25))
pixel() { fq_driver item-pixel "$DLG" "$T" 300 "$1" 1 | tr -d '\r'; }
p=$(pixel 1); [ "${p%% *}" = "pixel=0000ff" ] || fq_fail "bar start: $p"
p=$(pixel $((split - 2))); [ "${p%% *}" = "pixel=0000ff" ] || fq_fail "bar end: $p"
p=$(pixel $((split + 2))); [ "${p%% *}" = "pixel=${p##*menu=}" ] || fq_fail "after the bar: $p"
p=$(pixel $((w - 2))); [ "${p%% *}" = "pixel=${p##*menu=}" ] || fq_fail "meter end: $p"
fq_screenshot meter_progress

cancel=$(fq_driver item-info "$DLG" "$T" 2)
[ "$(field visible "$cancel")" = 1 ] && [ "$(field enabled "$cancel")" = 1 ] || fq_fail "Cancel not offered"
fq_driver post-char "$DLG" "$T" c || fq_fail "cannot type c"
wait_item_text "$T" 302 "It ends the forwarding of a image. Please wait." 10 || fq_fail "no cancel notice"
[ "$(field enabled "$(fq_driver item-info "$DLG" "$T" 2)")" = 0 ] || fq_fail "Cancel still enabled"
fq_screenshot meter_cancelled

# --- delete status dialog ----------------------------------------------------
wait_item_text "$T" 304 "Image No.1 deleting." 20 || fq_fail "no delete status dialog"
[ "$(item_text "$T" 303)" = "" ] || fq_fail "line 303 not emptied"
fq_screenshot meter_delete_status
fq_driver post-key "$DLG" "$T" 27 || fq_fail "cannot press Escape"

# --- message windows ---------------------------------------------------------
wait_item_text Preview 750 "Now transferring thumbnails, please wait." 20 || fq_fail "PREVIEWMSG"
fq_screenshot meter_preview
wait_item_text Preview 750 "" 5 || fq_fail "PREVIEWMSG does not blink"
wait_item_text "$T" 751 "Now reading CF card data, please wait." 20 || fq_fail "CFCARDMSG"
wait_item_text "$T" 752 "Making AVI file now. Please wait a minute." 20 || fq_fail "AVIMSG"
wait_item_text "$T" 303 "$(printf 'Now establishing Communication Connection.\nPlease Wait.')" 20 ||
  fq_fail "DscStartStatusDlg"

rc=0
fq_wait_app_exit 30 || rc=$?
[ $rc -eq 124 ] && fq_fail "the demonstration did not end"
[ $rc -eq 0 ] || fq_fail "exit code $rc: a cancel request did not reach the working loop"
echo "PASS"
