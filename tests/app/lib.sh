# Sourced by the tests/app/*_app.sh scripts: bash <script> <build dir> [args].
# Sets up the display and the build's Wine prefix, and gives the tests
# helpers to start the program, drive it with fqdriver, take screenshots and
# connect a serial port to a pseudo-terminal. Every wait has a timeout, and
# whatever a test started is stopped when it exits.

if [ $# -lt 1 ] || [ ! -d "$1" ]; then
  echo "usage: $0 <build dir>" >&2
  exit 2
fi
FQ_BUILD=$(cd "$1" && pwd)
export FQ_BUILD
shift  # the test's own arguments follow
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/setup/common.sh"

FQ_TEST_NAME=$(basename "$0" .sh)
# The Wine test slot (FQ_WINE_SLOT, set by ctest; 1 when unset). Tests of
# different slots run at the same time, so each slot has a prefix, a display
# and a program folder of its own: slot 1 the build's prefix, the caller's
# display and the program in the build folder; slot N wineprefix-N, a
# private Xvfb for each test and the folder wine-slot-N holding a link to
# the program.
FQ_WINE_SLOT=${FQ_WINE_SLOT:-1}
[[ $FQ_WINE_SLOT =~ ^[1-9][0-9]*$ ]] || { echo "FQ_WINE_SLOT: '$FQ_WINE_SLOT' is no slot" >&2; exit 2; }
[ "$FQ_WINE_SLOT" = 1 ] || unset DISPLAY
# The program under test: the Wine build's fotaquill.exe.so, or the one that
# FQ_APP_EXE names (the native Windows program, build-windows/fotaquill.exe,
# whose artifacts get the suffix _pe). Settings live beside the program:
# FQ_APP_DIR/Lumvex01.ini.
FQ_ARTIFACT_SUFFIX=
if [ -n "${FQ_APP_EXE:-}" ]; then
  if [ ! -f "$FQ_APP_EXE" ]; then
    echo "SKIP: no program $FQ_APP_EXE (tools/build-windows.sh builds it)" >&2
    exit 77
  fi
  FQ_APP_EXE=$(cd "$(dirname "$FQ_APP_EXE")" && pwd)/$(basename "$FQ_APP_EXE")
  case $FQ_APP_EXE in *.exe.so) ;; *) FQ_ARTIFACT_SUFFIX=_pe ;; esac
elif [ "$FQ_WINE_SLOT" = 1 ]; then
  FQ_APP_EXE=$FQ_BUILD/fotaquill.exe.so
else
  mkdir -p "$FQ_BUILD/wine-slot-$FQ_WINE_SLOT"
  ln -sfn ../fotaquill.exe.so "$FQ_BUILD/wine-slot-$FQ_WINE_SLOT/fotaquill.exe.so"
  FQ_APP_EXE=$FQ_BUILD/wine-slot-$FQ_WINE_SLOT/fotaquill.exe.so
fi
FQ_APP_DIR=$(dirname "$FQ_APP_EXE")
FQ_INI=$FQ_APP_DIR/Lumvex01.ini
FQ_TEST_NAME=$FQ_TEST_NAME$FQ_ARTIFACT_SUFFIX
FQ_ARTIFACTS=$FQ_BUILD/artifacts
mkdir -p "$FQ_ARTIFACTS"
FQ_APP_PID=
FQ_SOCAT_PID=
FQ_EXTRA_PIDS=()

FQ_EXIT_HOOKS=()

# fq_at_exit FUNCTION: FUNCTION runs when the test ends, before everything
# the test started is stopped (the last one registered first). What it
# returns does not change the test's exit code.
fq_at_exit() {
  FQ_EXIT_HOOKS=("$1" "${FQ_EXIT_HOOKS[@]}")
}

fq_cleanup() {
  local rc=$?
  set +e  # a kill of something already gone must not cut the cleanup short
  local hook
  for hook in "${FQ_EXIT_HOOKS[@]}"; do "$hook"; done
  [ -n "$FQ_APP_PID" ] && kill "$FQ_APP_PID" 2>/dev/null
  [ -n "$FQ_SOCAT_PID" ] && kill "$FQ_SOCAT_PID" 2>/dev/null
  local p
  for p in "${FQ_EXTRA_PIDS[@]}"; do kill "$p" 2>/dev/null; done
  # The server is gone, its registry saved, before the next test starts one.
  [ -n "${WINEPREFIX:-}" ] && timeout 20 wineserver -k 2>/dev/null && timeout 20 wineserver -w 2>/dev/null
  [ -n "${FQ_XVFB_PID:-}" ] && kill "$FQ_XVFB_PID" 2>/dev/null
  exit $rc
}
trap fq_cleanup EXIT
trap 'exit 124' INT TERM

fq_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The prefix's server, started here with its output going nowhere: a server
# that a Wine command starts on its own inherits that command's output, and
# a "$(...)" around the command would then wait for the server to end.
fq_start_wineserver() {
  wineserver -p 60 </dev/null >/dev/null 2>&1 || true
}

fq_ensure_display
fq_ensure_prefix
fq_start_wineserver
# The program honours its test switches (/test-commbusy, /demo-meter) only
# when this is 1.
export FQ_TEST_SWITCHES=1

# Runs fqdriver with its arguments; 60 s at most.
fq_driver() {
  timeout 60 "$WINELOADER" "$FQ_BUILD/fqdriver.exe.so" "$@"
}

# Starts the program in the background with its own log; sets FQ_APP_PID.
fq_start_app() {
  local log=$FQ_ARTIFACTS/$FQ_TEST_NAME.log
  (cd "$FQ_APP_DIR" && exec "$WINELOADER" "$FQ_APP_EXE" "$@") >"$log" 2>&1 &
  FQ_APP_PID=$!
}

# Waits at most $1 seconds for the program to end and returns its exit code
# (124 when it did not end in time).
fq_wait_app_exit() {
  local seconds=$1 i
  for i in $(seq 1 $((seconds * 10))); do
    if ! kill -0 "$FQ_APP_PID" 2>/dev/null; then
      local rc=0
      wait "$FQ_APP_PID" || rc=$?
      FQ_APP_PID=
      return $rc
    fi
    sleep 0.1
  done
  return 124
}

# Saves a PNG of the whole display as $FQ_ARTIFACTS/<name>.png.
fq_screenshot() {
  local out=$FQ_ARTIFACTS/$1$FQ_ARTIFACT_SUFFIX.png
  timeout 30 /usr/bin/import -display "$DISPLAY" -window root "$out"
  echo "screenshot: $out"
}

# Makes a linked pair of pseudo-terminals, maps the COM port $1 to one end
# and sets FQ_COM_FAR to the other end, where the test plays the far side.
# (Not for "$(...)": socat would hold the substitution open.)
fq_com_pair() {
  local port=$1 log=$FQ_ARTIFACTS/$FQ_TEST_NAME.socat.log
  socat -d -d pty,raw,echo=0 pty,raw,echo=0 </dev/null >/dev/null 2>"$log" &
  FQ_SOCAT_PID=$!
  local i ptys=()
  for i in $(seq 1 50); do
    mapfile -t ptys < <(grep -o 'PTY is /dev/pts/[0-9]*' "$log" | cut -d' ' -f3)
    [ ${#ptys[@]} -ge 2 ] && break
    sleep 0.1
  done
  [ ${#ptys[@]} -ge 2 ] || fq_fail "socat made no pseudo-terminal pair"
  fq_map_com_port "$port" "${ptys[0]}"
  fq_start_wineserver
  FQ_COM_FAR=${ptys[1]}
}

# Adds a PostScript printer to the prefix as its default, with the generic
# PPD Wine carries inside its spooler library; every job goes straight into
# the file $1 (replacing it). Run before the program starts.
fq_add_printer() {
  local out=$1 ppd=$WINEPREFIX/generic.ppd lib
  lib=$( (ls /usr/lib/*/wine/*-windows/winspool.drv /usr/lib/wine/*-windows/winspool.drv 2>/dev/null || true) | head -1)
  [ -n "$lib" ] || fq_fail "no winspool.drv to take the PPD from"
  python3 - "$lib" "$ppd" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
start = data.find(b'*PPD-Adobe')
if start < 0:
    sys.exit('no PPD inside ' + sys.argv[1])
open(sys.argv[2], 'wb').write(data[start:data.find(b'\0', start)])
PY
  fq_driver add-printer "Fotaquill PS" "$out" "Z:${ppd//\//\\}" || fq_fail "cannot add the printer"
}

# The program's settings file as it is now comes back when the test ends
# (removed again when there was none).
fq_keep_ini() {
  FQ_INI_KEPT=$FQ_ARTIFACTS/$FQ_TEST_NAME.ini.kept
  rm -f "$FQ_INI_KEPT"
  [ ! -f "$FQ_INI" ] || cp "$FQ_INI" "$FQ_INI_KEPT"
  fq_at_exit fq_restore_ini
}
fq_restore_ini() {
  if [ -f "$FQ_INI_KEPT" ]; then cp "$FQ_INI_KEPT" "$FQ_INI"; else rm -f "$FQ_INI"; fi
}

# COM2 to COM4 go back to no mapping (COM1 is mapped by every camera test):
# with them mapped, Wine gives the next free COM port to the machine's first
# serial device, which other tests expect to be absent there.
fq_unmap_ports() {
  local port
  for port in COM2 COM3 COM4; do
    timeout 20 "$WINELOADER" reg delete 'HKLM\Software\Wine\Ports' /v "$port" /f >/dev/null 2>&1
  done
  rm -f "$WINEPREFIX"/dosdevices/com[234]
}

# Prints a COM port that nothing is mapped to: one past the highest the
# prefix knows, in its registry or among the links Wine made for the
# machine's own serial devices (which differ from machine to machine).
fq_unmapped_com_port() {
  local n high=1 f
  for f in "$WINEPREFIX"/dosdevices/com*; do
    n=${f##*/com}
    [[ $n =~ ^[0-9]+$ ]] && [ "$n" -gt "$high" ] && high=$n
  done
  while read -r n; do
    [ "$n" -gt "$high" ] && high=$n
  done < <(timeout 20 "$WINELOADER" reg query 'HKLM\Software\Wine\Ports' 2>/dev/null |
    tr -d '\r' | sed -n 's/^ *COM\([0-9][0-9]*\) .*/\1/ip')
  echo "COM$((high + 1))"
}
