#!/usr/bin/env bash
# Makes ready, once, what the browser build needs beside emscripten: freeglut's source, whose
# stroke font its lettering uses; GoogleTest built with emscripten, for the rules' tests under
# Node.js; and the tests' pinned browser driver from the npm registry (tests/web's lock file).
# Prints the prefix that holds them as the last line of its output; everything else goes to
# stderr.
#   scripts/web-deps.sh
# The prefix lies in a cache outside the clone (VOLKRIN_CACHE, default ~/.cache/volkrin),
# named by a hash of its inputs: this script's and the fetcher's commands (not comments),
# emscripten's and GoogleTest's versions and the lock file. A later run finds it.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh --web >&2
# Debian's emscripten runs its tools with the modules Debian keeps for Node.js there.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

freeglut="freeglut 3.4.0-1 freeglut_3.4.0.orig.tar.gz 3c0bcb915d9b180a97edaebd011b7a1de54583a838644dcd42bb0ea0c6f3eaec"
cache=${VOLKRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/volkrin}
key=$( { grep -hv '^ *#' "$root/scripts/web-deps.sh" "$root/scripts/fetch-sources.sh";
         emcc --version | head -n 1; dpkg-query -W -f='${Version}' googletest;
         cat "$root/tests/web/package-lock.json"; } | sha256sum | cut -c1-16)
prefix=$cache/web-deps-$key
if [ -f "$prefix/complete" ]; then
  echo "$prefix"
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$prefix"
mkdir -p "$prefix/share/sources"
started=$(date +%s)

scripts/fetch-sources.sh "$freeglut"
read -r _ _ file _ <<<"$freeglut"
cp "$cache/sources/$file" "$prefix/share/sources/"

# GoogleTest, static, without threads: a page and Node.js's main thread have one.
echo "== web-deps: building googletest" >&2
emcmake cmake -S /usr/src/googletest -B "$work/googletest" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON >&2
cmake --build "$work/googletest" -j "$(nproc)" >&2
cmake --install "$work/googletest" >&2

# The browser tests' driver, exactly as the lock file has it.
echo "== web-deps: the tests' browser driver" >&2
cp "$root/tests/web/package.json" "$root/tests/web/package-lock.json" "$prefix/"
(cd "$prefix" && npm ci --no-audit --no-fund --ignore-scripts >&2)

echo "== web-deps: made in $(($(date +%s) - started)) s in $prefix" >&2
touch "$prefix/complete"
echo "$prefix"
