#!/usr/bin/env bash
# Whole-process figures: runs the real game in a real window, each run under an Xvfb of its
# own, in five cases (at rest before the first serve; paused mid-rally; resting after a
# missed return, the opponent drifting back to the centre; in a rally down the centre
# line, the pointer kept still on the window's centre; in a rally with the pointer circling
# the centre, served again whenever a point ends), beside an empty window that only
# clears and swaps on the same 15 ms timer. Prints, per case, the median over the runs (and
# the spread) of: frames drawn per second, CPU of the process as a share of one core, CPU
# per drawn frame, the X server's CPU as a share of one core (where the swap's copy lands)
# and the peak resident memory.
#   scripts/process-figures.sh [seconds per run, default 10] [runs, default 3]
# Frames (swaps and copies of part of a frame) are counted by the stand-in GL driver of the
# tests, preloaded. Settings:
#   VOLKRIN_SIZE=1920x1080   the windows' size (500x500 by default)
#   VOLKRIN_VBLANK_HZ=60     the stand-in holds every swap for a 60 Hz display's blank, as a
#                            graphics card's driver does, unless the program asked not to wait
#   VOLKRIN_GAME="path ..."  other builds of the game; with several, each run measures them
#                            in turn, so that a busy neighbour weighs on all alike; the
#                            Windows build's launcher build/windows/volkrin-under-wine runs
#                            it under Wine (the CPU counted is the game's process, not
#                            Wine's server)
#   VOLKRIN_CASES="..."      which cases to run (game-rest game-paused game-after-point
#                            game-rally game-rally-moving empty-window)
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
mover=""
cleanup() {
  [ -n "$mover" ] && kill "$mover" 2>/dev/null || true
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

# circle CX CY R SECONDS: xpoke commands that move the pointer round a circle, one step
# every 15 ms, with a click (a serve, should a point have ended) every 2 s.
circle() {
  awk -v cx="$1" -v cy="$2" -v r="$3" -v s="$4" 'BEGIN {
    for (i = 0; i < s * 1000 / 15; i++) {
      a = i * 0.05
      printf "move %d %d sleep 15 ", cx + r * cos(a), cy + r * sin(a)
      if (i % 133 == 0) printf "click 1 "
    } }'
}

# measure CASE PROGRAM OUT: one run of one case; appends "fps cpu% ms/frame xcpu% hwmMiB"
# to OUT
measure() {
  local name=$1 dir
  dir=$(mktemp -d -p "$work")
  cp assets/level.bmp "$dir/"
  Xvfb -displayfd 3 -screen 0 "$((width + 200))x$((height + 200))x24" -nolisten tcp -noreset \
    3>"$dir/display" 2>"$dir/xlog" &
  xvfb=$!
  for _ in $(seq 200); do [ -s "$dir/display" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n 1 "$dir/display")"

  local program=$2 title=Volkrin
  if [ "$name" = empty-window ]; then
    program=$build/bench/volkrin_empty_window
    title="Volkrin empty window"
  fi
  # The Windows build under Wine (a launcher named so) takes the stand-in's build for Wine.
  local standIn=$build/tests/libvolkrin_driver_stand_in.so
  case $program in *wine*) standIn=$build/tests/libvolkrin_driver_stand_in_wine.so ;; esac
  (cd "$dir" && LD_PRELOAD=$standIn \
     VOLKRIN_SWAP_COUNTER=$dir/count exec "$program" >"$dir/out" 2>&1) &
  app=$!
  for _ in $(seq 200); do [ "$(swaps "$dir/count")" -gt 0 ] 2>/dev/null && break; sleep 0.05; done

  # The window sits at (100, 100); its centre puts the paddle on the centre line.
  local cx=$((100 + width / 2)) cy=$((100 + height / 2)) poke=$build/bench/volkrin_xpoke
  "$poke" resize "$title" "$width" "$height" sleep 300 move "$cx" "$cy" sleep 300
  case $name in
    game-paused) "$poke" click 1 sleep 700 key p ;;
    game-rally | game-rally-moving) "$poke" click 1 ;;
    # Spin from the first motion sends the ball off the centre line and the opponent after
    # it; with the paddle in a corner the return is missed and the ball rests again.
    game-after-point) "$poke" click 1 move "$((cx + 15))" "$cy" sleep 300 move 103 103 sleep 4500 ;;
  esac
  if [ "$name" = game-rally-moving ]; then
    # A circle of a tenth of the window's height: the paddle always moves, the ball curves.
    # shellcheck disable=SC2046
    "$poke" $(circle "$cx" "$cy" $((height / 10)) $((seconds + 2))) &
    mover=$!
  fi
  sleep 1  # settle before measuring

  local c0 x0 n0 t0 c1 x1 n1 t1 hwm
  c0=$(cpuTicks "$app"); x0=$(cpuTicks "$xvfb"); n0=$(swaps "$dir/count"); t0=$(date +%s.%N)
  sleep "$seconds"
  c1=$(cpuTicks "$app"); x1=$(cpuTicks "$xvfb"); n1=$(swaps "$dir/count"); t1=$(date +%s.%N)
  hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$app/status")

  if [ -n "$mover" ]; then kill "$mover" 2>/dev/null || true; wait "$mover" 2>/dev/null || true; fi
  mover=""
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
        perFrame = n > 0 ? sprintf("%.3f", 1000 * cpu / n) : "-"
        printf "%.1f %.2f %s %.2f %.1f\n", n / t, 100 * cpu / t, perFrame, 100 * xs / t, hwm / 1024
      }' >>"$3"
}

size=${VOLKRIN_SIZE:-500x500}
width=${size%x*}
height=${size#*x}
cases=${VOLKRIN_CASES:-game-rest game-paused game-after-point game-rally empty-window}
read -r -a games <<<"${VOLKRIN_GAME:-$build/volkrin}"
for run in $(seq "$runs"); do
  for c in $cases; do
    for g in "${!games[@]}"; do
      [ "$c" = empty-window ] && [ "$g" -gt 0 ] && continue  # the same window for every game
      measure "$c" "${games[$g]}" "$work/$c.$g"
      echo "run $run, $c, ${games[$g]}: $(tail -n 1 "$work/$c.$g")" >&2
    done
  done
done

# Median of column $2 of file $1, with the lowest and highest beside it.
column() {
  if cut -d ' ' -f "$2" "$1" | grep -qx -- -; then printf -- '-'; return; fi
  cut -d ' ' -f "$2" "$1" | sort -g | awk '{v[NR] = $1} END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%s (%s-%s)", m, v[1], v[NR] }'
}
for g in "${!games[@]}"; do
  echo
  echo "${games[$g]}"
  echo "Whole process, $size, ${seconds} s per run, median of $runs runs (lowest-highest)" \
    "${VOLKRIN_VBLANK_HZ:+, swaps held for a ${VOLKRIN_VBLANK_HZ} Hz blank}"
  printf '%-17s | %-20s | %-20s | %-24s | %-20s | %s\n' case "frames/s" "CPU % of a core" \
    "CPU ms per frame" "X server % of a core" "peak RSS MiB"
  for c in $cases; do
    f=$work/$c.$g
    [ -f "$f" ] || continue
    printf '%-17s | %-20s | %-20s | %-24s | %-20s | %s\n' "$c" "$(column "$f" 1)" \
      "$(column "$f" 2)" "$(column "$f" 3)" "$(column "$f" 4)" "$(column "$f" 5)"
  done
done
