#!/usr/bin/env bash
# Albums end to end, driven as a user drives them: Add to Album with twelve
# files (BMP, JPEGs, a movie, a JPEG named .avi beside an existing .jpg and
# one without) puts twelve cells on the grid in the dialog's order with the
# first and last exchanged, the last selected (frame colours read from the
# screen); the arrow keys move the selection; Save As appends ".alb"; the
# stored thumbnails equal those fqtool makes by the same rule; a double
# click opens a picture or plays a movie; a title edit renames the file and
# rewrites the album, a second one onto a taken name is refused; Image
# Information of the selected picture; a tick is saved and is no change;
# Copy and Paste between albums with the thumbnail block byte for byte; text
# alone greys Paste and a forced Paste says so; a 300-byte path is refused; Save As onto an
# existing album asks about the final ".alb" name; a save that cannot be
# written leaves the old file as it was and the album changed; a drag
# between albums; Cut; the same picture in other letters and a folder are
# refused; an album of 100 pictures opened from the command line refuses a
# 101st and is raised, not opened again, when dropped. Screenshot of the twelve-cell album.
source "$(dirname "$0")/lib.sh"

F=ORXDscFrame
T=Fotaquill
work=$FQ_ARTIFACTS/album_app
chattr -i "$work/locked" 2>/dev/null || true
rm -rf "$work"
mkdir -p "$work/locked" "$work/many"
winpath() { echo "Z:${1//\//\\}"; }
W=$(winpath "$work")
strip() { tr -d '\r'; }
drv() { fq_driver "$@" | strip; }
cells() { drv album-cells "$1"; }
selected() { cells "$1" | awk '/left=000000/ {print $1}'; }
box() { drv dialog-text 10000; }
press() { drv dialog-press "$1" 5000 >/dev/null; }
children() { drv mdi-children $F $T; }
wait_cells() {  # album count: that many cells, the program idle, everything painted
  drv wait-album-idle "$1" "$2" 120000 >/dev/null ||
    fq_fail "album $1 never had $2 cells: $(cells "$1" | tail -1)"
}

# --- Pictures ------------------------------------------------------------------
for i in 1 2 3 4 5 6 7 8; do
  /usr/bin/convert -seed $i -size 320x240 plasma:fractal "$work/p.ppm"
  cjpeg -quality 85 "$work/p.ppm" >"$work/p0$i.jpg"
done
/usr/bin/convert -size 480x640 gradient:red-green "$work/p.ppm"
cjpeg "$work/p.ppm" >"$work/p08.jpg"  # a portrait picture among them
/usr/bin/convert -size 240x320 gradient:navy-gold -type TrueColor "BMP3:$work/a1.bmp"
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=10 -frames:v 10 -c:v msvideo1 "$work/movie.avi"
/usr/bin/convert -size 320x240 gradient:white-black "$work/p.ppm"
cjpeg "$work/p.ppm" >"$work/x.avi"  # a JPEG named like a movie ...
cp "$work/p01.jpg" "$work/x.jpg"    # ... beside a JPEG of that name
cp "$work/x.jpg" "$work/x.jpg.orig"
/usr/bin/convert -size 320x240 gradient:orange-purple "$work/p.ppm"
cjpeg "$work/p.ppm" >"$work/y.avi"  # and one without
rm "$work/p.ppm"
# The add dialog starts in the test's folder; the settings file is put back
# afterwards.
ini=$FQ_INI
fq_keep_ini
printf '[ORXAPP]\r\ndir=%s\\\r\n' "$W" >"$ini"

fq_start_app
drv wait-window $F $T 30000 >/dev/null || fq_fail "no frame"
sleep 1

# --- Twelve files ----------------------------------------------------------------
drv post-command 105
for i in $(seq 1 50); do children | grep -q '"Album 1"' && break; sleep 0.1; done
children | grep -qx 'ORXAlbumChild "Album 1"' || fq_fail "no new album: $(children)"
drv post-command 143
names='"a1.bmp" "p01.jpg" "p02.jpg" "p03.jpg" "p04.jpg" "p05.jpg" "p06.jpg" "p07.jpg" "p08.jpg" "movie.avi" "x.avi" "y.avi"'
title=$(box | head -1)
[ "$title" = "title=Add Album File" ] || fq_fail "the add dialog: $title"
drv file-dialog "$names" 0 10000 >/dev/null || fq_fail "cannot choose the files"
wait_cells "Album 1" 12
sleep 1
# The screen shows what the program drew a moment after it drew it.
for i in $(seq 1 50); do
  cells "Album 1" >"$work/cells.txt"
  grep -q '^0 .* left=000000 right=000000' "$work/cells.txt" || break
  sleep 0.1
done
cat "$work/cells.txt"
colours=$(head -1 "$work/cells.txt")
hi=$(sed 's/.*highlight=\([0-9a-f]*\).*/\1/' <<<"$colours")
sh=$(sed 's/.*shadow=\([0-9a-f]*\).*/\1/' <<<"$colours")
fa=$(sed 's/.*face=\([0-9a-f]*\).*/\1/' <<<"$colours")
want_titles=(y.jpg p01.jpg p02.jpg p03.jpg p04.jpg p05.jpg p06.jpg p07.jpg p08.jpg movie.avi x.avi a1.bmp)
for i in $(seq 0 11); do
  line=$(grep "^$i " "$work/cells.txt")
  x=$(( (i % 5) * 135 + 5 )); y=$(( (i / 5) * 155 + 5 ))
  grep -q " at=$x,$y size=130x150 " <<<"$line" || fq_fail "cell $i not at $x,$y: $line"
  grep -q " title=${want_titles[$i]}\$" <<<"$line" || fq_fail "cell $i should be ${want_titles[$i]}: $line"
  if [ "$i" = 11 ]; then
    grep -q "left=000000 right=ffffff inside=$sh " <<<"$line" || fq_fail "the last cell is not drawn selected: $line"
  else
    grep -q "left=$hi right=$sh inside=$fa " <<<"$line" || fq_fail "cell $i is not drawn raised: $line"
  fi
done
# The JPEG named .avi keeps its name beside the taken .jpg, which is unchanged;
# the other got its .jpg name.
cmp "$work/x.jpg" "$work/x.jpg.orig" || fq_fail "x.jpg was replaced"
[ -f "$work/x.avi" ] || fq_fail "x.avi was moved"
[ -f "$work/y.jpg" ] && [ ! -e "$work/y.avi" ] || fq_fail "y.avi did not become y.jpg"
fq_screenshot album_twelve

# --- Arrow keys --------------------------------------------------------------------
step() {  # key expected
  drv key "$1" >/dev/null
  local got
  got=$(selected "Album 1")
  [ "$got" = "$2" ] || fq_fail "key $1: selected $got, expected $2"
}
step 0x25 10   # left
step 0x26 5    # up
step 0x26 0    # up
step 0x26 0    # up on the first row: nothing
step 0x27 1    # right
step 0x28 6    # down
step 0x28 11   # down
step 0x28 11   # down on the last row: nothing

# --- Save As: ".alb" is added ---------------------------------------------------------
drv post-command 107
drv file-dialog "$W\\alb1" 0 10000 >/dev/null || fq_fail "no save dialog"
for i in $(seq 1 50); do children | grep -q '"alb1.alb"' && break; sleep 0.1; done
children | grep -qx 'ORXAlbumChild "alb1.alb"' || fq_fail "album not titled alb1.alb: $(children)"
"$FQ_BUILD/fqtool" album list "$work/alb1.alb" >"$work/list.txt" || fq_fail "fqtool cannot read alb1.alb"
grep -q '^entries: 12$' "$work/list.txt" || fq_fail "alb1.alb: $(cat "$work/list.txt")"
# The thumbnails the window made are those of the cell's rule, as fqtool
# makes them from the same files (the movie's frame comes another road).
mkdir -p "$work/ours" "$work/tool"
"$FQ_BUILD/fqtool" album thumbnails "$work/alb1.alb" "$work/ours" >/dev/null
(cd "$work" && "$FQ_BUILD/fqtool" album make "$work/tool.alb" y.jpg p01.jpg p02.jpg p03.jpg p04.jpg \
  p05.jpg p06.jpg p07.jpg p08.jpg x.avi a1.bmp) || fq_fail "fqtool album make"
"$FQ_BUILD/fqtool" album thumbnails "$work/tool.alb" "$work/tool" >/dev/null
n=0
for i in 1 2 3 4 5 6 7 8 9 11 12; do
  n=$((n + 1))
  cmp -s "$work/ours/$(printf %03d $i).bmp" "$work/tool/$(printf %03d $n).bmp" ||
    fq_fail "thumbnail $i differs from the rule's"
done
[ "$(/usr/bin/identify -format '%wx%h' "$work/ours/009.bmp")" = 54x72 ] || fq_fail "portrait thumbnail size"

# --- A double click opens the picture ------------------------------------------------
drv cell-click alb1.alb 2 2 >/dev/null
for i in $(seq 1 50); do children | grep -q 'p02.jpg \[' && break; sleep 0.2; done
children | grep -q 'ORXNormalChild "p02.jpg \[' || fq_fail "double click opened no picture: $(children)"
drv post-command 106  # close it again
for i in $(seq 1 50); do children | grep -q 'p02.jpg' || break; sleep 0.1; done
# ... and on a movie plays it.
drv cell-click alb1.alb 9 2 >/dev/null
info=$(drv movie-window 15000) || fq_fail "double click played no movie"
grep -qxF "title=$W\\movie.avi" <<<"$info" || fq_fail "movie window: $info"
drv movie-close >/dev/null
for i in $(seq 1 100); do [ "$(drv movie-count)" = 0 ] && break; sleep 0.1; done

# --- Renaming through the title --------------------------------------------------------
drv cell-title alb1.alb 3 renamed.jpg >/dev/null
for i in $(seq 1 50); do [ -f "$work/renamed.jpg" ] && break; sleep 0.1; done
[ -f "$work/renamed.jpg" ] && [ ! -e "$work/p03.jpg" ] || fq_fail "p03.jpg was not renamed"
[ "$(drv cell-title-text alb1.alb 3)" = renamed.jpg ] || fq_fail "title after the rename"
for i in $(seq 1 50); do
  "$FQ_BUILD/fqtool" album list "$work/alb1.alb" | grep -q 'renamed.jpg$' && break
  sleep 0.1
done
"$FQ_BUILD/fqtool" album list "$work/alb1.alb" | grep -q '  4 \[ \] 96x72 .*renamed.jpg$' ||
  fq_fail "the album file was not rewritten with the new name"
drv cell-title alb1.alb 4 renamed.jpg >/dev/null
b=$(box)
grep -q 'text=File with same name already exists.' <<<"$b" || fq_fail "no refusal of a taken name: $b"
press 1
sleep 0.5
[ "$(drv cell-title-text alb1.alb 4)" = renamed.jpg ] || fq_fail "the refused title is not left for editing"
drv key 0x1B >/dev/null  # Escape puts the old title back
[ "$(drv cell-title-text alb1.alb 4)" = p04.jpg ] || fq_fail "Escape did not restore the title"
[ -f "$work/p04.jpg" ] || fq_fail "p04.jpg moved"

# --- Image Information of the selected picture; a tick is stored, not a change ---------
drv cell-click alb1.alb 1 1 >/dev/null
drv post-command 570
b=$(box)
grep -qx 'title=Image Information' <<<"$b" || fq_fail "no Image Information for the album's picture: $b"
press 1
drv cell-check alb1.alb 1 >/dev/null
drv post-command 101
for i in $(seq 1 50); do
  "$FQ_BUILD/fqtool" album list "$work/alb1.alb" | grep -q '  2 \[x\]' && break
  sleep 0.1
done
"$FQ_BUILD/fqtool" album list "$work/alb1.alb" | grep -q '  2 \[x\] 96x72 .*p01.jpg$' || fq_fail "the tick was not saved"

# --- Copy in one album, Paste in another ------------------------------------------------
drv cell-click alb1.alb 0 1 >/dev/null
drv post-command 140
sleep 0.5
clip=$(drv clipboard-info)
echo "$clip"
grep -qxF "path=$W\\y.jpg" <<<"$clip" || fq_fail "clipboard path: $clip"
grep -qx 'text_block=260' <<<"$clip" || fq_fail "the path is not in a 260-byte block"
drv clipboard-save-dib "$work/clip.dib"
tail -c +15 "$work/ours/001.bmp" | cmp - "$work/clip.dib" || fq_fail "the clipboard bitmap is not the thumbnail"
drv post-command 105
for i in $(seq 1 50); do children | grep -q '"Album 2"' && break; sleep 0.1; done
drv post-command 141
wait_cells "Album 2" 1
cells "Album 2" | grep -q '^0 .* title=y.jpg$' || fq_fail "Paste did not add y.jpg"

# Text alone: Paste greyed, and forced it says there is nothing to paste.
drv clipboard-put "$W\\p01.jpg" - >/dev/null
sleep 0.5
[ "$(drv toolbar-states $F $T 441 | sed -n 's/^441=//p')" = 16 ] || fq_fail "Paste not greyed for text alone"
drv post-command 141
grep -q 'text=No available data exists in the Clip board.' <<<"$(box)" || fq_fail "no message for a forced Paste"
press 1
# A 300-byte text with a bitmap.
drv clipboard-put @300 "$work/clip.dib" >/dev/null
sleep 0.5
[ "$(drv toolbar-states $F $T 441 | sed -n 's/^441=//p')" = 4 ] || fq_fail "Paste greyed with both formats"
drv post-command 141
grep -q 'text=The file Name is too long.' <<<"$(box)" || fq_fail "no refusal of a 300-byte path"
press 1
wait_cells "Album 2" 1

# The same picture again, in other letters: refused. A folder is no picture.
drv clipboard-put "$(tr a-z A-Z <<<"$W")\\Y.JPG" "$work/clip.dib" >/dev/null
drv post-command 141
grep -q 'text=This image is registered already to this album.' <<<"$(box)" || fq_fail "a second y.jpg was not refused"
press 1
drv clipboard-put "$W\\many" "$work/clip.dib" >/dev/null
drv post-command 141
grep -q 'text=File does not exist.' <<<"$(box)" || fq_fail "a folder's path was pasted"
press 1
wait_cells "Album 2" 1

# --- Saving Album 2: the final name is asked about; a failed save keeps all ----------------
drv post-command 107
drv file-dialog "$W\\alb1" 0 10000 >/dev/null
b=$(box)
grep -qF "text=$W\\alb1.alb already exists." <<<"$b" || fq_fail "no question about alb1.alb: $b"
press 7      # No: the dialog stays
sleep 0.5
press 2      # Cancel it
cp "$work/alb1.alb" "$work/locked/victim.alb"
cp "$work/alb1.alb" "$work/victim.orig"
chattr +i "$work/locked" 2>/dev/null || chmod 555 "$work/locked"
drv post-command 107
drv file-dialog "$W\\locked\\victim" 0 10000 >/dev/null
grep -q 'victim.alb already exists' <<<"$(box)" || fq_fail "no question about victim.alb"
press 6
b=$(box)
grep -q '^text=File cannot be opened.' <<<"$b" || fq_fail "no error for the failed save: $b"
press 1
chattr -i "$work/locked" 2>/dev/null || chmod 755 "$work/locked"
cmp "$work/locked/victim.alb" "$work/victim.orig" || fq_fail "the old album file changed"
[ "$(ls "$work/locked")" = victim.alb ] || fq_fail "left behind: $(ls "$work/locked")"
children | grep -qx 'ORXAlbumChild "Album 2"' || fq_fail "the album was renamed by a failed save"
drv post-command 106   # still changed: closing asks
grep -q 'text=(Album 2) was updated!! Do you want to save?' <<<"$(box)" || fq_fail "the failed save cleared the change"
press 2

# --- Dragging a picture to the other album ----------------------------------------------
drv post-command 160   # tile, so that both show
sleep 1
drv cell-drag alb1.alb 5 "Album 2" 300 60 >/dev/null
wait_cells "Album 2" 2
cells "Album 2" | grep -q '^1 .* title=p05.jpg$' || fq_fail "the drag added no p05.jpg"
wait_cells alb1.alb 12
# Cut takes the picture out after copying it; Paste puts it back at the end.
drv cell-click "Album 2" 0 1 >/dev/null
drv post-command 142
wait_cells "Album 2" 1
cells "Album 2" | grep -q '^0 .* title=p05.jpg$' || fq_fail "Cut left the wrong cell"
drv clipboard-info | grep -qxF "path=$W\\y.jpg" || fq_fail "Cut did not copy y.jpg"
drv post-command 141
wait_cells "Album 2" 2
cells "Album 2" | grep -q '^1 .* title=y.jpg$' || fq_fail "Paste after Cut"

# --- 100 pictures from the command line, and a 101st ---------------------------------------
/usr/bin/convert -seed 3 -size 160x120 plasma:fractal "$work/many/base.ppm"
for i in $(seq -w 1 101); do cjpeg -quality 80 "$work/many/base.ppm" >"$work/many/m$i.jpg"; done
(cd "$work/many" && "$FQ_BUILD/fqtool" album make many.alb $(ls m*.jpg | head -100)) || fq_fail "album of 100"
# Ticking after the last save made no change to ask about: only Album 2 asks.
drv cell-check alb1.alb 2 >/dev/null
drv close $F $T
asked=
for i in $(seq 1 10); do   # answer the save questions of the albums
  b=$(drv dialog-text 2000 2>/dev/null || true)
  grep -q 'was updated' <<<"$b" || break
  asked+=$(grep -o '(.*)' <<<"$b")
  press 7
done
[ "$asked" = "(Album 2)" ] || fq_fail "save questions at the end: $asked"
fq_wait_app_exit 20 || fq_fail "the program did not end"
fq_start_app "$W\\many\\many.alb"
drv wait-window $F $T 30000 >/dev/null || fq_fail "no frame"
for i in $(seq 1 150); do children | grep -q '"many.alb"' && break; sleep 0.2; done
wait_cells many.alb 100
# Dropped once more: the open album is raised, not opened twice.
drv drop-files $F $T "$W\\many\\many.alb" >/dev/null
grep -q 'text=File with same name has already been opened.' <<<"$(box)" || fq_fail "no same-name message"
press 1
[ "$(children | grep -c '"many.alb"')" = 1 ] || fq_fail "many.alb open twice"
drv post-command 143
drv file-dialog "$W\\many\\m101.jpg" 0 10000 >/dev/null
b=$(box)
grep -q 'text=This album is full.' <<<"$b" || fq_fail "the 101st picture was not refused: $b"
press 1
wait_cells many.alb 100

drv close $F $T
fq_wait_app_exit 20 || fq_fail "the program did not end"
echo "PASS"
