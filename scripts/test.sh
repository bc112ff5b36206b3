#!/usr/bin/env bash
# Sets up, builds and runs every test: the default build, then the sanitizer build, then a
# bounded fuzzing run of the level-image reader. Ends with one line "N passed, M failed".
set -u
cd "$(dirname "$0")/.."
scripts/setup.sh --tests || { echo "0 passed, 1 failed"; exit 1; }

passed=0
failed=0
count() {  # adds the counts of a CTest summary in file $1; a missing summary is a failure
  local line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    return
  fi
  local bad total
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

log=$(mktemp -d)
for preset in default asan; do
  echo "== $preset build"
  if scripts/build.sh "$preset" >"$log/build-$preset" 2>&1; then
    echo "== $preset tests"
    ctest --preset "$preset" 2>&1 | tee "$log/test-$preset"
    count "$log/test-$preset"
  else
    cat "$log/build-$preset"
    failed=$((failed + 1))
  fi
done

if [ -f tests/fuzz/run.sh ]; then
  echo "== fuzzing the level-image reader"
  if tests/fuzz/run.sh "${VOLKRIN_FUZZ_SECONDS:-60}"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
fi

rm -rf "$log"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
