#!/usr/bin/env bash
# Runs one command under an X server of its own: a fresh Xvfb on a display number that
# Xvfb picks itself, so that tests never share a display or need one from outside. Its
# second screen (DISPLAY :N.1), 1920 x 1080, has room for a window at 150 % display scaling.
set -u
tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -screen 1 1920x1080x24 -nolisten tcp -noreset \
  3>"$tmp/display" 2>"$tmp/log" &
xvfb=$!
for _ in $(seq 200); do
  [ -s "$tmp/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$tmp/display" ]; then
  echo "xvfb-run.sh: Xvfb did not start:" >&2
  cat "$tmp/log" >&2
  rm -rf "$tmp"
  exit 1
fi
DISPLAY=":$(head -n 1 "$tmp/display")" "$@"
rc=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
rm -rf "$tmp"
exit $rc
