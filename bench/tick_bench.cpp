// Costs of the game's rules, no drawing: one simulation tick at rest and in play, one
// opponent step, one mouse-motion event. Each iteration starts from the same state.
#include <benchmark/benchmark.h>

#include "app/state.h"
#include "game/game.h"
#include "game_snapshot.h"
#include "input/input.h"

// What putting the state back costs by itself, to read the figures below net of it.
static void restoreOnly(benchmark::State& st)
{
    rallyState();
    const GameSnapshot s = takeSnapshot();
    for (auto _ : st) {
        restoreSnapshot(s);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(restoreOnly)->Name("rules/restore_state_only");

// At rest a tick changes nothing, so it needs no restoring.
static void tickAtRest(benchmark::State& st)
{
    restState();
    for (auto _ : st)
        benchmark::DoNotOptimize(tickGame());
}
BENCHMARK(tickAtRest)->Name("rules/tick_at_rest");

static void tickInPlay(benchmark::State& st)
{
    rallyState();
    const GameSnapshot s = takeSnapshot();
    for (auto _ : st) {
        restoreSnapshot(s);
        benchmark::DoNotOptimize(tickGame());
    }
}
BENCHMARK(tickInPlay)->Name("rules/tick_in_play");

static void oneOpponentStep(benchmark::State& st)
{
    rallyState();
    const GameSnapshot s = takeSnapshot();
    for (auto _ : st) {
        restoreSnapshot(s);
        trackOpponent();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(oneOpponentStep)->Name("rules/opponent_step");

// A plain move of the paddle, and the first move after a return, which also spins the ball.
static void pointerMotion(benchmark::State& st, bool afterReturn)
{
    rallyState();
    returnPending = afterReturn ? 1 : 0;
    const GameSnapshot s = takeSnapshot();
    for (auto _ : st) {
        restoreSnapshot(s);
        followPointer(262, 231);
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(pointerMotion, plain, false)->Name("rules/mouse_motion");
BENCHMARK_CAPTURE(pointerMotion, spin, true)->Name("rules/mouse_motion_with_spin");
