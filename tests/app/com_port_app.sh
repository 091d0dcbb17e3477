#!/usr/bin/env bash
# A COM port of the prefix mapped to a pseudo-terminal through
# HKLM\Software\Wine\Ports carries bytes both ways between a Win32 program
# (fqdriver on \\.\COM1) and a native program on the other end.
source "$(dirname "$0")/lib.sh"

fq_com_pair COM1
far=$FQ_COM_FAR
echo "COM1 -> far end $far"
timeout 30 "$WINELOADER" reg query 'HKLM\Software\Wine\Ports' /v COM1 | tr -d '\r' | grep -q '/dev/pts/' ||
  fq_fail "COM1 is not mapped in the registry"

# The far side: take what the program sends, then answer.
got=$FQ_ARTIFACTS/com_port_app.received
rm -f "$got"
timeout 40 bash -c 'head -c 5 "$1" >"$2" && printf "WORLD" >"$1"' _ "$far" "$got" </dev/null >/dev/null 2>&1 &
FQ_EXTRA_PIDS+=($!)

reply=$(fq_driver com-exchange COM1 HELLO 5 20000 | tr -d '\r') || fq_fail "no reply on COM1 (got '$reply')"
[ "$reply" = "WORLD" ] || fq_fail "COM1 read '$reply', expected WORLD"
wait "${FQ_EXTRA_PIDS[0]}" || true
[ "$(cat "$got")" = "HELLO" ] || fq_fail "far end received '$(cat "$got" 2>/dev/null)', expected HELLO"

# An unmapped port is not there.
absent=$(fq_unmapped_com_port)
fq_driver com-write "$absent" X 2>/dev/null && fq_fail "$absent opened though it is not mapped"
echo "$absent, mapped to nothing, does not open"
echo "PASS"
