#!/usr/bin/env bash
# Builds the browser build (scripts/build-web.sh) and prints its figures in headless Chromium
# (bench/web_figures.js): sizes, time to the first frame (served, from disk, offline), frames
# and CPU at rest, paused and in a rally. RUNS (default 3) runs of each, the median shown.
#   scripts/web-figures.sh [RUNS]
set -eu
cd "$(dirname "$0")/.."
scripts/build-web.sh >/dev/null
prefix=$(scripts/web-deps.sh 2>/dev/null | tail -n 1)
NODE_PATH=$prefix/node_modules VOLKRIN_WEB_PAGE=$(ls -d "$PWD"/build/web/volkrin-*-web) \
  exec node bench/web_figures.js "$@"
