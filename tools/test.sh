#!/usr/bin/env bash
# Installs what the tests need, builds everything and runs every test: native
# unit tests (under the sanitizers), peer comparisons, the fuzz targets for a
# bounded time, and the end-to-end tests of the program under Wine.
source "$(dirname "$0")/setup/common.sh"
fq_install_packages
fq_build -DFQ_WINDOWS_BUILD="${FQ_WINDOWS_BUILD:-$FQ_ROOT/build-windows}"
# The native Windows programs, which the wine.*.pe tests run.
bash "$FQ_ROOT/tools/build-windows.sh"
FUZZ_BUILD=${FQ_FUZZ_BUILD:-$FQ_ROOT/build-fuzz}
cmake -S "$FQ_ROOT" -B "$FUZZ_BUILD" -G Ninja -DFQ_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DFQ_FUZZ_SECONDS="${FQ_FUZZ_SECONDS:-30}" >/dev/null
cmake --build "$FUZZ_BUILD"
fq_ensure_display
fq_ensure_prefix
status=0
ctest --test-dir "$FQ_BUILD" --output-on-failure -j2 "$@" || status=$?
ctest --test-dir "$FUZZ_BUILD" --output-on-failure -j2 "$@" || status=$?
wineserver -k 2>/dev/null || true
[ -n "${FQ_XVFB_PID:-}" ] && kill "$FQ_XVFB_PID" 2>/dev/null || true
exit $status
