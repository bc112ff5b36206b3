#!/usr/bin/env bash
# Runs a Windows program of the game's build under Wine, quietly and without sound:
#   scripts/wine.sh program.exe [arguments]
#   scripts/wine.sh --prefix     prints the Wine prefix's directory
# The Wine prefix lies in the cache outside the clone (VOLKRIN_CACHE, default
# ~/.cache/volkrin; WINEPREFIX names another), made once, with Wine's audio driver off: the
# tests run where there is no sound device, as the game does on a computer without one.
set -eu
cache=${VOLKRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/volkrin}
export WINEPREFIX=${WINEPREFIX:-$cache/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
# A new prefix would otherwise ask to install Mono and Gecko, which the game never needs.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
[ "${1:-}" = --prefix ] && { echo "$WINEPREFIX"; exit 0; }
wine=/usr/lib/wine/wine64  # /usr/bin/wine insists on wine32, which a 64-bit game does not need
server=/usr/lib/wine/wineserver

if [ ! -f "$WINEPREFIX/volkrin-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9  # programs started at once make the prefix once
    if [ ! -f "$WINEPREFIX/volkrin-ready" ]; then
      "$wine" wineboot --init >/dev/null 2>&1
      "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
      "$server" -w  # until the prefix is written
      touch "$WINEPREFIX/volkrin-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
# Wine's desktop process keeps the X display of the program that started the session: a
# program for another display (each test has an Xvfb of its own) ends that session first.
if [ "$(cat "$WINEPREFIX/volkrin-display" 2>/dev/null)" != "${DISPLAY:-none}" ]; then
  "$server" -k 2>/dev/null && "$server" -w
  echo "${DISPLAY:-none}" >"$WINEPREFIX/volkrin-display"
fi
# Wine's server and its system processes, started apart from this program's output: those
# that the program started would hold its output open for seconds after it ended. Quick
# when they run already.
"$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
exec "$wine" "$@"
