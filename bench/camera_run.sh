#!/usr/bin/env bash
# Camera benchmarks, all in one run (bench/RESULTS.md, "Camera transfers"):
#
#  1. download in line time: `camera_transfer_bench download`, the program's
#     download loop against the simulator on the rate-emulated in-memory
#     line, types 1, 2 and 4 at 38400 and 115200, with the simulator's
#     answer delay of 2 ms and with none;
#  2. upload in line time: `camera_transfer_bench upload`, type 1 at 38400,
#     types 2, 3 and 4 at 38400 and 115200;
#  3. port search: COM1 silent, COM2 missing, the camera on COM3;
#  4. type-1 size fitting of 50 pictures of 640 x 480 (ImageMagick, varied
#     content and qualities, 2x1 sampling so that every one is re-encoded)
#     beside `djpeg | cjpeg -sample 4x1,1x1,1x1 -quality Q` making the same
#     passes at the same qualities, both whole processes, hyperfine;
#  5. a 100-frame movie made by the program's AVI writer beside ffmpeg
#     making the same AVI (rawvideo bgr24, 10 frames/s) from the same JPEG
#     frames, hyperfine, both checked with ffprobe.
#
#   bench/camera_run.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:?usage: camera_run.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-10}
src=$(cd "$(dirname "$0")/.." && pwd)
[ -x "$build/camera_transfer_bench" ] || cmake --build "$build" -j2 --target camera_transfer_bench
bench="$build/camera_transfer_bench"
work=$(mktemp -d)
trap '[ -n "${FQ_KEEP:-}" ] || rm -rf "$work"' EXIT

echo "# Camera transfers, $(date -u +%Y-%m-%d), $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg)"

# ---- inputs ----
mkdir -p "$work/get" "$work/up41" "$work/up21" "$work/fit" "$work/fitout" "$work/peerout" "$work/frames" "$work/scratch"
for i in 1 2 3 4 5 6; do
  convert -seed $i -size 480x360 plasma:fractal -quality 92 "$work/get/p$i.jpg"
  convert -seed $((i + 10)) -size 640x480 plasma:fractal ppm:"$work/u.ppm"
  cjpeg -quality 75 -sample 4x1,1x1,1x1 "$work/u.ppm" >"$work/up41/u$i.jpg"
  cjpeg -quality 85 -sample 2x1,1x1,1x1 "$work/u.ppm" >"$work/up21/u$i.jpg"
done
# Fifty pictures of five kinds at ten qualities: smooth and rough, flat and
# busy, so that they start in every size class and need from one pass to
# several.
n=0
for kind in plasma noisy gradient checks blurred; do
  for q in 35 45 55 65 72 80 86 90 94 97; do
    n=$((n + 1))
    case $kind in
      plasma) convert -seed $n -size 640x480 plasma:fractal "$work/f.ppm" ;;
      noisy)  # at 97 the noise would pass the largest class the camera takes
        [ $q -le 94 ] || q=92
        convert -seed $n -size 640x480 plasma:fractal -attenuate 0.6 +noise Gaussian "$work/f.ppm" ;;
      gradient) convert -size 640x480 gradient:"rgb($((n * 5)),40,200)"-"rgb(250,$((n * 4)),20)" -swirl $((n * 7)) "$work/f.ppm" ;;
      checks) convert -size 640x480 pattern:checkerboard -fill "rgb(200,$((n * 5)),60)" -draw "circle 320,240 320,$((40 + n))" -seed $n -attenuate 0.2 +noise Uniform "$work/f.ppm" ;;
      blurred) convert -seed $n -size 640x480 plasma:fractal -blur 0x4 "$work/f.ppm" ;;
    esac
    cjpeg -quality $q -sample 2x1,1x1,1x1 "$work/f.ppm" >"$(printf '%s/fit/f%02d.jpg' "$work" $n)"
  done
done
for i in $(seq -w 1 100); do
  convert -size 320x240 gradient:"rgb($((10#$i * 2)),30,90)"-"rgb(240,200,$((10#$i)))" \
    -fill white -draw "circle $((10#$i * 3)),120 $((10#$i * 3 + 20)),120" -quality 85 "$work/frames/f$i.jpg"
done

echo
echo "## 1. Download, line time (answer delay 2 ms)"
"$bench" download "$work/get" "$work/scratch" 2000
echo
echo "## 1b. Download, line time (no answer delay)"
"$bench" download "$work/get" "$work/scratch" 0 2>/dev/null

echo
echo "## 2. Upload, line time (answer delay 2 ms)"
"$bench" upload "$work/up41" "$work/up21" 2000
echo
echo "## 3. Port search"
"$bench" search

echo
echo "## 4. Type-1 size fitting, 50 pictures of 640 x 480"
"$bench" fit "$work/fitout" "$work"/fit/*.jpg >"$work/plan.txt" 2>"$work/fit.err" ||
  echo "fit: not every picture was fitted (below)"
cat "$work/fit.err"
# The peer makes the same passes: per picture, one decode and encode for
# each quality the program tried, the last one kept.
{
  echo "set -e"
  tail -n +2 "$work/plan.txt" | while read -r name cls bytes passes qualities final landed ms; do
    for q in ${qualities//,/ }; do
      echo "djpeg '$work/fit/$name' | cjpeg -sample 4x1,1x1,1x1 -quality $q >'$work/peerout/$name'"
    done
  done
} >"$work/peer.sh"
hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/fit.json" \
  -n ours "$bench fit --quiet $work/fitout $(echo "$work"/fit/*.jpg)" \
  -n peer "bash $work/peer.sh" >/dev/null
python3 - "$work/plan.txt" "$work/fit.json" "$work/peerout" <<'EOF'
import json, os, sys
plan = [l.split() for l in open(sys.argv[1]).read().splitlines()[1:]]
res = {r["command"]: r for r in json.load(open(sys.argv[2]))["results"]}
o, p = res["ours"], res["peer"]
def cpu(r): return (r["user"] + r["system"]) * 1e3
passes = sum(int(x[3]) for x in plan)
landed = sum(x[6] == "yes" for x in plan)
by_class = {}
for x in plan:
    by_class.setdefault(x[1], [0, 0, 0])
    by_class[x[1]][0] += 1; by_class[x[1]][1] += int(x[3]); by_class[x[1]][2] += x[6] == "yes"
print(f"pictures {len(plan)}, passes {passes}, landed in their window {landed}")
for c in sorted(by_class):
    n, ps, l = by_class[c]
    print(f"  class {c}: {n} pictures, {ps} passes, {l} landed")
ours_sizes = sum(int(x[5]) for x in plan)
peer_sizes = sum(os.path.getsize(os.path.join(sys.argv[3], x[0])) for x in plan)
print(f"final bytes: ours {ours_sizes}, peer at the same qualities {peer_sizes}")
print("| | wall median (ms) | CPU (ms) |")
print("|---|---:|---:|")
print(f"| ours (one process) | {o['median']*1e3:.0f} | {cpu(o):.0f} |")
print(f"| djpeg \\| cjpeg, same passes | {p['median']*1e3:.0f} | {cpu(p):.0f} |")
print(f"ours / peer: wall {o['median']/p['median']:.2f}x, CPU {cpu(o)/cpu(p):.2f}x")
EOF
# Every fitted picture is a JPEG with 4x1 sampling, as the camera needs.
bad=0
for f in "$work"/fitout/*.jpg; do
  s=$(identify -format '%[jpeg:sampling-factor]' "$f")
  [ "$s" = "4x1,1x1,1x1" ] || { echo "$f: sampling $s"; bad=$((bad + 1)); }
  djpeg "$f" >/dev/null || bad=$((bad + 1))
done
echo "fitted pictures read by djpeg with 4x1 sampling: $(( $(ls "$work"/fitout/*.jpg | wc -l) - bad )) of $(ls "$work"/fitout/*.jpg | wc -l)"

echo
echo "## 5. Movie of 100 frames of 320 x 240"
hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/movie.json" \
  -n ours "$bench movie $work/ours.avi 0 $(echo "$work"/frames/f*.jpg)" \
  -n ffmpeg "ffmpeg -loglevel error -y -framerate 10 -i $work/frames/f%03d.jpg -c:v rawvideo -pix_fmt bgr24 $work/ffmpeg.avi" >/dev/null
for m in ours ffmpeg; do
  echo "$m: $(ffprobe -v error -count_frames -select_streams v:0 \
    -show_entries stream=codec_name,pix_fmt,width,height,nb_read_frames,r_frame_rate -of csv=p=0 "$work/$m.avi"), $(stat -c %s "$work/$m.avi") bytes"
done
# The frames themselves: the same pictures in both files (each decoder's
# own rounding aside), compared through ffmpeg as bgr24.
ffmpeg -loglevel error -i "$work/ours.avi" -f rawvideo -pix_fmt bgr24 "$work/ours.raw"
ffmpeg -loglevel error -i "$work/ffmpeg.avi" -f rawvideo -pix_fmt bgr24 "$work/ffmpeg.raw"
for f in "$work"/frames/f*.jpg; do djpeg -ppm "$f" | tail -c $((320 * 240 * 3)); done >"$work/djpeg.rgb"
python3 - "$work/ours.raw" "$work/ffmpeg.raw" "$work/movie.json" "$work/djpeg.rgb" <<'EOF'
import json, sys
a, b = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
d = open(sys.argv[4], "rb").read()
diff = max((abs(x - y) for x, y in zip(a, b)), default=-1) if len(a) == len(b) else None
print(f"frames as ffmpeg reads them back: ours {len(a)} bytes, ffmpeg's {len(b)} bytes, largest difference {diff}")
# djpeg's pixels are red-green-blue, the movie's blue-green-red.
rgb = bytearray(a)
rgb[0::3], rgb[2::3] = a[2::3], a[0::3]
print("our frames equal to djpeg's output:", "yes" if bytes(rgb) == d else "NO")
res = {r["command"]: r for r in json.load(open(sys.argv[3]))["results"]}
o, f = res["ours"], res["ffmpeg"]
def cpu(r): return (r["user"] + r["system"]) * 1e3
print("| | wall median (ms) | CPU (ms) |")
print("|---|---:|---:|")
print(f"| ours (one process) | {o['median']*1e3:.0f} | {cpu(o):.0f} |")
print(f"| ffmpeg | {f['median']*1e3:.0f} | {cpu(f):.0f} |")
print(f"ours / ffmpeg: wall {o['median']/f['median']:.2f}x, CPU {cpu(o)/cpu(f):.2f}x")
EOF
