#!/usr/bin/env bash
# Calendar pages of fqtool against Python's calendar module and the page's
# millimetres, and the photograph against ImageMagick (calendar_peer.py).
set -euo pipefail
build=$(cd "$1" && pwd)
exec python3 "$(dirname "$0")/calendar_peer.py" "$build"
