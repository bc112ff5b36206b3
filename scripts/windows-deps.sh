#!/usr/bin/env bash
# Builds, once, what the Windows build of the game links against: freeglut and OpenAL Soft,
# cross-built with MinGW-w64 from the sources in Debian's archive, and GoogleTest for the
# cross-built tests. Prints the prefix that holds them (include, lib, bin, share) as the last
# line of its output; everything else goes to stderr.
#   scripts/windows-deps.sh
# The prefix lies in a cache outside the clone (VOLKRIN_CACHE, default ~/.cache/volkrin),
# named by a hash of everything the build depends on: this script's and the fetcher's commands
# (which name the sources' hashes and the build options; not their comments), the toolchain
# file, the compiler and GoogleTest's version.
# A later run with the same inputs finds it and builds nothing.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh --windows >&2

# The source tarballs, as Debian ships them (bookworm's freeglut; OpenAL Soft from trixie,
# whose 1.24 builds for Windows with WASAPI, where bookworm's 1.19 tarballs are gone from the
# archive), each checked against the hash written here.
sources=(
  "freeglut 3.4.0-1 freeglut_3.4.0.orig.tar.gz 3c0bcb915d9b180a97edaebd011b7a1de54583a838644dcd42bb0ea0c6f3eaec"
  "openal-soft 1:1.24.2-1 openal-soft_1.24.2.orig.tar.gz 7efd383d70508587fbc146e4c508771a2235a5fc8ae05bf6fe721c20a348bd7c"
)
toolchain=$root/cmake/mingw-w64-x86_64.cmake
compiler=x86_64-w64-mingw32-g++-posix

cache=${VOLKRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/volkrin}
key=$( { grep -hv '^ *#' "$root/scripts/windows-deps.sh" "$root/scripts/fetch-sources.sh"; cat "$toolchain";
         "$compiler" --version | head -n 1;
         dpkg-query -W -f='${Version}' googletest; } | sha256sum | cut -c1-16)
prefix=$cache/windows-deps-$key
if [ -f "$prefix/complete" ]; then
  echo "$prefix"
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$prefix"
mkdir -p "$prefix/share/sources" "$cache/sources"
started=$(date +%s)

scripts/fetch-sources.sh "${sources[@]}"
for entry in "${sources[@]}"; do
  read -r _ _ file _ <<<"$entry"
  cp "$cache/sources/$file" "$prefix/share/sources/"
  tar -xzf "$cache/sources/$file" -C "$work"
done

jobs=$(nproc)
crossBuild() {  # crossBuild SOURCE-DIR NAME CMAKE-OPTIONS...: configure, build, install
  local dir=$1 name=$2
  shift 2
  echo "== windows-deps: building $name" >&2
  cmake -S "$dir" -B "$work/build-$name" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >&2
  cmake --build "$work/build-$name" -j "$jobs" >&2
  cmake --install "$work/build-$name" --strip >&2
}

# freeglut as a DLL that needs no MinGW runtime DLL beside it. On Windows it installs no
# GL/glut.h, which CMake's FindGLUT looks for: the source's own is copied in.
crossBuild "$work/freeglut-3.4.0" freeglut -DFREEGLUT_BUILD_DEMOS=OFF \
  -DFREEGLUT_BUILD_STATIC_LIBS=OFF -DFREEGLUT_BUILD_SHARED_LIBS=ON \
  -DCMAKE_SHARED_LINKER_FLAGS=-static-libgcc
cp "$work/freeglut-3.4.0/include/GL/glut.h" "$prefix/include/GL/"
mkdir -p "$prefix/share/licenses/freeglut"
cp "$work/freeglut-3.4.0/COPYING" "$prefix/share/licenses/freeglut/"

# OpenAL Soft with its Windows backends (WASAPI, DirectSound, WinMM, wave file, null), the
# C++ and thread runtimes linked in; no utilities, examples or tests.
crossBuild "$work/openal-soft-1.24.2" openal-soft -DALSOFT_UTILS=OFF -DALSOFT_EXAMPLES=OFF \
  -DALSOFT_TESTS=OFF -DALSOFT_INSTALL_EXAMPLES=OFF -DALSOFT_INSTALL_UTILS=OFF \
  -DALSOFT_NO_CONFIG_UTIL=ON -DALSOFT_STATIC_LIBGCC=ON -DALSOFT_STATIC_STDCXX=ON \
  -DALSOFT_STATIC_WINPTHREAD=ON
mkdir -p "$prefix/share/licenses/openal-soft"
cp "$work/openal-soft-1.24.2/COPYING" "$prefix/share/licenses/openal-soft/"

# GoogleTest for the rules' tests, static, from Debian's source package.
crossBuild /usr/src/googletest googletest -DBUILD_GMOCK=ON -Dgtest_force_shared_crt=ON

echo "== windows-deps: built in $(($(date +%s) - started)) s into $prefix" >&2
touch "$prefix/complete"
echo "$prefix"
