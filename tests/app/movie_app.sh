#!/usr/bin/env bash
# Movies end to end. Frame 0 through the program's own road (the system's
# video library under Wine, then the frame checks) against ffmpeg's first
# frame of the same files: pixel for pixel for uncompressed movies (ffmpeg's
# top-down bgr24 and pal8, and a bottom-up one written with the system's AVI
# library), within the 5-bit expansion for MS Video 1, at least 50 dB for
# Cinepak; MJPEG (no decoder here) and a sound-only movie give no picture.
# Then File Open plays movies in the movie window: placed at (0, 0) of the
# MDI client, titled with the path, sized to hold its media control, played
# to the last frame with positions never going back; Close, Save As, Print
# and Close All greyed; a second movie refused while one plays and played
# after closing; files the control cannot open refused with one message and
# no window; the command line and drops still refuse movies; the program
# ends with a movie playing.
source "$(dirname "$0")/lib.sh"

work=$FQ_ARTIFACTS/movie_app
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }
strip() { tr -d '\r'; }
ff() { ffmpeg -loglevel error -y "$@"; }

# --- The movies -------------------------------------------------------------
src=(-f lavfi -i testsrc=size=320x240:rate=10)
ff "${src[@]}" -frames:v 30 -c:v msvideo1 "$work/msvideo1.avi"
ff -f lavfi -i testsrc=size=320x240:rate=8 -f lavfi -i sine=frequency=440:sample_rate=22050 \
  -frames:v 30 -c:v cinepak -c:a pcm_s16le -shortest "$work/cinepak.avi"
ff "${src[@]}" -frames:v 30 -c:v rawvideo -pix_fmt bgr24 "$work/raw24.avi"
ff "${src[@]}" -frames:v 30 -c:v rawvideo -pix_fmt pal8 "$work/raw8.avi"
ff "${src[@]}" -frames:v 30 -c:v mjpeg "$work/mjpeg.avi"
ff -f lavfi -i sine=duration=2 -c:a pcm_s16le "$work/sound.avi"
movie() { timeout 60 "$WINELOADER" "$FQ_BUILD/fqmovie.exe.so" "$@" </dev/null; }
movie write-dib "$(winpath "$work/bottomup.avi")" 320 240 30 8 || fq_fail "cannot write the bottom-up movie"
probe=$(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,r_frame_rate,nb_frames \
  -of csv=p=0 "$work/bottomup.avi")
[ "$probe" = "rawvideo,8/1,30" ] || fq_fail "bottom-up movie as ffprobe reads it: $probe"
grep -q "cinepak,8/1" <(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,r_frame_rate \
  -of csv=p=0 "$work/cinepak.avi") || fq_fail "cinepak movie rate"
[ "$(ffprobe -v error -select_streams a -show_entries stream=codec_name -of csv=p=0 "$work/cinepak.avi")" = \
  pcm_s16le ] || fq_fail "the cinepak movie has no sound track"

# --- Frame 0 beside ffmpeg ------------------------------------------------------
# Both as 24-bit pixels; ImageMagick counts differing pixels and the PSNR,
# and for MS Video 1 (5 bits per channel) the top five bits must agree.
top5() {
  python3 - "$1" "$2" <<'PY'
import subprocess, sys
def rgb(p):
    d = subprocess.run(["/usr/bin/convert", p, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    return d
a, b = rgb(sys.argv[1]), rgb(sys.argv[2])
assert len(a) == len(b), "sizes differ"
print(sum((x >> 3) != (y >> 3) for x, y in zip(a, b)), max(abs(x - y) for x, y in zip(a, b)))
PY
}
for m in raw24 raw8 bottomup msvideo1 cinepak; do
  out=$(movie frame "$(winpath "$work/$m.avi")" "$(winpath "$work/$m.bmp")") || fq_fail "no frame 0 of $m"
  echo "$m: $out" | strip
  ff -i "$work/$m.avi" -frames:v 1 -pix_fmt bgr24 "$work/${m}_ffmpeg.bmp"
  ae=$(/usr/bin/compare -metric AE "$work/$m.bmp" "$work/${m}_ffmpeg.bmp" null: 2>&1 || true)
  psnr=$(/usr/bin/compare -metric PSNR "$work/$m.bmp" "$work/${m}_ffmpeg.bmp" null: 2>&1 || true)
  echo "$m: differing pixels $ae, PSNR $psnr"
  case $m in
    raw24 | raw8 | bottomup) [ "$ae" = 0 ] || fq_fail "$m frame 0 differs from ffmpeg's in $ae pixels" ;;
    msvideo1)
      read -r wrong most < <(top5 "$work/$m.bmp" "$work/${m}_ffmpeg.bmp")
      echo "$m: channels differing in their top 5 bits $wrong, largest difference $most"
      [ "$wrong" = 0 ] && [ "$most" -le 7 ] || fq_fail "$m frame 0 beyond the 5-bit expansion" ;;
    cinepak)
      awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p + 0 >= 50) }' || fq_fail "$m frame 0 at $psnr dB" ;;
  esac
done
[ "$(/usr/bin/identify -format '%z' "$work/raw8.bmp")" = 8 ] || fq_fail "the pal8 frame lost its palette"
for m in mjpeg sound; do
  if movie frame "$(winpath "$work/$m.avi")" "$(winpath "$work/$m.bmp")" >/dev/null 2>&1; then
    fq_fail "a picture from $m.avi"
  fi
done

# --- The movie window -------------------------------------------------------------
F=ORXDscFrame
T=Fotaquill
fq_start_app
fq_driver wait-window $F $T 30000 >/dev/null || fq_fail "no frame"
open_file() {
  fq_driver post-command 100
  fq_driver file-dialog "$(winpath "$1")" 0 15000 >/dev/null || fq_fail "no Open dialog for $1"
}
box_text() { fq_driver dialog-text 10000 | strip; }
check_window() {  # file, frame size of the movie
  local info
  info=$(fq_driver movie-window 15000 | strip) || fq_fail "no movie window for $1"
  echo "$info"
  grep -qxF "title=$(winpath "$1")" <<<"$info" || fq_fail "movie window title"
  grep -qx "at=0,0" <<<"$info" || fq_fail "movie window not at the top left of the MDI client"
  grep -qx "extra_bytes=0" <<<"$info" || fq_fail "movie window has extra bytes"
  local control client
  control=$(sed -n 's/^control=//p' <<<"$info")
  client=$(sed -n 's/^client=//p' <<<"$info")
  [ "$control" != none ] || fq_fail "no media control in the movie window"
  [ "$control" = "$client" ] || fq_fail "client $client does not hold the control $control"
  [ "${control%,*}" -ge "$2" ] && [ "${control#*,}" -gt "$3" ] || fq_fail "control $control smaller than the movie"
}
# The play-out is followed from before the file is chosen (so the start of
# play is seen), beside the other checks; end_timing waits for its end.
close_movie() {
  fq_driver movie-close
  local i
  for i in $(seq 1 100); do [ "$(fq_driver movie-count | strip)" = 0 ] && return 0; sleep 0.1; done
  fq_fail "the movie window did not close"
}
start_timing() {  # frames rate
  TIMING_FRAMES=$1
  fq_driver movie-timing "$1" "$2" 30000 >"$work/timing.out" 2>&1 &
  TIMING_PID=$!
}
end_timing() {  # file name for the record
  wait "$TIMING_PID" || fq_fail "the movie did not play out: $(strip <"$work/timing.out")"
  local t
  t=$(strip <"$work/timing.out")
  echo "timing: $t"
  grep -q "last=$((TIMING_FRAMES - 1)) went_back=0" <<<"$t" || fq_fail "positions: $t"
  echo "$1 $t" >>"$work/timings.txt"
}

start_timing 30 10
open_file "$work/msvideo1.avi"
check_window "$work/msvideo1.avi" 320 240
end_timing msvideo1
fq_screenshot movie_window

# With the movie window active: no document for the menu rules.
states=$(fq_driver toolbar-states $F $T 401,402 | strip)
echo "$states"
grep -qx "401=16" <<<"$states" && grep -qx "402=16" <<<"$states" || fq_fail "Save As or Print not greyed: $states"
walk=$(fq_driver menu-keys $F $T fDDDDDDDDDDDD | strip)
fq_driver menu-keys $F $T EEE >/dev/null
step() { sed -n "${1}p" <<<"$walk" | cut -c3-; }
[ "$(step 3)" = "Cannot select!! There is no file to close." ] || fq_fail "Close not greyed: $(step 3)"
[ "$(step 5)" = "Cannot select!! There is no file to save." ] || fq_fail "Save As not greyed: $(step 5)"
[ "$(step 12)" = "Cannot select!! There is no file to print." ] || fq_fail "Print not greyed: $(step 12)"
walk=$(fq_driver menu-keys $F $T wDDD | strip)
fq_driver menu-keys $F $T EEE >/dev/null
echo "$walk"
[ "$(step 4)" = "Cannot Select!! Not open window or line up icon." ] || fq_fail "Close All not greyed: $(step 4)"

# One movie at a time; after closing, the next one plays.
open_file "$work/cinepak.avi"
t=$(box_text)
grep -qx "text=AVI File has already been played." <<<"$t" || fq_fail "no refusal of a second movie: $t"
fq_driver dialog-press 1 5000
[ "$(fq_driver movie-count | strip)" = 1 ] || fq_fail "a second movie window"
close_movie
start_timing 30 8
open_file "$work/cinepak.avi"
check_window "$work/cinepak.avi" 320 240
end_timing cinepak
close_movie

# A bottom-up uncompressed movie.
start_timing 30 8
open_file "$work/bottomup.avi"
check_window "$work/bottomup.avi" 320 240
end_timing bottomup
close_movie

# ffmpeg's uncompressed movies are stored top-down: the control reports no
# picture size for them, and the window still opens at the frame size.
start_timing 30 10
open_file "$work/raw24.avi"
check_window "$work/raw24.avi" 320 240
end_timing raw24
fq_screenshot movie_topdown
close_movie

# Files the control cannot open: one message each, no window, and the next
# movie still plays.
for m in mjpeg sound; do
  open_file "$work/$m.avi"
  t=$(box_text)
  grep -qx "text=Error opening AVI file." <<<"$t" || fq_fail "$m.avi: $t"
  fq_driver dialog-press 1 5000
  fq_driver no-dialog 1500 || fq_fail "a second message for $m.avi"
  [ "$(fq_driver movie-count | strip)" = 0 ] || fq_fail "a movie window left for $m.avi"
done
start_timing 30 10
open_file "$work/msvideo1.avi"
check_window "$work/msvideo1.avi" 320 240
end_timing msvideo1-again
close_movie

# Dropped movies are not opened (error 23).
fq_driver drop-files $F $T "$(winpath "$work/msvideo1.avi")"
t=$(box_text)
grep -qx "text=There is no correspondence between this file." <<<"$t" || fq_fail "drop of a movie: $t"
fq_driver dialog-press 1 5000
[ "$(fq_driver movie-count | strip)" = 0 ] || fq_fail "a dropped movie opened"

# Ending the program while a movie plays.
open_file "$work/msvideo1.avi"
fq_driver movie-window 15000 >/dev/null || fq_fail "no movie window"
sleep 1
fq_driver close $F $T
fq_wait_app_exit 20 || fq_fail "the program did not end with a movie playing"

# The command line refuses movies too.
fq_start_app "$(winpath "$work/msvideo1.avi")"
fq_driver wait-window $F $T 30000 >/dev/null || fq_fail "no frame"
t=$(box_text)
grep -qx "text=There is no correspondence between this file." <<<"$t" || fq_fail "command line movie: $t"
fq_driver dialog-press 1 5000
[ "$(fq_driver movie-count | strip)" = 0 ] || fq_fail "a movie opened from the command line"
fq_driver close $F $T
fq_wait_app_exit 20 || fq_fail "the program did not end"
cat "$work/timings.txt"
echo "PASS"
