#!/usr/bin/env bash
# Installs what the program needs, builds it and runs it under Wine, on the
# current display or on a private Xvfb. Extra arguments go to the program.
source "$(dirname "$0")/setup/common.sh"
fq_install_packages
fq_build -DFQ_SANITIZE=OFF
fq_ensure_display
fq_ensure_prefix
cd "$FQ_BUILD"
echo "Fotaquill runs on display $DISPLAY"
exec "$WINELOADER" "$FQ_BUILD/fotaquill.exe.so" "$@"
