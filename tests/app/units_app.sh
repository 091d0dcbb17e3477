#!/usr/bin/env bash
# The unit tests of the Win32 layer, run under Wine on the virtual display.
source "$(dirname "$0")/lib.sh"
log=$FQ_ARTIFACTS/units_app.log
rc=0
timeout 300 "$WINELOADER" "$FQ_BUILD/fqwintest.exe.so" "$@" </dev/null >"$log" 2>&1 || rc=$?
tr -d '\r' <"$log"
[ "$rc" -eq 0 ] || fq_fail "fqwintest exited with $rc"
echo "PASS"
