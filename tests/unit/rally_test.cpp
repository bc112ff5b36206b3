// Paddle contact and scoring: the cover test, both returns, speed and curve per return,
// returnPending, won and lost points, levels and lives, game over and the rally reset.
#include "support.h"

TEST_F(Game, CoverTestIncludesTheEnlargedEdges)
{
    struct Case {
        float x, y;
        int covered;
    };
    const Case cases[] = {
        {0.575f, 0, 1},  {-0.575f, 0, 1}, {0, 0.475f, 1},  {0, -0.475f, 1},
        {0.575f, 0.475f, 1}, {-0.575f, -0.475f, 1},
        {std::nextafter(0.575f, 1.0f), 0, 0}, {std::nextafter(-0.575f, -1.0f), 0, 0},
        {0, std::nextafter(0.475f, 1.0f), 0}, {0, std::nextafter(-0.475f, -1.0f), 0},
        {0.6f, 0, 0}, {0, 0.5f, 0},
    };
    for (const Case& c : cases) {
        ballX = c.x;
        ballY = c.y;
        ballZ = -2.0f;  // z is not part of the test
        EXPECT_EQ(ballOnPlayerPaddle(), c.covered) << c.x << ", " << c.y;
        EXPECT_EQ(ballOnOpponentPaddle(), c.covered) << c.x << ", " << c.y;
    }

    // Each test reads its own paddle.
    ballX = 1.0f;
    ballY = -0.8f;
    opponentX = 1.25f;
    opponentY = -1.1f;
    EXPECT_EQ(ballOnOpponentPaddle(), 1);
    EXPECT_EQ(ballOnPlayerPaddle(), 0);
    playerX = 0.5f;
    playerY = -0.5f;
    opponentX = -1.25f;
    EXPECT_EQ(ballOnPlayerPaddle(), 1);
    EXPECT_EQ(ballOnOpponentPaddle(), 0);
}

// Puts a level-1 ball in flight one tick before the far end, on a covering opponent.
static void nearFarEnd(float yaw)
{
    serveAtLevel(1);
    ballZ = -3.8f;
    ballYaw = yaw;
}

TEST_F(Game, OpponentReturnMirrorsTheYaw)
{
    struct Case {
        float yaw, want;
    };
    const Case cases[] = {{150, 30}, {-150, -30}, {180, 0}, {-180, 0}, {130, 50}, {-130, -50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "yaw " << c.yaw);
        resetGameState();
        nearFarEnd(c.yaw);
        float speed = ballSpeedBase, bonus = speedBonus;
        EXPECT_EQ(returnPending, 1);
        EXPECT_EQ(tickGame(), tickDelay);
        EXPECT_EQ(ballYaw, c.want);
        EXPECT_EQ(opponentFlash, 1.0f);
        EXPECT_EQ(curveRate, 0.0f);
        EXPECT_EQ(ballSpeedBase, speed);
        EXPECT_EQ(speedBonus, bonus);
        EXPECT_EQ(pointWon, 0);
        EXPECT_EQ(returnPending, 1);  // the far-end branch ran, so no clearing this run
    }
}

// Puts a level-1 ball one tick before the player's end, on the player's paddle.
static void nearPlayerEnd(float yaw)
{
    serveAtLevel(1);
    returnPending = 0;
    playerFlash = 0.0f;
    ballZ = -0.2f;
    ballYaw = yaw;
}

TEST_F(Game, PlayerReturnMirrorsAndClampsTheYaw)
{
    struct Case {
        float yaw, want;
    };
    const Case cases[] = {{30, 150}, {-30, -150}, {0, 180}, {50, 130}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "yaw " << c.yaw);
        resetGameState();
        nearPlayerEnd(c.yaw);
        EXPECT_EQ(tickGame(), tickDelay);
        EXPECT_EQ(ballYaw, c.want);
        EXPECT_EQ(playerFlash, 1.0f);
        EXPECT_EQ(returnPending, 1);
        EXPECT_EQ(speedBonus, f(static_cast<double>(f(0.001)) + 0.001));  // second return
        EXPECT_EQ(pointLost, 0);  // a ball returned in this run is no miss
        EXPECT_EQ(lives, 5);
    }
}

TEST_F(Game, PendingReturnBlocksASecondHit)
{
    nearPlayerEnd(30);
    returnPending = 1;
    tickGame();
    EXPECT_EQ(ballYaw, 30.0f);
    EXPECT_EQ(playerFlash, 0.0f);
    EXPECT_EQ(speedBonus, f(0.001));
    EXPECT_EQ(pointLost, 0);  // still covered, so no miss either
}

// n-th return of a rally at level L: step 0.04 + 0.004 L + 0.001 n, curve
// 0.01 (L + 2) + 0.01 n, each bonus accumulated in the stored floats.
TEST_F(Game, SpeedAndCurveOfTheNthReturn)
{
    for (int l : {1, 5}) {
        resetGameState();
        level = l;
        float bonus = 0, curveAdd = 0;
        for (int n = 1; n <= 4; ++n) {
            SCOPED_TRACE(::testing::Message() << "level " << l << ", return " << n);
            playerReturn();
            bonus = f(bonus + 0.001);
            curveAdd = f(curveAdd + 0.01);
            EXPECT_EQ(ballSpeedBase, baseSpeedAt(l));
            EXPECT_EQ(curveBase, curveBaseAt(l));
            EXPECT_EQ(speedBonus, bonus);
            EXPECT_EQ(curveBonus, curveAdd);
            EXPECT_EQ(curveRate, f(static_cast<double>(curveBase) + curveBonus));
            EXPECT_EQ(playerFlash, 1.0f);
            EXPECT_EQ(returnPending, 1);
            EXPECT_NEAR(expectedSpeed(), 0.04 + 0.004 * l + 0.001 * n, 1e-7);
            EXPECT_NEAR(curveRate, 0.01 * (l + 2) + 0.01 * n, 1e-7);
        }
    }
    // The figures quoted for the serve and the next return.
    resetGameState();
    playerReturn();
    EXPECT_NEAR(expectedSpeed(), 0.045, 1e-7);
    EXPECT_NEAR(curveRate, 0.04, 1e-7);
    playerReturn();
    EXPECT_NEAR(expectedSpeed(), 0.046, 1e-7);
    EXPECT_NEAR(curveRate, 0.05, 1e-7);
    tickGame();
    EXPECT_EQ(ballSpeed, 0.0f);  // no rally: the ball does not move and the speed stays
}

// The serve's pending spin is dropped in the first run that finds the ball beyond -0.6.
TEST_F(Game, PendingReturnClearsBeyondMinus06)
{
    resetRally();  // serve position -0.151: the ball passes -0.6 on the 10th run
    serveAtLevel(1);
    for (int run = 1; run <= 10; ++run) {
        float before = ballZ;
        tickGame();
        EXPECT_EQ(returnPending, ballZ < -0.6f ? 0 : 1)
            << "run " << run << " from " << before << " to " << ballZ;
    }
    EXPECT_EQ(returnPending, 0);
    EXPECT_NEAR(ballZ, -0.601, 1e-5);
}

TEST_F(Game, WonPointWaitsOneSecondThenResets)
{
    winPoint();
    EXPECT_EQ(levelPoints, 1);
    EXPECT_EQ(rallyActive, 1);
    EXPECT_EQ(lives, 5);

    // The deciding run asked for 1000 ms; the next run settles and rests the ball.
    EXPECT_EQ(tickGame(), tickDelay);
    EXPECT_EQ(pointWon, 0);
    EXPECT_EQ(rallyActive, 0);
    EXPECT_EQ(ballZ, -0.151f);
    EXPECT_EQ(ballX, 0.0f);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(levelPoints, 1);
}

TEST_F(Game, DecidingRunAsksForOneSecond)
{
    serve();
    opponentX = 1.25f;
    int delay = 0;
    while (!pointWon && ballZ > -5.0f) delay = tickGame();
    EXPECT_EQ(delay, pointDelay);
    paused = 1;  // a pause does not hold up the settling
    tickGame();
    EXPECT_EQ(pointWon, 0);
    EXPECT_EQ(paused, 0);
}

TEST_F(Game, ThirdWonPointRaisesTheLevel)
{
    for (int point = 1; point <= 3; ++point) {
        winPoint();
        EXPECT_EQ(levelPoints, point);
        tickGame();
    }
    EXPECT_EQ(level, 2);
    EXPECT_EQ(levelPoints, 0);
    EXPECT_EQ(lives, 5);
    EXPECT_EQ(rallyActive, 0);
}

// Reaching a multiple of five in play brings a life, never more than 13.
TEST_F(Game, ExtraLifeAtEveryFifthLevelUpTo13)
{
    struct Case {
        int level, lives, wantLives;
    };
    const Case cases[] = {{4, 5, 6}, {4, 13, 13}, {9, 12, 13}, {5, 5, 5}, {14, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "level " << c.level << ", lives " << c.lives);
        resetGameState();
        level = c.level;
        lives = c.lives;
        levelPoints = 2;
        winPoint();
        EXPECT_EQ(levelPoints, 3);
        EXPECT_EQ(level, c.level);  // settled only one second later
        EXPECT_EQ(tickGame(), tickDelay);
        EXPECT_EQ(level, c.level + 1);
        EXPECT_EQ(levelPoints, 0);
        EXPECT_EQ(lives, c.wantLives);
        EXPECT_EQ(ballZ, -0.151f);
    }
}

TEST_F(Game, MissWithLivesLeftCostsALifeAtOnce)
{
    levelPoints = 2;
    serve();
    ballZ = -1.0f;
    ballYaw = 0.0f;
    playerX = 1.25f;
    int delay = 0;
    while (!pointLost && ballZ < 1.0f) delay = tickGame();
    EXPECT_EQ(delay, pointDelay);
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(gameOver, 0);
    EXPECT_EQ(pointWon, 0);

    EXPECT_EQ(tickGame(), tickDelay);
    EXPECT_EQ(pointLost, 0);
    EXPECT_EQ(rallyActive, 0);
    EXPECT_EQ(ballZ, -0.151f);
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(levelPoints, 2);  // a lost point never counts toward the level
}

TEST_F(Game, MissingTheLastLifeEndsTheGame)
{
    lives = 1;
    serve();
    ballZ = -1.0f;
    ballYaw = 0.0f;
    playerX = 1.25f;
    int delay = 0;
    while (!pointLost && ballZ < 1.0f) delay = tickGame();
    EXPECT_EQ(delay, tickDelay);
    EXPECT_EQ(lives, 0);
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(fadeLevel, 1.0f);

    // No run settles the rally or moves the ball while the game is over.
    std::vector<double> before = snapshot();
    EXPECT_EQ(runTicks(20), tickDelay);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(pointLost, 1);
    EXPECT_EQ(rallyActive, 1);
}

// A rally reset by key in the second after the third won point skips the level
// bookkeeping and leaves 3 points; the next won point makes 4, and settling it must
// still raise the level rather than leave the player stuck in it.
TEST_F(Game, LevelRisesWithThreeOrMorePoints)
{
    levelPoints = 2;
    winPoint();
    EXPECT_EQ(levelPoints, 3);
    ::testing::internal::CaptureStdout();
    keyCommand('r');
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(pointWon, 0);
    EXPECT_EQ(tickGame(), tickDelay);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(levelPoints, 3);

    winPoint();
    EXPECT_EQ(levelPoints, 4);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(tickGame(), tickDelay);
    EXPECT_EQ(level, 2);
    EXPECT_EQ(levelPoints, 0);
    EXPECT_EQ(ballZ, -0.151f);
}

TEST_F(Game, ResetKeyAfterALostPointKeepsTheLostLife)
{
    losePoint();
    EXPECT_EQ(lives, 4);
    keyCommand('R');
    EXPECT_EQ(pointLost, 0);
    EXPECT_EQ(rallyActive, 0);
    EXPECT_EQ(tickGame(), tickDelay);
    EXPECT_EQ(lives, 4);
}

TEST_F(Game, ResetRallyStoresTheServePositionAndLeavesTheRest)
{
    rallyActive = paused = pointWon = pointLost = 1;
    returnPending = 1;
    speedBonus = 0.003f;
    curveBonus = 0.03f;
    ballPitch = 120.0f;
    ballYaw = -140.0f;
    ballX = 1.0f;
    ballY = -1.0f;
    ballZ = -2.5f;
    spinX = 12.0f;
    spinY = -7.0f;
    curveRate = 0.07f;
    curveBase = 0.05f;
    ballSpeedBase = 0.052f;
    ballSpeed = 0.055f;
    playerFlash = 0.5f;
    opponentFlash = 0.25f;
    playerX = 0.7f;
    playerY = -0.3f;
    opponentX = -0.9f;
    opponentY = 0.6f;
    lives = 3;
    level = 7;
    levelPoints = 2;
    gameOver = 1;
    fadeLevel = -0.5f;
    std::vector<double> kept = snapshot();

    resetRally();
    EXPECT_EQ(rallyActive, 0);
    EXPECT_EQ(paused, 0);
    EXPECT_EQ(pointWon, 0);
    EXPECT_EQ(pointLost, 0);
    EXPECT_EQ(speedBonus, 0.0f);
    EXPECT_EQ(curveBonus, 0.0f);
    EXPECT_EQ(ballPitch, 90.0f);
    EXPECT_EQ(ballYaw, 180.0f);
    EXPECT_EQ(ballX, 0.0f);
    EXPECT_EQ(ballY, 0.0f);
    EXPECT_EQ(ballZ, -0.151f);
    EXPECT_EQ(static_cast<double>(ballZ), -0.1509999930858612);
    EXPECT_EQ(spinX, 0.0f);
    EXPECT_EQ(spinY, 0.0f);

    // Everything else is left alone: put the stored variables back and compare.
    rallyActive = paused = pointWon = pointLost = 1;
    speedBonus = 0.003f;
    curveBonus = 0.03f;
    ballPitch = 120.0f;
    ballYaw = -140.0f;
    ballX = 1.0f;
    ballY = -1.0f;
    ballZ = -2.5f;
    spinX = 12.0f;
    spinY = -7.0f;
    EXPECT_EQ(snapshot(), kept);
}
