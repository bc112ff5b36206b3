// A long game played by a seeded stand-in for a player (a pointer that follows the ball with
// a shaky hand, serves, level keys, curving, pauses) through many rallies and new games, one
// drawn frame a tick as the game's timer asks. Its state at every checkpoint is the one the
// Linux build reaches, float for float: the same on every platform the game is built for.
#include <cstdint>
#include <cstring>

#include "game/events.h"
#include "support.h"

// The state's bits, all of them: a 64-bit FNV-1a hash of every game variable.
static uint64_t stateHash()
{
    uint64_t hash = 14695981039346656037ull;
    for (double value : snapshot()) {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        for (int byte = 0; byte < 8; ++byte) {
            hash ^= (bits >> (8 * byte)) & 0xff;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

// The same numbers everywhere: a 32-bit linear congruential generator.
static uint32_t seed = 20261208;
static int roll(int n)
{
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(n));
}

// The window pixel under which the paddle's centre lands on court point (x, y): the mouse
// mapping turned round, for a 500 x 500 window.
static int columnFor(double x) { return static_cast<int>((x / 2 + 499.0 / 500) * 250); }
static int rowFor(double y) { return 499 - static_cast<int>((y / 2 + 499.0 / 500) * 250); }

// What the run has played, counted from the events the rules record.
static int played[gameEventKinds];

// One tick of play: what the hand does, the tick, and the frame the tick asks for.
static void playTick(long tick)
{
    if (roll(10) < 7) {
        // Toward the ball most of the time, some 20 pixels off either way; now and then a
        // jump anywhere, which puts a hard spin on a ball just returned.
        const bool follow = roll(20) != 0;
        const int x = follow ? columnFor(ballX) + roll(41) - 20 : roll(700) - 100;
        const int y = follow ? rowFor(ballY) + roll(41) - 20 : roll(700) - 100;
        followPointer(x, y);
    }
    if (!rallyActive && roll(40) == 0)
        serve();
    if (tick % 7919 == 0)
        keyCommand(roll(3) == 0 ? '-' : '=');
    if (tick % 12007 == 0)
        keyCommand('c');
    if ((tick % 9973 == 0 && !paused) || (tick % 9973 == 60 && paused))
        keyCommand('p');  // a second's break now and then
    tickGame();
    // The frame: the opponent's step, and the fade while the game is over.
    trackOpponent();
    if (gameOver)
        stepGameOverFade();
    for (int i = 0; i < gameEventCount; ++i)
        played[gameEvents[i].kind]++;
    clearEvents();
}

TEST_F(Game, LongRunMatchesTheCheckpointsFloatForFloat)
{
    // The Linux build's state after each 20,000 ticks.
    const uint64_t checkpoints[] = {
        0x7befb84503cb6cf3ull, 0x89075b59b26931f7ull, 0xb81f9b6e98255205ull,
        0xf457640b5e20ed8aull, 0xeaf8b7dd58045fb1ull, 0xbd45b4c753b4dcb9ull,
        0x76628b4fb48599b9ull, 0xd554cedbf226c911ull, 0xe9cddc96b12fc783ull,
        0xc2246f2815ea115cull,
    };
    seed = 20261208;
    std::memset(played, 0, sizeof played);
    clearEvents();
    int highestLevel = 1;
    for (long tick = 1; tick <= 200000; ++tick) {
        playTick(tick);
        if (level > highestLevel)
            highestLevel = level;
        if (tick % 20000 == 0) {
            EXPECT_EQ(stateHash(), checkpoints[tick / 20000 - 1])
                << "the state differs at tick " << tick << " (level " << level << ", lives "
                << lives << ", ball " << ballX << " " << ballY << " " << ballZ << ")";
        }
    }
    // The run has played what it is meant to check: returns with spin, points both ways,
    // levels won in play and by key, extra lives and new games.
    EXPECT_GT(played[playerReturnEvent], 1000);
    EXPECT_GT(played[opponentReturnEvent], 1000);
    EXPECT_GT(played[spinEvent], 1000);
    EXPECT_GT(played[pointWonEvent], 100);
    EXPECT_GT(played[pointLostEvent], 20);
    EXPECT_GT(played[extraLifeEvent], 10);
    EXPECT_GE(played[newGameEvent], 3);
    EXPECT_GE(highestLevel, 10);
}
