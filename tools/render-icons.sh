#!/usr/bin/env bash
# Renders packaging/volkrin.svg to the PNG icons the package installs and the window's icon
# is made from: tools/render-icons.sh [directory] (packaging/icons when none is given).
# Needs rsvg-convert (Debian: librsvg2-bin; scripts/setup.sh --tests installs it).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/packaging/icons}
command -v rsvg-convert >/dev/null || {
  echo "render-icons.sh: rsvg-convert is missing (Debian: librsvg2-bin)" >&2
  exit 1
}
mkdir -p "$out"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" -o "$out/volkrin-$size.png" "$root/packaging/volkrin.svg"
done
