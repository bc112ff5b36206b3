// The ball and its shadow: the colour that tells the rally's outcome, and the shadow's
// opacity following the ball's height between its two clamps.
#include "gl_harness.h"

#include "app/state.h"
#include "render/render.h"

class BallTest : public GlTest {};

TEST_F(BallTest, ColourTellsTheOutcomeAndAWonPointWinsATie)
{
    // The ball mid-court, the player's translucent paddle out of the way.
    playerX = 1.25f;
    ballZ = -2.0f;
    struct Case {
        int won, lost;
        int channel;  // the one that must stand out: 0 red, 1 green, 2 blue
    };
    const Case cases[] = {{0, 0, 2}, {1, 0, 1}, {0, 1, 0}, {1, 1, 1}};
    for (const Case& c : cases) {
        pointWon = c.won;
        pointLost = c.lost;
        drawFrame();
        // The front of the sphere, facing the camera.
        const Rgb p = grab().at(courtToWindow(0.0, 0.0, -2.0 + 0.15));
        const int v[3] = {p.r, p.g, p.b};
        for (int other = 0; other < 3; other++) {
            if (other != c.channel) {
                EXPECT_GT(v[c.channel], v[other] + 80)
                    << "won " << c.won << " lost " << c.lost << ": (" << p.r << ", " << p.g
                    << ", " << p.b << ")";
            }
        }
    }
}

TEST_F(BallTest, ShadowAlphaFollowsHeightBetweenItsClamps)
{
    // Seen from below, the shadow lies over the white background, so its pixel tells its
    // alpha: (1 - a, 1 - a, 0.3 a + 1 - a).
    viewMode = 3;
    struct Case {
        float ballY;
        double alpha;
    };
    const Case cases[] = {
        {0.0f, 0.5},   // resting at the serve position
        {0.6f, 0.3},   // in the linear range
        {-1.3f, 0.9},  // near the floor: the darkest it gets
        {1.3f, 0.1},   // near the ceiling: the faintest it gets
    };
    for (const Case& c : cases) {
        ballY = c.ballY;
        drawFrame();
        // Beside the centre, on the side away from the ball's own image.
        const Rgb p = grab().at(courtToWindow(ballX - 0.13, arenaBottom, ballZ));
        const double a = c.alpha;
        EXPECT_TRUE(colourNear(p, 255 * (1 - a), 255 * (1 - a), 255 * (0.3 * a + 1 - a)))
            << "ballY " << c.ballY;
    }
}

TEST_F(BallTest, ShadowStaysStraightBelowTheBall)
{
    viewMode = 3;
    ballX = -0.8f;
    ballY = 0.9f;
    ballZ = -2.6f;
    drawFrame();
    const Picture p = grab();
    const Rgb centre = p.at(courtToWindow(-0.8 + 0.05, -1.5, -2.6 + 0.05));
    EXPECT_TRUE(colourNear(centre, 255 * 0.8, 255 * 0.8, 255 * 0.86)) << "alpha 0.2";
    // Its radius is the ball's: a little beyond 0.15 from the centre it has ended. (Rows
    // where a ceiling line shows through are avoided.)
    EXPECT_TRUE(p.isWhite(courtToWindow(-0.8 - 0.19, -1.5, -2.55)));
    EXPECT_TRUE(p.isWhite(courtToWindow(-0.8, -1.5, -2.6 + 0.19)));
}

TEST_F(BallTest, LitSideFacesLightZeroInTheCourtFromEitherSide)
{
    // Light 0 stands at (-2, 3, 2), above the ball and toward the player's end, whichever
    // way the camera looks: the upper part toward +z is the bright one, the lower part toward
    // -z the dark one. (A light fixed to the eye would put the bright part on the left from
    // the left-hand camera.)
    ballZ = -2.0f;
    for (int view = 1; view <= 2; view++) {
        viewMode = view;
        const double side = view == 1 ? -0.06 : 0.06;  // the face turned to the camera
        drawFrame();
        const Picture p = grab();
        const Rgb towardPlayer = p.at(courtToWindow(side, 0.08, -2.0 + 0.08));
        const Rgb towardOpponent = p.at(courtToWindow(side, -0.08, -2.0 - 0.08));
        EXPECT_GT(towardPlayer.r + towardPlayer.g + towardPlayer.b,
                  towardOpponent.r + towardOpponent.g + towardOpponent.b + 60)
            << "view " << view;
        EXPECT_TRUE(isBlue(towardOpponent)) << "view " << view;
    }
}
