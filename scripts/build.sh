#!/usr/bin/env bash
# Configures and builds one preset (default unless named); further arguments go to the
# build, e.g. scripts/build.sh default --target volkrin
set -eu
cd "$(dirname "$0")/.."
preset=${1:-default}
shift || true
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" "$@"
