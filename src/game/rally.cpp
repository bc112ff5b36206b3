// Paddle contact, points, lives and levels: what happens when the ball reaches either end
// of the court, the speed and curve a return gives, and the settling of a finished rally.
#include <cstdio>

#include "app/numeric.h"
#include "app/state.h"
#include "game/events.h"
#include "game/game.h"

const double coverMargin = 0.075;     // half the ball radius, added on every side of a paddle
const double returnClearZ = -0.6;     // past this depth a pending return stops blocking hits
const int pointsPerLevel = 3;
const int extraLifeEvery = 5;         // levels
const int maxLives = 13;
const float serveZ = -0.151f;         // just in front of the player's paddle
const double fadeStep = 0.01;         // of the game-over fade, per drawn frame

// The paddle centred at (px, py) covers the ball's centre, edges included.
static int covers(float px, float py)
{
    return px + static_cast<double>(paddleLeft) - coverMargin <= ballX &&
           ballX <= px + static_cast<double>(paddleRight) + coverMargin &&
           py + static_cast<double>(paddleBottom) - coverMargin <= ballY &&
           ballY <= py + static_cast<double>(paddleTop) + coverMargin;
}

void keepPaddleInCourt(float& x, float& y)
{
    if (x + static_cast<double>(paddleLeft) < arenaLeft)
        x = static_cast<float>(static_cast<double>(arenaLeft) - paddleLeft);
    if (x + static_cast<double>(paddleRight) > arenaRight)
        x = static_cast<float>(static_cast<double>(arenaRight) - paddleRight);
    if (y + static_cast<double>(paddleBottom) < arenaBottom)
        y = static_cast<float>(static_cast<double>(arenaBottom) - paddleBottom);
    if (y + static_cast<double>(paddleTop) > arenaTop)
        y = static_cast<float>(static_cast<double>(arenaTop) - paddleTop);
}

int ballOnPlayerPaddle() { return covers(playerX, playerY); }
int ballOnOpponentPaddle() { return covers(opponentX, opponentY); }

void playerReturn()
{
    playerFlash = 1;
    returnPending = 1;
    ballSpeedBase = static_cast<float>(0.004 * level + 0.04);
    curveBase = static_cast<float>(0.01 * (level + 2));
    speedBonus = static_cast<float>(speedBonus + 0.001);
    curveBonus = static_cast<float>(curveBonus + 0.01);
    curveRate = static_cast<float>(static_cast<double>(curveBase) + curveBonus);
}

void resetRally()
{
    rallyActive = 0;
    paused = 0;
    pointWon = 0;
    pointLost = 0;
    speedBonus = 0;
    curveBonus = 0;
    ballPitch = 90;
    ballYaw = 180;
    ballY = 0;
    ballX = 0;
    ballZ = serveZ;
    spinY = 0;
    spinX = 0;
}

// nextZ is the ball's depth one step ahead. At most one end acts per run.
void checkEnds(float nextZ)
{
    if (nextZ - ballRadius < arenaDepth) {
        if (ballOnOpponentPaddle()) {
            // Mirror the heading back toward the player; the opponent takes the curve off.
            ballYaw = static_cast<float>(180.0 - ballYaw);
            if (ballYaw > 270)
                ballYaw = static_cast<float>(ballYaw - 360.0);
            opponentFlash = 1;
            curveRate = 0;
            recordBallEvent(opponentReturnEvent);
        } else {
            levelPoints += 1;
            pointWon = 1;
            recordBallEvent(pointWonEvent);
        }
    } else if (nextZ + ballRadius > 0 && ballOnPlayerPaddle() && !returnPending) {
        ballYaw = static_cast<float>(180.0 - ballYaw);
        clampAngles();
        playerReturn();
        recordBallEvent(playerReturnEvent);
    } else if (returnPending && ballZ < returnClearZ) {
        returnPending = 0;
    }
}

// A ball returned in this very run is still covered, so it is not also a miss.
void checkMiss(float nextZ)
{
    if (nextZ + ballRadius > 0 && !ballOnPlayerPaddle()) {
        pointLost = 1;
        lives -= 1;
        if (lives == 0) {
            fadeLevel = 1;
            gameOver = 1;
            recordEvent(gameOverEvent, 0, 0, 0);
        } else {
            recordBallEvent(pointLostEvent);
        }
    }
}

void settleRally()
{
    // "3 or more": a rally reset by key between the third point and its settling leaves
    // the points at 3, and the next point must still raise the level.
    if (levelPoints >= pointsPerLevel) {
        level += 1;
        recordEvent(levelGainedEvent, 0, 0, 0);
        if (level % extraLifeEvery == 0 && lives < maxLives) {
            lives = minI(lives + 1, maxLives);
            recordEvent(extraLifeEvent, 0, 0, 0);
        }
        levelPoints = 0;
    }
    resetRally();
}

// fadeLevel falls from 1 to 0 while the picture darkens and from 0 to -1 while it clears; each
// frame shows the value it began with. Every frame of the second half resets the rally, so
// that a serve clicked during it is undone.
float stepGameOverFade()
{
    if (fadeLevel > 0) {
        const float alpha = static_cast<float>(1.0 - fadeLevel);
        fadeLevel = static_cast<float>(fadeLevel - fadeStep);
        return alpha;
    }
    resetRally();
    const float alpha = static_cast<float>(1.0 + fadeLevel);
    if (fadeLevel > -1) {
        fadeLevel = static_cast<float>(fadeLevel - fadeStep);
    } else {
        gameOver = 0;
        recordEvent(newGameEvent, 0, 0, 0);
        lives = 5;
        level = 1;
        levelPoints = 0;
    }
    return alpha;
}
