#!/usr/bin/env bash
# Installs the built game under a temporary prefix (one with a space and a quote in it, the
# hardest case for the generated files) and checks the layout, the desktop entry, the
# metainfo, the manual, and that the launcher starts the game with the installed image.
# Usage: check-install.sh <build dir> <application id> <xvfb-run.sh>
set -u
build=$1 appId=$2 xvfbRun=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/Volkrin's games"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log"
  echo "FAIL: cmake --install (is the game built?)"
  exit 1
fi

# Exactly these files, nothing else (no bin/, nothing uncompressed beside the manual).
expected="games/volkrin
lib/games/volkrin/alsoft.conf
lib/games/volkrin/volkrin
share/applications/$appId.desktop
share/doc/volkrin/changelog.gz
share/doc/volkrin/copyright
share/games/volkrin/level.bmp
share/icons/hicolor/128x128/apps/volkrin.png
share/icons/hicolor/16x16/apps/volkrin.png
share/icons/hicolor/256x256/apps/volkrin.png
share/icons/hicolor/32x32/apps/volkrin.png
share/icons/hicolor/48x48/apps/volkrin.png
share/icons/hicolor/64x64/apps/volkrin.png
share/icons/hicolor/scalable/apps/volkrin.svg
share/man/man6/volkrin.6.gz
share/metainfo/$appId.metainfo.xml"
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
  fail "installed files differ from the expected layout:"
  diff <(echo "$expected") <(echo "$actual")
fi

launcher="$prefix/games/volkrin"
binary="$prefix/lib/games/volkrin/volkrin"
dataDir="$prefix/share/games/volkrin"
[ -x "$launcher" ] || fail "launcher not executable"
[ -x "$binary" ] || fail "game binary not executable"
head -c 2 "$dataDir/level.bmp" | grep -q '^BM$' || fail "level.bmp is not a BMP file"
for f in share/applications/$appId.desktop share/man/man6/volkrin.6.gz \
         share/metainfo/$appId.metainfo.xml share/doc/volkrin/copyright; do
  [ "$(stat -c %a "$prefix/$f")" = 644 ] || fail "$f is not mode 644"
done

# Each size's render in its own size's folder.
for size in 16 32 48 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x$size/apps/volkrin.png" | grep -q "PNG image data, $size x $size," \
    || fail "the ${size}x$size icon is not a $size-pixel PNG"
done

desktop="$prefix/share/applications/$appId.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --pedantic --no-net "$prefix/share/metainfo/$appId.metainfo.xml" >"$tmp/as.log" 2>&1 \
  || { cat "$tmp/as.log"; fail "appstreamcli validate"; }
grep -qxF "Path=$dataDir" "$desktop" || fail "desktop Path is not $dataDir: $(grep ^Path= "$desktop")"
grep -qxF "Exec=\"$launcher\"" "$desktop" || fail "desktop Exec does not name the launcher: $(grep ^Exec= "$desktop")"
grep -q "<launchable type=\"desktop-id\">$appId.desktop</launchable>" \
  "$prefix/share/metainfo/$appId.metainfo.xml" || fail "metainfo does not launch $appId.desktop"

# The manual renders without warnings and names the installed paths.
LC_ALL=C.UTF-8 MANWIDTH=200 man --warnings -l "$prefix/share/man/man6/volkrin.6.gz" \
  >"$tmp/man.txt" 2>"$tmp/man.err"
[ -s "$tmp/man.err" ] && { cat "$tmp/man.err"; fail "man reports warnings"; }
for want in NAME SYNOPSIS DESCRIPTION FILES "EXIT STATUS" "$dataDir/level.bmp" "$launcher" \
            "$binary" "File Not Found : file" "CURVING OFF"; do
  grep -qF -- "$want" "$tmp/man.txt" || fail "manual lacks \"$want\""
done

# Started from an unrelated directory, the launcher must find the installed image. The
# display goes as an argument, which also shows that the arguments reach the game.
mkdir "$tmp/elsewhere"
# In the sanitizer build (the test's environment names Mesa's driver) the game preloads
# the driver, which keeps it loaded to the exit's leak check so that the driver's own leaks
# are suppressed by its name. The launcher's run ends by timeout's signal, with no check.
checkedGame=()
if [ -n "${VOLKRIN_GL_DRIVER:-}" ]; then
  checkedGame=(env "LD_PRELOAD=${LD_PRELOAD:+$LD_PRELOAD:}$VOLKRIN_GL_DRIVER"
    "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
    "LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}$VOLKRIN_LSAN_OPTIONS")
fi
run() {  # run <command...>: 3 s under Xvfb from the empty directory; prints output and status
  "$xvfbRun" bash -c 'display=$DISPLAY; unset DISPLAY; cd "$1" && shift &&
                      timeout 3 "$@" -display "$display"; echo "status $?"' \
    _ "$tmp/elsewhere" "$@" 2>&1
}
out=$(run "$launcher")
echo "launcher: $out"
grep -qx "trying to load level.bmp" <<<"$out" || fail "launcher: no load announcement"
grep -q "File Not Found" <<<"$out" && fail "launcher: level image not found"
grep -qx "status 124" <<<"$out" || fail "launcher: the game did not keep running"

# A desktop groups the running window with the launcher that started it when the entry's
# StartupWMClass is the window's class, the second string of its WM_CLASS (as xprop shows).
startupClass=$(sed -n 's/^StartupWMClass=//p' "$desktop")
windowClass=$("$xvfbRun" bash -c 'cd "$1" || exit 1
  "$2" -display "$DISPLAY" >/dev/null 2>&1 & game=$!
  for _ in $(seq 200); do
    class=$(xprop -display "$DISPLAY" -name Volkrin WM_CLASS 2>/dev/null)
    case $class in *"WM_CLASS(STRING)"*) break ;; esac
    sleep 0.1
  done
  kill "$game"; wait "$game" 2>/dev/null
  sed -n "s/^WM_CLASS(STRING) = \".*\", \"\(.*\)\"\$/\1/p" <<<"$class"' \
  _ "$tmp/elsewhere" "$launcher" 2>&1)
echo "window class: $windowClass, desktop entry's StartupWMClass: $startupClass"
[ -n "$startupClass" ] && [ "$windowClass" = "$startupClass" ] \
  || fail "the running window's class \"$windowClass\" is not the entry's StartupWMClass"

# The binary on its own reads the working directory, which has no image.
out=$(run "${checkedGame[@]}" "$binary")
echo "binary alone: $out"
grep -qx "File Not Found : level.bmp" <<<"$out" || fail "binary alone: expected File Not Found"
grep -qx "status 1" <<<"$out" || fail "binary alone: expected exit status 1"
[ -z "$(ls -A "$tmp/elsewhere")" ] || fail "the game wrote into its working directory"

[ "$failures" -eq 0 ] && echo "install layout OK under $prefix"
exit $((failures > 0))
