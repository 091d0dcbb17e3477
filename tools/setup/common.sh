# Shared set-up steps for tools/run.sh and tools/test.sh. Every step is
# idempotent: it does nothing when its work is already done.
set -euo pipefail

FQ_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
FQ_BUILD=${FQ_BUILD:-$FQ_ROOT/build}

# Debian packages: toolchains, libraries, the Wine toolchain, the virtual
# display, and the peer tools the tests compare against.
FQ_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-wine
  clang libclang-rt-14-dev llvm
  wine wine64 wine64-tools libwine-dev
  xvfb xauth x11-apps
  libjpeg-turbo-progs libimage-exiftool-perl imagemagick ffmpeg socat ghostscript netpbm
  hyperfine jq
)

fq_install_packages() {
  local missing=()
  for p in "${FQ_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# fq_build [cmake options...] [-- targets...]: configures the build folder
# and builds the named targets (everything when none are named).
fq_build() {
  local opts=() targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do opts+=("$1"); shift; done
  [ "${1:-}" = "--" ] && shift
  targets=("$@")
  # A compiler cache, when the machine has one, makes rebuilds in other
  # checkouts of the same sources cheap; nothing depends on it.
  if command -v ccache >/dev/null 2>&1; then
    opts=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache "${opts[@]}")
  fi
  cmake -S "$FQ_ROOT" -B "$FQ_BUILD" -G Ninja "${opts[@]}" >/dev/null
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$FQ_BUILD" --target "${targets[@]}"
  else
    cmake --build "$FQ_BUILD"
  fi
}

# A display: the caller's, or a private Xvfb. Sets DISPLAY, and FQ_XVFB_PID
# when it started the server (so that a test can stop what it started).
fq_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    return 0
  fi
  if [ -n "${DISPLAY:-}" ] && [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ]; then
    return 0
  fi
  local n
  for n in $(seq 91 130); do
    if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      FQ_XVFB_PID=$!
      local i
      for i in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X${n}" ] && break
        sleep 0.1
      done
      export DISPLAY=":$n"
      # Marks the display as ours, with no window manager (inherited by
      # child scripts, unlike FQ_XVFB_PID, which only its starter may stop).
      export FQ_PRIVATE_DISPLAY=$DISPLAY
      echo "Started Xvfb on $DISPLAY"
      return 0
    fi
  done
  echo "no free display number for Xvfb" >&2
  return 1
}

# The build's private Wine prefix: wineprefix, or wineprefix-N for the Wine
# test slot N above 1 (FQ_WINE_SLOT). Sets WINEPREFIX, WINEDEBUG, WINELOADER.
fq_ensure_prefix() {
  export WINEPREFIX=$FQ_BUILD/wineprefix
  [ "${FQ_WINE_SLOT:-1}" = 1 ] || WINEPREFIX=$FQ_BUILD/wineprefix-$FQ_WINE_SLOT
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
  if command -v wine64 >/dev/null 2>&1; then
    export WINELOADER=$(command -v wine64)
  elif [ -x /usr/lib/wine/wine64 ]; then
    export WINELOADER=/usr/lib/wine/wine64
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    echo "Creating the Wine prefix $WINEPREFIX"
    "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  fq_prefix_fonts
  fq_window_management
}

# Debian's fonts-wine ("Courier", "MS Sans Serif", "Tahoma", ...) lies in
# /usr/share/wine/fonts, where this Wine does not look (measured: a new
# prefix enumerates only the host's fontconfig faces); the prefix's registry
# names the files as if in C:\windows\Fonts, so they go there.
fq_prefix_fonts() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts f
  [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ] || return 0
  for f in /usr/share/wine/fonts/*; do
    [ -e "$fonts/${f##*/}" ] || cp "$f" "$fonts/"
  done
}

# Wine lets a window manager manage its top-level windows, and on hiding one
# waits up to two seconds for the manager to confirm. A private Xvfb has no
# window manager, so there every dialog that closes would cost two seconds:
# make Wine's windows unmanaged there, and managed again on a real display.
fq_window_management() {
  local want=Y key='HKCU\Software\Wine\X11 Driver'
  [ -n "${FQ_PRIVATE_DISPLAY:-}" ] && [ "${FQ_PRIVATE_DISPLAY}" = "${DISPLAY:-}" ] && want=N
  local have=Y
  grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null && have=N
  [ "$want" = "$have" ] && return 0
  if [ "$want" = N ]; then
    "$WINELOADER" reg add "$key" /v Managed /d N /f >/dev/null 2>&1 || true
  else
    "$WINELOADER" reg delete "$key" /v Managed /f >/dev/null 2>&1 || true
  fi
  wineserver -w || true
}

# Map a COM port of the prefix to a device (a pseudo-terminal) through the
# registry; Wine reads the mapping when its server starts.
fq_map_com_port() {
  local port=$1 device=$2
  "$WINELOADER" reg add 'HKLM\Software\Wine\Ports' /v "$port" /d "$device" /f >/dev/null 2>&1
  wineserver -k || true
  wineserver -w || true
}
