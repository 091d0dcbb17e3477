#!/usr/bin/env bash
# The camera link end to end: the simulated camera serves a pseudo-terminal,
# COM1 of the prefix is mapped to it, and camtest.exe (the program's camera
# code on the Win32 communications functions) connects as the download does,
# lists the pictures, ends the connection and closes the port. Run for the
# three kinds of camera: marker frames (type 1), sequenced frames (type 2)
# and folders (type 4).
source "$(dirname "$0")/lib.sh"

sim=$FQ_BUILD/tools/camsim/fqcamsim
camtest=$FQ_BUILD/camtest.exe.so
[ -x "$sim" ] || fq_fail "no simulator at $sim"
[ -f "$camtest" ] || fq_fail "no test program at $camtest"

# run_type TYPE SPEED EXPECTED_PICTURES [EXTRA_LINE...]
run_type() {
  local type=$1 speed=$2 pictures=$3
  shift 3
  local out=$FQ_ARTIFACTS/camera_app.type$type
  rm -f "$out".sim.out "$out".sim.err "$out".camtest
  "$sim" --type "$type" --folder "$pics" --once --verbose </dev/null >"$out.sim.out" 2>"$out.sim.err" &
  local sim_pid=$!
  FQ_EXTRA_PIDS+=("$sim_pid")

  local i pty=
  for i in $(seq 1 50); do
    pty=$(head -n 1 "$out.sim.out" 2>/dev/null || true)
    [ -n "$pty" ] && break
    sleep 0.1
  done
  [[ $pty == /dev/pts/* ]] || fq_fail "type $type: the simulator gave no terminal (got '$pty')"
  echo "type $type: simulator on $pty"
  fq_map_com_port COM1 "$pty"
  fq_start_wineserver

  local rc=0
  (cd "$FQ_BUILD" && timeout 120 "$WINELOADER" "$camtest" --port COM1 --speed "$speed") \
    </dev/null >"$out.camtest" 2>&1 || rc=$?
  tr -d '\r' <"$out.camtest" | sed "s/^/  type $type camtest: /"
  [ $rc -eq 0 ] || fq_fail "type $type: camtest exited with $rc"
  grep -qx "camera type $type" <(tr -d '\r' <"$out.camtest") ||
    fq_fail "type $type: camtest did not report camera type $type"
  grep -qx "pictures $pictures" <(tr -d '\r' <"$out.camtest") ||
    fq_fail "type $type: camtest did not report $pictures pictures"
  local line
  for line in "$@"; do
    grep -qx "$line" <(tr -d '\r' <"$out.camtest") || fq_fail "type $type: no line '$line'"
  done
  grep -q '^message ' <(tr -d '\r' <"$out.camtest") && fq_fail "type $type: the link reported a message"

  # --once: the simulator ends by itself after the end of the connection.
  for i in $(seq 1 100); do
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$sim_pid" 2>/dev/null && fq_fail "type $type: the simulator is still serving after the end command"
  wait "$sim_pid" || fq_fail "type $type: the simulator failed"
  sed "s/^/  type $type simulator: /" "$out.sim.err"
  grep -q "identified as type $type" "$out.sim.err" || fq_fail "type $type: the simulator saw no identification"
  grep -q "speed $speed bit/s" "$out.sim.err" ||
    fq_fail "type $type: the simulator did not change to $speed bit/s"
  grep -q "connection ended" "$out.sim.err" || fq_fail "type $type: the simulator saw no end command"
}

# The camera's pictures: three in the top folder (100) and one picture and
# a movie of two frames in folder 101 (files in name order: the movie is
# file 1 there), of sizes that fall in different
# recording modes.
pics=$FQ_ARTIFACTS/camera_app.pictures
rm -rf "$pics"
mkdir -p "$pics/101/clip.movie"
timeout 60 /usr/bin/convert -seed 3 -size 400x300 plasma:fractal -quality 95 "$pics/a.jpg" &&
  timeout 60 /usr/bin/convert -size 80x60 gradient:red-blue -quality 80 "$pics/b.jpg" &&
  timeout 60 /usr/bin/convert -seed 5 -size 200x150 plasma:fractal -quality 97 "$pics/c.jpg" &&
  timeout 60 /usr/bin/convert -seed 7 -size 260x200 plasma:fractal -quality 95 "$pics/101/d.jpg" &&
  timeout 60 /usr/bin/convert -size 64x48 xc:gray -quality 80 "$pics/101/clip.movie/1.jpg" &&
  timeout 60 /usr/bin/convert -size 64x48 xc:white -quality 80 "$pics/101/clip.movie/2.jpg" ||
  fq_fail "could not make the test pictures"
stills=("$pics/a.jpg" "$pics/b.jpg" "$pics/c.jpg" "$pics/101/d.jpg")
sizes=()
for f in "${stills[@]}"; do sizes+=("$(stat -c %s "$f")"); done
mode_of() {  # the camera's recording mode of a file size
  if [ "$1" -le 21504 ]; then echo 0
  elif [ "$1" -le 64512 ]; then echo 1
  elif [ "$1" -le 131072 ]; then echo 2
  else echo 3; fi
}
echo "picture sizes: ${sizes[*]}"

# Type 2 at the program's default speed: the count and each picture's size.
run_type 2 38400 4 "1 size ${sizes[0]}" "2 size ${sizes[1]}" "3 size ${sizes[2]}" "4 size ${sizes[3]}"

# Type 1 at 57600, where marker frames go out one byte at a time: the list
# with the recording modes.
run_type 1 57600 4 "1 mode $(mode_of "${sizes[0]}")" "2 mode $(mode_of "${sizes[1]}")" \
  "3 mode $(mode_of "${sizes[2]}")" "4 mode $(mode_of "${sizes[3]}")"

# Type 4 at 115200: folders, files, the movie.
run_type 4 115200 5 "media 1 0 current 1" "folder 100: 3" "folder 101: 2" \
  "100/0001 still size ${sizes[0]}" "100/0002 still size ${sizes[1]}" \
  "100/0003 still size ${sizes[2]}" "101/0001 movie" "101/0002 still size ${sizes[3]}"

# A port the prefix does not have: the open fails with its result code (10)
# and the message that goes with it, at once.
absent=$(fq_unmapped_com_port)
rc=0
(cd "$FQ_BUILD" && timeout 60 "$WINELOADER" "$camtest" --port "$absent") </dev/null \
  >"$FQ_ARTIFACTS/camera_app.noport" 2>&1 || rc=$?
tr -d '\r' <"$FQ_ARTIFACTS/camera_app.noport" | sed 's/^/  no port: /'
[ $rc -eq 10 ] || fq_fail "camtest on the unmapped $absent exited with $rc, expected 10"
grep -q '^message 0:' <(tr -d '\r' <"$FQ_ARTIFACTS/camera_app.noport") ||
  fq_fail "no message for the port that cannot be opened"

echo "PASS"
