#!/usr/bin/env bash
# Renders packaging/volkrin.svg to the PNG icons the package installs and the window's icon
# is made from, and the larger ones the browser build's page is installed with:
# tools/render-icons.sh [directory] (packaging/icons when none is given).
# Needs rsvg-convert (Debian: librsvg2-bin; scripts/setup.sh --tests installs it).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/packaging/icons}
command -v rsvg-convert >/dev/null || {
  echo "render-icons.sh: rsvg-convert is missing (Debian: librsvg2-bin)" >&2
  exit 1
}
mkdir -p "$out"
for size in 16 32 48 64 128 256 192 512; do
  rsvg-convert -w "$size" -h "$size" -o "$out/volkrin-$size.png" "$root/packaging/volkrin.svg"
done
# An iPhone's home screen fills a transparent icon's corners with black: this one is opaque.
rsvg-convert -w 180 -h 180 -b white -o "$out/volkrin-180-opaque.png" "$root/packaging/volkrin.svg"
