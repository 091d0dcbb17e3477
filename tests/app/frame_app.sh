#!/usr/bin/env bash
# The program starts, shows its frame window (class ORXDscFrame, title
# "Fotaquill", button-face background, the class as registered), and ends
# with exit code 0 when the frame is closed.
source "$(dirname "$0")/lib.sh"

fq_start_app
fq_driver wait-window ORXDscFrame Fotaquill 30000 || fq_fail "no frame window"

info=$(fq_driver window-info ORXDscFrame Fotaquill | tr -d '\r')
echo "$info"
expect() {
  grep -qx "$1" <<<"$info" || fq_fail "frame: expected $1"
}
# CS_VREDRAW | CS_HREDRAW; two pointer-sized slots; WS_OVERLAPPEDWINDOW |
# WS_CLIPCHILDREN | WS_VISIBLE (and WS_CLIPSIBLINGS, which every top-level
# window gets); no parent. The background brush and the icon cannot be read
# from another process: the pixel check and the unit tests cover them.
expect 'class_style=0x3'
expect 'class_extra_bytes=16'
expect 'style=0x16cf0000'
expect 'parent=(nil)'
[ "$(fq_driver get-text ORXDscFrame Fotaquill | tr -d '\r')" = "Fotaquill" ] || fq_fail "title"

# What a person sees: the client area painted in the button face colour.
sleep 0.5
pixel=$(fq_driver client-pixel ORXDscFrame Fotaquill 20 20 | tr -d '\r')
echo "$pixel"
[ "${pixel#pixel=}" != "$pixel" ] || fq_fail "no pixel read"
p=${pixel#pixel=}; p=${p%% *}; face=${pixel##*btnface=}
[ "$p" = "$face" ] || fq_fail "client area is $p, not the button face $face"
fq_screenshot frame

fq_driver close ORXDscFrame Fotaquill || fq_fail "cannot close"
rc=0
fq_wait_app_exit 20 || rc=$?
[ $rc -eq 124 ] && fq_fail "the program did not end after WM_CLOSE"
[ $rc -eq 0 ] || fq_fail "the program ended with exit code $rc"
fq_driver wait-gone ORXDscFrame Fotaquill 5000 || fq_fail "frame still there"
echo "PASS"
