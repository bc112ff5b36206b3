#!/usr/bin/env bash
# Builds the Debian package in a temporary directory and checks its control fields and its
# contents: the Debian games layout under /usr, a stripped game binary, generated files that
# name /usr paths, one version throughout, and lintian's verdict where lintian is installed.
# Usage: check-deb.sh <build dir> <application id>
set -u
build=$1 appId=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# cpack first brings the build up to date (its preinstall step): a no-op after a full build.
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  echo "FAIL: cpack (is the game built?)"
  exit 1
fi
debs=("$tmp"/out/volkrin_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  ls -l "$tmp/out"
  echo "FAIL: expected one volkrin_*.deb"
  exit 1
fi
deb=${debs[0]}
echo "package: $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = volkrin ] || fail "Package is $(field Package)"
[ "$(field Section)" = games ] || fail "Section is $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
echo "Depends: $depends"
for lib in libc6 'libstdc\+\+6' 'libopengl0|libgl1' libglu1 libglut libopenal1; do
  grep -Eq "$lib" <<<"$depends" || fail "Depends lacks $lib (shlibdeps)"
done

dpkg-deb -c "$deb" >"$tmp/contents"
cat "$tmp/contents"
files=$(awk '$1 !~ /^d/ { print $6 }' "$tmp/contents" | LC_ALL=C sort)
expected="./usr/games/volkrin
./usr/lib/games/volkrin/alsoft.conf
./usr/lib/games/volkrin/volkrin
./usr/share/applications/$appId.desktop
./usr/share/doc/volkrin/changelog.gz
./usr/share/doc/volkrin/copyright
./usr/share/games/volkrin/level.bmp
./usr/share/icons/hicolor/128x128/apps/volkrin.png
./usr/share/icons/hicolor/16x16/apps/volkrin.png
./usr/share/icons/hicolor/256x256/apps/volkrin.png
./usr/share/icons/hicolor/32x32/apps/volkrin.png
./usr/share/icons/hicolor/48x48/apps/volkrin.png
./usr/share/icons/hicolor/64x64/apps/volkrin.png
./usr/share/icons/hicolor/scalable/apps/volkrin.svg
./usr/share/man/man6/volkrin.6.gz
./usr/share/metainfo/$appId.metainfo.xml"
if [ "$files" != "$expected" ]; then
  fail "package files differ from the expected layout:"
  diff <(echo "$expected") <(echo "$files")
fi
awk '$6 == "./usr/games/volkrin" || $6 == "./usr/lib/games/volkrin/volkrin" { print $1, $2 }' \
  "$tmp/contents" | grep -vqx -- '-rwxr-xr-x root/root' && fail "programs not 755 root/root"

# The generated files must name the packaged paths under /usr, not the staging directory.
dpkg-deb -x "$deb" "$tmp/root"
grep -qxF "cd '/usr/share/games/volkrin' || exit 1" "$tmp/root/usr/games/volkrin" \
  || fail "launcher does not change to /usr/share/games/volkrin"
grep -qxF "exec '/usr/lib/games/volkrin/volkrin' \"\$@\"" "$tmp/root/usr/games/volkrin" \
  || fail "launcher does not exec /usr/lib/games/volkrin/volkrin"
desktop="$tmp/root/usr/share/applications/$appId.desktop"
grep -qxF "Path=/usr/share/games/volkrin" "$desktop" || fail "desktop Path"
grep -qxF "Exec=/usr/games/volkrin" "$desktop" || fail "desktop Exec"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
zcat "$tmp/root/usr/share/man/man6/volkrin.6.gz" | grep -qF "/usr/share/games/volkrin/level.bmp" \
  || fail "manual does not name /usr/share/games/volkrin/level.bmp"
grep -rlF "$tmp" "$tmp/root" && fail "a packaged file names the staging directory"
file "$tmp/root/usr/lib/games/volkrin/volkrin" | grep -q ', stripped' || fail "game binary not stripped"
version=$(field Version)
zcat "$tmp/root/usr/share/doc/volkrin/changelog.gz" | head -n 1 | grep -qF "volkrin ($version) " \
  || fail "the changelog's newest entry is not $version"
grep -m 1 '<release ' "$tmp/root/usr/share/metainfo/$appId.metainfo.xml" | grep -qF "\"$version\"" \
  || fail "the metainfo's newest release is not $version"

# Debian's own checks: no error and no warning (info and pedantic tags are printed only).
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning --info --pedantic "$deb" || fail "lintian reports errors or warnings"
fi

[ "$failures" -eq 0 ] && echo "package OK"
exit $((failures > 0))
