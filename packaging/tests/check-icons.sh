#!/usr/bin/env bash
# Renders the SVG icon again and checks that every committed PNG in packaging/icons still
# shows exactly its pixels, so the installed PNGs and the window's icon cannot drift from it.
# Pixels, not bytes: a PNG's bytes also depend on the zlib and encoder that wrote it.
# Usage: check-icons.sh <make_window_icon>
set -u
makeIcon=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$root/tools/render-icons.sh" "$tmp/fresh" || { echo "FAIL: tools/render-icons.sh"; exit 1; }
committed=$(cd "$root/packaging/icons" && ls) fresh=$(cd "$tmp/fresh" && ls)
[ "$committed" = "$fresh" ] || fail "packaging/icons holds [$(echo $committed)], the SVG renders to [$(echo $fresh)]"
# make_window_icon decodes a PNG to its size and 8-bit ARGB pixels, written out as text.
for png in "$tmp"/fresh/*.png; do
  name=$(basename "$png")
  [ -f "$root/packaging/icons/$name" ] || continue
  "$makeIcon" "$tmp/fresh.txt" "$png" && "$makeIcon" "$tmp/committed.txt" "$root/packaging/icons/$name" \
    || { fail "$name: cannot be decoded"; continue; }
  cmp -s "$tmp/fresh.txt" "$tmp/committed.txt" \
    || fail "packaging/icons/$name differs from the SVG's render: remake them with tools/render-icons.sh"
done
[ "$failures" -eq 0 ] && echo "icons OK: $(echo $fresh)"
exit $((failures > 0))
