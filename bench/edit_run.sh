#!/usr/bin/env bash
# The picture editor against ImageMagick on the same 2048 × 1536 24-bit BMP
# in the same run. Ours: in-process (Google Benchmark, edit_bench), the road
# after OK. ImageMagick's share of each edit, timed with hyperfine at its
# default threads and with -limit thread 1, two ways: its whole command less
# the plain copy `convert in.bmp BMP3:out.bmp`, and the edit written to
# null: less the read `convert in.bmp null:` (the first charges a size
# change for writing a smaller file than the copy's; the second leaves all
# writing out). Wall-clock medians and processor time (user + system).
# Prints the tables for bench/RESULTS.md.
# Usage: bench/edit_run.sh [build folder] [runs]   (default: build-bench, Release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
runs=${2:-10}
IM=/usr/bin/convert
if [ ! -x "$build/edit_bench" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DFQ_WINE=OFF -DFQ_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2 --target edit_bench
fi
command -v hyperfine >/dev/null || { echo "hyperfine is needed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
in=$work/in.bmp
$IM -seed 1 -size 2048x1536 plasma:fractal -type TrueColor BMP3:"$in"

echo "== ours, in process (Google Benchmark, median of 5)"
FQ_BENCH_BMP="$in" "$build/edit_bench" --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_out="$work/ours.json" \
  --benchmark_out_format=json

declare -A ops=(
  [adjust]="-brightness-contrast 20x30 -modulate 100,140"
  [auto]="-auto-level -modulate 100,130"
  [resize1024]="-filter Triangle -resize 1024x768!"
  [resize1920]="-filter Triangle -resize 1920x1440!"
  [rotate]="-rotate 90"
)
for threads in default 1; do
  limit=""
  [ "$threads" = 1 ] && limit="-limit thread 1"
  args=(-n copy "$IM $limit $in BMP3:$work/copy.bmp" -n read "$IM $limit $in null:")
  for k in adjust auto resize1024 resize1920 rotate; do
    args+=(-n "$k" "$IM $limit $in ${ops[$k]} BMP3:$work/$k.bmp")
    args+=(-n "$k-null" "$IM $limit $in ${ops[$k]} null:")
  done
  echo "== ImageMagick, threads: $threads (hyperfine, median of $runs)"
  hyperfine -N --warmup 2 --runs "$runs" --export-json "$work/im_$threads.json" "${args[@]}" >/dev/null
done

python3 - "$work" <<'EOF'
import json, sys
work = sys.argv[1]
ours, ours_cpu = {}, {}
for b in json.load(open(f"{work}/ours.json"))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        ours[b["run_name"]] = b["real_time"]
        ours_cpu[b["run_name"]] = b["cpu_time"]
def load(threads):
    res = json.load(open(f"{work}/im_{threads}.json"))["results"]
    wall = {x["command"]: x["median"] * 1000 for x in res}
    cpu = {x["command"]: (x["user"] + x["system"]) * 1000 for x in res}
    return wall, cpu
rows = [("Manual adjustment (20, 30, 40, 50)", "BM_AdjustManual", "adjust"),
        ("Automatic adjustment", "BM_AdjustAutomatic", "auto"),
        ("Size change to 1024 x 768", "BM_Resize/1024/768", "resize1024"),
        ("Size change to 1920 x 1440", "BM_Resize/1920/1440", "resize1920"),
        ("Rotate right", "BM_RotateRight", "rotate")]
for kind, mine in (("Wall-clock time (medians)", ours), ("Processor time (user + system)", ours_cpu)):
    print(f"{kind}; ImageMagick: command less copy / to null: less read")
    print("| edit | ours (ms) | ImageMagick (ms) | ratio | ImageMagick, 1 thread (ms) | ratio |")
    print("|---|---:|---:|---:|---:|---:|")
    idx = 0 if kind.startswith("Wall") else 1
    d, one = load("default")[idx], load("1")[idx]
    for label, b, k in rows:
        o = mine[b]
        cells = []
        for t in (d, one):
            a, n = t[k] - t["copy"], t[k + "-null"] - t["read"]
            cells.append(f"{a:.0f} / {n:.0f} | {a / o:.1f}x / {n / o:.1f}x")
        print(f"| {label} | {o:.1f} | " + " | ".join(cells) + " |")
    print()
EOF
