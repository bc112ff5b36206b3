// Shared fixture and helpers for the rule tests: a fresh game per test, serving, running
// ticks, and the game's arithmetic written out independently to derive expected floats.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/state.h"
#include "game/game.h"
#include "input/input.h"

// Every test starts from the start values, so tests never depend on one another.
class Game : public ::testing::Test {
protected:
    void SetUp() override { resetGameState(); }
};

constexpr int leftButton = 0, middleButton = 1, rightButton = 2;  // toolkit button codes
constexpr int pressed = 0, released = 1;                           // toolkit button states
constexpr int tickDelay = 15, pointDelay = 1000;                   // ms

inline float f(double v) { return static_cast<float>(v); }

// Sine and cosine of an angle in degrees: the radian value is formed in double and
// narrowed to float on its way into the double-precision functions.
inline double sinDeg(float deg) { return std::sin(static_cast<double>(f(deg * M_PI / 180.0))); }
inline double cosDeg(float deg) { return std::cos(static_cast<double>(f(deg * M_PI / 180.0))); }

// Base speed and curve base that a player return stores at level l.
inline float baseSpeedAt(int l) { return f(0.004 * l + 0.04); }
inline float curveBaseAt(int l) { return f(0.01 * (l + 2)); }

// Step length the next moving tick will use.
inline float expectedSpeed()
{
    double sum = f(static_cast<double>(ballSpeedBase) + speedBonus);
    return f(sum < 0.3 ? sum : 0.3);
}

// Curve rate after one wall bounce.
inline float decayedRate(float rate)
{
    double r = rate - 0.6 * (static_cast<double>(curveBase) + curveBonus);
    return f(r > 0.0 ? r : 0.0);
}

// Where one straight step (no bending, no wall) takes the ball from the current state.
struct Position {
    float x, y, z;
};
inline Position expectedAdvance()
{
    float speed = expectedSpeed();
    double h = sinDeg(ballPitch) * speed;
    return {f(ballX + sinDeg(ballYaw) * h), f(ballY + cosDeg(ballPitch) * speed),
            f(ballZ + cosDeg(ballYaw) * h)};
}

// Left click on the ball at the current level: the serve.
inline void serve() { mouseButton(leftButton, pressed, 0, 0); }
inline void serveAtLevel(int l)
{
    level = l;
    serve();
}

// Runs n ticks and returns the delay the last one asked for.
inline int runTicks(int n)
{
    int delay = 0;
    for (int i = 0; i < n; ++i) delay = tickGame();
    return delay;
}

// Runs ticks until one decides a point (or ends the game); returns how many ran, 0 if
// none did within the limit.
inline int runUntilDecided(int limit = 400)
{
    for (int i = 1; i <= limit; ++i) {
        tickGame();
        if (pointWon || pointLost) return i;
    }
    return 0;
}

// Serves from the centre and lets the ball pass an opponent parked at the right wall.
inline void winPoint()
{
    serve();
    opponentX = 1.25f;
    opponentY = 0.0f;
    ASSERT_GT(runUntilDecided(), 0);
    ASSERT_EQ(pointWon, 1);
}

// Puts a rally in play with the ball on its way back to a player whose paddle is away.
inline void losePoint()
{
    serve();
    ballZ = -1.0f;
    ballYaw = 0.0f;
    playerX = 1.25f;
    ASSERT_GT(runUntilDecided(), 0);
    ASSERT_EQ(pointLost, 1);
}

// Every game variable the rules touch, for "nothing changed" checks.
inline std::vector<double> snapshot()
{
    return {static_cast<double>(windowWidth), static_cast<double>(windowHeight), playerX,
            playerY, prevPlayerX, prevPlayerY, playerFlash, opponentX, opponentY,
            opponentFlash, opponentGainX, opponentGainY, opponentStep, ballX, ballY, ballZ,
            ballPitch, ballYaw, ballSpeed, ballSpeedBase, speedBonus, curveBase, curveBonus,
            curveRate, spinX, spinY, static_cast<double>(rallyActive),
            static_cast<double>(paused), static_cast<double>(returnPending),
            static_cast<double>(pointWon), static_cast<double>(pointLost),
            static_cast<double>(lives), static_cast<double>(level),
            static_cast<double>(levelPoints), static_cast<double>(gameOver), fadeLevel,
            static_cast<double>(viewMode), static_cast<double>(orthographic),
            static_cast<double>(curving), static_cast<double>(tickMs)};
}
