// Opponent tracking: the chase fraction per level, the drift back to the centre, the
// freeze while paused or after a won point, and the clamping to the court.
#include "support.h"

// Gain for the current level and base speed, formed in double and stored as a float.
static float expectedGain()
{
    return f(((level - 1) * 0.3 + 8) * static_cast<double>(ballSpeedBase));
}

static float chased(float paddle, float ball, float gain)
{
    return f(paddle + (static_cast<double>(ball) - paddle) * gain * opponentStep);
}

static float drifted(float paddle)
{
    return f(paddle + (-static_cast<double>(paddle) * 0.2) * opponentStep);
}

// Closing 3.52 %, 5.52 %, 8.56 % and 16.44 % of the distance per step at levels 1, 5, 10
// and 20 (base speed of the same level); x follows ballX and y follows ballY.
TEST_F(Game, OpponentChasesByTheLevelsFraction)
{
    struct Case {
        int level;
        double fraction;
    };
    const Case cases[] = {{1, 0.0352}, {5, 0.0552}, {10, 0.0856}, {20, 0.1644}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "level " << c.level);
        resetGameState();
        level = c.level;
        ballSpeedBase = baseSpeedAt(c.level);
        ballX = 1.0f;
        ballY = -0.5f;
        trackOpponent();
        float gain = expectedGain();
        EXPECT_EQ(opponentGainX, gain);
        EXPECT_EQ(opponentGainY, gain);
        EXPECT_NEAR(gain * 0.1, c.fraction, 1e-7);
        EXPECT_EQ(opponentX, chased(0, 1.0f, gain));
        EXPECT_EQ(opponentY, chased(0, -0.5f, gain));
        EXPECT_NEAR(opponentX, c.fraction, 1e-6);
        EXPECT_NEAR(opponentY, -0.5 * c.fraction, 1e-6);

        for (int step = 2; step <= 5; ++step) {
            float x = chased(opponentX, ballX, gain), y = chased(opponentY, ballY, gain);
            trackOpponent();
            EXPECT_EQ(opponentX, x) << "step " << step;
            EXPECT_EQ(opponentY, y) << "step " << step;
        }
    }
}

// A heading of exactly +-90 (and anything toward the player) drifts 2 % toward the
// centre; just above 90 chases.
TEST_F(Game, OpponentDriftsToTheCentreWhenTheBallHeadsAway)
{
    level = 3;
    ballSpeedBase = baseSpeedAt(3);
    for (float yaw : {90.0f, -90.0f, 0.0f, 45.0f}) {
        SCOPED_TRACE(::testing::Message() << "yaw " << yaw);
        ballYaw = yaw;
        ballX = 1.0f;
        ballY = 1.0f;
        opponentX = 1.0f;
        opponentY = -0.8f;
        trackOpponent();
        EXPECT_EQ(opponentX, drifted(1.0f));
        EXPECT_EQ(opponentY, drifted(-0.8f));
        EXPECT_NEAR(opponentX, 0.98, 1e-7);
        EXPECT_NEAR(opponentY, -0.784, 1e-7);
        EXPECT_EQ(opponentGainX, expectedGain());
    }
    ballYaw = std::nextafter(90.0f, 180.0f);
    opponentX = 0.0f;
    opponentY = 0.0f;
    trackOpponent();
    EXPECT_EQ(opponentX, chased(0, 1.0f, expectedGain()));
    EXPECT_GT(opponentY, 0.0f);
}

TEST_F(Game, OpponentFreezesWhilePausedOrAfterAWonPoint)
{
    for (int which = 0; which < 2; ++which) {
        SCOPED_TRACE(which == 0 ? "paused" : "point won");
        resetGameState();
        (which == 0 ? paused : pointWon) = 1;
        level = 5;
        ballSpeedBase = baseSpeedAt(5);
        ballX = 1.0f;
        ballY = -1.0f;
        opponentX = 0.3f;
        opponentY = 0.2f;
        for (int i = 0; i < 3; ++i) trackOpponent();
        EXPECT_EQ(opponentX, 0.3f);
        EXPECT_EQ(opponentY, 0.2f);
        EXPECT_EQ(opponentGainX, expectedGain());  // still recomputed
        EXPECT_EQ(opponentGainY, expectedGain());
    }
}

// The centre is held within x -1.25 .. 1.25 and y -1.1 .. 1.1, also when a frozen paddle
// somehow lies outside and when a huge gain overshoots the ball.
TEST_F(Game, OpponentIsHeldInsideTheCourt)
{
    const float maxX = f(static_cast<double>(arenaRight) - paddleRight);
    const float maxY = f(static_cast<double>(arenaTop) - paddleTop);
    EXPECT_EQ(maxX, 1.25f);
    EXPECT_EQ(maxY, 1.1f);

    paused = 1;
    opponentX = 3.0f;
    opponentY = 3.0f;
    trackOpponent();
    EXPECT_EQ(opponentX, maxX);
    EXPECT_EQ(opponentY, maxY);
    opponentX = -3.0f;
    opponentY = -3.0f;
    trackOpponent();
    EXPECT_EQ(opponentX, -maxX);
    EXPECT_EQ(opponentY, -maxY);
    opponentX = 1.25f;  // on the limit: left where it is
    opponentY = -1.1f;
    trackOpponent();
    EXPECT_EQ(opponentX, 1.25f);
    EXPECT_EQ(opponentY, -1.1f);

    // Level 150: the chase fraction is above 3, the paddle overshoots into the clamp.
    paused = 0;
    level = 150;
    ballSpeedBase = baseSpeedAt(150);
    opponentX = 0.0f;
    opponentY = 0.0f;
    ballX = 1.0f;
    ballY = -1.0f;
    trackOpponent();
    EXPECT_GT(expectedGain() * 0.1, 3.0);
    EXPECT_EQ(opponentX, maxX);
    EXPECT_EQ(opponentY, -maxY);
}

// The opponent moves only when the frame calls it, never in the simulation step.
TEST_F(Game, SimulationStepDoesNotMoveTheOpponent)
{
    serveAtLevel(5);
    ballX = 1.0f;
    opponentX = -0.5f;
    runTicks(10);
    EXPECT_EQ(opponentX, -0.5f);
    EXPECT_EQ(opponentY, 0.0f);
}
