#!/usr/bin/env bash
# Makes the Linux build's pictures that the browser build is compared with: the game started
# at 500 x 500 on an X server of its own, the pointer off the window, then
#   start.png   the first frame;
#   card.png    the key card (F1) at rest;
#   left.png    the camera at the left side (4), the card put away;
#   above.png   the camera above (8) with the flat projection (v).
#   tests/web/linux-pictures.sh LINUX-BUILD-DIR OUT-DIR
set -eu
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
if [ -z "${VOLKRIN_PICTURES_DISPLAY:-}" ]; then
  VOLKRIN_PICTURES_DISPLAY=1 exec "$(dirname "$0")/../xvfb-run.sh" "$0" "$@"
fi
[ -x "$build/volkrin" ] && [ -x "$build/tools/volkrin_screenshot" ] || {
  echo "linux-pictures.sh: the Linux game and its screenshot tool are not built in $build" \
       "(scripts/build.sh default)" >&2
  exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$(dirname "$0")/../../assets/level.bmp" "$work/"
(cd "$work" && exec "$build/volkrin" >/dev/null) &
game=$!
"$build/tools/volkrin_screenshot" --title Volkrin --move -50,-50 --wait 1500 \
  --out "$out/start.png" --key F1 --wait 500 --out "$out/card.png" --key F1 --keys 4 \
  --wait 500 --out "$out/left.png" --keys 8v --wait 500 --out "$out/above.png" --keys q
wait "$game"
