// The paddles seen from behind the player: rest and flash colours of both, and the flash
// fading once per drawn frame.
#include "gl_harness.h"

#include "app/state.h"
#include "render/render.h"

namespace {

// A translucent (alpha 0.5) fill over the white background.
Rgb expectedOverWhite(double r, double g, double b)
{
    return {static_cast<int>(127.5 + 127.5 * r + 0.5), static_cast<int>(127.5 + 127.5 * g + 0.5),
            static_cast<int>(127.5 + 127.5 * b + 0.5)};
}

::testing::AssertionResult fillIs(const Rgb& got, double r, double g, double b)
{
    const Rgb e = expectedOverWhite(r, g, b);
    return colourNear(got, e.r, e.g, e.b);
}

// A point of each paddle's fill clear of its circle, cross and outline; behind the player's
// it the court is open to the white background, and the opponent's has the white far end
// behind it.
Spot playerFill() { return courtToWindow(playerX + 0.3, playerY + 0.25, 0.0); }
Spot opponentFill() { return courtToWindow(opponentX + 0.3, opponentY + 0.25, -4.0); }

// The player's paddle covers the opponent's from behind the player; move it and the ball
// aside to see the opponent's alone.
void uncoverOpponent()
{
    playerX = 1.25f;
    ballX = -1.0f;
}

}  // namespace

class PaddleTest : public GlTest {};

TEST_F(PaddleTest, PlayerRestAndFullFlashColours)
{
    drawFrame();
    EXPECT_TRUE(fillIs(grab().at(playerFill()), 0, 0.7, 0));
    EXPECT_EQ(playerFlash, 0.0f);  // a flash of 0 is left alone

    playerFlash = 1.0f;
    drawFrame();
    EXPECT_TRUE(fillIs(grab().at(playerFill()), 1, 0.7, 1));
    EXPECT_EQ(playerFlash, static_cast<float>(1.0 - 0.03));
}

TEST_F(PaddleTest, OpponentRestAndFullFlashColours)
{
    uncoverOpponent();
    drawFrame();
    EXPECT_TRUE(fillIs(grab().at(opponentFill()), 0.7, 0, 0));

    opponentFlash = 1.0f;
    drawFrame();
    EXPECT_TRUE(fillIs(grab().at(opponentFill()), 0.7, 1, 1));
    EXPECT_EQ(opponentFlash, static_cast<float>(1.0 - 0.03));
}

TEST_F(PaddleTest, FlashFadesOverThirtyFourFramesAndStaysJustBelowZero)
{
    uncoverOpponent();
    drawFrame();
    const Picture rest = grab();

    playerFlash = 1.0f;
    opponentFlash = 1.0f;
    for (int frame = 1; frame <= 34; frame++) {
        drawFrame();
        if (frame < 34) {
            ASSERT_GT(playerFlash, 0.0f) << "frame " << frame;
            ASSERT_GT(opponentFlash, 0.0f) << "frame " << frame;
        }
    }
    EXPECT_LT(playerFlash, 0.0f);
    EXPECT_NEAR(playerFlash, -0.02, 0.005);
    EXPECT_EQ(opponentFlash, playerFlash);
    // The 34th frame showed the last trace of the flash, about 0.01.
    const Picture last = grab();
    EXPECT_NE(last.at(playerFill()).r, rest.at(playerFill()).r);

    // From here the flash stays put and both paddles look exactly as they did at rest.
    const float settled = playerFlash;
    drawFrame();
    EXPECT_EQ(playerFlash, settled);
    EXPECT_EQ(opponentFlash, settled);
    const Picture after = grab();
    for (const Spot& s : {playerFill(), opponentFill()}) {
        const Rgb a = after.at(s), b = rest.at(s);
        EXPECT_TRUE(colourNear(a, b.r, b.g, b.b, 0));
    }
}

TEST_F(PaddleTest, OutlineAndCentreMarksAreBlack)
{
    drawFrame();
    const Picture p = grab();
    const double inset = 8.0 / 500;
    EXPECT_TRUE(p.blackNear(courtToWindow(-0.5 + inset, 0.2, 0.01)));  // outline, left side
    EXPECT_TRUE(p.blackNear(courtToWindow(0.2, 0.4 - inset, 0.01)));   // outline, top side
    EXPECT_TRUE(p.blackNear(courtToWindow(0.0, 0.12, 0.0)));           // circle, top
    EXPECT_TRUE(p.blackNear(courtToWindow(-0.12, -0.03, 0.0)));        // circle, left
    EXPECT_TRUE(p.blackNear(courtToWindow(0.06, 0.0, 0.0)));           // cross
    // Just outside the paddle the background is white again.
    EXPECT_TRUE(p.isWhite(courtToWindow(-0.56, 0.2, 0.0)));
}
