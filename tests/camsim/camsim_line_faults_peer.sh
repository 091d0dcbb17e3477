#!/usr/bin/env bash
# "fqtool camera get --all" against fqcamsim with seeded faults of the line
# itself (--line-faults): types 2 and 4 with dropped, corrupted, duplicated
# and delayed bytes toward the program (type 2 also with corrupted and
# duplicated bytes of the program's commands), type 1 with dropped and
# delayed bytes only (its marker data carry no checksum: a changed or
# doubled data byte cannot be told from a good one). For each run:
#  - every file saved equals (cmp) the picture the simulator serves in its
#    place; a type-4 movie is read by ffprobe as rawvideo of the frames'
#    size and count, its frames equal to djpeg's decoding of the parts;
#  - a run that saved fewer than all pictures exits non-zero with a message
#    on stderr; one that saved all exits 0; nothing but DSC files is left;
#  - the faults did happen, and at least one picture got through them;
#  - the run ends within its deadline: a few seconds, plus the stalls, plus
#    for each byte dropped, changed or doubled at most one reply deadline
#    of the program (10 s): a lost byte leaves a reply short, a changed
#    frame kind announces a longer one, a doubled one hides the header, and
#    the program waits out its deadline once, then asks again.
# With FQ_LINE_FAULT_RUNS=N in the environment, N more runs per type follow
# at three times the fault rates and other seeds, with the same checks
# except that a run may save nothing; a summary counts the pictures saved
# and the ones lost and reported.
# Usage: camsim_line_faults_peer.sh BUILD_DIR (the folder holding fqtool).
set -uo pipefail
build=$(cd "${1:?usage: camsim_line_faults_peer.sh BUILD_DIR}" && pwd)
FQ="$build/fqtool"
SIM="$build/tools/camsim/fqcamsim"
[[ -x $FQ && -x $SIM ]] || { echo "no fqtool or fqcamsim in $build"; exit 1; }
for t in convert djpeg ffprobe ffmpeg; do command -v $t >/dev/null || { echo "$t is not installed"; exit 1; }; done

work=$(mktemp -d)
sim_pid=
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

pics=$work/pics
mkdir -p "$pics/e.movie"
convert -seed 1 -size 240x180 plasma:fractal -quality 85 "$pics/a.jpg"
convert -seed 2 -size 240x180 plasma:fractal -quality 85 "$pics/b.jpg"
convert -size 200x150 gradient:red-blue -quality 90 "$pics/c.jpg"
convert -seed 4 -size 232x176 plasma:fractal -quality 80 "$pics/d.jpg"
for i in 1 2 3; do convert -seed $((10 + i)) -size 64x48 plasma:fractal "$pics/e.movie/$i.jpg"; done
stills=("$pics/a.jpg" "$pics/b.jpg" "$pics/c.jpg" "$pics/d.jpg")
require_saved=1
total_saved=0 total_lost=0 total_runs=0

# run TYPE FAULTS...: one "camera get --all" on a fresh simulator.
run() {
  local type=$1 out=$work/out$1-$total_runs pty= i spec
  shift
  local faults=() what=
  for spec in "$@"; do faults+=(--line-faults "$spec"); what+=" $spec"; done
  mkdir -p "$out"
  "$SIM" --type "$type" --folder "$pics" "${faults[@]}" </dev/null >"$work/sim.out" 2>"$work/sim.err" &
  sim_pid=$!
  for i in $(seq 1 50); do
    pty=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
    [ -n "$pty" ] && break
    sleep 0.1
  done
  [[ $pty == /dev/pts/* ]] || { fail "type $type: the simulator gave no terminal"; return; }
  local start=$(date +%s.%N) rc=0
  timeout 120 "$FQ" camera get --port "$pty" --speed 115200 --folder "$out" --all >"$work/get.out" 2>"$work/get.err" || rc=$?
  local secs=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
  kill "$sim_pid" 2>/dev/null
  wait "$sim_pid" 2>/dev/null
  sim_pid=
  local counts=$(grep 'line faults' "$work/sim.err" | sed 's/^fqcamsim: //')
  local saved=$(wc -l <"$work/get.out")
  local expected=$((type == 4 ? 5 : 4))
  echo "type $type (line faults$what): exit $rc, $saved of $expected saved in $secs s"
  sed 's/^/  /' <<<"$counts"
  tr '\r' '\n' <"$work/get.err" | grep '^fqtool:' | sed 's/^/  /'

  # The faults did happen; and the deadline.
  local dropped=0 corrupted=0 duplicated=0 delayed=0 n
  while read -r line; do
    n=$(sed -n 's/.*: \([0-9]*\) dropped, \([0-9]*\) corrupted, \([0-9]*\) duplicated, \([0-9]*\) delayed.*/\1 \2 \3 \4/p' <<<"$line")
    [ -n "$n" ] || continue
    set -- $n
    dropped=$((dropped + $1)) corrupted=$((corrupted + $2)) duplicated=$((duplicated + $3)) delayed=$((delayed + $4))
  done <<<"$counts"
  if [ "$type" = 1 ]; then
    [ "$dropped" -gt 0 ] || fail "type 1: no byte was dropped"
    [ $((corrupted + duplicated)) = 0 ] || fail "type 1: bytes were changed or doubled"
  else
    [ $((dropped + corrupted + duplicated)) -gt 0 ] || fail "type $type: no byte was lost, changed or doubled"
  fi
  local deadline=$((8 + 10 * (dropped + corrupted + duplicated) + (delayed * 40 + 999) / 1000))
  awk -v s="$secs" -v d="$deadline" 'BEGIN { exit !(s <= d) }' ||
    fail "type $type: took $secs s, deadline $deadline s"
  [ "$rc" != 124 ] || fail "type $type: fqtool did not end"

  # Every saved file equals its source; what was not saved was reported.
  [ "$saved" -ge 1 ] || [ $require_saved = 0 ] || fail "type $type: nothing got through the faults"
  total_runs=$((total_runs + 1)) total_saved=$((total_saved + saved)) total_lost=$((total_lost + expected - saved))
  local k=0 f
  while read -r f; do
    k=$((k + 1))
    if [ $k -le 4 ]; then
      [ "$f" = "$(printf '%s/DSC%04d.jpg' "$out" $k)" ] || fail "type $type: file $k saved as $f"
      cmp -s "${stills[$((k - 1))]}" "$f" || fail "type $type: $f differs from ${stills[$((k - 1))]}"
    else
      [ "$f" = "$out/DSC0005.avi" ] || fail "type $type: the movie saved as $f"
      local probe=$(ffprobe -v error -select_streams v:0 -count_frames \
        -show_entries stream=codec_name,width,height,nb_read_frames -of csv=p=0 "$f")
      [ "$probe" = "rawvideo,64,48,3" ] || fail "type $type: the movie reads as '$probe'"
      ffmpeg -v error -y -i "$f" -f rawvideo -pix_fmt rgb24 "$work/movie.rgb"
      : >"$work/parts.rgb"
      for i in 1 2 3; do djpeg -pnm "$pics/e.movie/$i.jpg" | tail -c $((64 * 48 * 3)) >>"$work/parts.rgb"; done
      cmp -s "$work/movie.rgb" "$work/parts.rgb" || fail "type $type: the movie's frames differ from djpeg's"
    fi
  done <"$work/get.out"
  if [ "$saved" -lt "$expected" ]; then
    [ "$rc" != 0 ] || fail "type $type: $saved of $expected saved, but exit 0"
    grep -q '^fqtool: \|fqtool: ' "$work/get.err" || fail "type $type: $saved of $expected saved without a message"
  else
    [ "$rc" = 0 ] || fail "type $type: everything saved, but exit $rc"
  fi
  local left=$(ls -A "$out" | grep -v '^DSC[0-9]\{4\}\.\(jpg\|avi\)$' | grep -vx '.fqtool-camera-record' || true)
  [ -z "$left" ] || fail "type $type: left in the folder: $left"
}

run 2 "corrupt=0.0001,dup=0.0001,delay=0.0001,delay-ms=40,seed=11" "corrupt=0.003,dup=0.002,seed=31,dir=in"
run 4 "corrupt=0.0001,dup=0.0001,delay=0.0001,delay-ms=40,drop=0.00002,seed=12"
run 1 "drop=0.00005,delay=0.0001,delay-ms=40,seed=21"

require_saved=0
for i in $(seq 1 "${FQ_LINE_FAULT_RUNS:-0}"); do
  run 2 "corrupt=0.0003,dup=0.0003,delay=0.0003,delay-ms=40,drop=0.00003,seed=$((100 + i))" \
    "corrupt=0.009,dup=0.006,seed=$((200 + i)),dir=in"
  run 4 "corrupt=0.0003,dup=0.0003,delay=0.0003,delay-ms=40,drop=0.00003,seed=$((300 + i))"
  run 1 "drop=0.00015,delay=0.0003,delay-ms=40,seed=$((400 + i))"
done
echo "$total_runs runs: $total_saved pictures saved, each equal to its source; $total_lost not saved, each run that lost one ended non-zero with a message"

[ $failures = 0 ] && echo PASS
exit $((failures > 0))
