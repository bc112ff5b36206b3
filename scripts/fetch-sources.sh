#!/usr/bin/env bash
# Fetches source tarballs from Debian's archive into the cache (VOLKRIN_CACHE, default
# ~/.cache/volkrin, under sources/), once, and checks each against its SHA-256. Each argument
# is one tarball as "PACKAGE VERSION FILE SHA256". Messages go to stderr; a tarball that does
# not match its hash is removed and the script fails.
#   scripts/fetch-sources.sh "freeglut 3.4.0-1 freeglut_3.4.0.orig.tar.gz 3c0b..."
set -eu
cache=${VOLKRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/volkrin}
mkdir -p "$cache/sources"

missing=()
for entry in "$@"; do
  read -r _ _ file _ <<<"$entry"
  [ -f "$cache/sources/$file" ] || missing+=("$entry")
done

# Source packages are fetched with apt itself, from the archive this machine's own apt uses,
# through a private list (deb-src lines for bookworm and trixie) that leaves the machine's
# configuration alone. apt checks each file against the archive's signed index.
if [ ${#missing[@]} -gt 0 ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  apt=$work/apt
  uri=$(apt-get indextargets --format '$(REPO_URI)' 'Created-By: Packages' 2>/dev/null |
        grep -v -- '-security' | head -n 1)
  uri=${uri%/}
  [ -n "$uri" ] || { echo "fetch-sources: no Debian archive in apt's sources" >&2; exit 1; }
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  printf 'deb-src %s bookworm main\ndeb-src %s trixie main\n' "$uri" "$uri" >"$apt/sources.list"
  opts=(-q -o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache")
  apt-get "${opts[@]}" update >&2
  for entry in "${missing[@]}"; do
    read -r name version file _ <<<"$entry"
    # Only the original tarball is needed; the Debian revision's own files may be gone.
    (cd "$work" && apt-get "${opts[@]}" source --download-only "$name=$version" >&2 || true)
    [ -f "$work/$file" ] || { echo "fetch-sources: could not fetch $file" >&2; exit 1; }
    mv "$work/$file" "$cache/sources/$file"
  done
fi

for entry in "$@"; do
  read -r _ _ file sha <<<"$entry"
  if ! echo "$sha  $cache/sources/$file" | sha256sum -c --quiet - >&2; then
    echo "fetch-sources: $file does not match its hash; removed, run again to fetch it anew" >&2
    rm -f "$cache/sources/$file"
    exit 1
  fi
done
