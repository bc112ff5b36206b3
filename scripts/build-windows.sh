#!/usr/bin/env bash
# Builds Volkrin for 64-bit Windows on Debian 12: installs MinGW-w64, Wine, NSIS and zip from
# Debian's packages, builds freeglut and OpenAL Soft from Debian's sources once into a cache
# (scripts/windows-deps.sh), cross-builds the game and its tests into build/windows, and
# writes there volkrin-VERSION-win64.zip and volkrin-VERSION-win64-setup.exe, with the
# libraries' sources in build/windows/sources. Needs root (or sudo) the first time.
set -eu
cd "$(dirname "$0")/.."
prefix=$(scripts/windows-deps.sh | tail -n 1)
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=RelWithDebInfo --no-warn-unused-cli >/dev/null
cmake --build build/windows -j "$(nproc)"
cmake --build build/windows --target release
ls -l build/windows/volkrin-*-win64.zip build/windows/volkrin-*-win64-setup.exe
