// Fingers on a touch screen: the paddle follows a finger's movement as the mouse would move it,
// from wherever the paddle stands, spin included; a tap serves; a second finger, a slide and a
// finger the browser takes away do not.
#include "support.h"

// The pointer mapping turned round finds the pixel again, at any window size.
TEST_F(Game, PixelsFoundAgainFromTheCourt)
{
    const int sizes[][2] = {{500, 500}, {844, 390}, {390, 390}};
    for (const auto& size : sizes) {
        windowWidth = size[0];
        windowHeight = size[1];
        for (int px = 0; px < windowWidth; ++px)
            ASSERT_EQ(std::lround(courtToMouseX(mouseToCourtX(static_cast<float>(px)))), px);
        for (int py = 0; py < windowHeight; ++py)
            ASSERT_EQ(std::lround(courtToMouseY(mouseToCourtY(static_cast<float>(py)))), py);
    }
}

// A finger anywhere moves the paddle by as much as it moved: to where the pointer would have
// put it after the same movement.
TEST_F(Game, FingerMovesThePaddleByItsOwnMovement)
{
    followPointer(250, 250);
    fingerDown(7, 30, 460);
    EXPECT_TRUE(followFinger(7, 60, 420));
    const float x = playerX, y = playerY;
    resetGameState();
    followPointer(250, 250);
    followPointer(280, 210);
    EXPECT_EQ(playerX, x);
    EXPECT_EQ(playerY, y);
    fingerUp(7, 60, 420);
}

TEST_F(Game, FingerGivesTheSpinTheMouseWould)
{
    followPointer(241, 250);
    serve();
    fingerDown(1, 200, 300);
    followFinger(1, 210, 300);  // 10 pixels right, as in the mouse's own case
    EXPECT_EQ(spinX, -16.0f);
    EXPECT_EQ(returnPending, 0);
    fingerUp(1, 210, 300);
}

// Pushed against a wall the paddle stops; the finger's way back moves it at once.
TEST_F(Game, NoDeadZoneAfterAWall)
{
    followPointer(250, 250);
    fingerDown(1, 100, 100);
    followFinger(1, 700, 100);
    EXPECT_EQ(playerX, 1.25f);
    followFinger(1, 690, 100);
    EXPECT_LT(playerX, 1.25f);
    EXPECT_NEAR(playerX, 1.25 - 10 * 4.0 / 500, 0.005);
    fingerUp(1, 690, 100);
}

TEST_F(Game, TapServesSlideSecondFingerAndCancelDoNot)
{
    followPointer(250, 250);
    fingerDown(1, 300, 300);
    followFinger(1, 310, 300);  // slid too far for a tap
    followFinger(1, 320, 300);
    fingerUp(1, 320, 300);
    EXPECT_EQ(rallyActive, 0);

    followPointer(250, 250);
    fingerDown(2, 100, 100);
    fingerDown(3, 400, 400);  // a second finger: neither moves nor taps
    EXPECT_FALSE(followFinger(3, 450, 400));
    EXPECT_EQ(playerX, f(mouseToCourtX(250)));
    fingerUp(3, 450, 400);
    EXPECT_EQ(rallyActive, 0);
    fingerCancelled(2);
    EXPECT_EQ(rallyActive, 0);

    fingerDown(4, 100, 100);
    followFinger(4, 103, 104);  // a tap may wobble a little
    fingerUp(4, 103, 104);
    EXPECT_EQ(rallyActive, 1);
}
