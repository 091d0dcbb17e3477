#!/usr/bin/env bash
# "fqtool camera get" against the camera simulator on a pseudo-terminal:
#  1. type 2, --all: every picture saved as DSCnnnn.jpg, equal (cmp) to the
#     file the simulator serves, one line per saved file on stdout;
#  2. --new on the same folder again saves nothing; --range 2-3 into a
#     folder holding DSC0041.jpg saves DSC0042 and DSC0043;
#  3. type 4, --all: the stills equal, the movie read by ffprobe as rawvideo
#     of the frames' size, count and rate, its frames equal to djpeg's
#     decoding of the parts; no temporary file left.
# Usage: camera_get_peer.sh BUILD_DIR (the folder holding fqtool).
set -uo pipefail
build=$(cd "${1:?usage: camera_get_peer.sh BUILD_DIR}" && pwd)
FQ="$build/fqtool"
SIM="$build/tools/camsim/fqcamsim"
[[ -x $FQ && -x $SIM ]] || { echo "no fqtool or fqcamsim in $build"; exit 1; }

work=$(mktemp -d)
sim_pid=
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

pics=$work/pics
mkdir -p "$pics/101/clip.movie"
convert -seed 3 -size 400x300 plasma:fractal -quality 95 "$pics/a.jpg"
convert -size 80x60 gradient:red-blue -quality 80 "$pics/b.jpg"
convert -seed 5 -size 300x200 plasma:fractal -quality 90 "$pics/c.jpg"
convert -seed 7 -size 260x200 plasma:fractal -quality 95 "$pics/101/d.jpg"
for i in 1 2 3 4; do convert -seed $i -size 96x72 plasma:fractal "$pics/101/clip.movie/$i.jpg"; done

# serve TYPE: the simulator on a fresh terminal; sets $pty.
serve() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  "$SIM" --type "$1" --folder "$pics" </dev/null >"$work/sim$1.out" 2>"$work/sim$1.err" &
  sim_pid=$!
  local i
  pty=
  for i in $(seq 1 50); do
    pty=$(head -n 1 "$work/sim$1.out" 2>/dev/null || true)
    [ -n "$pty" ] && break
    sleep 0.1
  done
  [[ $pty == /dev/pts/* ]] || { echo "the simulator gave no terminal"; exit 1; }
}
get() {  # DIR ARGS...: fqtool camera get; stdout to $work/get.out
  local dir=$1
  shift
  timeout 120 "$FQ" camera get --port "$pty" --speed 115200 --folder "$dir" "$@" >"$work/get.out" 2>"$work/get.err"
}

serve 2
mkdir -p "$work/t2"
get "$work/t2" --all || fail "type 2 --all exited with $?"
cat "$work/get.out"
n=1
for f in "$pics/a.jpg" "$pics/b.jpg" "$pics/c.jpg" "$pics/101/d.jpg"; do
  out=$(printf '%s/t2/DSC%04d.jpg' "$work" $n)
  cmp "$f" "$out" || fail "type 2: $(basename "$out") differs from $f"
  grep -qx "$out" "$work/get.out" || fail "type 2: no line for $out"
  n=$((n + 1))
done
get "$work/t2" --new || fail "type 2 --new exited with $?"
[ -s "$work/get.out" ] && fail "type 2: --new saved again: $(cat "$work/get.out")"
mkdir -p "$work/r"
cp "$pics/a.jpg" "$work/r/DSC0041.jpg"
get "$work/r" --range 2-3 || fail "type 2 --range exited with $?"
cmp "$pics/b.jpg" "$work/r/DSC0042.jpg" && cmp "$pics/c.jpg" "$work/r/DSC0043.jpg" ||
  fail "type 2: the range did not give DSC0042 and DSC0043"
[ "$(ls "$work/r" | wc -l)" = 3 ] || fail "type 2: the range folder holds $(ls "$work/r")"

serve 4
mkdir -p "$work/t4"
get "$work/t4" --all || fail "type 4 --all exited with $?"
cat "$work/get.out"
avi=$(grep '\.avi$' "$work/get.out")
[ -n "$avi" ] || fail "type 4: no movie saved"
probe=$(ffprobe -v error -select_streams v:0 -count_frames \
  -show_entries stream=codec_name,width,height,r_frame_rate,nb_read_frames -of csv=p=0 "$avi")
[ "$probe" = "rawvideo,96,72,10/1,4" ] || fail "type 4: the movie reads as '$probe'"
ffmpeg -v error -i "$avi" -f rawvideo -pix_fmt rgb24 "$work/movie.rgb"
: >"$work/parts.rgb"
for i in 1 2 3 4; do djpeg -pnm "$pics/101/clip.movie/$i.jpg" | tail -c $((96 * 72 * 3)) >>"$work/parts.rgb"; done
cmp "$work/movie.rgb" "$work/parts.rgb" || fail "type 4: the movie's frames differ from djpeg's"
for f in "$pics/a.jpg" "$pics/b.jpg" "$pics/c.jpg" "$pics/101/d.jpg"; do
  found=0
  for g in "$work"/t4/DSC*.jpg; do cmp -s "$f" "$g" && found=1; done
  [ $found = 1 ] || fail "type 4: no saved file equals $f"
done
leftover=$(ls -A "$work/t4" | grep -v '^DSC[0-9]\{4\}\.\(jpg\|avi\)$' | grep -v '^\.' || true)
[ -z "$leftover" ] || fail "type 4: left in the folder: $leftover"

[ $failures = 0 ] && echo PASS
exit $((failures > 0))
