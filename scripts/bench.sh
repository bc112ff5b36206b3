#!/usr/bin/env bash
# Builds the default preset and runs the benchmarks under an X server of their own; they
# print figures and never fail a build. Extra arguments go to Google Benchmark, e.g.
#   scripts/bench.sh --benchmark_repetitions=5 --benchmark_filter='frame|part'
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh default >/dev/null
exec tests/xvfb-run.sh build/default/bench/volkrin_bench "$@"
