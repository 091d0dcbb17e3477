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
if [ $# -gt 0 ]; then
  ctest --test-dir "$FQ_BUILD" --output-on-failure -j2 "$@" || status=$?
  ctest --test-dir "$FUZZ_BUILD" --output-on-failure -j2 "$@" || status=$?
else
  # The native tests first, on both cores; then the fuzz targets one at a
  # time beside the peer and Wine tests, which take turns with the one Wine
  # prefix and spend most of their time waiting for the program.
  ctest --test-dir "$FQ_BUILD" --output-on-failure -j2 -L native || status=$?
  fuzz_log=$FUZZ_BUILD/fuzz-tests.log
  ctest --test-dir "$FUZZ_BUILD" --output-on-failure -j1 >"$fuzz_log" 2>&1 &
  fuzz_pid=$!
  ctest --test-dir "$FQ_BUILD" --output-on-failure -j2 -LE native || status=$?
  fuzz_status=0
  wait "$fuzz_pid" || fuzz_status=$?
  cat "$fuzz_log"
  [ "$fuzz_status" -eq 0 ] || status=$fuzz_status
fi
wineserver -k 2>/dev/null || true
[ -n "${FQ_XVFB_PID:-}" ] && kill "$FQ_XVFB_PID" 2>/dev/null || true
exit $status
