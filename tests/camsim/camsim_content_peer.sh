#!/usr/bin/env bash
# What "fqtool camera list" and "camera get" make of unusual camera
# content, served by fqcamsim (--content, --faults):
#  1. type 1, pictures numbered 1, 3, 5, ... with every third one in a
#     recording mode of 4 to 255: the list shows the camera's own numbers,
#     the hidden pictures are neither listed nor fetched, the others are
#     saved equal (cmp) to their sources;
#  2. type 1, blocks answered short: a few are asked again and the pictures
#     come out whole; a block that stays short ends the run with a message
#     and no file for that picture; a last block that stays empty is
#     repaired (a picture djpeg decodes at the source's size) and said so;
#  3. an absurd picture size (types 1, 2 and 4): "Data error has occurred."
#     after the pictures before it, nothing written for it;
#  4. type 2 with more than 5000 pictures (made by the simulator): the list
#     counts them all; picture 255 is saved as the simulator made it (a
#     16 x 16 JPEG whose comment ImageMagick reads as "tiny 251"); picture
#     6000, beyond what the size command can name, is refused;
#  5. type 4 movies: frames of 63 x 47 give a movie ffprobe reads as 63 x 47
#     rawvideo, frames equal to djpeg's; the frame-rate parameter 1 gives
#     8 frames per second; frames of two sizes, a part count of 1000, or a
#     part count above what the camera holds: refused with a message, no
#     file and no temporary file left;
#  6. type 4, the folder page's reply damaged once: the camera answers the
#     program's second asking with its next page, which holds no folder;
#     "camera list" says "Data error has occurred." and fails instead of
#     listing nothing with success.
# Usage: camsim_content_peer.sh BUILD_DIR (the folder holding fqtool).
set -uo pipefail
build=$(cd "${1:?usage: camsim_content_peer.sh BUILD_DIR}" && pwd)
FQ="$build/fqtool"
SIM="$build/tools/camsim/fqcamsim"
[[ -x $FQ && -x $SIM ]] || { echo "no fqtool or fqcamsim in $build"; exit 1; }
for t in convert identify djpeg ffprobe ffmpeg; do command -v $t >/dev/null || { echo "$t is not installed"; exit 1; }; done

work=$(mktemp -d)
sim_pid=
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mkdir -p "$work/tmp"
p7=$work/p7
mkdir -p "$p7"
for i in 1 2 3 4 5 6 7; do convert -seed $i -size 120x90 plasma:fractal -quality 80 "$p7/p$i.jpg"; done
m4=$work/m4
mkdir -p "$m4/mixed.movie" "$m4/odd.movie" "$m4/plain.movie"
convert -seed 8 -size 120x90 plasma:fractal "$m4/a.jpg"
convert -seed 9 -size 100x80 plasma:fractal "$m4/b.jpg"
for i in 1 2 3; do
  convert -seed $i -size 63x47 plasma:fractal "$m4/odd.movie/$i.jpg"
  convert -seed $((i + 3)) -size 64x48 plasma:fractal "$m4/plain.movie/$i.jpg"
done
convert -seed 1 -size 64x48 plasma:fractal "$m4/mixed.movie/1.jpg"
convert -seed 2 -size 80x60 plasma:fractal "$m4/mixed.movie/2.jpg"
# Type 4 numbers them: 1 a.jpg, 2 b.jpg, 3 mixed, 4 odd, 5 plain.

# serve TYPE ARGS...: a fresh simulator; sets $pty.
serve() {
  [ -n "$sim_pid" ] && { kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; }
  local type=$1 i
  shift
  "$SIM" --type "$type" "$@" </dev/null >"$work/sim.out" 2>"$work/sim.err" &
  sim_pid=$!
  pty=
  for i in $(seq 1 50); do
    pty=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
    [ -n "$pty" ] && break
    sleep 0.1
  done
  [[ $pty == /dev/pts/* ]] || { echo "the simulator gave no terminal: $(cat "$work/sim.err")"; exit 1; }
}
# get ARGS...: "camera get" into a fresh $out; sets $rc, $work/get.out, $work/msg (its messages).
get() {
  out=$work/out
  rm -rf "$out" && mkdir "$out"
  rc=0
  TMPDIR=$work/tmp timeout 100 "$FQ" camera get --port "$pty" --speed 115200 --folder "$out" "$@" \
    >"$work/get.out" 2>"$work/get.err" || rc=$?
  tr '\r' '\n' <"$work/get.err" | grep -v '%$' | grep . >"$work/msg" || true
}
saved() { ls "$out" | grep -c '^DSC' || true; }
# no_leftovers: nothing but DSC files in $out, no part or movie in the temporary folder.
no_leftovers() {
  local left=$(ls -A "$out" | grep -v '^DSC[0-9]\{4\}\.\(jpg\|avi\)$' | grep -vx '.fqtool-camera-record' || true)
  [ -z "$left" ] || fail "$1: left in the folder: $left"
  [ -z "$(ls -A "$work/tmp")" ] || fail "$1: left in the temporary folder: $(ls -A "$work/tmp")"
}
has_msg() { grep -qF "$2" "$work/msg" || fail "$1: no message '$2' (got: $(cat "$work/msg"))"; }

# 1. Hidden pictures and gaps.
serve 1 --folder "$p7" --content hidden,gaps
timeout 60 "$FQ" camera list --port "$pty" >"$work/list.out" 2>&1 || fail "1: list exited with $?"
expected=$(printf 'pictures 7\n1 mode 0\n3 mode 0\n5 mode 4\n7 mode 0\n9 mode 0\n11 mode 100\n13 mode 0')
[ "$(grep -v '^camera type' "$work/list.out")" = "$expected" ] || fail "1: the list reads $(cat "$work/list.out")"
get --all
[ $rc = 0 ] || fail "1: get --all exited with $rc: $(cat "$work/msg")"
k=0
for src in 1 2 4 5 7; do
  k=$((k + 1))
  cmp -s "$p7/p$src.jpg" "$out/DSC000$k.jpg" || fail "1: DSC000$k.jpg is not picture $src"
done
[ "$(saved)" = 5 ] || fail "1: $(saved) files saved, 5 expected"
grep -q '^Image No\.13 ( 5 / 5 )' <(tr '\r' '\n' <"$work/get.err") || fail "1: the last picture was not named 13"
get --range 11
[ $rc != 0 ] && [ "$(saved)" = 0 ] || fail "1: the hidden picture 11 was fetched (exit $rc)"

# 2. Short and empty blocks.
serve 1 --folder "$p7" --faults shortblock:at=2:count=3
get --range 1-2
[ $rc = 0 ] && cmp -s "$p7/p1.jpg" "$out/DSC0001.jpg" && cmp -s "$p7/p2.jpg" "$out/DSC0002.jpg" ||
  fail "2: short blocks asked again did not give the pictures (exit $rc)"
serve 1 --folder "$p7" --faults shortblock:at=4:count=0:bytes=100
get --range 1-3
[ $rc = 1 ] || fail "2: a block that stays short: exit $rc"
[ "$(saved)" = 1 ] && cmp -s "$p7/p1.jpg" "$out/DSC0001.jpg" || fail "2: a block that stays short: $(ls "$out")"
has_msg 2 "Unexpected error has occurred during image transfer."
no_leftovers 2
serve 1 --folder "$p7" --faults emptyblock:count=0
get --range 2
[ $rc = 0 ] && [ "$(saved)" = 1 ] || fail "2: always-empty last block: exit $rc, $(ls "$out")"
has_msg 2 "The image has been repaired."
[ "$(djpeg "$out/DSC0001.jpg" 2>/dev/null | head -n 2 | tail -n 1)" = "120 90" ] || fail "2: the repaired picture does not decode at 120 x 90"
no_leftovers 2

# 3. Absurd sizes.
for type in 1 2 4; do
  if [ $type = 4 ]; then serve 4 --folder "$m4" --content bigsize; first="$m4/a.jpg"; range=100/1-2
  else serve $type --folder "$p7" --content bigsize; first="$p7/p1.jpg"; range=1-3; fi
  get --range $range
  [ $rc = 1 ] || fail "3: type $type: exit $rc"
  [ "$(saved)" = 1 ] && cmp -s "$first" "$out/DSC0001.jpg" || fail "3: type $type: saved $(ls "$out")"
  has_msg "3 (type $type)" "Data error has occurred."
done

# 4. More than 5000 pictures.
serve 2 --content many=6000
timeout 100 "$FQ" camera list --port "$pty" >"$work/list.out" 2>/dev/null
grep -qx 'pictures 6004' "$work/list.out" || fail "4: the list reads $(head -n 3 "$work/list.out")"
get --range 255
[ $rc = 0 ] || fail "4: picture 255: exit $rc"
[ "$(identify -format '%w %h %c' "$out/DSC0001.jpg" 2>/dev/null)" = "16 16 tiny 251" ] ||
  fail "4: picture 255 reads as '$(identify -format '%w %h %c' "$out/DSC0001.jpg" 2>&1)'"
get --range 6000
[ $rc = 1 ] && [ "$(saved)" = 0 ] || fail "4: picture 6000: exit $rc, $(ls "$out")"
has_msg 4 "Command cannot be executed."

# 5. Movies.
probe() {
  ffprobe -v error -select_streams v:0 -count_frames \
    -show_entries stream=codec_name,width,height,r_frame_rate,nb_read_frames -of csv=p=0 "$1"
}
frames_equal() {  # AVI DIR W H: the movie's frames against djpeg's decoding of DIR/1..3.jpg
  ffmpeg -v error -y -i "$1" -f rawvideo -pix_fmt rgb24 "$work/movie.rgb"
  : >"$work/parts.rgb"
  for i in 1 2 3; do djpeg -pnm "$2/$i.jpg" | tail -c $(($3 * $4 * 3)) >>"$work/parts.rgb"; done
  cmp -s "$work/movie.rgb" "$work/parts.rgb"
}
serve 4 --folder "$m4"
get --range 100/4
[ $rc = 0 ] && [ "$(probe "$out/DSC0001.avi")" = "rawvideo,63,47,10/1,3" ] ||
  fail "5: odd-sized frames: exit $rc, movie '$(probe "$out/DSC0001.avi" 2>&1)'"
frames_equal "$out/DSC0001.avi" "$m4/odd.movie" 63 47 || fail "5: the 63 x 47 frames differ from djpeg's"
serve 4 --folder "$m4"
get --range 100/3
[ $rc = 1 ] && [ "$(saved)" = 0 ] || fail "5: frames of two sizes: exit $rc, $(ls "$out")"
has_msg 5 "Selected image not saved."
no_leftovers 5
serve 4 --folder "$m4" --content rate=1
get --range 100/5
[ $rc = 0 ] && [ "$(probe "$out/DSC0001.avi")" = "rawvideo,64,48,8/1,3" ] ||
  fail "5: rate parameter 1: exit $rc, movie '$(probe "$out/DSC0001.avi" 2>&1)'"
frames_equal "$out/DSC0001.avi" "$m4/plain.movie" 64 48 || fail "5: the frames at rate 1 differ from djpeg's"
serve 4 --folder "$m4" --content parts=1000
get --range 100/5
[ $rc = 1 ] && [ "$(saved)" = 0 ] || fail "5: 1000 parts: exit $rc, $(ls "$out")"
has_msg "5 (1000 parts)" "Data error has occurred."
no_leftovers 5
serve 4 --folder "$m4" --content parts=999
get --range 100/5
[ $rc = 1 ] && [ "$(saved)" = 0 ] || fail "5: 999 parts of 3: exit $rc, $(ls "$out")"
has_msg "5 (999 parts)" "Selected image not saved."
no_leftovers 5

# 6. A folder list that does not come whole.
serve 4 --folder "$m4" --faults checksum:cmd=12
rc=0
timeout 60 "$FQ" camera list --port "$pty" >"$work/list.out" 2>"$work/msg" || rc=$?
[ $rc = 1 ] || fail "6: camera list exited with $rc: $(cat "$work/list.out")"
has_msg 6 "Data error has occurred."

[ $failures = 0 ] && echo PASS
exit $((failures > 0))
