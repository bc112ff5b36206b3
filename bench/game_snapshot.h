// Copies of the whole game state, so that a benchmark can put the game back exactly where
// it was before each iteration, and the realistic states the benchmarks start from.
#pragma once

#include "app/state.h"

// Every game variable that the game's code reads or writes (not the drawing resources).
#define VOLKRIN_GAME_VARIABLES(X)                                                          \
    X(windowWidth) X(windowHeight)                                                         \
    X(arenaLeft) X(arenaRight) X(arenaTop) X(arenaBottom) X(arenaDepth)                    \
    X(paddleLeft) X(paddleRight) X(paddleTop) X(paddleBottom)                              \
    X(playerX) X(playerY) X(prevPlayerX) X(prevPlayerY) X(playerFlash)                     \
    X(opponentX) X(opponentY) X(opponentFlash) X(opponentGainX) X(opponentGainY)           \
    X(opponentStep)                                                                        \
    X(ballX) X(ballY) X(ballZ) X(ballPitch) X(ballYaw) X(ballSpeed)                        \
    X(ballSpeedBase) X(speedBonus) X(curveBase) X(curveBonus) X(curveRate)                 \
    X(spinX) X(spinY)                                                                      \
    X(rallyActive) X(paused) X(returnPending) X(pointWon) X(pointLost)                     \
    X(lives) X(level) X(levelPoints) X(gameOver) X(fadeLevel)                              \
    X(viewMode) X(orthographic) X(curving) X(tickMs)

struct GameSnapshot {
#define VOLKRIN_FIELD(v) decltype(::v) v;
    VOLKRIN_GAME_VARIABLES(VOLKRIN_FIELD)
#undef VOLKRIN_FIELD
};

GameSnapshot takeSnapshot();
void restoreSnapshot(const GameSnapshot& s);

// The game as it starts: the ball resting at the serve position, nothing moving.
void restState();
// A rally at level 3 with two points won and one life lost: served and returned through
// the real mouse handlers, with spin on the ball, 40 ticks into its flight toward the
// opponent, the opponent having stepped once per tick.
void rallyState();
// The last life just lost, the fade half way through its darkening half.
void fadeState();
