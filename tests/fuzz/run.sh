#!/usr/bin/env bash
# Fuzzes the level-image reader for SECONDS (default 60): builds the fuzz preset and runs
# libFuzzer on a copy of the seed corpus, so that the committed corpus stays small. Prints
# the executions and the corpus size; exits non-zero on any crash, after adding the
# crashing input to tests/fuzz/corpus/ so that the unit tests replay it from then on.
set -u
seconds=${1:-60}
cd "$(dirname "$0")/../.."
corpus=tests/fuzz/corpus

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! { cmake --preset fuzz && cmake --build --preset fuzz -j2; } >"$work/build.log" 2>&1; then
  cat "$work/build.log"
  echo "fuzz: build failed"
  exit 1
fi

mkdir -p "$work/corpus" "$work/artifacts"
cp "$corpus"/* "$work/corpus/"
seeds=$(find "$work/corpus" -type f | wc -l)
# Inputs stay under 4 KiB and the reader never allocates more than the file holds, so
# any allocation beyond 16 MiB is a fault: libFuzzer reports it as out-of-memory.
build/fuzz/tests/fuzz/fuzz_bmp -max_total_time="$seconds" -print_final_stats=1 \
  -malloc_limit_mb=16 -artifact_prefix="$work/artifacts/" "$work/corpus" >"$work/fuzz.log" 2>&1
status=$?

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/fuzz.log" | tail -n 1)
size=$(find "$work/corpus" -type f | wc -l)
echo "fuzz: ${executions:-?} executions in ${seconds} s; corpus ${size} inputs (${seeds} seeds)"

found=0
for artifact in "$work/artifacts"/*; do
  [ -f "$artifact" ] || continue
  found=1
  name=$(basename "$artifact")
  cp "$artifact" "$corpus/$name"
  echo "fuzz: added $corpus/$name"
done
if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
  tail -n 60 "$work/fuzz.log"
  echo "fuzz: FAILED (libFuzzer status $status)"
  exit 1
fi
