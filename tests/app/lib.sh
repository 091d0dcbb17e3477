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
else
  FQ_APP_EXE=$FQ_BUILD/fotaquill.exe.so
fi
FQ_APP_DIR=$(dirname "$FQ_APP_EXE")
FQ_INI=$FQ_APP_DIR/Lumvex01.ini
FQ_TEST_NAME=$FQ_TEST_NAME$FQ_ARTIFACT_SUFFIX
FQ_ARTIFACTS=$FQ_BUILD/artifacts
mkdir -p "$FQ_ARTIFACTS"
FQ_APP_PID=
FQ_SOCAT_PID=
FQ_EXTRA_PIDS=()

fq_cleanup() {
  local rc=$?
  set +e  # a kill of something already gone must not cut the cleanup short
  [ -n "$FQ_APP_PID" ] && kill "$FQ_APP_PID" 2>/dev/null
  [ -n "$FQ_SOCAT_PID" ] && kill "$FQ_SOCAT_PID" 2>/dev/null
  local p
  for p in "${FQ_EXTRA_PIDS[@]}"; do kill "$p" 2>/dev/null; done
  [ -n "${WINEPREFIX:-}" ] && timeout 20 wineserver -k 2>/dev/null
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
