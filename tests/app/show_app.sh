#!/usr/bin/env bash
# The slide show end to end. Options through their dialog (a stored Speed 11
# shows 5, the arrow keys move the speed by one, OK stores the three keys as
# decimal text, Cancel nothing; the dialog sits centred at a third of the
# free height). Start through its open dialog: the show covers the screen,
# black in the corner and the picture in the middle; two pictures at Speed 9
# change within 1.5 s; the panel opens on a right click and its buttons
# pause, step forward and back; Escape, a left click and a typed character
# end the show with the pointer shown again. A deleted picture, an empty, a
# damaged album and an undecodable movie each give one message and end the
# show; a file that is not an album starts nothing. Screenshots of the show
# with its panel and of the options dialog.
source "$(dirname "$0")/lib.sh"

work=$FQ_ARTIFACTS/show_app
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }
strip() { tr -d '\r'; }
F=ORXDscFrame
T=Fotaquill
S=AutoViewClass
P="Slide Show Menu"

# The settings file is the program's own; the show's keys are put back as
# they were when the test ends.
ini=$FQ_INI
fq_keep_ini
# set_keys KEY=VALUE...: in section ORXAPP, other keys kept.
set_keys() {
  python3 - "$ini" "$@" <<'PY'
import os, sys
path, pairs = sys.argv[1], dict(a.split("=", 1) for a in sys.argv[2:])
lines = open(path, newline="").read().splitlines() if os.path.exists(path) else []
out, section, done = [], None, set()
for line in lines:
    s = line.strip()
    if s.startswith("["):
        if section == "ORXAPP":
            out += [f"{k}={v}" for k, v in pairs.items() if k not in done]; done |= set(pairs)
        section = s[1:-1].upper()
    elif section == "ORXAPP" and "=" in s and s.split("=", 1)[0] in pairs:
        continue
    out.append(line)
if "ORXAPP" not in [l.strip()[1:-1].upper() for l in lines if l.strip().startswith("[")]:
    out.append("[ORXAPP]")
    section = "ORXAPP"
if section == "ORXAPP":
    out += [f"{k}={v}" for k, v in pairs.items() if k not in done]
open(path, "w", newline="").write("\r\n".join(out) + "\r\n")
PY
}
key() { tr -d '\r' <"$ini" | awk -F= -v k="$1" 'tolower($0) ~ /^\[/ { s = toupper($0) } s == "[ORXAPP]" && $1 == k { print $2 }'; }

# --- Pictures and albums ----------------------------------------------------------
# Each picture is one colour in its middle (what the test reads) on a
# gradient (what the screenshots show).
/usr/bin/convert -size 640x480 gradient:navy-orange -fill red -stroke white -strokewidth 6 \
  -draw "circle 320,240 320,80" ppm:- | cjpeg -quality 95 >"$work/red.jpg"
/usr/bin/convert -size 480x640 gradient:yellow-teal -fill blue -stroke white -strokewidth 6 \
  -draw "rectangle 120,200 360,440" -type TrueColor "BMP3:$work/blue.bmp"
ffmpeg -loglevel error -y -f lavfi -i color=c=0x00c000:size=320x240:rate=10 -frames:v 10 \
  -c:v msvideo1 "$work/green.avi"
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=10 -frames:v 5 -c:v mjpeg "$work/mjpeg.avi"
cp "$work/red.jpg" "$work/gone.jpg"
# A JPEG in name and markers whose header cannot be decoded.
{ printf '\xff\xd8\xff\xc0\x00\x11\x08\x00\x00\x00\x00\x03'; head -c 200 /dev/zero; printf '\xff\xd9'; } \
  >"$work/damaged.jpg"
album() { local out=$1; shift; local p a=(); for p in "$@"; do a+=("$(winpath "$work/$p")"); done
  python3 "$(dirname "$0")/make_album.py" "$work/$out" "${a[@]}"; }
album two.alb red.jpg blue.bmp
album three.alb red.jpg blue.bmp green.avi
album one.alb red.jpg
album missing.alb red.jpg gone.jpg
album empty.alb
album mjpeg.alb mjpeg.avi
album badjpeg.alb damaged.jpg
head -c 300 "$work/two.alb" >"$work/damaged.alb"
echo "not an album" >"$work/text.alb"
rm "$work/gone.jpg"
[ "$(stat -c %s "$work/empty.alb")" = 56 ] || fq_fail "empty album size"

# --- Options ------------------------------------------------------------------------
set_keys Size=1 Speed=11 Type=0
fq_start_app
fq_driver wait-window $F $T 30000 >/dev/null || fq_fail "no frame"
O="Slide Show Option"
fq_driver post-command 470
fq_driver wait-window '#32770' "$O" 10000 >/dev/null || fq_fail "no options dialog"
msg() { fq_driver item-message '#32770' "$O" "$@" | strip | sed -n 's/^result=//p'; }
TBM_GETPOS=1024; TBM_SETPOS=1029; BM_GETCHECK=240; BM_CLICK=245; WM_KEYDOWN=256; VK_RIGHT=39
[ "$(msg 903 $TBM_GETPOS 0 0)" = 5 ] || fq_fail "a stored Speed 11 shows $(msg 903 $TBM_GETPOS 0 0), not 5"
[ "$(msg 902 $BM_GETCHECK 0 0)" = 1 ] && [ "$(msg 906 $BM_GETCHECK 0 0)" = 1 ] || fq_fail "radio buttons"
msg 903 $WM_KEYDOWN $VK_RIGHT 0 >/dev/null
[ "$(msg 903 $TBM_GETPOS 0 0)" = 6 ] || fq_fail "the right arrow does not move the speed by one"
info=$(fq_driver window-info '#32770' "$O" | strip)
read -r l t r b < <(sed -n 's/^rect=//p' <<<"$info" | tr , ' ')
echo "options dialog at $l,$t,$r,$b"
[ "$l" -eq $(((1280 - (r - l)) / 2)) ] && [ "$t" -eq $(((1024 - (b - t)) / 3)) ] ||
  fq_fail "options dialog not centred at a third of the free height"
msg 903 $TBM_SETPOS 1 9 >/dev/null
msg 901 $BM_CLICK 0 0 >/dev/null
sleep 0.3
fq_screenshot slide_options
fq_driver dialog-press 1 5000
fq_driver wait-gone '#32770' "$O" 5000 || fq_fail "options dialog stays"
[ "$(key Size) $(key Speed) $(key Type)" = "0 9 0" ] || fq_fail "stored: $(key Size) $(key Speed) $(key Type)"
fq_driver post-command 470
fq_driver wait-window '#32770' "$O" 10000 >/dev/null || fq_fail "no options dialog"
[ "$(msg 903 $TBM_GETPOS 0 0)" = 9 ] || fq_fail "the stored speed is not shown"
msg 903 $TBM_SETPOS 1 2 >/dev/null
msg 907 $BM_CLICK 0 0 >/dev/null
fq_driver dialog-press 2 5000
fq_driver wait-gone '#32770' "$O" 5000 || fq_fail "options dialog stays"
[ "$(key Size) $(key Speed) $(key Type)" = "0 9 0" ] || fq_fail "Cancel stored something"

# --- A show --------------------------------------------------------------------------
start_show() {
  fq_driver post-command 500
  fq_driver file-dialog "$(winpath "$work/$1")" 0 15000 >/dev/null || fq_fail "no Start dialog"
}
centre() { fq_driver screen-pixel 640 512 | strip; }
is_colour() {  # rrggbb, red|green|blue: that channel high, the others low
  local r=$((16#${1:0:2})) g=$((16#${1:2:2})) b=$((16#${1:4:2}))
  case $2 in
    red) [ $r -ge 200 ] && [ $g -le 40 ] && [ $b -le 40 ] ;;
    green) [ $g -ge 150 ] && [ $r -le 40 ] && [ $b -le 40 ] ;;
    blue) [ $b -ge 200 ] && [ $r -le 40 ] && [ $g -le 40 ] ;;
  esac
}
wait_colour() {  # colour timeout_ms [start ms since 1970]: prints the milliseconds it took
  local t0 now c
  t0=${3:-$(date +%s%3N)}
  while :; do
    c=$(centre)
    now=$(date +%s%3N)
    is_colour "$c" "$1" && { echo $((now - t0)); return 0; }
    [ $((now - t0)) -ge "$2" ] && { echo "centre $c, not $1" >&2; return 1; }
    sleep 0.02
  done
}
gone() { fq_driver wait-gone $S - 10000 || fq_fail "the show did not end"; }
pointer_back() { [ "$(fq_driver pointer-shown | strip)" = shown ] || fq_fail "pointer not shown after the show"; }
# Failures: one message each, the show ended, the pointer back.
expect_box() {  # album, message text
  start_show "$1"
  local t
  t=$(fq_driver dialog-text 15000 | strip)
  grep -qxF "text=$2" <<<"$t" || fq_fail "$1: $t"
  fq_driver dialog-press 1 5000
  gone
  fq_driver no-dialog 2500 || fq_fail "$1: a second message"
  pointer_back
}

start_show two.alb
painted=$(fq_driver show-painted 15000 | strip) || fq_fail "no show"
echo "$painted"
grep -q "corner=000000 far_corner=000000 centre=" <<<"$painted" || fq_fail "the corners are not black"
c=$(sed -n 's/.*centre=\([0-9a-f]*\).*/\1/p' <<<"$painted")
at=$(sed -n 's/.*at_ms=\([0-9]*\).*/\1/p' <<<"$painted")
is_colour "$c" red || fq_fail "centre $c is not the first picture"
ms=$(wait_colour blue 1500 "$at") || fq_fail "the picture did not change within 1.5 s at Speed 9"
echo "picture changed $ms ms after the first was painted, at Speed 9"
info=$(fq_driver window-info $S - | strip)
echo "$info"
grep -qx "visible=1" <<<"$info" && grep -qx "client=1280,1024" <<<"$info" || fq_fail "the show does not cover the screen"
[ "$(fq_driver pointer-shown | strip)" = hidden ] || fq_fail "pointer shown during the show"

# The panel: right click; pause, next, previous, play; Escape ends.
fq_driver show-click right
fq_driver wait-window '#32770' "$P" 10000 >/dev/null || fq_fail "no panel"
sleep 0.5
[ "$(fq_driver pointer-shown | strip)" = shown ] || fq_fail "pointer hidden with the panel open"
fq_screenshot slide_show_panel
fq_driver show-press 986 10000 >/dev/null || fq_fail "pause"
paused=$(centre)
sleep 2.5
[ "$(centre)" = "$paused" ] || fq_fail "the picture changed while paused"
before=$(centre)
fq_driver show-press 988 10000 || fq_fail "next"
[ "$(centre)" != "$before" ] || fq_fail "next did not change the picture"
fq_driver show-press 985 10000 || fq_fail "previous"
[ "$(centre)" = "$before" ] || fq_fail "previous did not go back"
fq_driver show-press 986 10000 >/dev/null || fq_fail "play"
if is_colour "$before" red; then other=blue; else other=red; fi
wait_colour $other 3000 >/dev/null || fq_fail "the show did not play on"
fq_driver post-key '#32770' "$P" 27
gone
pointer_back

# A picture deleted after the album was saved, reached by the timer.
expect_box missing.alb "File does not exist."

# From here on pictures change every 10 s, so that each step sees the
# picture it chose.
set_keys Speed=0

# A left click ends a show of one picture; the size button; a typed
# character ends a show at its movie, drawn from the movie's first frame.
start_show one.alb
c=$(fq_driver show-painted 15000 | strip | sed -n 's/.*centre=\([0-9a-f]*\).*/\1/p')
is_colour "$c" red || fq_fail "one-picture show: $c"
fq_driver show-click left
gone
pointer_back
start_show three.alb
fq_driver show-painted 15000 >/dev/null || fq_fail "no show"
# The size button: the 640 x 480 picture fills the screen's width, then
# stands at its own size in the middle, then fills it again.
side() { fq_driver screen-pixel 100 512 | strip; }
[ "$(side)" != 000000 ] || fq_fail "full size does not reach the side"
fq_driver show-press 984 10000 >/dev/null || fq_fail "size"
[ "$(side)" = 000000 ] && is_colour "$(centre)" red || fq_fail "own size: side $(side), centre $(centre)"
fq_driver show-press 984 10000 >/dev/null || fq_fail "size"
[ "$(side)" != 000000 ] || fq_fail "back to full size"
fq_driver show-press 986 10000 >/dev/null
fq_driver show-press 985 10000 >/dev/null
is_colour "$(centre)" green || fq_fail "movie frame in the show: $(centre)"
fq_driver show-char x
gone
pointer_back

# The same picture reached from the panel while a second click waits for
# the drawing: the failed drawing ends the show and takes the panel with
# it; the waiting click then sends nothing and no second message comes.
start_show missing.alb
fq_driver show-painted 15000 >/dev/null || fq_fail "no show"
fq_driver show-click right
fq_driver wait-window '#32770' "$P" 10000 >/dev/null || fq_fail "no panel"
fq_driver show-press 986 10000 >/dev/null || fq_fail "pause"
fq_driver panel-clicks 988 2
t=$(fq_driver dialog-text 15000 | strip)
grep -qxF "text=File does not exist." <<<"$t" || fq_fail "missing picture from the panel: $t"
fq_driver dialog-press 1 5000
gone
fq_driver no-dialog 2500 || fq_fail "a second message after the panel's wait"
fq_driver wait-gone '#32770' "$P" 5000 || fq_fail "the panel outlived the show"
pointer_back
expect_box empty.alb "This album has no images."
expect_box damaged.alb "Failed to read the file."
expect_box mjpeg.alb "There is no correspondence between this file."
expect_box badjpeg.alb "It failed in the creating bitmap."
start_show text.alb
fq_driver no-dialog 2000 || fq_fail "a file that is not an album gave a message"
[ -z "$(fq_driver list-windows | strip | grep " $S ")" ] || fq_fail "a show of a file that is not an album"

fq_driver close $F $T
fq_wait_app_exit 20 || fq_fail "the program did not end"
echo "PASS"
