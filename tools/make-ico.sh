#!/bin/sh
# Packs PNG pictures into a Windows icon file, each picture kept as PNG (Windows Vista and
# later read them): make-ico.sh out.ico in-16.png in-32.png ... (square, 256 pixels at most).
set -eu
out=$1
shift
# le16 / le32 N: N as little-endian bytes.
le16() { printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
# The width from the PNG header (bytes 16-19, big-endian).
pngWidth() { od -An -tu1 -j16 -N4 "$1" | awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4}'; }

count=$#
offset=$((6 + 16 * count))
{
  le16 0; le16 1; le16 "$count"  # reserved, type 1 (icon), entries
  for png in "$@"; do
    width=$(pngWidth "$png")
    size=$(wc -c <"$png")
    side=$((width >= 256 ? 0 : width))  # 0 stands for 256
    printf "\\$(printf %03o "$side")\\$(printf %03o "$side")"
    le16 0           # no palette, reserved
    le16 1; le16 32  # planes, bits per pixel
    le32 "$size"; le32 "$offset"
    offset=$((offset + size))
  done
  cat "$@"
} >"$out"
