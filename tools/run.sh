#!/usr/bin/env bash
# Installs what the program needs, builds it and runs it under Wine, on the
# current display or on a private Xvfb. Extra arguments go to the program.
source "$(dirname "$0")/setup/common.sh"
fq_install_packages
fq_build -- fotaquill fqcamsim fqtool
fq_ensure_display
fq_ensure_prefix
# What this script started ends with it: the simulated camera and a private
# virtual display.
camsim_pid=""
trap 'kill $camsim_pid ${FQ_XVFB_PID:-} 2>/dev/null || true' EXIT

# A camera on the configured COM port (key "com" of the settings file,
# COM1 by default): a real serial device when FQ_CAMERA_PORT names one
# (e.g. /dev/ttyUSB0), none with FQ_NO_CAMSIM=1, otherwise the simulated
# camera (type FQ_CAMSIM_TYPE, default 2) on a pseudo-terminal, serving
# pictures it makes itself, or those of FQ_CAMSIM_FOLDER when set.
com=$(sed -n 's/^com=\(COM[1-4]\)\r\?$/\1/Ip' "$FQ_BUILD/Lumvex01.ini" 2>/dev/null | head -n1 | tr a-z A-Z)
com=${com:-COM1}
if [ -n "${FQ_CAMERA_PORT:-}" ]; then
  fq_map_com_port "$com" "$FQ_CAMERA_PORT"
  echo "$com is $FQ_CAMERA_PORT"
elif [ -z "${FQ_NO_CAMSIM:-}" ]; then
  rm -f "$FQ_BUILD/camsim.tty"
  "$FQ_BUILD/tools/camsim/fqcamsim" --type "${FQ_CAMSIM_TYPE:-2}" \
    ${FQ_CAMSIM_FOLDER:+--folder "$FQ_CAMSIM_FOLDER"} \
    >"$FQ_BUILD/camsim.tty" 2>"$FQ_BUILD/camsim.log" &
  camsim_pid=$!
  for _ in $(seq 1 50); do [ -s "$FQ_BUILD/camsim.tty" ] && break; sleep 0.1; done
  fq_map_com_port "$com" "$(head -n1 "$FQ_BUILD/camsim.tty")"
  echo "$com is the simulated camera on $(head -n1 "$FQ_BUILD/camsim.tty") (log: $FQ_BUILD/camsim.log)"
fi

cd "$FQ_BUILD"
echo "Fotaquill runs on display $DISPLAY"
"$WINELOADER" "$FQ_BUILD/fotaquill.exe.so" "$@"
