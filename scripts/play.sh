#!/usr/bin/env bash
# Sets up and builds the game alone (no tests: the play preset) and starts it from its build
# directory, where level.bmp lies.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh play --target volkrin >/dev/null
if [ -z "${DISPLAY:-}" ]; then
  echo "volkrin: no display (DISPLAY is not set); start it from a graphical session." >&2
  exit 1
fi
cd build/play
exec ./volkrin "$@"
