#!/usr/bin/env bash
# Upload throughput of "fqtool camera put" to the simulator on a
# pseudo-terminal with --rate, which takes in the program's bytes no faster
# than the line (10 bit times per byte at the speed the program set) and
# writes its replies at that pace too; asked for 57600 bit/s (type 1: the
# program does not upload to it faster) and 115200 (type 2). The speed the
# line really ran at is taken from the simulator's log. Prints sent bytes
# per second of wall time beside the line's capacity at that speed and
# beside the ideal the frames allow:
#   type 1: per picture the mode command (18 bytes) and its acknowledgement
#           (18), the picture in one frame (17 + size) and its
#           acknowledgement (18);
#   type 2: per picture the size command (16) and its acknowledgement (16),
#           per block 1030 + 16 bytes.
# The time includes the connection (identification at 9600 bit/s, the speed
# change) and the end command.
#
#   bench/upload_run.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: upload_run.sh BUILD_DIR}" && pwd)
work=$(mktemp -d)
sim_pid=
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/t1" "$work/t2"
# Pictures each camera takes as they are (no re-encoding): type 1 luminance
# 4 x 1 within its mode classes, type 2 luminance 2 x 1, up to 640 x 480.
for i in 1 2 3 4; do
  convert -seed $i -size 320x240 plasma:fractal -sampling-factor 4x1 -quality 85 "$work/t1/p$i.jpg"
  convert -seed $i -size 480x360 plasma:fractal -sampling-factor 2x1 -quality 90 "$work/t2/p$i.jpg"
done
for type in ${FQ_UPLOAD_TYPES:-1 2}; do
  dir=$work/t$type
  speed=$((type == 1 ? 57600 : 115200))
  mkdir -p "$work/cam$type"
  rm -f "$work/sim.out"
  "$build/tools/camsim/fqcamsim" --type $type --rate -v --folder "$work/cam$type" </dev/null >"$work/sim.out" 2>"$work/sim.err" &
  sim_pid=$!
  for i in $(seq 1 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
  pty=$(head -n1 "$work/sim.out")
  start=$(date +%s.%N)
  "$build/fqtool" camera put "$dir"/p*.jpg --port "$pty" --speed $speed >"$work/put.out" 2>&1 || true
  end=$(date +%s.%N)
  kill "$sim_pid"; wait "$sim_pid" 2>/dev/null || true; sim_pid=
  line=$(sed -n 's/^fqcamsim: speed \([0-9]*\) bit\/s$/\1/p' "$work/sim.err" | tail -n 1)
  [ -n "$line" ] || line=9600
  asis=$(grep -c 'sent as is' "$work/put.out" || true)
  [ "$asis" = 4 ] || { echo "type $type: not every picture went as is:"; cat "$work/put.out"; }
  sent=$(sed -n 's/.*, \([0-9]*\) bytes, sampling.*/\1/p' "$work/put.out" | awk '{ s += $1 } END { print s + 0 }')
  frames=0
  for n in $(sed -n 's/.*, \([0-9]*\) bytes, sampling.*/\1/p' "$work/put.out"); do
    if [ $type = 1 ]; then frames=$((frames + 18 + 18 + 17 + n + 18))
    else frames=$((frames + 16 + 16 + (n + 1023) / 1024 * (1030 + 16))); fi
  done
  stored=$(cat "$work/cam$type"/UPLD*.jpg 2>/dev/null | wc -c)
  [ "$stored" = "$sent" ] || echo "type $type: the camera stored $stored bytes of $sent"
  awk -v t=$type -v s="$sent" -v a="$start" -v b="$end" -v f=$frames -v bps=$line 'BEGIN {
    secs = b - a; rate = s / secs; ideal_secs = f * 10 / bps; ideal = s / ideal_secs;
    printf "type %d at %d: %d bytes in %.2f s, %.0f B/s = %.1f %% of capacity (%d), %.1f %% of the frames'"'"' ideal (%.0f B/s, %.2f s)\n",
           t, bps, s, secs, rate, 100 * rate / (bps / 10), bps / 10, 100 * rate / ideal, ideal, ideal_secs }'
done
