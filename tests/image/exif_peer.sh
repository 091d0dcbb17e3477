#!/bin/bash
# Exif against exiftool: for JPEG files whose Exif was written by exiftool
# and by our own Save As (fqtool convert), every Image Information field
# fqtool info shows must equal what exiftool reports; exiftool must validate
# our generated segment without errors and extract our thumbnail, which must
# decode to 160 x 120.
# Argument: the build folder holding fqtool.
set -u
build=${1:?build folder}
fqtool=$build/fqtool
convert=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
ok() { echo "ok   $*"; }
bad() { echo "FAIL $*"; failures=$((failures + 1)); }

command -v exiftool > /dev/null || { echo "exiftool missing"; exit 1; }
[ -x "$fqtool" ] || { echo "no fqtool in $build"; exit 1; }

# Compares `fqtool info` with `exiftool -j` (and -v3 for the stored type of
# the pixel dimensions). The rules of the dialog: an Exif file shows Make,
# Model, DateTimeOriginal, DateTime and the Exif IFD's LONG pixel
# dimensions (the frame size when there are none); a file without Exif
# shows the frame size and its last-write time as the date changed.
# exiftool drops trailing blanks of texts, so both sides are compared
# without them.
cat > "$tmp/compare.py" <<'PY'
import json, re, subprocess, sys
path, ours_text = sys.argv[1], open(sys.argv[2]).read()
ours = dict(l.split(": ", 1) if ": " in l else (l.rstrip(":"), "") for l in ours_text.splitlines())
tags = ["Make", "Model", "DateTimeOriginal", "ModifyDate", "ExifImageWidth", "ExifImageHeight",
        "ImageWidth", "ImageHeight", "FileModifyDate", "ExifByteOrder"]
ref = json.loads(subprocess.run(["exiftool", "-j", "-n"] + ["-" + t for t in tags] + [path],
                                capture_output=True, text=True, check=True).stdout)[0]
v3 = subprocess.run(["exiftool", "-v3", path], capture_output=True, text=True).stdout
def long_dim(name):
    m = re.search(name + r" = (\d+)\n.*?\((\d+) bytes, (\w+)\[1\]\)", v3)
    return m is not None and m.group(3) == "int32u"
exif = "ExifByteOrder" in ref
def s(v): return ("" if v is None else str(v)).rstrip()
want = {
    "make": s(ref.get("Make")) if exif else "",
    "model": s(ref.get("Model")) if exif else "",
    "date taken": s(ref.get("DateTimeOriginal")) if exif else "",
    "date changed": s(ref.get("ModifyDate")) if exif else s(ref.get("FileModifyDate"))[:19],
    "picture width": s(ref.get("ExifImageWidth") if exif and long_dim("ExifImageWidth") else ref.get("ImageWidth")),
    "picture height": s(ref.get("ExifImageHeight") if exif and long_dim("ExifImageHeight") else ref.get("ImageHeight")),
}
errors = ["%s: ours %r, exiftool %r" % (k, ours.get(k, "").rstrip(), v)
          for k, v in want.items() if ours.get(k, "").rstrip() != v]
print("; ".join(errors) if errors else ", ".join("%s=%s" % (k, v) for k, v in want.items()))
sys.exit(1 if errors else 0)
PY

check_fields() {  # name file
  if ! "$fqtool" info "$2" > "$tmp/info.txt" 2> "$tmp/info.err"; then
    bad "$1: fqtool info failed: $(cat "$tmp/info.err")"; return
  fi
  if msg=$(python3 "$tmp/compare.py" "$2" "$tmp/info.txt"); then ok "$1: $msg"; else bad "$1: $msg"; fi
}

$convert -size 640x480 gradient:orange-navy -depth 8 "$tmp/land.ppm"
$convert -size 300x400 plasma:fractal -seed 7 -depth 8 "$tmp/port.ppm" 2> /dev/null ||
  $convert -size 300x400 gradient:green-white -depth 8 "$tmp/port.ppm"
cjpeg -quality 85 "$tmp/land.ppm" > "$tmp/plain.jpg"
cjpeg -quality 85 "$tmp/port.ppm" > "$tmp/port.jpg"
$convert "$tmp/port.ppm" BMP3:"$tmp/port.bmp"

# 1. Exif written by exiftool, both byte orders, with and without sizes.
tag_args=(-Make="Peer Camera Co." -Model="PX-100  " -DateTimeOriginal="2003:04:05 06:07:08"
          -ModifyDate="2004:05:06 07:08:09" -ExposureTime=1/125 -FNumber=2.8)
for order in MM II; do
  cp "$tmp/plain.jpg" "$tmp/ex_$order.jpg"
  exiftool -q -overwrite_original -ExifByteOrder=$order "${tag_args[@]}" "$tmp/ex_$order.jpg"
  check_fields "exiftool $order" "$tmp/ex_$order.jpg"
done
cp "$tmp/port.jpg" "$tmp/ex_dims.jpg"
exiftool -q -overwrite_original -Make=Dims -ExifImageWidth=1234 -ExifImageHeight=999 "$tmp/ex_dims.jpg"
check_fields "exiftool short pixel dimensions" "$tmp/ex_dims.jpg"
cp "$tmp/plain.jpg" "$tmp/ex_nodate.jpg"
exiftool -q -overwrite_original -Model=OnlyModel "$tmp/ex_nodate.jpg"
check_fields "exiftool model only" "$tmp/ex_nodate.jpg"
check_fields "no Exif" "$tmp/plain.jpg"

# 2. Our own Save As: from a JPEG and from a bitmap, landscape and portrait.
"$fqtool" convert "$tmp/plain.jpg" "$tmp/ours_land.jpg" || bad "fqtool convert landscape"
"$fqtool" convert "$tmp/port.bmp" "$tmp/ours_port.jpg" --quality high || bad "fqtool convert portrait"
"$fqtool" convert "$tmp/ex_II.jpg" "$tmp/ours_again.jpg" || bad "fqtool convert of an Exif file"
for f in ours_land ours_port ours_again; do
  check_fields "$f" "$tmp/$f.jpg"
  exiftool -validate -warning -error -a "$tmp/$f.jpg" > "$tmp/validate.txt" 2>&1
  if grep -q "^Validate *: OK" "$tmp/validate.txt" && ! grep -qiE "^(warning|error)" "$tmp/validate.txt"; then
    ok "$f: exiftool validates without warnings"
  else
    bad "$f: exiftool -validate: $(tr '\n' ' ' < "$tmp/validate.txt")"
  fi
  if exiftool -b -ThumbnailImage "$tmp/$f.jpg" > "$tmp/thumb.jpg" && [ -s "$tmp/thumb.jpg" ] &&
     djpeg "$tmp/thumb.jpg" > "$tmp/thumb.ppm" 2> "$tmp/djpeg.err" && [ ! -s "$tmp/djpeg.err" ]; then
    size=$(head -c 20 "$tmp/thumb.ppm" | sed -n 2p)
    [ "$size" = "160 120" ] && ok "$f: thumbnail decodes to 160 x 120" || bad "$f: thumbnail size $size"
  else
    bad "$f: no thumbnail extracted or decoded: $(cat "$tmp/djpeg.err" 2> /dev/null)"
  fi
  # The main picture still decodes cleanly.
  djpeg "$tmp/$f.jpg" > /dev/null 2> "$tmp/djpeg.err" && [ ! -s "$tmp/djpeg.err" ] &&
    ok "$f: djpeg reads the picture" || bad "$f: djpeg: $(cat "$tmp/djpeg.err")"
done

# 3. A file of ours edited by exiftool still reads as exiftool reads it.
cp "$tmp/ours_port.jpg" "$tmp/ours_edited.jpg"
exiftool -q -overwrite_original -Make="Changed Maker" -DateTimeOriginal="1999:01:26 01:01:01" "$tmp/ours_edited.jpg"
check_fields "ours edited by exiftool" "$tmp/ours_edited.jpg"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
