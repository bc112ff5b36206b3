#!/usr/bin/env bash
# Makes the pictures in docs/ from the built game (build/default unless a build directory
# is given): docs/start.png, the first frame, docs/rally.png, a ball in flight after a
# serve with the pointer still, docs/keys.png, the key card F1 brings up over that rally,
# and docs/paused.png, the pause sign once Escape has put the card away. Runs the game on an
# X server of its own.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
if [ -z "${VOLKRIN_SCREENSHOTS_DISPLAY:-}" ]; then
  VOLKRIN_SCREENSHOTS_DISPLAY=1 exec tests/xvfb-run.sh "$0" "$@"
fi

root=$(pwd)
shot="$root/$build/tools/volkrin_screenshot"
[ -x "$root/$build/volkrin" ] && [ -x "$shot" ] || {
  echo "screenshots.sh: build the game and volkrin_screenshot in $build first" >&2
  exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp assets/level.bmp "$work/level.bmp"
(cd "$work" && exec "$root/$build/volkrin" >"$work/stdout.txt") &
game=$!
mkdir -p docs

# The pointer waits off the window for the first frame, then serves from the centre.
"$shot" --title Volkrin --move -50,-50 --wait 1500 --out docs/start.png \
  --move 250,250 --wait 300 --click 1 --wait 600 --out docs/rally.png \
  --key F1 --wait 600 --out docs/keys.png --key Escape --wait 600 --out docs/paused.png --keys q
wait "$game"
echo "wrote docs/start.png, docs/rally.png, docs/keys.png and docs/paused.png"
