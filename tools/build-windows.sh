#!/usr/bin/env bash
# Builds the native Windows programs, build-windows/fotaquill.exe and
# build-windows/fqtool.exe (64-bit, statically linked: copy them to a Windows
# machine as they are), with MinGW-w64 from Debian.
#
# Idempotent: installs the cross compiler only when it is missing; fetches
# the libjpeg source package from the Debian archive through a private source
# list (the system's apt sources stay as they are) and cross-builds it once
# into build-windows/libjpeg/; then builds the programs with CMake and Ninja,
# which rebuild only what changed. A second run with nothing changed does
# nothing.
set -euo pipefail

FQ_ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${FQ_WINDOWS_BUILD:-$FQ_ROOT/build-windows}
DEPS=$OUT/deps
JPEG_PREFIX=$OUT/libjpeg
MINGW=x86_64-w64-mingw32

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

# The cross compiler and resource compiler; nasm for libjpeg's SIMD code;
# CMake and Ninja for both builds.
packages=(g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 nasm cmake ninja-build)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

mkdir -p "$OUT"

# libjpeg for Windows, from Debian's own source package (Debian ships no
# MinGW build of it), built once: a static library and its headers.
if [ ! -f "$JPEG_PREFIX/lib/libjpeg.a" ]; then
  mkdir -p "$DEPS/sources.d" "$DEPS/lists/partial" "$DEPS/cache/archives/partial" "$DEPS/download"
  # The system's package sources, as source-package entries, in a private
  # list folder (deb822 .sources files and one-line sources.list alike); the
  # package lists and caches it fetches stay in build-windows/deps/ too.
  rm -f "$DEPS/sources.d/"*
  for f in /etc/apt/sources.list.d/*.sources; do
    if [ -f "$f" ]; then sed 's/^Types:.*/Types: deb-src/' "$f" >"$DEPS/sources.d/$(basename "$f")"; fi
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    if [ -f "$f" ]; then sed -n 's/^deb \(.*\)/deb-src \1/p' "$f" >"$DEPS/sources.d/$(basename "$f" .list).list"; fi
  done
  apt_private=(-o "Dir::Etc::SourceParts=$DEPS/sources.d" -o Dir::Etc::SourceList=/dev/null
               -o "Dir::State::Lists=$DEPS/lists" -o "Dir::Cache=$DEPS/cache")
  # As root, apt downloads as an unprivileged user that cannot write here.
  if [ "$(id -u)" -eq 0 ]; then apt_private+=(-o APT::Sandbox::User=root); fi
  if ! ls "$DEPS/download/"libjpeg-turbo_*.orig.tar.gz >/dev/null 2>&1; then
    echo "Fetching the libjpeg-turbo source package"
    apt-get "${apt_private[@]}" update -qq
    (cd "$DEPS/download" && apt-get "${apt_private[@]}" source --download-only -qq libjpeg-turbo)
  fi
  tarball=$(ls "$DEPS/download/"libjpeg-turbo_*.orig.tar.gz | head -n1)
  rm -rf "$DEPS/libjpeg-src" "$DEPS/libjpeg-build"
  mkdir -p "$DEPS/libjpeg-src"
  tar -xzf "$tarball" -C "$DEPS/libjpeg-src" --strip-components=1
  echo "Cross-building $(basename "$tarball")"
  cmake -S "$DEPS/libjpeg-src" -B "$DEPS/libjpeg-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$FQ_ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$JPEG_PREFIX" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -Wno-dev >/dev/null
  cmake --build "$DEPS/libjpeg-build" --target install -j 2 >/dev/null
  rm -rf "$DEPS/libjpeg-src" "$DEPS/libjpeg-build"
fi

# The programs. A compiler cache, when the machine has one, makes rebuilds
# cheap; nothing depends on it.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$FQ_ROOT" -B "$OUT" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$FQ_ROOT/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DJPEG_INCLUDE_DIR="$JPEG_PREFIX/include" -DJPEG_LIBRARY="$JPEG_PREFIX/lib/libjpeg.a" \
  "${launcher[@]}" >/dev/null
cmake --build "$OUT" -j 2 --target fotaquill fqtool
