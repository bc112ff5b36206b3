#!/usr/bin/env bash
# Sets up, builds and runs every test: the default build, then the sanitizer build, then the
# browser build under Node.js and Chromium, then the Windows build under Wine, then a bounded
# fuzzing run of the level-image reader. Ends with one line "N passed, M failed, K skipped".
set -u
cd "$(dirname "$0")/.."
scripts/setup.sh --tests || { echo "0 passed, 1 failed"; exit 1; }

passed=0
failed=0
skipped=0
count() {  # adds the counts of a CTest summary in file $1; a missing summary is a failure
  local line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    return
  fi
  local bad total skip
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  # CTest counts a skipped test among the passed ones, and lists it as "(Skipped)".
  skip=$(grep -cE '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$1" || true)
  passed=$((passed + total - bad - skip))
  failed=$((failed + bad))
  skipped=$((skipped + skip))
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

# The browser build: the rules' tests under Node.js, then the whole game in headless
# Chromium, its pictures compared with the default build's.
echo "== web build"
if scripts/build-web.sh >"$log/build-web" 2>&1; then
  echo "== web tests: the rules under Node.js, the game in Chromium"
  ctest --test-dir build/web --output-on-failure 2>&1 | tee "$log/test-web"
  count "$log/test-web"
else
  cat "$log/build-web"
  failed=$((failed + 1))
fi

# The Windows build, cross-built and run under Wine on the tests' own Xvfb: the rules' tests,
# then the whole-game tests of the Linux build against the Windows program and its installer
# (those of what only X11 offers skip themselves; the monkey and soak runs exercise the same
# shared code as on Linux, for minutes, and are left to the Linux build).
windowsGameTests='^(Startup|Gameplay|Desktop|Sound)\.'
echo "== windows build"
if scripts/build-windows.sh >"$log/build-windows" 2>&1; then
  echo "== windows tests: the rules under Wine"
  # Now and then (once in some ten runs here) a Wine process ends at once without a word,
  # whichever test it was running, and the same test passes when run again: each test under
  # Wine gets a second try, and the first try's output stays in the log.
  ctest --test-dir build/windows --output-on-failure --repeat until-pass:2 2>&1 |
    tee "$log/test-windows"
  count "$log/test-windows"
  echo "== windows tests: the whole game under Wine"
  VOLKRIN_GAME=$PWD/build/windows/volkrin-under-wine VOLKRIN_GAME_PLATFORM=windows \
    VOLKRIN_WINDOWS_INSTALLER=$(ls "$PWD"/build/windows/volkrin-*-win64-setup.exe) \
    ctest --preset default -L e2e -R "$windowsGameTests" --repeat until-pass:2 2>&1 |
    tee "$log/test-wine"
  count "$log/test-wine"
else
  cat "$log/build-windows"
  failed=$((failed + 1))
fi

if [ -f tests/fuzz/run.sh ]; then
  echo "== fuzzing the level-image reader"
  if tests/fuzz/run.sh "${VOLKRIN_FUZZ_SECONDS:-60}"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
fi

rm -rf "$log"
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
