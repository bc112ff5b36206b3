// The realistic states the benchmarks start from; takeSnapshot and restoreSnapshot (app/state.h)
// put the game back exactly where it was before each iteration.
#pragma once

#include "app/state.h"

// The game as it starts: the ball resting at the serve position, nothing moving.
void restState();
// A rally at level 3 with two points won and one life lost: served and returned through
// the real mouse handlers, with spin on the ball, 40 ticks into its flight toward the
// opponent, the opponent having stepped once per tick.
void rallyState();
// The last life just lost, the fade half way through its darkening half.
void fadeState();
