#!/usr/bin/env bash
# Configures and builds one preset (default unless named): scripts/build.sh [preset]
set -eu
cd "$(dirname "$0")/.."
preset=${1:-default}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
