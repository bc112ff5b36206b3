// The heads-up display behind the player (lives, level points, level label and tally marks),
// the game-over fade that replaces it and starts a new game, and the signs over them all.
#include "gl_harness.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>

#include "app/state.h"
#include "game/events.h"
#include "game/game.h"
#include "input/input.h"
#include "render/render.h"

namespace {

Spot lifeSphere(int i) { return hudToWindow(-1.8 + 0.15 * i, 1.8); }
Spot pointRod(int i) { return hudToWindow((i + 0.5) * 1.75 / 3, 1.8); }
Spot levelLabel() { return hudToWindow(-1.425, -1.825); }

// Tally marks, read across the middle of their height: the upright mark j of group g, and
// the place where group g's fifth mark strikes through, halfway between its second and third
// upright marks.
const double tallyRow = -1.82;
Spot upright(int g, int j) { return hudToWindow(-1.05 + 0.3 * g + 0.05 * j, tallyRow); }
Spot strike(int g) { return hudToWindow(-0.975 + 0.3 * g, tallyRow); }

}  // namespace

class HudTest : public GlTest {};

TEST_F(HudTest, OneSphereForEverySpareLife)
{
    lives = 1;
    drawFrame();
    EXPECT_TRUE(grab().isWhite(lifeSphere(0))) << "the life in play is not shown";

    lives = 5;
    drawFrame();
    Picture p = grab();
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(isBlue(p.at(lifeSphere(i)))) << "sphere " << i;
    EXPECT_TRUE(p.isWhite(lifeSphere(4)));

    lives = 13;
    drawFrame();
    p = grab();
    for (int i = 0; i < 12; i++)
        EXPECT_TRUE(isBlue(p.at(lifeSphere(i)))) << "sphere " << i;
    // Twelve spheres, 0.15 apart, with white between them.
    EXPECT_TRUE(p.isWhite(hudToWindow(-1.8 + 0.075, 1.8)));
    EXPECT_TRUE(p.isWhite(hudToWindow(-0.15 + 0.075, 1.8)));
}

TEST_F(HudTest, PointsBarFillsOneRodPerPoint)
{
    const int counts[] = {0, 1, 3};
    for (int points : counts) {
        levelPoints = points;
        drawFrame();
        const Picture p = grab();
        for (int i = 0; i < 3; i++) {
            if (i < points)
                EXPECT_TRUE(isBlue(p.at(pointRod(i)))) << points << " points, rod " << i;
            else
                EXPECT_TRUE(p.isWhite(pointRod(i))) << points << " points, rod " << i;
        }
        // The outline shows where no rod lies in front of it.
        if (points == 0) {
            EXPECT_TRUE(p.blackNear(hudToWindow(0.9, 1.9)));
            EXPECT_TRUE(p.blackNear(hudToWindow(0.0, 1.8)));
        }
        if (points < 2) {
            EXPECT_TRUE(p.blackNear(hudToWindow(1.5, 1.7))) << points << " points";
        }
        if (points < 3) {
            EXPECT_TRUE(p.blackNear(hudToWindow(1.75, 1.8))) << points << " points";
        }
    }
}

TEST_F(HudTest, LevelLabelShowsTheLevelImage)
{
    drawFrame();
    const Picture p = grab();
    EXPECT_TRUE(colourNear(p.at(levelLabel()), 255, 0, 0));
    EXPECT_TRUE(colourNear(p.at(hudToWindow(-1.69, -1.94)), 255, 0, 0));
    EXPECT_TRUE(p.isWhite(hudToWindow(-1.72, -1.825)));
}

TEST_F(HudTest, TallyMarksCountTheLevelInFives)
{
    struct Case {
        int level;
        int uprights[2];  // upright marks drawn in groups 0 and 1
        bool struck[2];   // fifth mark of groups 0 and 1
    };
    const Case cases[] = {
        {1, {1, 0}, {false, false}},
        {4, {4, 0}, {false, false}},
        {5, {4, 0}, {true, false}},
        {6, {4, 1}, {true, false}},
        {10, {4, 4}, {true, true}},
    };
    for (const Case& c : cases) {
        level = c.level;
        drawFrame();
        const Picture p = grab();
        for (int g = 0; g < 3; g++) {
            for (int j = 0; j < 4; j++) {
                const bool drawn = g < 2 && j < c.uprights[g];
                if (drawn)
                    EXPECT_TRUE(p.blackNear(upright(g, j)))
                        << "level " << c.level << " group " << g << " mark " << j;
                else
                    EXPECT_TRUE(p.isWhite(upright(g, j)))
                        << "level " << c.level << " group " << g << " mark " << j;
            }
            if (g < 2 && c.struck[g])
                EXPECT_TRUE(p.blackNear(strike(g))) << "level " << c.level << " group " << g;
            else
                EXPECT_TRUE(p.isWhite(strike(g))) << "level " << c.level << " group " << g;
        }
    }
}

TEST_F(HudTest, AbsentFromTheOtherViews)
{
    lives = 13;
    levelPoints = 3;
    level = 6;
    for (int ortho = 0; ortho <= 1; ortho++)
        for (int view = 1; view <= 4; view++) {
            viewMode = view;
            orthographic = ortho;
            drawFrame();
            const Picture p = grab();
            const Spot probes[] = {lifeSphere(0), lifeSphere(3), pointRod(0), pointRod(2),
                                   levelLabel(), upright(0, 1), upright(1, 0)};
            for (const Spot& s : probes)
                EXPECT_TRUE(p.isWhite(s)) << "view " << view << " orthographic " << ortho
                                          << " at " << s.col << ", " << s.rowFromTop;
        }
}

TEST_F(HudTest, DrawnTheSameUnderEitherSceneProjection)
{
    lives = 3;
    levelPoints = 2;
    level = 2;
    drawFrame();
    const Picture perspective = grab();
    orthographic = 1;
    drawFrame();
    const Picture ortho = grab();
    for (const Spot& s : {lifeSphere(0), lifeSphere(1), pointRod(0), pointRod(1), levelLabel()}) {
        const Rgb a = perspective.at(s), b = ortho.at(s);
        EXPECT_TRUE(colourNear(a, b.r, b.g, b.b, 0));
    }
}

class FadeTest : public GlTest {
protected:
    // The moment the last life is lost: the missed ball lies at the player's end.
    void loseLastLife()
    {
        lives = 0;
        level = 7;
        levelPoints = 2;
        rallyActive = 1;
        pointLost = 1;
        ballX = 0.8f;
        ballY = -0.6f;
        ballZ = 0.1f;
        gameOver = 1;
        fadeLevel = 1.0f;
    }
};

TEST_F(FadeTest, FirstFrameLeavesThePictureUnchangedAndHidesTheHud)
{
    loseLastLife();
    lives = 5;  // spheres would show if the heads-up display were drawn
    gameOver = 0;
    drawFrame();
    const Picture withHud = grab();

    gameOver = 1;
    drawFrame();
    const Picture fading = grab();

    // Outside the heads-up strips at the top and the bottom, not one pixel differs.
    int differing = 0;
    for (int row = 50; row < 450; row++)
        for (int col = 0; col < 500; col++) {
            const Rgb a = withHud.at(col, row), b = fading.at(col, row);
            if (a.r != b.r || a.g != b.g || a.b != b.b)
                differing++;
        }
    EXPECT_EQ(differing, 0);
    for (const Spot& s : {lifeSphere(0), pointRod(1), levelLabel(), upright(0, 0)}) {
        EXPECT_FALSE(withHud.isWhite(s));
        EXPECT_TRUE(fading.isWhite(s));
    }
}

TEST_F(FadeTest, DarkestFramesAreBlackBehindThePlayerButNotFromTheSide)
{
    loseLastLife();
    fadeLevel = 0.0f;  // the first lightening frame, alpha 1
    drawFrame();
    Picture p = grab();
    for (const Spot& s : {Spot{2, 2}, Spot{250, 250}, Spot{497, 497}, Spot{30, 470}})
        EXPECT_TRUE(colourNear(p.at(s), 0, 0, 0, 0)) << s.col << ", " << s.rowFromTop;

    // From the side the orthographic camera sees the quad edge-on: nothing darkens. (The
    // perspective camera sees the plane z = 0.1 as a wedge beyond the player's end, so only
    // the opponent's side is sure to stay light there.)
    viewMode = 1;
    for (int ortho = 0; ortho <= 1; ortho++) {
        orthographic = ortho;
        fadeLevel = 0.0f;
        drawFrame();
        p = grab();
        EXPECT_TRUE(p.isWhite(Spot{30, 30})) << "orthographic " << ortho;
        EXPECT_TRUE(p.isWhite(Spot{30, 470})) << "orthographic " << ortho;
        if (ortho) {
            EXPECT_TRUE(p.isWhite(Spot{470, 30}));
            EXPECT_TRUE(p.isWhite(Spot{470, 470}));
        }
    }
}

TEST_F(FadeTest, RunsTwoHundredTwoFramesResettingTheRallyInItsSecondHalf)
{
    loseLastLife();
    clearEvents();
    int darkening = 0, lightening = 0;
    while (gameOver && darkening + lightening < 1000) {
        const bool secondHalf = !(fadeLevel > 0);
        drawFrame();
        ASSERT_EQ(gameEventCount, gameOver ? 0 : 1);  // the new game, once, at the very end
        if (secondHalf) {
            lightening++;
            // The rally goes back to the serve position on every frame of this half.
            ASSERT_EQ(ballX, 0.0f);
            ASSERT_EQ(ballZ, -0.151f);
            ASSERT_EQ(pointLost, 0);
            ASSERT_EQ(rallyActive, 0);
            ballX = 0.5f;  // a serve clicked meanwhile is undone by the next frame
        } else {
            darkening++;
            // The missed ball stays where it was while the picture darkens.
            ASSERT_EQ(ballX, 0.8f);
            ASSERT_EQ(pointLost, 1);
            ASSERT_EQ(lives, 0);
        }
    }
    EXPECT_EQ(darkening, 101);
    EXPECT_EQ(lightening, 101);
    EXPECT_EQ(gameOver, 0);
    EXPECT_EQ(lives, 5);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(levelPoints, 0);
    EXPECT_LE(fadeLevel, -1.0f);  // keeps its last value
    EXPECT_GT(fadeLevel, -1.02f);

    EXPECT_EQ(gameEvents[0].kind, newGameEvent);

    // The next frame brings the heads-up display back for the new game.
    drawFrame();
    EXPECT_EQ(gameEventCount, 1);
    const Picture p = grab();
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(isBlue(p.at(lifeSphere(i)))) << "sphere " << i;
    EXPECT_TRUE(p.isWhite(lifeSphere(4)));
    EXPECT_TRUE(p.isWhite(pointRod(0)));
    EXPECT_TRUE(p.blackNear(upright(0, 0)));
    EXPECT_TRUE(p.isWhite(upright(0, 1)));
}

// The signs over the frame: captions of the printed lines, the pause sign and the key card.
class SignsTest : public GlTest {
protected:
    static Picture frame()
    {
        drawFrame();
        return grab();
    }
    // How many pixels of a and b differ between heads-up heights top and bottom; with
    // inkOnly, the height of the rows where a has black that b has not.
    static int compare(const Picture& a, const Picture& b, double top, double bottom,
                       bool inkOnly = false)
    {
        const int from = std::max(static_cast<int>(hudToWindow(0, top).rowFromTop), 0);
        const int to = std::min(static_cast<int>(hudToWindow(0, bottom).rowFromTop), a.height);
        const auto black = [](const Rgb& c) { return c.r == 0 && c.g == 0 && c.b == 0; };
        int n = 0, first = -1, last = -1;
        for (int row = from; row < to; row++)
            for (int col = 0; col < a.width; col++) {
                const Rgb p = a.at(col, row), q = b.at(col, row);
                n += p.r != q.r || p.g != q.g || p.b != q.b;
                if (black(p) && !black(q)) {
                    first = first < 0 ? row : first;
                    last = row;
                }
            }
        return inkOnly ? (first < 0 ? 0 : last - first + 1) : n;
    }
};

TEST_F(SignsTest, CaptionShowsTheKeysLineFadesAndLeavesThePictureAsItWas)
{
    for (int view : {0, 3}) {
        viewMode = view;
        const Picture plain = frame();
        keyCommand('c');
        const Picture shown = frame();
        EXPECT_GT(compare(shown, plain, 1.6, 1.2), 500) << "view " << view;
        EXPECT_EQ(compare(shown, plain, 1.2, -2), 0) << "only the caption's strip changes";
        passSignTime(1750);  // half way through the fade: no pure black left
        EXPECT_EQ(compare(frame(), plain, 1.6, 1.2, true), 0);
        passSignTime(250);
        EXPECT_EQ(compare(frame(), plain, 2, -2), 0) << "view " << view;
    }
}

TEST_F(SignsTest, KeyCardPausesARallyAndLeavesItPausedUnderThePauseSign)
{
    rallyActive = 1;
    ballZ = -3.0f;
    const Picture playing = frame();
    specialKey(GLUT_KEY_F1, 0, 0);
    EXPECT_EQ(paused, 1);
    EXPECT_TRUE(pointerShown());
    const Picture card = frame();
    EXPECT_GT(compare(card, playing, 1.25, -1.6), 50000);
    EXPECT_EQ(compare(card, playing, 2, 1.35) + compare(card, playing, -1.65, -2), 0)
        << "the heads-up display stays in sight";
    keyboard(27, 0, 0);
    EXPECT_EQ(paused, 1);
    const Picture sign = frame();
    EXPECT_GT(compare(sign, playing, 0.5, -0.45), 1000);
    EXPECT_EQ(compare(sign, playing, 2, 0.5) + compare(sign, playing, -0.45, -2), 0);
    mouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    EXPECT_EQ(compare(frame(), playing, 2, -2), 0);

    // At rest the card pauses nothing and a click on it serves nothing; p takes it away.
    resetRally();
    specialKey(GLUT_KEY_F1, 0, 0);
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 250, 250);
    EXPECT_EQ(paused + rallyActive, 0);
    keyCommand('p');
    EXPECT_FALSE(keyCardShown());
}

TEST_F(SignsTest, TextGrowsWithTheWindowsHeight)
{
    viewMode = 3;  // from below: no court under the text at either size
    int heights[2][2];
    for (int big = 0; big <= 1; big++) {
        if (big)
            resizeWindow(1920, 1080);
        clearSigns();
        paused = 0;
        const Picture plain = frame();
        keyCommand('c');
        paused = 1;
        const Picture signs = frame();
        heights[big][0] = compare(signs, plain, 1.7, 1.2, true);
        heights[big][1] = compare(signs, plain, 0.5, 0.0, true);
    }
    resizeWindow(500, 500);
    std::printf("caption %d and %d px high, PAUSED %d and %d px, at 500 x 500 and 1920 x 1080\n",
                heights[0][0], heights[1][0], heights[0][1], heights[1][1]);
    // "CURVING ON" and "PAUSED": capitals of 0.2 and 0.32 heads-up units (a quarter of the
    // window's height), with half a stroke of an eighth of that above and below.
    for (int big = 0; big <= 1; big++)
        for (int sign = 0; sign <= 1; sign++)
            EXPECT_NEAR(heights[big][sign], (sign ? 0.32 : 0.2) * (big ? 270 : 125) * 1.125, 3);
}
