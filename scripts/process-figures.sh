#!/usr/bin/env bash
# Whole-process figures: runs the real game in a real window, each run under an Xvfb of its
# own, at rest and during a served rally (the pointer kept still on the window's centre, so
# the ball rallies down the centre line), beside an empty window that only clears and swaps
# on the same 15 ms timer. Prints, per case, the median over the runs (and the spread) of:
# frames drawn per second, CPU of the process as a share of one core, CPU per drawn frame,
# the X server's CPU per frame (where the swap's copy lands) and the peak resident memory.
#   scripts/process-figures.sh [seconds per run, default 10] [runs, default 3]
# Frames are counted by a preloaded shim that counts glXSwapBuffers. VOLKRIN_GAME=path runs
# another build of the game instead (to compare two versions on the same machine).
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-10}
runs=${2:-3}
scripts/build.sh default >/dev/null
root=$PWD
build=$root/build/default
hz=$(getconf CLK_TCK)
work=$(mktemp -d)
xvfb=""
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# utime + stime of a process, in clock ticks (fields 14 and 15, counted after the name).
cpuTicks() {
  local stat
  stat=$(cat "/proc/$1/stat")
  stat=${stat##*) }
  awk '{print $12 + $13}' <<<"$stat"
}
swaps() { od -An -tu8 -N8 "$1" 2>/dev/null | tr -d ' ' || echo 0; }

# measure CASE: one run of one case; appends "fps cpu% ms/frame xms/frame hwmMiB" to $work/CASE
measure() {
  local name=$1 dir
  dir=$(mktemp -d -p "$work")
  cp assets/level.bmp "$dir/"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/xlog" &
  xvfb=$!
  for _ in $(seq 200); do [ -s "$dir/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n 1 "$dir/display")"

  local program=${VOLKRIN_GAME:-$build/volkrin}
  [ "$name" = empty-window ] && program=$build/bench/volkrin_empty_window
  (cd "$dir" && LD_PRELOAD=$build/tests/libvolkrin_driver_stand_in.so \
     VOLKRIN_SWAP_COUNTER=$dir/count exec "$program" >"$dir/out" 2>&1) &
  app=$!
  for _ in $(seq 200); do [ "$(swaps "$dir/count")" -gt 0 ] 2>/dev/null && break; sleep 0.05; done

  # The window sits at (100, 100), 500 x 500: its centre puts the paddle on the centre line.
  "$build/bench/volkrin_xpoke" move 350 350 sleep 300
  [ "$name" = game-rally ] && "$build/bench/volkrin_xpoke" click 1
  sleep 1  # settle before measuring

  local c0 x0 n0 t0 c1 x1 n1 t1 hwm
  c0=$(cpuTicks "$app"); x0=$(cpuTicks "$xvfb"); n0=$(swaps "$dir/count"); t0=$(date +%s.%N)
  sleep "$seconds"
  c1=$(cpuTicks "$app"); x1=$(cpuTicks "$xvfb"); n1=$(swaps "$dir/count"); t1=$(date +%s.%N)
  hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$app/status")

  "$build/bench/volkrin_xpoke" key q
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  app=""
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  xvfb=""

  awk -v c="$((c1 - c0))" -v x="$((x1 - x0))" -v n="$((n1 - n0))" -v t0="$t0" -v t1="$t1" \
      -v hz="$hz" -v hwm="$hwm" 'BEGIN {
        t = t1 - t0; cpu = c / hz; xs = x / hz
        printf "%.1f %.1f %.3f %.3f %.1f\n", n / t, 100 * cpu / t, 1000 * cpu / n, 1000 * xs / n, hwm / 1024
      }' >>"$work/$name"
}

cases="game-rest game-rally empty-window"
for run in $(seq "$runs"); do
  for c in $cases; do
    measure "$c"
    echo "run $run, $c: $(tail -n 1 "$work/$c")" >&2
  done
done

# Median of column $2 of file $1, with the lowest and highest beside it.
column() {
  cut -d ' ' -f "$2" "$1" | sort -g | awk '{v[NR] = $1} END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%s (%s-%s)", m, v[1], v[NR] }'
}
echo
echo "Whole process, ${seconds} s per run, median of $runs runs (lowest-highest)"
printf '%-13s | %-20s | %-20s | %-24s | %-24s | %s\n' case "frames/s" "CPU % of a core" \
  "CPU ms per frame" "X server ms per frame" "peak RSS MiB"
for c in $cases; do
  printf '%-13s | %-20s | %-20s | %-24s | %-24s | %s\n' "$c" "$(column "$work/$c" 1)" \
    "$(column "$work/$c" 2)" "$(column "$work/$c" 3)" "$(column "$work/$c" 4)" \
    "$(column "$work/$c" 5)"
done
