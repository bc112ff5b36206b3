#!/usr/bin/env bash
# Installs, from Debian's packages, what the machine lacks: by default what building and
# playing the game need; with --tests also what the tests, the fuzzer, the benchmarks and the
# package checks need; with --windows what cross-building the Windows release needs; with
# --web what the browser build and its tests need. Quick when everything is there already.
# Needs root (or sudo).
set -eu
# Debian 12's C++ compiler (by its own name: the play preset asks for g++-12, which spares
# the g++, gcc and cpp wrapper packages), make and CMake; freeglut, GLU and GL with their
# headers (libx11-dev among them); Mesa's drivers, which draw the game where no other does;
# OpenAL Soft with its headers, for the sound; libpng's headers, for the build step that
# turns the icon's committed PNG renders into the window's icon.
play=(g++-12 make cmake libglut-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri
      libopenal-dev libpng-dev)
# The compiler under its usual name, for the other presets; GoogleTest, Google Benchmark;
# Xvfb, XTest and XFixes (which reads the pointer's cursor) for the tests that open
# windows, xprop for the package's window check; clang and its fuzzing runtime; the
# desktop-entry, metainfo, manual and package checkers, and dpkg-dev and file for building
# the package; rsvg-convert, which renders the SVG icon again to check the committed PNGs;
# a PulseAudio server and its recorder, which the sound tests start and stop under the
# game (about 28 MB to fetch, most of it codecs that ALSA's plugins bring).
tests=(
  g++ libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth libx11-dev libxtst-dev libxfixes-dev x11-utils
  pulseaudio pulseaudio-utils
  clang clang-14 libclang-rt-14-dev
  desktop-file-utils appstream man-db lintian dpkg-dev file librsvg2-bin
)
# The Windows build: MinGW-w64's compiler (posix threads, for std::thread), its resource
# compiler among its binutils, CMake and make; Wine to run the game and its tests; NSIS for
# the installer, zip for the archive; GoogleTest's sources, cross-built for the tests.
windows=(g++-mingw-w64-x86-64-posix cmake make wine wine64 nsis zip googletest)
# The browser build: emscripten (with its system libraries built, and Node.js, which runs its
# tools), CMake and make; Chromium, where its tests play it, and npm, which fetches their
# pinned driver; GoogleTest's sources, built with emscripten for the rules' tests.
web=(emscripten cmake make chromium googletest)
case "${1:-}" in
  "") packages=("${play[@]}") ;;
  --tests) packages=("${play[@]}" "${tests[@]}") ;;
  --windows) packages=("${windows[@]}") ;;
  --web) packages=("${web[@]}") ;;
  *) echo "usage: scripts/setup.sh [--tests | --windows | --web]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
# Node.js from elsewhere (NodeSource's, say) brings npm with it; Debian's comes apart.
[ "${1:-}" = --web ] && ! command -v npm >/dev/null && missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
