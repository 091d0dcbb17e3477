#!/usr/bin/env bash
# Download throughput of "fqtool camera get --all" against the simulator on a
# pseudo-terminal with --rate (each byte, reply or request, takes 10 bit
# times at the speed the program set), types 1, 2 and 4 at 115200 bit/s.
# Prints saved bytes per second of wall time beside the line's capacity
# (11,520 B/s) and beside the ideal the frames allow: per block 19 + 1041
# bytes (type 1) or 16 + 1030 bytes (types 2 and 4), per picture a size
# request and reply.
# The time includes the connection (identification at 9600 bit/s, the speed
# change) and the end command.
#
#   bench/download_run.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: download_run.sh BUILD_DIR}" && pwd)
work=$(mktemp -d)
sim_pid=
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/pics"
for i in 1 2 3 4 5 6; do
  convert -seed $i -size 480x360 plasma:fractal -quality 92 "$work/pics/p$i.jpg"
done
bytes=$(cat "$work"/pics/*.jpg | wc -c)
blocks=0
for f in "$work"/pics/*.jpg; do blocks=$((blocks + ($(stat -c %s "$f") + 1023) / 1024)); done
n=$(ls "$work"/pics/*.jpg | wc -l)
echo "pictures: $n, $bytes bytes, $blocks blocks"
for type in 1 2 4; do
  "$build/tools/camsim/fqcamsim" --type $type --rate --folder "$work/pics" </dev/null >"$work/sim.out" 2>/dev/null &
  sim_pid=$!
  for i in $(seq 1 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
  pty=$(head -n1 "$work/sim.out")
  rm -rf "$work/out" && mkdir "$work/out"
  start=$(date +%s.%N)
  "$build/fqtool" camera get --port "$pty" --speed 115200 --folder "$work/out" --all >/dev/null 2>&1
  end=$(date +%s.%N)
  kill "$sim_pid"; wait "$sim_pid" 2>/dev/null || true; sim_pid=
  saved=$(cat "$work"/out/DSC* | wc -c)
  [ "$saved" = "$bytes" ] || echo "type $type: saved $saved bytes of $bytes"
  if [ $type = 1 ]; then frame=$((19 + 1041)); small=$((19 + 19)); else frame=$((16 + 1030)); small=$((16 + 16)); fi
  awk -v t=$type -v s="$saved" -v a="$start" -v b="$end" -v bl=$blocks -v f=$frame -v sm=$small -v n=$n 'BEGIN {
    secs = b - a; rate = s / secs; ideal_secs = (bl * f + n * sm) * 10 / 115200; ideal = s / ideal_secs;
    printf "type %d: %.2f s, %.0f B/s = %.1f %% of capacity (11520), %.1f %% of the frames'"'"' ideal (%.0f B/s)\n",
           t, secs, rate, 100 * rate / 11520, 100 * rate / ideal, ideal }'
done
