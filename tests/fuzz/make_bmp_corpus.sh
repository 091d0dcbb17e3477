#!/usr/bin/env bash
# Writes the seed corpus of the BMP fuzz target: small pictures in each form
# the reader knows, made with ImageMagick, plus a few hand-built files for the
# forms it does not write (top-down rows, gaps, short palettes).
set -euo pipefail
IM=/usr/bin/convert
out="$(cd "$(dirname "$0")" && pwd)/corpus/bmp_fuzz"
mkdir -p "$out"
rm -f "$out"/*.bmp
src="$(mktemp -d)"
trap 'rm -rf "$src"' EXIT
$IM -size 13x7 gradient:red-blue "$src/grad.png"
$IM -size 9x5 pattern:checkerboard "$src/check.png"

$IM "$src/grad.png" -type TrueColor BMP3:"$out/rgb24.bmp"
$IM "$src/grad.png" -type TrueColor BMP2:"$out/core24.bmp"
$IM hald:2 -type Palette BMP3:"$out/pal8.bmp"
$IM "$src/grad.png" -colors 16 -type Palette BMP2:"$out/core8.bmp"
$IM "$src/grad.png" -colors 12 -depth 4 -type Palette BMP3:"$out/pal4.bmp"
$IM "$src/check.png" -type Bilevel BMP3:"$out/mono1.bmp"
$IM -size 24x40 gradient:red-blue -type Palette -compress RLE BMP3:"$out/rle8.bmp"
$IM "$src/grad.png" -define bmp:subtype=RGB565 BMP:"$out/rgb565.bmp"
$IM "$src/grad.png" -define bmp:subtype=RGB555 BMP:"$out/rgb555.bmp"
$IM "$src/grad.png" -alpha set -define bmp:subtype=ARGB4444 BMP:"$out/argb4444.bmp"
$IM "$src/grad.png" -alpha set BMP:"$out/argb32.bmp"

# Hand-built: a 2 × 2 top-down 24-bit picture, an 8-bit picture with a gap
# after a two-entry palette, and a 4-bit run-length picture.
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
info() {  # width height bits compression colours
  le32 40; le32 "$1"; le32 "$2"; le16 1; le16 "$3"; le32 "$4"; le32 0; le32 0; le32 0; le32 "$5"; le32 0
}
{ printf BM; le32 70; le32 0; le32 54; info 2 -2 24 0 0
  printf '\x00\x00\xff\x00\xff\x00\x00\x00\xff\x00\x00\xff\xff\xff\x00\x00'; } > "$out/topdown24.bmp"
{ printf BM; le32 72; le32 0; le32 68; info 1 1 8 0 2
  printf '\x00\x00\xff\x00\x00\xff\x00\x00'; printf '\xee\xee\xee\xee\xee\xee'; printf '\x01\x00\x00\x00'; } > "$out/gap8.bmp"
{ printf BM; le32 90; le32 0; le32 78; info 5 2 4 2 6
  printf '\x00\x00\x00\x00\xff\x00\x00\x00\x00\xff\x00\x00\x00\x00\xff\x00\xff\xff\xff\x00\x80\x80\x80\x00'
  printf '\x05\x12\x00\x00\x00\x05\x34\x51\x20\x00\x00\x01'; } > "$out/rle4.bmp"
ls -l "$out"
