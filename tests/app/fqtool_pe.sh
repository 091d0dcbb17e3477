#!/usr/bin/env bash
# The Windows fqtool.exe (tools/build-windows.sh) under Wine, side by side
# with the native fqtool on the same input: "camera list" over the Win32
# serial port (COM1 of the prefix mapped to the simulator's terminal) prints
# what the native tool prints over termios, for a camera of marker frames,
# one of sequenced frames and one of folders; "convert" to JPEG writes, and
# then replaces, a picture whose pixels are those of the native tool's.
# Usage: bash fqtool_pe.sh <build dir>, with FQ_TOOL_EXE naming fqtool.exe.
source "$(dirname "$0")/lib.sh"

tool_exe=${FQ_TOOL_EXE:-$FQ_ROOT/build-windows/fqtool.exe}
if [ ! -f "$tool_exe" ]; then
  echo "SKIP: no program $tool_exe (tools/build-windows.sh builds it)" >&2
  exit 77
fi
sim=$FQ_BUILD/tools/camsim/fqcamsim
native=$FQ_BUILD/fqtool
[ -x "$sim" ] && [ -x "$native" ] || fq_fail "no simulator or native fqtool in $FQ_BUILD"
work=$FQ_ARTIFACTS/$FQ_TEST_NAME
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }

# start_sim TYPE NAME: a simulator serving one connection; sets pty.
start_sim() {
  "$sim" --type "$1" --once </dev/null >"$work/$2.sim" 2>"$work/$2.sim.err" &
  FQ_EXTRA_PIDS+=("$!")
  local i
  pty=
  for i in $(seq 1 50); do
    pty=$(head -n 1 "$work/$2.sim" 2>/dev/null || true)
    [ -n "$pty" ] && break
    sleep 0.1
  done
  [[ $pty == /dev/pts/* ]] || fq_fail "type $1: the simulator gave no terminal"
}

for type in 1 2 4; do
  start_sim "$type" "pe$type"
  fq_map_com_port COM1 "$pty"
  fq_start_wineserver
  rc=0
  timeout 120 "$WINELOADER" "$tool_exe" camera list --port COM1 </dev/null >"$work/pe$type.out" 2>&1 || rc=$?
  tr -d '\r' <"$work/pe$type.out" >"$work/pe$type.txt"
  [ $rc -eq 0 ] || fq_fail "type $type: fqtool.exe exited with $rc: $(cat "$work/pe$type.txt")"

  start_sim "$type" "native$type"
  timeout 120 "$native" camera list --port "$pty" </dev/null >"$work/native$type.txt" 2>&1 ||
    fq_fail "type $type: the native fqtool failed: $(cat "$work/native$type.txt")"
  grep -qx "camera type $type" "$work/pe$type.txt" || fq_fail "type $type: no camera type line"
  diff "$work/native$type.txt" "$work/pe$type.txt" ||
    fq_fail "type $type: fqtool.exe and the native fqtool list differently"
  echo "type $type: $(wc -l <"$work/pe$type.txt") lines alike"
done

/usr/bin/convert -size 200x150 gradient:teal-yellow "BMP3:$work/in.bmp" || fq_fail "no test picture"
"$native" convert "$work/in.bmp" "$work/native.jpg" || fq_fail "native convert"
for pass in write replace; do
  timeout 60 "$WINELOADER" "$tool_exe" convert "$(winpath "$work/in.bmp")" "$(winpath "$work/pe.jpg")" \
    </dev/null >"$work/convert.out" 2>&1 || fq_fail "fqtool.exe convert ($pass): $(tr -d '\r' <"$work/convert.out")"
done
djpeg "$work/pe.jpg" >"$work/pe.ppm" || fq_fail "djpeg cannot read fqtool.exe's JPEG"
djpeg "$work/native.jpg" >"$work/native.ppm"
cmp -s "$work/pe.ppm" "$work/native.ppm" || fq_fail "fqtool.exe's JPEG decodes to other pixels"
exiftool -b -ThumbnailImage "$work/pe.jpg" >"$work/thumb.jpg"
[ -s "$work/thumb.jpg" ] || fq_fail "fqtool.exe's JPEG has no Exif thumbnail"
[ "$(ls "$work" | grep -ci '\.tmp$')" = 0 ] || fq_fail "temporary files left: $(ls "$work")"
echo "PASS"
