#!/usr/bin/env bash
# Start-up time under Wine: from launching the program to its frame window
# being on the display, measured N times (default 5) with a running server
# and a warm prefix, beside Wine's own notepad in the same run. Writes the
# "Start-up" section of bench/RESULTS.md (other sections are left alone).
#
#   bench/startup.sh <build dir> [runs]
set -euo pipefail
BENCH_DIR=$(cd "$(dirname "$0")" && pwd)
source "$BENCH_DIR/../tests/app/lib.sh"
RUNS=${2:-5}

# Milliseconds from launch until fqdriver sees the window (the driver
# stamps the moment it found it).
launch_ms() {
  local cls=$1 title=$2
  shift 2
  local t0 out found
  t0=$(date +%s%3N)
  "$@" </dev/null >/dev/null 2>&1 &
  local pid=$!
  out=$(fq_driver wait-window "$cls" "$title" 30000 | tr -d '\r') || {
    kill "$pid" 2>/dev/null
    fq_fail "no $cls window"
  }
  found=${out##*at_ms=}
  fq_driver close "$cls" "$title" >/dev/null
  fq_driver wait-gone "$cls" "$title" 10000 >/dev/null || true
  timeout 10 tail --pid="$pid" -f /dev/null || kill "$pid" 2>/dev/null || true
  echo $((found - t0))
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }

# One unmeasured start of each warms the prefix and the file cache.
launch_ms ORXDscFrame Fotaquill "$WINELOADER" "$FQ_BUILD/fotaquill.exe.so" >/dev/null
launch_ms Notepad - "$WINELOADER" notepad >/dev/null

fq=() np=()
for i in $(seq 1 "$RUNS"); do
  fq+=("$(launch_ms ORXDscFrame Fotaquill "$WINELOADER" "$FQ_BUILD/fotaquill.exe.so")")
  np+=("$(launch_ms Notepad - "$WINELOADER" notepad)")
done
fq_median=$(printf '%s\n' "${fq[@]}" | median)
np_median=$(printf '%s\n' "${np[@]}" | median)
echo "fotaquill: ${fq[*]} ms (median $fq_median)"
echo "notepad:   ${np[*]} ms (median $np_median)"

results=$BENCH_DIR/RESULTS.md
section=$(mktemp)
cat >"$section" <<MD
## Start-up

Launch to frame window shown under Wine $("$WINELOADER" --version 2>/dev/null || echo "?"), Xvfb, warm
prefix with its server running; $RUNS runs after one unmeasured start, \`bench/startup.sh\`
($(date -u +%Y-%m-%d)).

| Program | Runs (ms) | Median (ms) |
|---|---|---|
| fotaquill (frame window) | ${fq[*]} | $fq_median |
| Wine notepad (same run) | ${np[*]} | $np_median |

MD
[ -f "$results" ] || printf '# Benchmark results\n\n' >"$results"
# Replace the old section (up to the next "## " heading) or append.
awk -v file="$section" '
  BEGIN { while ((getline line < file) > 0) text = text line "\n" }
  /^## Start-up[[:space:]]*$/ { printf "%s", text; skip = 1; done = 1; next }
  skip && /^## / { skip = 0 }
  !skip { print }
  END { if (!done) printf "\n%s", text }
' "$results" >"$results.new"
mv "$results.new" "$results"
rm -f "$section"
echo "updated $results"
