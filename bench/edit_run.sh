#!/usr/bin/env bash
# The picture editor against ImageMagick on the same 2048 × 1536 24-bit BMP
# in the same run. Ours: in-process (Google Benchmark, edit_bench), the road
# after OK. ImageMagick's share of each edit: its whole command less the
# plain copy `convert in.bmp BMP3:out.bmp` (reading, writing, start-up),
# timed with hyperfine, at its default threads and with -limit thread 1.
# Prints the table for bench/RESULTS.md.
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
  args=(-n copy "$IM $limit $in BMP3:$work/copy.bmp")
  for k in adjust auto resize1024 resize1920 rotate; do
    args+=(-n "$k" "$IM $limit $in ${ops[$k]} BMP3:$work/$k.bmp")
  done
  echo "== ImageMagick, threads: $threads (hyperfine, median of $runs)"
  hyperfine -N --warmup 2 --runs "$runs" --export-json "$work/im_$threads.json" "${args[@]}" >/dev/null
done

python3 - "$work" <<'EOF'
import json, sys
work = sys.argv[1]
ours = {}
for b in json.load(open(f"{work}/ours.json"))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        ours[b["run_name"]] = b["real_time"]
def im(threads):
    r = {x["command"]: x["median"] * 1000 for x in json.load(open(f"{work}/im_{threads}.json"))["results"]}
    return {k: v - r["copy"] for k, v in r.items() if k != "copy"}, r["copy"]
imd, copy_d = im("default")
im1, copy_1 = im("1")
rows = [("Manual adjustment (20, 30, 40, 50)", "BM_AdjustManual", "adjust"),
        ("Automatic adjustment", "BM_AdjustAutomatic", "auto"),
        ("Size change to 1024 x 768", "BM_Resize/1024/768", "resize1024"),
        ("Size change to 1920 x 1440", "BM_Resize/1920/1440", "resize1920"),
        ("Rotate right", "BM_RotateRight", "rotate")]
print(f"copy command: {copy_d:.1f} ms (default threads), {copy_1:.1f} ms (one thread)")
print("| edit | ours (ms) | ImageMagick (ms) | ratio | ImageMagick, 1 thread (ms) | ratio |")
print("|---|---:|---:|---:|---:|---:|")
for label, b, k in rows:
    o = ours[b]
    print(f"| {label} | {o:.1f} | {imd[k]:.1f} | {imd[k]/o:.1f}x | {im1[k]:.1f} | {im1[k]/o:.1f}x |")
EOF
