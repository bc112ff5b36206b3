// Ball flight: start values, the straight serve, clampAngles, curving, wall bounces with
// their curve decay, pause and the speed cap.
#include "support.h"

TEST_F(Game, StartValues)
{
    EXPECT_EQ(windowWidth, 500);
    EXPECT_EQ(windowHeight, 500);
    EXPECT_EQ(arenaLeft, -1.75f);
    EXPECT_EQ(arenaRight, 1.75f);
    EXPECT_EQ(arenaTop, 1.5f);
    EXPECT_EQ(arenaBottom, -1.5f);
    EXPECT_EQ(arenaDepth, -4.0f);
    EXPECT_EQ(paddleLeft, -0.5f);
    EXPECT_EQ(paddleRight, 0.5f);
    EXPECT_EQ(paddleTop, 0.4f);
    EXPECT_EQ(paddleBottom, -0.4f);
    EXPECT_EQ(ballZ, -0.15f);  // the entry's value, not the rally reset's -0.151
    EXPECT_EQ(ballPitch, 90.0f);
    EXPECT_EQ(ballYaw, 180.0f);
    EXPECT_EQ(opponentStep, 0.1f);
    EXPECT_EQ(lives, 5);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(curving, 1);
    EXPECT_EQ(tickMs, 15);

    // Before the first serve the ball rests, ballSpeed stays 0 and the opponent, chasing
    // with a gain of 0, stays at the centre.
    std::vector<double> before = snapshot();
    EXPECT_EQ(runTicks(5), tickDelay);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(ballSpeed, 0.0f);
    for (int i = 0; i < 5; ++i) trackOpponent();
    EXPECT_EQ(opponentX, 0.0f);
    EXPECT_EQ(opponentY, 0.0f);
    EXPECT_EQ(opponentGainX, 0.0f);
}

// A level-1 serve with no spin flies down the centre line, float for float as the flight
// formulas give it, and meets the far end on the 82nd run, from either serve position.
TEST_F(Game, ServedBallReachesFarEndOn82ndRun)
{
    for (float startZ : {-0.15f, -0.151f}) {
        for (bool opponentCovers : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "start z " << startZ << ", opponent "
                                              << (opponentCovers ? "covers" : "away"));
            resetGameState();
            ballZ = startZ;
            serveAtLevel(1);
            if (!opponentCovers) opponentX = -1.25f;
            EXPECT_EQ(ballYaw, 180.0f);
            for (int run = 1; run <= 81; ++run) {
                Position next = expectedAdvance();
                ASSERT_EQ(tickGame(), tickDelay) << "run " << run;
                ASSERT_EQ(ballX, next.x) << "run " << run;
                ASSERT_EQ(ballY, next.y) << "run " << run;
                ASSERT_EQ(ballZ, next.z) << "run " << run;
                ASSERT_EQ(opponentFlash, 0.0f) << "run " << run;
                ASSERT_EQ(pointWon, 0) << "run " << run;
            }
            EXPECT_EQ(ballSpeed, f(static_cast<double>(baseSpeedAt(1)) + f(0.001)));
            EXPECT_NEAR(ballSpeed, 0.045, 1e-7);
            int delay = tickGame();
            if (opponentCovers) {
                EXPECT_EQ(delay, tickDelay);
                EXPECT_EQ(opponentFlash, 1.0f);
                EXPECT_EQ(ballYaw, 0.0f);
            } else {
                EXPECT_EQ(delay, pointDelay);
                EXPECT_EQ(pointWon, 1);
                EXPECT_EQ(levelPoints, 1);
            }
        }
    }
}

TEST_F(Game, ClampAnglesMap)
{
    struct Case {
        float pitch, yaw, wantPitch, wantYaw;
    };
    const Case cases[] = {
        {90, 200, 90, -160},   {90, -200, 90, 160},   {90, 230, 90, -130},
        {90, 100, 90, 130},    {90, -95, 90, -130},   {90, 60, 90, 50},
        {90, -60, 90, -50},    {90, 90, 90, 130},     {90, -90, 90, -130},
        {90, 180, 90, 180},    {90, -180, 90, -180},  {90, 0, 90, 0},
        {90, 50, 90, 50},      {90, -50, 90, -50},    {90, 130, 90, 130},
        {90, -130, 90, -130},  {30, 180, 40, 180},    {150, 180, 140, 180},
        {40, 180, 40, 180},    {140, 180, 140, 180},  {10, -250, 40, 130},
    };
    for (const Case& c : cases) {
        ballPitch = c.pitch;
        ballYaw = c.yaw;
        clampAngles();
        EXPECT_EQ(ballPitch, c.wantPitch) << "pitch " << c.pitch << " yaw " << c.yaw;
        EXPECT_EQ(ballYaw, c.wantYaw) << "pitch " << c.pitch << " yaw " << c.yaw;
    }
}

// Places a served level-1 ball (curve rate 0.04, no spin) at mid-court.
static void serveAndPlace(float x, float y, float pitch, float yaw)
{
    serveAtLevel(1);
    ballX = x;
    ballY = y;
    ballZ = -2.0f;
    ballPitch = pitch;
    ballYaw = yaw;
}

TEST_F(Game, WallBouncesMirrorTheAngles)
{
    struct Case {
        const char* wall;
        float x, y, pitch, yaw, wantPitch, wantYaw;
    };
    const Case cases[] = {
        {"right", 1.58f, 0, 90, 150, 90, -150},
        {"left", -1.58f, 0, 90, -150, 90, 150},
        {"floor", 0, -1.33f, 120, 180, 60, 180},
        {"ceiling", 0, 1.33f, 60, 180, 120, 180},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wall);
        resetGameState();
        serveAndPlace(c.x, c.y, c.pitch, c.yaw);
        float rate = curveRate;
        EXPECT_EQ(tickGame(), tickDelay);
        EXPECT_EQ(ballPitch, c.wantPitch);
        EXPECT_EQ(ballYaw, c.wantYaw);
        EXPECT_EQ(curveRate, decayedRate(rate));
    }
}

// The level-1 serve's rate 0.04 is 0.016 after one bounce and 0 after the second.
TEST_F(Game, CurveRateFadesOverTwoBounces)
{
    serveAndPlace(1.58f, 0, 90, 150);
    EXPECT_EQ(curveRate, f(static_cast<double>(curveBaseAt(1)) + f(0.01)));
    EXPECT_NEAR(curveRate, 0.04, 1e-7);
    float first = decayedRate(curveRate);
    tickGame();
    EXPECT_EQ(curveRate, first);
    EXPECT_NEAR(curveRate, 0.016, 1e-7);
    EXPECT_EQ(ballYaw, -150.0f);

    ballX = -1.58f;  // now heading for the left wall
    tickGame();
    EXPECT_EQ(ballYaw, 150.0f);
    EXPECT_EQ(curveRate, 0.0f);
}

// A step that touches a side wall and the floor reflects off both; the rate decays twice.
TEST_F(Game, CornerReflectsOffBothWallsInOneRun)
{
    serveAndPlace(1.58f, -1.33f, 120, 150);
    EXPECT_EQ(tickGame(), tickDelay);
    EXPECT_EQ(ballYaw, -150.0f);
    EXPECT_EQ(ballPitch, 60.0f);
    EXPECT_EQ(curveRate, 0.0f);
}

// Spin -20 at rate 0.04 bends yaw 179.5 to 180.3, which wraps to -179.7; the yaw then
// rises 0.8 a run and settles at -130.
TEST_F(Game, CurvingWrapsPast180AndStopsAtMinus130)
{
    serveAtLevel(1);
    ballYaw = 179.5f;
    spinX = -20.0f;
    const double turn = static_cast<double>(spinX) * curveRate;
    float bent = f(179.5f - turn);
    EXPECT_NEAR(bent, 180.3, 1e-4);
    tickGame();
    EXPECT_EQ(ballYaw, f(bent - 360.0));
    EXPECT_NEAR(ballYaw, -179.7, 1e-4);

    float want = ballYaw;
    int runs = 0;
    while (want != -130.0f) {
        float rising = f(want - turn);
        if (rising > -95.0f) rising = -95.0f;
        want = rising > -130.0f ? -130.0f : rising;
        if (want != -130.0f) {
            EXPECT_NEAR(want - ballYaw, 0.8, 1e-4);
        }
        tickGame();
        ++runs;
        ASSERT_EQ(ballYaw, want) << "run " << runs;
        ASSERT_LT(runs, 100);
    }
    EXPECT_EQ(runs, 63);
    runTicks(3);
    EXPECT_EQ(ballYaw, -130.0f);
    EXPECT_EQ(curveRate, f(static_cast<double>(curveBaseAt(1)) + f(0.01)));  // no bounce yet
}

// However large the bend, it stops at +-95 and so never turns the ball back toward the
// player; clampAngles then lifts the yaw to the band's edge.
TEST_F(Game, BendingNeverCrosses90)
{
    const struct {
        float yaw, spin, rate;
    } cases[] = {{130, 40, 1.0f}, {-130, -40, 2.0f}, {150, 40, 3.0f}, {-170, -30, 5.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "yaw " << c.yaw << " spin " << c.spin);
        resetGameState();
        serveAndPlace(0, 0, 90, c.yaw);
        spinX = c.spin;
        curveRate = c.rate;
        tickGame();
        EXPECT_EQ(ballYaw, c.yaw > 0 ? 130.0f : -130.0f);
    }
}

TEST_F(Game, YawTowardThePlayerIsNotBentButPitchIs)
{
    serveAndPlace(0, 0, 90, 20);
    spinX = -20.0f;
    spinY = 10.0f;
    float pitch = f(90.0f - static_cast<double>(spinY) * curveRate);
    tickGame();
    EXPECT_EQ(ballYaw, 20.0f);
    EXPECT_EQ(ballPitch, pitch);
    EXPECT_NEAR(ballPitch, 89.6, 1e-4);
}

TEST_F(Game, CurvingOffFliesStraight)
{
    serveAndPlace(0, 0, 90, 170);
    spinX = -20.0f;
    spinY = 10.0f;
    curving = 0;
    Position next = expectedAdvance();
    tickGame();
    EXPECT_EQ(ballYaw, 170.0f);
    EXPECT_EQ(ballPitch, 90.0f);
    EXPECT_EQ(ballX, next.x);
    EXPECT_EQ(ballZ, next.z);
}

// Paused: no motion, no bounce, no end test, nothing changes; the timer keeps 15 ms.
TEST_F(Game, PauseFreezesTheBallButKeepsTicking)
{
    serveAndPlace(1.58f, -1.33f, 120, 150);
    ballZ = -3.84f;  // a moving step would bounce twice and reach the far end
    opponentX = -1.25f;
    spinX = 5.0f;
    paused = 1;
    std::vector<double> before = snapshot();
    EXPECT_EQ(runTicks(3), tickDelay);
    EXPECT_EQ(snapshot(), before);

    paused = 0;
    tickGame();
    EXPECT_NE(ballZ, -3.84f);
    EXPECT_EQ(pointWon, 1);
}

TEST_F(Game, StepIsCappedAt03)
{
    serveAtLevel(1);
    ballSpeedBase = 0.29f;
    speedBonus = 0.02f;
    Position next = expectedAdvance();
    tickGame();
    EXPECT_EQ(ballSpeed, 0.3f);
    EXPECT_EQ(ballZ, next.z);
    EXPECT_NEAR(ballZ - (-0.15f), -0.3, 1e-6);

    ballSpeedBase = 0.28f;
    speedBonus = 0.01f;
    tickGame();
    EXPECT_EQ(ballSpeed, f(static_cast<double>(0.28f) + 0.01f));
}

// The speed of a ball in flight follows the base speed set at the last return, not the
// current level.
TEST_F(Game, LevelChangeInFlightKeepsTheSpeed)
{
    serveAtLevel(1);
    ::testing::internal::CaptureStdout();
    keyCommand('=');
    keyCommand('=');
    ::testing::internal::GetCapturedStdout();
    tickGame();
    EXPECT_EQ(ballSpeed, f(static_cast<double>(baseSpeedAt(1)) + f(0.001)));
}
