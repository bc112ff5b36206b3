#!/usr/bin/env bash
# Sets up, builds and starts the game from the build directory, where level.bmp lies.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default --target volkrin >/dev/null
if [ -z "${DISPLAY:-}" ]; then
  echo "volkrin: no display (DISPLAY is not set); start it from a graphical session." >&2
  exit 1
fi
cd build/default
exec ./volkrin "$@"
