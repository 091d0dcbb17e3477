#!/usr/bin/env bash
# JPEG peer agreement: files fqtool writes decode with djpeg and carry the
# program's quantisation tables scaled for each quality; JPEGs made by cjpeg
# and ImageMagick in several samplings decode to exactly djpeg's pixels.
# Argument: the build folder holding fqtool.
set -euo pipefail
build=${1:?build folder}
fqtool="$build/fqtool"
convert=/usr/bin/convert
compare=/usr/bin/compare
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
ok() { echo "ok   $*"; }
bad() { echo "FAIL $*"; fail=1; }

# A 203 × 131 picture with gradients, edges and noise (odd sizes on purpose).
python3 - "$tmp/src.ppm" <<'PY'
import sys, random
random.seed(5)
w, h = 203, 131
px = bytearray()
for y in range(h):
    for x in range(w):
        edge = 200 if (x // 17 + y // 13) % 2 else 30
        px += bytes(((x * 255 // w) & 255, (y * 255 // h + random.randrange(8)) & 255,
                     (edge + random.randrange(20)) & 255))
open(sys.argv[1], "wb").write(b"P6 %d %d 255\n" % (w, h) + px)
PY
$convert "$tmp/src.ppm" BMP3:"$tmp/src.bmp"

# Reads the DQT tables (natural order) and the SOF component sampling bytes.
cat > "$tmp/jpeg_tables.py" <<'PY'
import sys
ZZ = [0,1,8,16,9,2,3,10,17,24,32,25,18,11,4,5,12,19,26,33,40,48,41,34,27,20,13,6,7,14,21,28,
      35,42,49,56,57,50,43,36,29,22,15,23,30,37,44,51,58,59,52,45,38,31,39,46,53,60,61,54,47,55,62,63]
LUM = [8,5,5,8,12,20,25,30, 6,6,7,9,13,29,30,33, 7,6,8,12,20,28,34,28, 7,8,11,14,25,43,40,31,
       9,11,18,28,34,54,51,38, 12,18,27,32,40,52,56,46, 24,32,39,43,51,60,60,50, 36,46,47,49,61,50,51,49]
CHR = [8,9,12,23] + [49]*4 + [9,10,13,33] + [49]*4 + [12,13,28] + [49]*5 + [23,33] + [49]*6 + [49]*32
def scaled(base, q):
    q = min(max(q, 1), 100)
    s = 5000 // q if q < 50 else 200 - 2 * q
    return [min(max((b * s + 50) // 100, 1), 255) for b in base]
data = open(sys.argv[1], "rb").read()
q = int(sys.argv[2]); want_sampling = sys.argv[3]
tables, sof, i = {}, None, 2
while i + 4 <= len(data) and data[i] == 0xFF:
    m, n = data[i + 1], (data[i + 2] << 8) | data[i + 3]
    seg = data[i + 4:i + 2 + n]
    if m == 0xDB:
        k = 0
        while k + 65 <= len(seg):
            t = [0] * 64
            for j in range(64): t[ZZ[j]] = seg[k + 1 + j]
            tables[seg[k] & 15] = t; k += 65
    if m == 0xC0: sof = seg
    if m == 0xDA: break
    i += 2 + n
errors = []
if tables.get(0) != scaled(LUM, q): errors.append("luminance table")
if tables.get(1) != scaled(CHR, q): errors.append("chrominance table")
got = ",".join("%dx%d" % (sof[7 + 3 * c] >> 4, sof[7 + 3 * c] & 15) for c in range(sof[5])) if sof else "no baseline SOF"
if got != want_sampling: errors.append("sampling %s" % got)
print("; ".join(errors)); sys.exit(1 if errors else 0)
PY

# 1. What we write.
for pair in standard:75 low:55 high:95 33:33 100:100; do
  name=${pair%%:*}; q=${pair##*:}
  for sampling in 2x1,1x1,1x1 4x1,1x1,1x1; do
    out="$tmp/w_${name}_${sampling%%,*}.jpg"
    if ! "$fqtool" convert "$tmp/src.bmp" "$out" --quality "$name" --sampling "$sampling"; then
      bad "fqtool writes quality $name $sampling"; continue
    fi
    if ! djpeg -bmp "$out" > "$out.ref.bmp" 2> "$tmp/djpeg.err" || [ -s "$tmp/djpeg.err" ]; then
      bad "djpeg reads our $name $sampling file: $(cat "$tmp/djpeg.err")"; continue
    fi
    if msg=$(python3 "$tmp/jpeg_tables.py" "$out" "$q" "$sampling"); then
      ok "tables and sampling of quality $name ($q) $sampling"
    else
      bad "quality $name $sampling: $msg"
    fi
    "$fqtool" convert "$out" "$out.our.bmp"
    ae=$($compare -metric AE "$out.our.bmp" "$out.ref.bmp" null: 2>&1 || true)
    [ "$ae" = 0 ] && ok "our decode of our $name $sampling file = djpeg" || bad "our decode of our $name file: AE $ae"
  done
done

# 2. What others write.
make_peers() {
  cjpeg -quality 85 -sample 1x1 "$tmp/src.ppm" > "$tmp/p_cjpeg_444.jpg"
  cjpeg -quality 85 -sample 2x1 "$tmp/src.ppm" > "$tmp/p_cjpeg_422.jpg"
  cjpeg -quality 85 -sample 2x2 "$tmp/src.ppm" > "$tmp/p_cjpeg_420.jpg"
  cjpeg -quality 85 -progressive "$tmp/src.ppm" > "$tmp/p_cjpeg_progressive.jpg"
  cjpeg -quality 85 -restart 2 -optimize "$tmp/src.ppm" > "$tmp/p_cjpeg_restart_optimized.jpg"
  cjpeg -quality 85 -grayscale "$tmp/src.ppm" > "$tmp/p_cjpeg_grey.jpg"
  cjpeg -quality 85 -arithmetic "$tmp/src.ppm" > "$tmp/p_cjpeg_arithmetic.jpg"
  $convert "$tmp/src.ppm" -quality 90 -sampling-factor 4:4:4 "$tmp/p_im_444.jpg"
  $convert "$tmp/src.ppm" -quality 90 -sampling-factor 4:2:2 "$tmp/p_im_422.jpg"
  $convert "$tmp/src.ppm" -quality 90 -sampling-factor 4:2:0 "$tmp/p_im_420.jpg"
  $convert "$tmp/src.ppm" -quality 90 -interlace Plane "$tmp/p_im_progressive.jpg"
  $convert "$tmp/src.ppm" -quality 90 -colorspace Gray "$tmp/p_im_grey.jpg"
  $convert "$tmp/src.ppm" -quality 50 -density 72 -units PixelsPerCentimeter "$tmp/p_im_density.jpg"
}
make_peers
for f in "$tmp"/p_*.jpg; do
  n=$(basename "$f" .jpg)
  djpeg -bmp "$f" > "$tmp/$n.ref.bmp"
  if ! "$fqtool" convert "$f" "$tmp/$n.our.bmp"; then bad "$n: fqtool could not decode"; continue; fi
  ae=$($compare -metric AE "$tmp/$n.our.bmp" "$tmp/$n.ref.bmp" null: 2>&1 || true)
  [ "$ae" = 0 ] && ok "$n decodes to djpeg's pixels" || bad "$n: AE $ae"
done

# Density in dots per centimetre becomes pixels per metre.
ppm=$(python3 -c 'import struct,sys; print(*struct.unpack_from("<ii", open(sys.argv[1],"rb").read(), 38))' "$tmp/p_im_density.our.bmp")
[ "$ppm" = "7200 7200" ] && ok "density 72 per cm gives 7200 pixels per metre" || bad "pixels per metre: $ppm"

# 3. The header report and the refusals.
info=$("$fqtool" info "$tmp/p_cjpeg_420.jpg")
echo "$info" | grep -q '^sampling: 2x2,1x1,1x1$' && echo "$info" | grep -q '^width: 203$' \
  && ok "info reports size and sampling" || bad "info: $info"
$convert "$tmp/src.ppm" -colorspace CMYK "$tmp/cmyk.jpg"
if "$fqtool" convert "$tmp/cmyk.jpg" "$tmp/cmyk.bmp" 2> "$tmp/cmyk.err"; then
  bad "CMYK accepted"
else
  grep -q "It failed in the creating bitmap." "$tmp/cmyk.err" && ok "CMYK refused as creating bitmap" \
    || bad "CMYK message: $(cat "$tmp/cmyk.err")"
fi
exit $fail
