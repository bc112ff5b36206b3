// The realistic states that the benchmarks start from.
#include "game_snapshot.h"

#include <GL/freeglut.h>

#include "game/game.h"
#include "input/input.h"

void restState()
{
    resetGameState();
}

void rallyState()
{
    resetGameState();
    level = 3;
    lives = 4;
    levelPoints = 2;
    // Pointer to the window's centre, serve, then a small move that puts spin on the ball.
    followPointer(250, 250);
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 250, 250);
    followPointer(254, 247);
    for (int tick = 0; tick < 40; tick++) {
        tickGame();
        trackOpponent();
    }
}

void fadeState()
{
    rallyState();
    lives = 0;
    pointLost = 1;
    rallyActive = 0;
    gameOver = 1;
    fadeLevel = 0.5f;
}
