#!/usr/bin/env bash
# Data in from the camera end to end: the real program on COM1 against the
# simulated camera on a pseudo-terminal. Type 1: the memory list, Select All,
# Transfer through "Folder Select" and "Transfer Path"; type 2: the grid,
# Preview, a typed range, Transfer; type 4: a folder with stills and a movie.
# Every saved file equals the simulator's picture (cmp), the numbering goes on
# from the folder's highest DSC number, the album cells appear, and the movie
# is read by ffprobe as rawvideo of the right size, count and rate, its frames
# equal to djpeg's decoding of the parts. Screenshots of the list, the grid
# and the album; the movie written plain (uncompressed), Cinepak refused and
# offered again, a cancelled choice leaving nothing behind. Type 2 once more
# at the line's pace (throughput printed) and through seeded line faults; a
# grid of 24 scrolled and chosen from with plain and Ctrl clicks.
source "$(dirname "$0")/lib.sh"

F=ORXDscFrame
T=Fotaquill
work=$FQ_ARTIFACTS/download_app
rm -rf "$work"
mkdir -p "$work/pics/101/clip.movie" "$work/in1" "$work/in2" "$work/in4"
winpath() { echo "Z:${1//\//\\}"; }
strip() { tr -d '\r'; }
drv() { fq_driver "$@" | strip; }
children() { drv mdi-children $F $T; }
sim=$FQ_BUILD/tools/camsim/fqcamsim

# --- The camera's pictures --------------------------------------------------------
/usr/bin/convert -seed 3 -size 400x300 plasma:fractal -quality 95 "$work/pics/a.jpg"
/usr/bin/convert -size 80x60 gradient:red-blue -quality 80 "$work/pics/b.jpg"
/usr/bin/convert -seed 5 -size 640x480 plasma:fractal -quality 97 "$work/pics/c.jpg"
/usr/bin/convert -seed 7 -size 260x200 plasma:fractal -quality 95 "$work/pics/101/d.jpg"
for i in 1 2 3 4 5; do
  /usr/bin/convert -seed $i -size 64x48 plasma:fractal -quality 85 "$work/pics/101/clip.movie/$i.jpg"
done
# Two pictures carry a recording date (the grid shows it under the thumbnail).
exiftool -q -overwrite_original -DateTimeOriginal='2003:07:14 09:30:00' "$work/pics/a.jpg" "$work/pics/c.jpg" ||
  fq_fail "exiftool could not date the pictures"
stills=("$work/pics/a.jpg" "$work/pics/b.jpg" "$work/pics/c.jpg" "$work/pics/101/d.jpg")

ini=$FQ_INI
fq_keep_ini
# Drive R: of the prefix is a CD-ROM drive (removed again at the end).
mkdir -p "$work/cd"
ln -sfn "$work/cd" "$WINEPREFIX/dosdevices/r:"
"$WINELOADER" reg add 'HKLM\Software\Wine\Drives' /v r: /d cdrom /f >/dev/null 2>&1
drop_cd() {
  rm -f "$WINEPREFIX/dosdevices/r:"
  timeout 20 "$WINELOADER" reg delete 'HKLM\Software\Wine\Drives' /v r: /f >/dev/null 2>&1
}
fq_at_exit drop_cd
fq_at_exit fq_unmap_ports
printf '[ORXAPP]\r\ncom=COM1\r\nbaudrate=1152\r\ndir=%s\\\r\n' "$(winpath "$work")" >"$ini"

# start_camera TYPE PORT: the simulator on a fresh terminal, PORT mapped to it
# (before the program starts: mapping restarts the prefix's server).
start_camera() {
  local out=$work/sim$1
  "$sim" --type "$1" --folder "$work/pics" --verbose </dev/null >"$out.out" 2>"$out.err" &
  FQ_EXTRA_PIDS+=($!)
  local i pty=
  for i in $(seq 1 50); do
    pty=$(head -n 1 "$out.out" 2>/dev/null || true)
    [ -n "$pty" ] && break
    sleep 0.1
  done
  [[ $pty == /dev/pts/* ]] || fq_fail "type $1: the simulator gave no terminal"
  fq_map_com_port "$2" "$pty"
}
# use_port PORT: the port the next connection opens.
use_port() { sed -i "s/^com=.*\r\$/com=$1\r/" "$ini"; }

# choose_folder DIR: answers "Folder Select" with a name inside DIR, then OK in
# "Transfer Path" after checking that it shows DIR.
choose_folder() {
  local w
  w=$(winpath "$1")
  drv dlg-wait "Folder Select" 20000 >/dev/null || fq_fail "no Folder Select dialog"
  drv file-dialog-ok "$w\\x" 10000 >/dev/null || fq_fail "cannot answer Folder Select"
  drv dlg-wait "Transfer Path" 20000 >/dev/null || fq_fail "no Transfer Path dialog"
  local shown
  shown=$(drv dlg-text "Transfer Path" 1310)
  echo "Transfer Path shows: $shown"
  drv dlg-press "Transfer Path" 1 >/dev/null
}

wait_files() {  # DIR COUNT
  local i
  for i in $(seq 1 600); do
    [ "$(ls "$1" | grep -c '^DSC')" -ge "$2" ] && return 0
    sleep 0.1
  done
  fq_fail "$1 holds $(ls "$1" | tr '\n' ' '), expected $2 DSC files"
}

# COM4: a type-2 camera behind a symbolic link, so that a fresh simulator
# can take its place without a new mapping (which would end the program);
# the next mapping's restart of the prefix's server reads it.
"$WINELOADER" reg add 'HKLM\Software\Wine\Ports' /v COM4 /d "$work/com4" /f >/dev/null 2>&1
start_camera 1 COM1
start_camera 2 COM2
start_camera 4 COM3
fq_start_wineserver
echo "simulators: ${FQ_EXTRA_PIDS[*]}"

# --- Type 1 --------------------------------------------------------------------------
fq_start_app
drv wait-window $F $T 30000 >/dev/null || fq_fail "no frame"
sleep 1
cp "${stills[0]}" "$work/in1/DSC0007.jpg"  # numbering goes on from the highest
drv post-command 121
drv dlg-wait "Camera Memory List" 60000 >/dev/null || fq_fail "no memory list"
drv item-message '#32770' "Camera Memory List" 285 0x18B 0 0 | grep -qx 'result=4' ||
  fq_fail "the list does not hold four rows"
rows=$(drv list-rows "Camera Memory List" 285 | tr '\n' '|')
echo "row lengths: $rows"
# "Image No.1::Super Fine Mode", "Image No.2::Normal Mode", "...::Super Fine
# Mode", "...::Fine Mode" (the simulator's modes follow the sizes).
[ "$rows" = "27|23|27|21|" ] ||
  fq_fail "type 1: rows $rows"
fq_screenshot download_list
drv dlg-click "Camera Memory List" 284 >/dev/null
sleep 0.5
drv dlg-enabled "Camera Memory List" 280
drv dlg-click "Camera Memory List" 280 >/dev/null
choose_folder "$work/in1"
wait_files "$work/in1" 5
ls -l "$work/in1"
for i in 0 1 2 3; do
  cmp "${stills[$i]}" "$work/in1/$(printf 'DSC%04d.jpg' $((8 + i)))" || fq_fail "type 1: picture $((i + 1)) differs"
done
# The four pictures went into a new album.
for i in $(seq 1 100); do children | grep -q ORXAlbumChild && break; sleep 0.1; done
children
album=$(children | sed -n 's/^ORXAlbumChild "\(.*\)"$/\1/p' | tail -1)
[ -n "$album" ] || fq_fail "type 1: no album window"
drv wait-album-idle "$album" 4 60000 >/dev/null || fq_fail "type 1: the album never had 4 cells"
drv album-cells "$album" | awk '{print $NF}' | tr '\n' ' '; echo
drv album-cells "$album" | grep -q 'title=DSC0011.jpg' || fq_fail "type 1: DSC0011.jpg not in the album"
fq_screenshot download_album
drv dlg-press "Camera Memory List" 281 >/dev/null
drv dlg-gone "Camera Memory List" 20000 >/dev/null || fq_fail "the list stayed open after Exit"
echo "type 1: PASS"

# --- Type 2 --------------------------------------------------------------------------
use_port COM2
drv post-command 121
drv dlg-wait "Image Preview" 60000 >/dev/null || fq_fail "type 2: no grid"
sleep 1
total=$(drv dlg-text "Image Preview" 610)
echo "type 2: total '$total'"
[ "$(drv dlg-enabled "Image Preview" 603)" = 0 ] || fq_fail "type 2: Transfer enabled with nothing selected"
drv dlg-press "Image Preview" 602 >/dev/null
sleep 1
drv dlg-gone "PREVIEWMSG" 60000 >/dev/null
for i in $(seq 1 300); do [ "$(drv dlg-enabled "Image Preview" 602)" = 1 ] && break; sleep 0.1; done
grep -c 'command 22' "$work/sim2.err" || true
fq_screenshot download_grid
drv dlg-set "Image Preview" 600 2 >/dev/null
drv dlg-set "Image Preview" 601 3 >/dev/null
sleep 0.5
[ "$(drv dlg-enabled "Image Preview" 603)" = 1 ] || fq_fail "type 2: the range 2-3 did not enable Transfer"
drv dlg-press "Image Preview" 603 >/dev/null
# A folder on the CD-ROM drive is refused and the folder choice comes again.
drv dlg-wait "Folder Select" 20000 >/dev/null || fq_fail "type 2: no Folder Select dialog"
drv file-dialog-ok 'R:\x' 10000 >/dev/null || fq_fail "type 2: cannot answer Folder Select"
drv dlg-wait "Transfer Path" 20000 >/dev/null || fq_fail "type 2: no Transfer Path dialog"
drv dlg-press "Transfer Path" 1 >/dev/null
drv box-press "Cannot copy This Directory" 1 20000 || fq_fail "type 2: the CD-ROM drive was not refused"
choose_folder "$work/in2"
wait_files "$work/in2" 2
ls -l "$work/in2"
cmp "${stills[1]}" "$work/in2/DSC0001.jpg" || fq_fail "type 2: picture 2 differs"
cmp "${stills[2]}" "$work/in2/DSC0002.jpg" || fq_fail "type 2: picture 3 differs"
drv dlg-press "Image Preview" 2 >/dev/null
drv dlg-gone "Image Preview" 20000 >/dev/null || fq_fail "type 2: the grid stayed open after Exit"
echo "type 2: PASS"

# --- Type 4: folder 101 holds the movie (file 1) and d.jpg (file 2) ----------------------
# Temporary files of the program (movie parts "ORX...", thumbnails "dt%d.jpg")
# in the prefix: none may stay behind.
temps() { find "$WINEPREFIX/drive_c/users" \( -iname 'ORX*' -o -iname 'dt*.jpg' \) 2>/dev/null | sort; }
temps_before=$(temps)
use_port COM3
drv post-command 121
drv dlg-wait "Image Preview" 60000 >/dev/null || fq_fail "type 4: no grid"
for i in $(seq 1 100); do [ "$(drv dlg-combo-items "Image Preview" 520 | wc -l)" -ge 2 ] && break; sleep 0.1; done
drv dlg-combo-items "Image Preview" 521
drv dlg-combo-items "Image Preview" 520
drv dlg-combo "Image Preview" 520 1 >/dev/null
sleep 1
echo "type 4: total $(drv dlg-text "Image Preview" 610)"
drv dlg-press "Image Preview" 602 >/dev/null
sleep 1
for i in $(seq 1 300); do [ "$(drv dlg-enabled "Image Preview" 602)" = 1 ] && break; sleep 0.1; done
drv dlg-click "Image Preview" 501 >/dev/null
sleep 0.5
[ "$(drv dlg-enabled "Image Preview" 603)" = 1 ] || fq_fail "type 4: a click did not enable Transfer"
drv dlg-press "Image Preview" 603 >/dev/null
choose_folder "$work/in4"
drv dlg-wait "Video Compression" 60000 >/dev/null || fq_fail "type 4: no compressor choice"
drv dlg-combo-items "Video Compression" 880
fq_screenshot download_compressor
drv dlg-press "Video Compression" 1 >/dev/null
wait_files "$work/in4" 1
drv dlg-gone "AVIMSG" 30000 >/dev/null
sleep 2
ls -l "$work/in4"
[ -f "$work/in4/DSC0001.avi" ] || fq_fail "type 4: no DSC0001.avi"
ls "$work/in4" | grep -v '^DSC0001.avi$' && fq_fail "type 4: files beside the movie"
probe=$(ffprobe -v error -select_streams v:0 -count_frames \
  -show_entries stream=codec_name,width,height,r_frame_rate,nb_read_frames -of csv=p=0 "$work/in4/DSC0001.avi")
echo "ffprobe: $probe"
[ "$probe" = "rawvideo,64,48,10/1,5" ] || fq_fail "type 4: the movie reads as '$probe'"
ffmpeg -v error -i "$work/in4/DSC0001.avi" -f rawvideo -pix_fmt rgb24 "$work/movie.rgb"
: >"$work/parts.rgb"
for i in 1 2 3 4 5; do
  djpeg -pnm "$work/pics/101/clip.movie/$i.jpg" | tail -c $((64 * 48 * 3)) >>"$work/parts.rgb"
done
cmp "$work/movie.rgb" "$work/parts.rgb" || fq_fail "type 4: the movie's frames differ from djpeg's"
for i in $(seq 1 100); do children | grep -q '"Album 3"' && break; sleep 0.1; done
drv wait-album-idle "Album 3" 1 60000 >/dev/null || fq_fail "type 4: no album cell for the movie: $(children)"
drv album-cells "Album 3" | grep -q 'title=DSC0001.avi' || fq_fail "type 4: the movie is not in the album"

# The still of the folder, then the movie again with a compressor that only
# decompresses: refused, offered again, cancelled: nothing is kept.
drv dlg-click "Image Preview" 502 >/dev/null
sleep 0.5
drv dlg-press "Image Preview" 603 >/dev/null
choose_folder "$work/in4"
wait_files "$work/in4" 2
cmp "${stills[3]}" "$work/in4/DSC0002.jpg" || fq_fail "type 4: the still differs"
drv dlg-click "Image Preview" 501 >/dev/null
sleep 0.5
drv dlg-press "Image Preview" 603 >/dev/null
choose_folder "$work/in4"
drv dlg-wait "Video Compression" 60000 >/dev/null || fq_fail "type 4: no compressor choice"
drv dlg-combo "Video Compression" 880 3 >/dev/null
drv dlg-press "Video Compression" 1 >/dev/null
drv box-press "Failed a create AVI File." 1 30000 || fq_fail "type 4: Cinepak was not refused"
drv dlg-wait "Video Compression" 60000 >/dev/null || fq_fail "type 4: the choice was not offered again"
drv dlg-press "Video Compression" 2 >/dev/null
drv box-press "Selected image not saved." 1 30000 || fq_fail "type 4: a cancelled choice was not a failure"
sleep 2
ls -la "$work/in4"
[ "$(ls -A "$work/in4" | tr '\n' ' ')" = "DSC0001.avi DSC0002.jpg " ] || fq_fail "type 4: something was left by the cancelled movie"
drv dlg-gone "Image Preview" 20000 >/dev/null || fq_fail "type 4: the grid stayed open after the failure"
[ "$(temps)" = "$temps_before" ] || fq_fail "type 4: temporary files left: $(comm -13 <(echo "$temps_before") <(temps))"
echo "type 4: PASS"

# --- Type 2 at the line's pace, then through a faulty line -----------------------------
# Four pictures from a simulator that takes in and sends out no faster than
# 115200 bit/s: the time from "Transfer Path" to the last file beside the
# line's capacity and the frames' ideal (per picture a size request and
# reply, 16 + 16 bytes; per block 16 + 1030). Then the same pictures through
# seeded line faults (corrupted, doubled and delayed bytes both ways): every
# file saved equals its source, and a picture not saved has been reported.
mkdir -p "$work/line" "$work/in_rate" "$work/in_faults"
for i in 1 2 3 4; do
  /usr/bin/convert -seed $((20 + i)) -size 320x240 plasma:fractal -quality 90 "$work/line/p$i.jpg"
done
line_pics=("$work"/line/p[1-4].jpg)
line_camera() {  # NAME [SIMULATOR OPTIONS]
  local name=$1
  shift
  [ -z "${line_pid:-}" ] || { kill "$line_pid" 2>/dev/null; wait "$line_pid" 2>/dev/null || true; }
  rm -f "$work/com4"
  "$sim" --type 2 --folder "${line_folder:-$work/line}" --link "$work/com4" "$@" </dev/null >/dev/null 2>"$work/$name.err" &
  line_pid=$!
  FQ_EXTRA_PIDS+=("$line_pid")
  local i
  for i in $(seq 1 50); do [ -L "$work/com4" ] && return 0; sleep 0.1; done
  fq_fail "$name: no terminal"
}
stop_line_camera() {  # once the program has ended the connection
  drv frame-ready 30000 >/dev/null || fq_fail "the frame stays disabled"
  kill "$line_pid" 2>/dev/null
  wait "$line_pid" 2>/dev/null || true
  line_pid=
}
# transfer_all DIR: the grid on COM4, pictures 1 to 4, Transfer into DIR.
transfer_all() {
  use_port COM4
  drv frame-ready 30000 >/dev/null || fq_fail "the frame stays disabled"
  drv post-command 121
  drv dlg-wait "Image Preview" 60000 >/dev/null || fq_fail "COM4: no grid"
  drv dlg-set "Image Preview" 600 1 >/dev/null
  drv dlg-set "Image Preview" 601 4 >/dev/null
  sleep 0.5
  drv dlg-press "Image Preview" 603 >/dev/null
  choose_folder "$1"
}
close_grid() {
  drv dlg-press "Image Preview" 2 >/dev/null 2>&1 || true
  drv dlg-gone "Image Preview" 20000 >/dev/null || fq_fail "the grid stayed open after Exit"
}

line_camera rate --rate
transfer_all "$work/in_rate"
start=$(date +%s%N)
sleep 4
fq_screenshot download_meter  # the transfer's progress, a few seconds in
wait_files "$work/in_rate" 4
end=$(date +%s%N)
for i in 0 1 2 3; do
  cmp "${line_pics[$i]}" "$work/in_rate/$(printf 'DSC%04d.jpg' $((i + 1)))" || fq_fail "at the line's pace: picture $((i + 1)) differs"
done
bytes=0 blocks=0
for f in "${line_pics[@]}"; do
  n=$(stat -c %s "$f")
  bytes=$((bytes + n))
  blocks=$((blocks + (n + 1023) / 1024))
done
awk -v ns=$((end - start)) -v b=$bytes -v bl=$blocks 'BEGIN {
  secs = ns / 1e9; rate = b / secs; ideal = b / ((bl * (16 + 1030) + 4 * 32) * 10 / 115200)
  printf "type 2 at 115200 under Wine: %d bytes in %.2f s, %.0f B/s = %.1f %% of capacity, %.1f %% of the frames'"'"' ideal\n",
         b, secs, rate, 100 * rate / 11520, 100 * rate / ideal }'
close_grid
stop_line_camera

line_camera faults --verbose --line-faults "corrupt=0.0001,dup=0.0001,delay=0.0001,delay-ms=40,seed=11" \
  --line-faults "corrupt=0.003,dup=0.002,seed=31,dir=in"
transfer_all "$work/in_faults"
reported=
for i in $(seq 1 1200); do
  [ "$(ls "$work/in_faults" | grep -c '^DSC')" -ge 4 ] && break
  if got=$(drv msgbox 100 2>/dev/null); then
    reported+="$(sed -n 's/^text=//p' <<<"$got") "
    drv msgbox-press 1 5000 >/dev/null
    sleep 3
    break
  fi
done
close_grid
stop_line_camera
sed -n 's/^fqcamsim: line faults/line faults/p' "$work/faults.err"
grep -Eq 'line faults.*[1-9][0-9]* (corrupted|duplicated|delayed)' "$work/faults.err" || fq_fail "faults: none happened"
saved=$(ls "$work/in_faults" | grep -c '^DSC' || true)
echo "through the faulty line: $saved of 4 saved${reported:+, reported: $reported}"
ls "$work/in_faults" | grep -v '^DSC[0-9]*\.jpg$' && fq_fail "faults: other files left"
for i in $(seq 1 "$saved"); do
  cmp "${line_pics[$((i - 1))]}" "$work/in_faults/$(printf 'DSC%04d.jpg' "$i")" || fq_fail "faults: picture $i differs"
done
[ "$saved" = 4 ] || [ -n "$reported" ] || fq_fail "faults: $saved of 4 saved and nothing reported"
echo "line: PASS"

# --- The grid scrolled: 24 pictures, six rows of four, four shown -------------------
# A row down, picture 5 chosen in the first button; to the bottom (rows 3 to
# 6), Ctrl and the last button adds picture 24; both are transferred.
mkdir -p "$work/many" "$work/in_scroll"
for i in $(seq -w 1 24); do
  /usr/bin/convert -size 32x24 "xc:rgb($((10#$i * 10)),80,$((250 - 10#$i * 10)))" -quality 90 "$work/many/m$i.jpg"
done
line_folder=$work/many line_camera scroll
use_port COM4
drv frame-ready 30000 >/dev/null || fq_fail "the frame stays disabled"
drv post-command 121
drv dlg-wait "Image Preview" 60000 >/dev/null || fq_fail "scroll: no grid"
sleep 1
[ "$(drv dlg-text "Image Preview" 610 | tr -dc '0-9')" = 24 ] || fq_fail "scroll: total $(drv dlg-text "Image Preview" 610)"
pos=$(drv dlg-vscroll "Image Preview" 660 1)
[ "$pos" = 1 ] || fq_fail "scroll: a line down moved to row '$pos', not 1"
drv grid-click "Image Preview" 501 plain >/dev/null
sleep 0.5
pos=$(drv dlg-vscroll "Image Preview" 660 7)
[ "$pos" = 2 ] || fq_fail "scroll: the bottom is row '$pos', not 2"
drv grid-click "Image Preview" 516 ctrl >/dev/null
sleep 0.5
fq_screenshot download_grid_scrolled
drv dlg-press "Image Preview" 603 >/dev/null
choose_folder "$work/in_scroll"
wait_files "$work/in_scroll" 2
cmp "$work/many/m05.jpg" "$work/in_scroll/DSC0001.jpg" || fq_fail "scroll: the first file is not picture 5"
cmp "$work/many/m24.jpg" "$work/in_scroll/DSC0002.jpg" || fq_fail "scroll: the second file is not picture 24"
close_grid
stop_line_camera
echo "scroll: PASS"
echo PASS
