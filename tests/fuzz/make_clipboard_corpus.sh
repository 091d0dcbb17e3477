#!/usr/bin/env bash
# Writes the seed corpus of the clipboard fuzz target from the BMP corpus:
# each bitmap without its 14-byte file header (a packed bitmap as the
# clipboard holds it) behind a two-byte length and a path text block.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$here/corpus/clipboard_fuzz"
mkdir -p "$out"
rm -f "$out"/*.clip
text='C:\Photos\DSC0001.jpg'
for f in "$here"/corpus/bmp_fuzz/*.bmp; do
  name=$(basename "$f" .bmp)
  {
    printf '\x04\x01'                      # 260, little-endian
    printf '%s' "$text"
    head -c $((260 - ${#text})) /dev/zero
    tail -c +15 "$f"
  } >"$out/$name.clip"
done
# Text alone, text without a terminator, and a 300-byte text.
{ printf '\x04\x01'; printf '%s' "$text"; head -c $((260 - ${#text})) /dev/zero; } >"$out/text_only.clip"
{ printf '\x10\x00'; printf 'abcdefghijklmnop'; } >"$out/no_terminator.clip"
{ printf '\x2d\x01'; head -c 300 /dev/zero | tr '\0' 'a'; printf '\0'; } >"$out/long_text.clip"
ls "$out" | wc -l
