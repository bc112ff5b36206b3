// Ball flight: the simulation step in its fixed order, the ball's motion along its two
// direction angles, the wall reflections with their curve decay, and the angle limits.
#include "app/numeric.h"
#include "app/state.h"
#include "game/events.h"
#include "game/game.h"

const double maxBallSpeed = 0.3;     // court units per tick
const double curveDecayShare = 0.6;  // share of the return's curve rate each bounce removes
const int pointPauseMs = 1000;       // the ball rests this long after a decided point

// A point is decided and waits for its settling: won, or lost with lives left. The run
// that takes the last life leaves the rest to the game-over fade.
static bool pointDecided()
{
    return pointWon || (pointLost && !gameOver);
}

void clampAngles()
{
    if (ballPitch < 40)
        ballPitch = 40;
    else if (ballPitch > 140)
        ballPitch = 140;

    // One wrap only: a yaw of exactly +-180 stays as it is.
    if (ballYaw > 180)
        ballYaw = static_cast<float>(ballYaw - 360.0);
    else if (ballYaw < -180)
        ballYaw = static_cast<float>(ballYaw + 360.0);

    // Toward the opponent the heading stays within 50 degrees of -z, toward the player
    // within 50 degrees of +z; the dead band between them is pushed to its far edge.
    if (absF(ballYaw) >= 90) {
        if (-130 < ballYaw && ballYaw < 0)
            ballYaw = -130;
        else if (0 < ballYaw && ballYaw < 130)
            ballYaw = 130;
    } else {
        if (ballYaw < -50)
            ballYaw = -50;
        else if (ballYaw > 50)
            ballYaw = 50;
    }
}

// Each bounce takes away part of the curve that the last return gave, so spin dies out
// after two bounces.
static void decayCurve()
{
    curveRate = static_cast<float>(
        maxD(curveRate - curveDecayShare * (static_cast<double>(curveBase) + curveBonus), 0.0));
}

// Spin bends the heading only while the ball flies toward the opponent; the limits of
// +-95 keep the bend from carrying it across +-90, back toward the player.
static void bendBySpin()
{
    if (ballYaw > 90)
        ballYaw = static_cast<float>(maxD(ballYaw - static_cast<double>(spinX) * curveRate, 95.0));
    else if (ballYaw < -90)
        ballYaw = static_cast<float>(minD(ballYaw - static_cast<double>(spinX) * curveRate, -95.0));
    ballPitch = static_cast<float>(ballPitch - static_cast<double>(spinY) * curveRate);
    clampAngles();
}

static void moveBall()
{
    const float speed = static_cast<float>(static_cast<double>(ballSpeedBase) + speedBonus);
    ballSpeed = static_cast<float>(minD(speed, maxBallSpeed));
    if (curving)
        bendBySpin();

    const double pitchSin = sinF(toRadians(ballPitch));
    const double pitchCos = cosF(toRadians(ballPitch));
    const double yawSin = sinF(toRadians(ballYaw));
    const double yawCos = cosF(toRadians(ballYaw));
    const double h = pitchSin * ballSpeed;  // length of the step's horizontal part

    ballX = static_cast<float>(ballX + yawSin * h);
    ballY = static_cast<float>(ballY + pitchCos * ballSpeed);
    ballZ = static_cast<float>(ballZ + yawCos * h);

    // The tests look one step ahead, so the ball turns before its surface reaches a wall
    // or an end; the look-ahead is not recomputed after a reflection.
    const float nextX = static_cast<float>(ballX + yawSin * h);
    const float nextY = static_cast<float>(ballY + pitchCos * ballSpeed);
    const float nextZ = static_cast<float>(ballZ + yawCos * h);

    if (nextX - ballRadius < arenaLeft || nextX + ballRadius > arenaRight) {
        ballYaw = -ballYaw;
        clampAngles();
        decayCurve();
        recordBallEvent(wallBounceEvent);
    }
    if (nextY - ballRadius < arenaBottom || nextY + ballRadius > arenaTop) {
        ballPitch = static_cast<float>(180.0 - ballPitch);
        clampAngles();
        decayCurve();
        recordBallEvent(wallBounceEvent);
    }
    checkEnds(nextZ);
    checkMiss(nextZ);
}

int tickGame()
{
    if (pointDecided())
        settleRally();
    if (rallyActive && !paused && !gameOver)
        moveBall();
    return pointDecided() ? pointPauseMs : tickMs;
}
