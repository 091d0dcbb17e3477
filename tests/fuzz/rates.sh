#!/usr/bin/env bash
# Throughput of the fuzz targets. Each target fuzzes from a fresh copy of
# its seed corpus (as the fuzz tests do) until it has used SECONDS of CPU
# time, then is interrupted and its final stats are read. The rate is the
# inputs run per CPU second: on an idle machine that is libFuzzer's own
# exec/s of a SECONDS-long run; on a machine shared with other work it
# stays comparable, where the wall-clock exec/s (also shown) does not.
# Usage: tests/fuzz/rates.sh FUZZ_BUILD_DIR [SECONDS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: tests/fuzz/rates.sh FUZZ_BUILD_DIR [SECONDS] [TARGET...]}" && pwd)
seconds=${2:-60}
shift $(($# >= 2 ? 2 : 1))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }

echo "| target | inputs | inputs per CPU second | exec/s (wall) | CPU s | wall s |"
echo "|---|---:|---:|---:|---:|---:|"
for t in "${targets[@]}"; do
  mkdir -p "$tmp/$t"
  cp -r "$root/tests/fuzz/corpus/$t/." "$tmp/$t/"
  start=$(date +%s.%N)
  "$build/$t" -max_total_time=$((seconds * 50)) -rss_limit_mb=2048 -timeout=20 \
    -print_final_stats=1 "$tmp/$t" >"$tmp/$t.log" 2>&1 &
  pid=$!
  used=0
  while kill -0 "$pid" 2>/dev/null; do
    used=$(cpu_ticks "$pid")
    [ "$used" -ge $((seconds * ticks)) ] && break
    sleep 0.5
  done
  kill -INT "$pid" 2>/dev/null || true
  wait "$pid" || true
  wall=$(echo "$(date +%s.%N) - $start" | bc)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$tmp/$t.log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$tmp/$t.log")
  if [ -z "$runs" ]; then
    echo "$t: no final stats" >&2
    tail -5 "$tmp/$t.log" >&2
    continue
  fi
  awk -v t="$t" -v n="$runs" -v r="$rate" -v c="$used" -v k="$ticks" -v w="$wall" \
    'BEGIN { s = c / k; printf "| %s | %d | %d | %d | %.1f | %.0f |\n", t, n, (s > 0 ? n / s : 0), r, s, w }'
done
