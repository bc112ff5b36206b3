// Mouse: window pixels to court coordinates, the paddle held in the court, spin from the
// first motion after a return, the serve and the pause button, and the pause and pointer
// of a minimised or playing window.
#include "support.h"

#include "render/render.h"

// The mapping written out: n runs from -1 to 1 across the window, scaled by 2 * aspect
// (aspect rounded to float) across and by 2 up.
static double courtX(double px)
{
    double w = windowWidth, h = windowHeight;
    double n = 2 * px / w - (w - 1) / w;
    return n * 2 * static_cast<double>(f(w / h));
}

static double courtYForRow(int y)  // y counted from the top, as the toolkit reports it
{
    double h = windowHeight;
    double py = windowHeight - y - 1;
    return (2 * py / h - (h - 1) / h) * 2;
}

TEST_F(Game, SquareWindowMapsPixelsToTheCourt)
{
    EXPECT_NEAR(mouseToCourtX(0), -1.996, 1e-12);
    EXPECT_NEAR(mouseToCourtY(499), 1.996, 1e-12);  // row 0 counted from the bottom
    EXPECT_NEAR(mouseToCourtX(250), 0.004, 1e-12);
    EXPECT_NEAR(mouseToCourtY(249), -0.004, 1e-12);
    EXPECT_NEAR(mouseToCourtX(499), 1.996, 1e-12);

    followPointer(0, 0);  // top-left corner: held in the court's top-left corner
    EXPECT_EQ(playerX, -1.25f);
    EXPECT_EQ(playerY, 1.1f);
    EXPECT_EQ(prevPlayerX, -1.25f);
    EXPECT_EQ(prevPlayerY, 1.1f);

    followPointer(250, 250);
    EXPECT_EQ(playerX, f(courtX(250)));
    EXPECT_EQ(playerY, f(courtYForRow(250)));
    EXPECT_FLOAT_EQ(playerX, 0.004f);
    EXPECT_FLOAT_EQ(playerY, -0.004f);

    followPointer(499, 499);
    EXPECT_EQ(playerX, 1.25f);
    EXPECT_EQ(playerY, -1.1f);
    followPointer(-300, 2000);  // beyond the window's edges: still some clamped position
    EXPECT_EQ(playerX, -1.25f);
    EXPECT_EQ(playerY, -1.1f);
}

// A wider window keeps 4/H court units per pixel and only widens the range of x.
TEST_F(Game, WiderWindowKeepsTheScale)
{
    windowWidth = 1000;
    EXPECT_NEAR(mouseToCourtX(0), -3.996, 1e-12);
    EXPECT_NEAR(mouseToCourtX(501) - mouseToCourtX(500), 4.0 / 500, 1e-12);
    EXPECT_NEAR(mouseToCourtY(101) - mouseToCourtY(100), 4.0 / 500, 1e-12);
    followPointer(600, 250);
    EXPECT_EQ(playerX, f(courtX(600)));
    EXPECT_NEAR(playerX, 0.804, 1e-6);
    followPointer(0, 250);
    EXPECT_EQ(playerX, -1.25f);

    // The aspect ratio enters rounded to float.
    windowWidth = 640;
    windowHeight = 480;
    EXPECT_DOUBLE_EQ(mouseToCourtX(0), courtX(0));
    EXPECT_NE(courtX(0), (2.0 * 0 + 1 - 640) * 2 / 480);
}

// A zero window dimension counts as 1: the paddle still lands somewhere in the court.
TEST_F(Game, ZeroSizedWindowGivesAFinitePaddle)
{
    for (int w : {0, 500}) {
        for (int h : {0, 500}) {
            if (w && h) continue;
            SCOPED_TRACE(::testing::Message() << w << " x " << h);
            resetGameState();
            windowWidth = w;
            windowHeight = h;
            EXPECT_TRUE(std::isfinite(mouseToCourtX(100)));
            EXPECT_TRUE(std::isfinite(mouseToCourtY(100)));
            serve();
            const int points[][2] = {{0, 0}, {100, 300}, {-5, -5}};
            for (const auto& p : points) {
                followPointer(p[0], p[1]);
                EXPECT_TRUE(std::isfinite(playerX) && std::isfinite(playerY));
                EXPECT_LE(std::fabs(playerX), 1.25f);
                EXPECT_LE(std::fabs(playerY), 1.1f);
            }
            EXPECT_TRUE(std::isfinite(ballYaw) && std::isfinite(ballPitch));
            EXPECT_TRUE(std::isfinite(spinX) && std::isfinite(spinY));
        }
    }
}

// The first motion after the serve: 10 pixels right in a 500-pixel-high window gives
// spin -16, which turns the yaw from 180 to 164. (From column 241 the difference of the
// two stored positions, taken in double, is exactly -16; float arithmetic would not be.)
TEST_F(Game, MotionAfterAServeGivesSpin)
{
    followPointer(241, 250);
    serve();
    ASSERT_EQ(returnPending, 1);
    float prevX = playerX, prevY = playerY;
    followPointer(251, 250);
    EXPECT_EQ(spinX, f((static_cast<double>(prevX) - playerX) * 200));
    EXPECT_EQ(spinX, -16.0f);
    EXPECT_EQ(spinY, f((static_cast<double>(prevY) - playerY) * 200));
    EXPECT_EQ(spinY, 0.0f);
    EXPECT_EQ(ballYaw, f(180.0 + spinX));
    EXPECT_EQ(ballPitch, 90.0f);
    EXPECT_EQ(returnPending, 0);
    EXPECT_EQ(prevPlayerX, playerX);

    // Once applied, further motion leaves the ball alone.
    float yaw = ballYaw, spin = spinX;
    followPointer(300, 200);
    EXPECT_EQ(ballYaw, yaw);
    EXPECT_EQ(spinX, spin);
}

TEST_F(Game, SpinIsLimitedTo40)
{
    followPointer(250, 250);
    serve();
    followPointer(280, 220);  // 30 pixels right and up
    EXPECT_EQ(spinX, -40.0f);
    EXPECT_EQ(spinY, -40.0f);
    EXPECT_EQ(ballYaw, 140.0f);
    EXPECT_EQ(ballPitch, 50.0f);

    resetGameState();
    followPointer(250, 250);
    serve();
    followPointer(220, 280);  // 30 pixels left and down: yaw 220 wraps to -140
    EXPECT_EQ(spinX, 40.0f);
    EXPECT_EQ(spinY, 40.0f);
    EXPECT_EQ(ballYaw, -140.0f);
    EXPECT_EQ(ballPitch, 130.0f);
}

TEST_F(Game, PausedPaddleStaysAndPendingSpinIsZero)
{
    followPointer(250, 250);
    serve();
    mouseButton(rightButton, pressed, 0, 0);
    ASSERT_EQ(paused, 1);
    float x = playerX, y = playerY;
    followPointer(400, 100);
    EXPECT_EQ(playerX, x);
    EXPECT_EQ(playerY, y);
    EXPECT_EQ(spinX, 0.0f);
    EXPECT_EQ(spinY, 0.0f);
    EXPECT_EQ(ballYaw, 180.0f);
    EXPECT_EQ(ballPitch, 90.0f);
    EXPECT_EQ(returnPending, 0);

    mouseButton(rightButton, pressed, 0, 0);
    followPointer(400, 100);  // unpaused: the spin chance is gone
    EXPECT_EQ(spinX, 0.0f);
    EXPECT_EQ(ballYaw, 180.0f);
    EXPECT_NE(playerX, x);
}

// A rally reset right after a return leaves the return pending: the next motion still
// spins the resting ball.
TEST_F(Game, PendingSpinAppliesWithoutARally)
{
    followPointer(250, 250);
    serve();
    keyCommand('r');
    ASSERT_EQ(rallyActive, 0);
    ASSERT_EQ(returnPending, 1);
    followPointer(260, 250);
    EXPECT_NEAR(spinX, -16.0, 1e-4);
    EXPECT_EQ(ballYaw, f(180.0 + spinX));
    EXPECT_EQ(returnPending, 0);
}

TEST_F(Game, LeftPressServesOnlyARestingCoveredBall)
{
    serve();
    EXPECT_EQ(rallyActive, 1);
    EXPECT_EQ(returnPending, 1);
    EXPECT_EQ(playerFlash, 1.0f);
    EXPECT_EQ(ballSpeedBase, baseSpeedAt(1));
    EXPECT_EQ(ballYaw, 180.0f);  // the angles are not touched
    EXPECT_EQ(ballPitch, 90.0f);

    std::vector<double> before = snapshot();
    serve();  // during the rally
    EXPECT_EQ(snapshot(), before);

    resetGameState();
    playerX = 1.25f;  // the paddle does not cover the ball
    before = snapshot();
    serve();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(Game, LeftPressAfterAPointDoesNothing)
{
    winPoint();
    std::vector<double> before = snapshot();
    serve();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(Game, RightPressTogglesPauseAndOtherEventsDoNothing)
{
    mouseButton(rightButton, pressed, 0, 0);
    EXPECT_EQ(paused, 1);
    mouseButton(rightButton, pressed, 0, 0);
    EXPECT_EQ(paused, 0);

    std::vector<double> before = snapshot();
    mouseButton(leftButton, released, 0, 0);
    mouseButton(rightButton, released, 0, 0);
    mouseButton(middleButton, pressed, 0, 0);
    mouseButton(middleButton, released, 0, 0);
    mouseButton(3, pressed, 0, 0);  // wheel
    mouseButton(4, pressed, 0, 0);
    mouseButton(-1, 7, 0, 0);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(Game, ServeWhilePausedWaitsForTheUnpause)
{
    mouseButton(rightButton, pressed, 0, 0);
    serve();
    EXPECT_EQ(rallyActive, 1);
    EXPECT_EQ(ballSpeedBase, baseSpeedAt(1));
    EXPECT_EQ(runTicks(5), tickDelay);
    EXPECT_EQ(ballZ, -0.15f);

    mouseButton(rightButton, pressed, 0, 0);
    Position next = expectedAdvance();
    tickGame();
    EXPECT_EQ(ballZ, next.z);
}

// rallyActive, paused, gameOver; then paused once the window is hidden, and the pointer shown.
TEST_F(Game, HiddenWindowPausesOnlyARallyInPlay)
{
    const int cases[][5] = {{1, 0, 0, 1, 0}, {1, 1, 0, 1, 1}, {0, 0, 0, 0, 0}, {1, 0, 1, 0, 1}};
    for (const auto& c : cases) {
        rallyActive = c[0], paused = c[1], gameOver = c[2];
        EXPECT_EQ(pointerShown(), c[4] == 1) << c[0] << c[1] << c[2];
        const GameSnapshot before = takeSnapshot();
        pauseWhenHidden();
        EXPECT_EQ(paused, c[3]) << c[0] << c[1] << c[2];
        paused = c[1];
        EXPECT_TRUE(sameSnapshot(takeSnapshot(), before)) << "more than the pause changed";
    }
}
