#!/usr/bin/env bash
# Runs the picture benchmarks of a build folder and times ImageMagick doing
# the same work on the same 1600 × 1200 file in the same run, then prints
# one table of both. Builds nothing.
# Usage: bench/run.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:?usage: bench/run.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-10}
IM=/usr/bin/convert
bench="$build/image_bench"
fqtool="$build/fqtool"
for p in "$bench" "$fqtool" "$IM"; do
  [[ -x $p ]] || { echo "missing $p"; exit 1; }
done
command -v hyperfine >/dev/null || { echo "hyperfine is needed"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
in="$work/in.bmp"
$IM -seed 1 -size 1600x1200 plasma:fractal -type TrueColor BMP3:"$in"

echo "== ours, in process (Google Benchmark)"
FQ_BENCH_BMP="$in" "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/ours.json" --benchmark_out_format=json

echo "== whole programs, ours and ImageMagick (hyperfine)"
# ImageMagick's equivalents: -colors 256 without dithering is its own
# quantiser (an octree, not a popularity count); -filter Triangle is its
# bilinear filter, applied with its own support and rounding.
hyperfine --warmup 2 --runs "$runs" --export-json "$work/progs.json" \
  -n im-start "$IM -size 1x1 xc:white null:" \
  -n im-read "$IM $in null:" \
  -n im-copy "$IM $in BMP3:$work/im24.bmp" \
  -n im-reduce "$IM $in +dither -colors 256 -type Palette -compress None BMP3:$work/im8.bmp" \
  -n im-resize "$IM $in -filter Triangle -resize 640x480! BMP3:$work/imsmall.bmp" \
  -n fq-copy "$fqtool convert $in $work/fq24.bmp --bits 24" \
  -n fq-reduce "$fqtool convert $in $work/fq8.bmp --bits 8" \
  -n fq-resize "$fqtool convert $in $work/fqsmall.bmp --size 640x480"

python3 - "$work/ours.json" "$work/progs.json" <<'EOF'
import json, sys
ours = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        scale = {"ms": 1.0, "us": 1e-3, "ns": 1e-6}[b["time_unit"]]
        ours[b["run_name"]] = b["real_time"] * scale
progs = {r["command"]: r["median"] * 1000 for r in json.load(open(sys.argv[2]))["results"]}
# ImageMagick's share of each step: the whole command less what it shares
# with a cheaper one (start-up, reading, writing the 24-bit file).
im = {
    "BMP read": progs["im-read"] - progs["im-start"],
    "BMP write": progs["im-copy"] - progs["im-read"],
    "ReduceTo256": progs["im-reduce"] - progs["im-copy"],
    "ResampleBilinear": progs["im-resize"] - progs["im-read"],
}
rows = [
    ("BMP read 1600x1200x24", ours["BM_BmpRead"], im["BMP read"]),
    ("BMP write 1600x1200x24", ours["BM_BmpWrite"], im["BMP write"]),
    ("Reduce to 256 colours", ours["BM_ReduceTo256"], im["ReduceTo256"]),
    ("Bilinear 1600x1200 -> 640x480", ours["BM_ResampleBilinear"], im["ResampleBilinear"]),
    ("program: copy 24-bit BMP", progs["fq-copy"], progs["im-copy"]),
    ("program: save as 256 colours", progs["fq-reduce"], progs["im-reduce"]),
    ("program: size change to 640x480", progs["fq-resize"], progs["im-resize"]),
]
print()
print("| operation | ours (ms) | ImageMagick (ms) | ImageMagick / ours |")
print("|---|---:|---:|---:|")
for name, a, b in rows:
    print(f"| {name} | {a:.2f} | {b:.2f} | {b / a:.1f}x |")
print(f"\nImageMagick start-up alone: {progs['im-start']:.2f} ms (median)")
EOF
