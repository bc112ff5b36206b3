// The court as the cameras see it: its lines where the camera formulas put them in every
// view and projection, and the lit wall panels behind the player only.
#include "gl_harness.h"

#include "app/state.h"
#include "render/render.h"

namespace {

struct CourtPoint {
    const char* what;
    double x, y, z;
};

// Points on the wire frame, each clear of the paddles, the ball and its shadow in every view.
const CourtPoint onLines[] = {
    {"left wall, second cross-section", -1.75, 1.2, -0.5},
    {"right wall, eighth cross-section", 1.75, -1.2, -3.5},
    {"floor grid line", 0.35, -1.5, -2.0},
    {"ceiling grid line", -1.05, 1.5, -1.25},
};

// Keeps the ball and its shadow out of every picture.
void ballOutOfSight()
{
    ballX = 100.0f;
}

int greyPixels(const Picture& p)
{
    int n = 0;
    for (int row = 0; row < p.height; row++)
        for (int col = 0; col < p.width; col++) {
            const Rgb c = p.at(col, row);
            if (c.r == c.g && c.g == c.b && c.r > 20 && c.r < 235)
                n++;
        }
    return n;
}

}  // namespace

class CourtTest : public GlTest {};

TEST_F(CourtTest, LinesLieWhereTheCamerasPutThemInEveryViewAndProjection)
{
    for (int ortho = 0; ortho <= 1; ortho++)
        for (int view = 0; view <= 4; view++) {
            viewMode = view;
            orthographic = ortho;
            drawFrame();
            const Picture p = grab();
            for (const CourtPoint& c : onLines) {
                const Spot s = courtToWindow(c.x, c.y, c.z);
                EXPECT_TRUE(p.blackNear(s))
                    << c.what << " in view " << view << (ortho ? " (orthographic)" : "")
                    << " at column " << s.col << ", row " << s.rowFromTop;
            }
        }
}

TEST_F(CourtTest, FarEndIsOpenAndOnlyItsOutlineIsDrawn)
{
    // Behind the player the far end shows the white background inside its outline (near its
    // corners, clear of the translucent paddles in front).
    for (int ortho = 0; ortho <= 1; ortho++) {
        orthographic = ortho;
        drawFrame();
        const Picture p = grab();
        EXPECT_TRUE(p.isWhite(courtToWindow(1.5, 1.2, -4.0))) << "orthographic " << ortho;
        EXPECT_TRUE(p.isWhite(courtToWindow(-1.5, -1.2, -4.0))) << "orthographic " << ortho;
        EXPECT_TRUE(p.blackNear(courtToWindow(0.0, 1.5, -4.0))) << "orthographic " << ortho;
    }
}

TEST_F(CourtTest, NearEndOutlineIsThickerThanTheFarOne)
{
    drawFrame();
    const Picture p = grab();
    // Count the dark pixels across the left edge of each end at mid-height of a strip.
    auto darkAcross = [&](double z) {
        const Spot s = courtToWindow(-1.75, 0.6, z);
        int n = 0;
        for (int dc = -4; dc <= 4; dc++)
            if (p.at(static_cast<int>(s.col) + dc, static_cast<int>(s.rowFromTop)).r < 60)
                n++;
        return n;
    };
    EXPECT_GE(darkAcross(0.0), 3);
    EXPECT_LE(darkAcross(-4.0), 2);
}

TEST_F(CourtTest, LitWallPanelsOnlyBehindThePlayer)
{
    ballOutOfSight();

    // Behind the player: grey panels, brighter near the player than at the far end, on all
    // four sides; light 1 fades with distance as set for the walls.
    drawFrame();
    Picture p = grab();
    const Rgb nearLeft = p.at(courtToWindow(-1.76, 0.0, -0.75));
    const Rgb farLeft = p.at(courtToWindow(-1.76, 0.0, -3.25));
    const Rgb farRight = p.at(courtToWindow(1.76, 0.0, -3.25));
    const Rgb farCeiling = p.at(courtToWindow(0.0, 1.51, -3.25));
    const Rgb farFloor = p.at(courtToWindow(0.7, -1.51, -3.25));
    for (const Rgb& c : {farLeft, farRight, farCeiling, farFloor}) {
        EXPECT_EQ(c.r, c.g);
        EXPECT_EQ(c.g, c.b);
        EXPECT_GT(c.r, 60);
        EXPECT_LT(c.r, 235);
    }
    EXPECT_GT(nearLeft.r, farLeft.r + 20);
    EXPECT_GT(greyPixels(p), 5000);
    GLfloat attenuation = 0;
    glGetLightfv(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, &attenuation);
    EXPECT_FLOAT_EQ(attenuation, 0.1f);

    // From the other cameras the court is a bare black wire frame, and light 1 is left alone.
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.0f);
    for (int ortho = 0; ortho <= 1; ortho++)
        for (int view = 1; view <= 4; view++) {
            viewMode = view;
            orthographic = ortho;
            drawFrame();
            p = grab();
            EXPECT_EQ(greyPixels(p), 0) << "view " << view << " orthographic " << ortho;
            glGetLightfv(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, &attenuation);
            EXPECT_EQ(attenuation, 0.0f);
        }
}
