#!/usr/bin/env bash
# Builds Volkrin for the browser on Debian 12: installs emscripten and Chromium from Debian's
# packages, makes its dependencies ready once (scripts/web-deps.sh), builds the game and its
# tests with emscripten into build/web and writes there volkrin-VERSION-web.zip, a folder
# whose index.html plays from any static web server or straight from disk. Needs root (or
# sudo) the first time.
set -eu
cd "$(dirname "$0")/.."
prefix=$(scripts/web-deps.sh | tail -n 1)
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release \
  -DGTest_DIR="$prefix/lib/cmake/GTest" -DVOLKRIN_WEB_TOOLS="$prefix" \
  -DVOLKRIN_FREEGLUT_SOURCE="$(ls "$prefix"/share/sources/freeglut_*.orig.tar.gz)" >/dev/null
cmake --build build/web -j "$(nproc)"
ls -l build/web/volkrin-*-web.zip
