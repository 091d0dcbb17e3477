#!/usr/bin/env bash
# fqtool's camera link against the camera simulator on a pseudo-terminal,
# with the faults of a noisy line, checked against the files the simulator
# serves (their sizes as stat gives them):
#  1. noise before the speed command's acknowledgement and before the
#     identification's reply costs nothing;
#  2. a speed acknowledgement that cannot be read leads to the camera at
#     the new speed, and a damaged size reply costs a retry, not the listing;
#  3. a type-2 camera with 300 pictures: the sizes of pictures 1 to 255 are
#     listed, and the first picture beyond what the size command can name is
#     refused with "Command cannot be executed." instead of being asked for
#     under a wrapped number.
# Usage: camera_pty_peer.sh BUILD_DIR (the folder holding fqtool).
set -uo pipefail
build=$(cd "${1:?usage: camera_pty_peer.sh BUILD_DIR}" && pwd)
FQ="$build/fqtool"
SIM="$build/tools/camsim/fqcamsim"
IM=/usr/bin/convert
[[ -x $FQ && -x $SIM ]] || { echo "no fqtool or fqcamsim in $build"; exit 1; }
[[ -x $IM ]] || { echo "ImageMagick is not installed at /usr/bin"; exit 1; }

work=$(mktemp -d)
sim_pid=
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run NAME FOLDER FAULTS: serves FOLDER as a type-2 camera with FAULTS and
# runs "fqtool camera list" on it; leaves $work/NAME.out, .err and .rc.
run() {
  local name=$1 folder=$2 faults=$3 pty= i
  "$SIM" --type 2 --folder "$folder" ${faults:+--faults "$faults"} --verbose </dev/null \
    >"$work/$name.sim" 2>"$work/$name.simlog" &
  sim_pid=$!
  for i in $(seq 1 50); do
    pty=$(head -n 1 "$work/$name.sim" 2>/dev/null || true)
    [ -n "$pty" ] && break
    sleep 0.1
  done
  [[ $pty == /dev/pts/* ]] || { fail "$name: the simulator gave no terminal"; return; }
  local start=$SECONDS rc=0
  timeout 120 "$FQ" camera list --port "$pty" >"$work/$name.out" 2>"$work/$name.err" || rc=$?
  echo "$rc" >"$work/$name.rc"
  echo "$name: fqtool exit $rc after $((SECONDS - start)) s"
  sed "s/^/  $name: /" "$work/$name.err"
  kill "$sim_pid" 2>/dev/null
  wait "$sim_pid" 2>/dev/null
  sim_pid=
}

# expect_sizes NAME FILE...: the listing holds "N size S" for each file in turn.
expect_sizes() {
  local name=$1 n=1 f
  shift
  for f in "$@"; do
    grep -qx "$n size $(stat -c %s "$f")" "$work/$name.out" || { fail "$name: no line '$n size' for $f"; return; }
    n=$((n + 1))
  done
}

few=$work/few
mkdir -p "$few"
$IM -seed 3 -size 160x120 plasma:fractal -quality 90 "$few/a.jpg"
$IM -size 80x60 gradient:red-blue -quality 80 "$few/b.jpg"
$IM -seed 5 -size 200x150 plasma:fractal -quality 95 "$few/c.jpg"

run noise "$few" "noise:cmd=4:bytes=3,noise:cmd=2:bytes=5"
[ "$(cat "$work/noise.rc")" = 0 ] || fail "noise: fqtool failed"
grep -qx "camera type 2" "$work/noise.out" || fail "noise: no camera type"
expect_sizes noise "$few/a.jpg" "$few/b.jpg" "$few/c.jpg"
grep -q "fault noise on command 4" "$work/noise.simlog" || fail "noise: the simulator made no noise"

# The speed command's acknowledgement with damaged marker text: the camera
# has changed speed and is found there.
run speedack "$few" "checksum:cmd=4"
[ "$(cat "$work/speedack.rc")" = 0 ] || fail "speedack: fqtool failed"
expect_sizes speedack "$few/a.jpg" "$few/b.jpg" "$few/c.jpg"
[ "$(grep -c 'speed 38400 bit/s' "$work/speedack.simlog")" = 1 ] ||
  fail "speedack: the speed command was not taken exactly once"

run checksum "$few" "checksum:cmd=26:at=2"
[ "$(cat "$work/checksum.rc")" = 0 ] || fail "checksum: fqtool failed"
expect_sizes checksum "$few/a.jpg" "$few/b.jpg" "$few/c.jpg"
[ -s "$work/checksum.err" ] && fail "checksum: a message was shown for a retried reply"

# 300 pictures of different sizes: one picture with 0 to 299 bytes after
# its end-of-image marker.
many=$work/many
mkdir -p "$many"
$IM -size 32x24 gradient:blue-yellow -quality 80 "$work/base.jpg"
files=()
for i in $(seq 1 300); do
  f=$(printf '%s/p%03d.jpg' "$many" "$i")
  { cat "$work/base.jpg"; head -c $((i - 1)) /dev/zero; } >"$f"
  files+=("$f")
done
run many "$many" ""
[ "$(cat "$work/many.rc")" = 0 ] || fail "many: fqtool failed"
grep -qx "pictures 300" "$work/many.out" || fail "many: not 300 pictures"
expect_sizes many "${files[@]:0:255}"
grep -q '^25[6-9] size\|^2[6-9][0-9] size\|^300 size' "$work/many.out" && fail "many: a size beyond 255 was listed"
grep -qx "fqtool: Command cannot be executed." "$work/many.err" || fail "many: no refusal for picture 256"

[ $failures -eq 0 ] && echo PASS
exit $((failures > 0))
