// The frame as a whole: window sizes (a collapsed window included), the GL state every
// routine must leave as it found it, and the shape of what the routines hand to GL.
#include "gl_harness.h"

#include <algorithm>
#include <cmath>

#include <GL/freeglut.h>

#include "app/state.h"
#include "input/input.h"
#include "render/render.h"

namespace {

void expectFiniteMatrices(const char* what)
{
    const GlState s = glState();
    EXPECT_TRUE(allFinite(s.projection)) << what;
    EXPECT_TRUE(allFinite(s.modelview)) << what;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << what;
}

void expectViewport(int w, int h)
{
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(v[2], w);
    EXPECT_EQ(v[3], h);
}

// GL reports filled polygons as triangles: a four-cornered polygon comes back as two.
int count(const std::vector<Primitive>& prims, Primitive::Kind kind)
{
    int n = 0;
    for (const Primitive& p : prims)
        if (p.kind == kind)
            n++;
    return n;
}

}  // namespace

class FrameTest : public GlTest {};

TEST_F(FrameTest, ReshapeStoresTheSizeAndSetsViewportAndProjection)
{
    reshape(800, 400);
    EXPECT_EQ(windowWidth, 800);
    EXPECT_EQ(windowHeight, 400);
    expectViewport(800, 400);
    GlState s = glState();
    EXPECT_EQ(s.matrixMode, GL_MODELVIEW);
    // Perspective of 60 degrees, aspect 2, near 1, far 15.
    const double f = 1.0 / std::tan(30.0 * M_PI / 180.0);
    EXPECT_NEAR(s.projection[0], f / 2, 1e-6);
    EXPECT_NEAR(s.projection[5], f, 1e-6);
    EXPECT_NEAR(s.projection[10], -16.0 / 14.0, 1e-6);

    // The orthographic volume of an 800 x 400 window spans x -4..4 and y -2..2.
    orthographic = 1;
    reshape(800, 400);
    s = glState();
    EXPECT_NEAR(s.projection[0], 2.0 / 8.0, 1e-9);
    EXPECT_NEAR(s.projection[5], 2.0 / 4.0, 1e-9);

    // The frame replaces the reshape projection with its own (seen from the side, where no
    // heads-up pass replaces it in turn).
    orthographic = 0;
    viewMode = 1;
    drawFrame();
    s = glState();
    const double g = 1.0 / std::tan(40.0 * M_PI / 180.0);
    EXPECT_NEAR(s.projection[0], g / 2, 1e-6);
    EXPECT_NEAR(s.projection[5], g, 1e-6);
}

TEST_F(FrameTest, CollapsedWindowKeepsEveryMatrixFinite)
{
    struct Size {
        int w, h;
    };
    for (const Size& size : {Size{0, 0}, Size{500, 0}, Size{0, 500}}) {
        for (int ortho = 0; ortho <= 1; ortho++) {
            SCOPED_TRACE(::testing::Message() << size.w << " x " << size.h << " orthographic "
                                              << ortho);
            orthographic = ortho;
            reshape(size.w, size.h);
            EXPECT_EQ(windowWidth, size.w);
            EXPECT_EQ(windowHeight, size.h);
            expectViewport(size.w, size.h);
            expectFiniteMatrices("after reshape");
            for (int view = 0; view <= 4; view++) {
                viewMode = view;
                drawFrame();
                expectFiniteMatrices("after a frame");
            }
            gameOver = 1;
            fadeLevel = 0.5f;
            drawFrame();
            expectFiniteMatrices("after a fade frame");
            gameOver = 0;
            viewMode = 0;
        }
    }
}

TEST_F(FrameTest, CollapsedWindowGivesFinitePaddleOutlines)
{
    for (int side = 0; side < 2; side++) {
        windowWidth = side == 0 ? 0 : 500;
        windowHeight = side == 0 ? 500 : 0;
        const std::vector<Primitive> prims = captureFeedback(drawPlayerPaddle);
        EXPECT_EQ(count(prims, Primitive::line), 66 + 2 + 4);
        for (const Primitive& p : prims)
            for (float v : p.xyz)
                EXPECT_TRUE(std::isfinite(v));
    }
}

TEST_F(FrameTest, EveryRoutineLeavesTheGlStateAsItFoundIt)
{
    lives = 13;
    levelPoints = 3;
    level = 10;
    playerFlash = 1.0f;
    opponentFlash = 1.0f;
    pointWon = 1;

    struct Routine {
        const char* name;
        void (*draw)();
    };
    const Routine routines[] = {
        {"drawArena", drawArena},
        {"drawBall", drawBall},
        {"drawPlayerPaddle", drawPlayerPaddle},
        {"drawOpponentPaddle", drawOpponentPaddle},
        {"drawLives", drawLives},
        {"drawLevelPoints", drawLevelPoints},
        {"drawLevelCounter", drawLevelCounter},
        {"drawGameOverFade", drawGameOverFade},
        {"drawSigns", [] {
             showCaption("SOUND OFF\n");
             paused = 1;
             drawSigns();
             toggleKeyCard();
             drawSigns();
             toggleKeyCard();
             paused = 0;
         }},
    };
    for (int view = 0; view <= 1; view++) {
        viewMode = view;
        drawFrame();  // leaves a camera-less identity and a frame's projection to start from
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, -2.2f);  // a camera on the stack, as the frame has it
        for (const Routine& r : routines) {
            gameOver = 1;
            fadeLevel = 0.5f;
            const GlState before = glState();
            EXPECT_FALSE(before.lighting || before.light0 || before.light1 || before.texture2d);
            EXPECT_EQ(before.lineWidth, 1.0f);
            r.draw();
            expectSameState(before, glState(), false, r.name);
        }
        glPopMatrix();
        gameOver = 0;

        // The whole frame, with the heads-up display and with the fade in its place.
        for (int fading = 0; fading <= 1; fading++) {
            gameOver = fading;
            fadeLevel = 0.5f;
            const GlState before = glState();
            drawFrame();
            const GlState after = glState();
            expectSameState(before, after, true, fading ? "drawFrame, fading" : "drawFrame");
            EXPECT_EQ(after.matrixMode, GL_MODELVIEW);
        }
    }
    // Depth testing and blending stay on, with the blend function the game set.
    const GlState s = glState();
    EXPECT_TRUE(s.depthTest);
    EXPECT_TRUE(s.blend);
    EXPECT_EQ(s.blendSrc, GL_SRC_ALPHA);
    EXPECT_EQ(s.blendDst, GL_ONE_MINUS_SRC_ALPHA);
}

// A caption appearing, each step of its fade and its going are frames; once it is gone, and
// once the pause sign or the key card is up, a still game draws none. With partial frames
// a sign's change is presented whole.
TEST_F(FrameTest, SignsAreDrawnWhenTheyChangeAndNotWhileStill)
{
    for (bool partial : {false, true}) {
        partialFrames = partial && partialFramesOffered();
        watchExposures();
        for (int i = 0; i < 500 && presentFrame(); i++) {
        }
        keyCommand('c');
        EXPECT_TRUE(presentFrame());
        EXPECT_TRUE(!partialFrames || lastPresentation() == wholeCopied);
        int drawn = 0;
        for (int ms = 0; ms < 3000; ms += 15) {
            passSignTime(15);
            drawn += presentFrame();
        }
        EXPECT_EQ(drawn, 20) << "one frame for each step of the fade, the last one clear";
        for (void (*change)() : {+[] { keyCommand('p'); }, +[] { specialKey(GLUT_KEY_F1, 0, 0); },
                                 +[] { keyboard(27, 0, 0); }, +[] { keyCommand('p'); }}) {
            change();
            EXPECT_TRUE(presentFrame());
            EXPECT_FALSE(presentFrame());
        }
    }
    partialFrames = false;
}

TEST_F(FrameTest, CourtHandsGlItsLinesOutlineAndPanels)
{
    const std::vector<Primitive> behind = captureFeedback(drawArena);
    // 56 segments of the frame, grid and cross-sections, then the 4 of the near outline.
    EXPECT_EQ(count(behind, Primitive::line), 60);
    EXPECT_EQ(count(behind, Primitive::polygon), 4 * 2);

    viewMode = 2;
    const std::vector<Primitive> side = captureFeedback(drawArena);
    EXPECT_EQ(count(side, Primitive::line), 60);
    EXPECT_EQ(count(side, Primitive::polygon), 0);
}

TEST_F(FrameTest, CircleAndShadowRimTakeSixtySixVertices)
{
    // The circle's 66 vertices close into 66 segments; the shadow's fan of 66 rim vertices
    // around its centre makes 65 triangles on the floor.
    const std::vector<Primitive> paddle = captureFeedback(drawPlayerPaddle);
    EXPECT_EQ(count(paddle, Primitive::line), 66 + 2 + 4);
    EXPECT_EQ(count(paddle, Primitive::polygon), 2);
    ASSERT_FALSE(paddle.empty());
    EXPECT_NEAR(fromFeedback(paddle[0].xyz[0]), 0.12, 1e-4);  // starts at (cx + 0.12, cy)
    EXPECT_NEAR(fromFeedback(paddle[0].xyz[1]), 0.0, 1e-4);

    const std::vector<Primitive> ball = captureFeedback(drawBall);
    int onFloor = 0;
    for (const Primitive& p : ball) {
        if (p.kind != Primitive::polygon || p.xyz.size() != 9)
            continue;
        bool floor = true;
        for (int v = 0; v < 3; v++)
            floor = floor && std::fabs(fromFeedback(p.xyz[3 * v + 1]) - arenaBottom) < 1e-4;
        onFloor += floor;
    }
    EXPECT_EQ(onFloor, 65);
}

TEST_F(FrameTest, OpponentIsDrawnWhereThisFramesStepLeftIt)
{
    // A quick opponent chasing a ball at the side: the step moves it before it is drawn.
    level = 50;
    ballSpeedBase = 0.24f;
    ballX = 1.0f;
    ballY = -0.5f;
    const std::vector<Primitive> prims = captureFeedback(drawOpponentPaddle);
    ASSERT_GT(opponentX, 0.0f);
    ASSERT_LT(opponentY, 0.0f);
    // The fill's corners, from the triangles GL made of it.
    double left = 1e9, right = -1e9, bottom = 1e9, top = -1e9;
    for (const Primitive& p : prims) {
        if (p.kind != Primitive::polygon)
            continue;
        for (size_t v = 0; v < p.xyz.size(); v += 3) {
            left = std::min(left, fromFeedback(p.xyz[v]));
            right = std::max(right, fromFeedback(p.xyz[v]));
            bottom = std::min(bottom, fromFeedback(p.xyz[v + 1]));
            top = std::max(top, fromFeedback(p.xyz[v + 1]));
        }
    }
    EXPECT_NEAR(left, opponentX + paddleLeft, 1e-4);
    EXPECT_NEAR(right, opponentX + paddleRight, 1e-4);
    EXPECT_NEAR(bottom, opponentY + paddleBottom, 1e-4);
    EXPECT_NEAR(top, opponentY + paddleTop, 1e-4);
}

// Where the boxes land is checked pixel for pixel by the partial-frame storms; what those
// never meet is a box behind the eye, and a parked paddle that must stay out of the
// rectangle. Working out the opponent's box must leave the game as it was.
TEST_F(FrameTest, MovingPartsLeaveTheGameAsItWasAndOnlyChangedOnesCount)
{
    level = 50;  // a quick opponent, whose step moves it far
    ballSpeedBase = 0.24f;
    ballX = 1.0f;
    ballZ = -2.0f;
    const GameSnapshot start = takeSnapshot();
    MovingPart before[movingPartCount], after[movingPartCount];
    ASSERT_TRUE(movingParts(before));
    EXPECT_TRUE(sameSnapshot(start, takeSnapshot()));
    ballZ = -2.1f;  // only the ball and its shadow move: their old and new places count
    ASSERT_TRUE(movingParts(after));
    const PixelRect r = changedRect(before, after);
    PixelRect want = before[0].box;
    for (const PixelRect& b : {after[0].box, before[1].box, after[1].box}) {
        want = {std::min(want.x0, b.x0), std::min(want.y0, b.y0), std::max(want.x1, b.x1),
                std::max(want.y1, b.y1)};
    }
    EXPECT_TRUE(r.x0 == want.x0 && r.y0 == want.y0 && r.x1 == want.x1 && r.y1 == want.y1);
    EXPECT_GT(r.x0, before[3].box.x0);  // not the player's paddle, parked at the centre
    ballZ = 2.5f;  // behind the eye: no place on the screen in perspective, one in orthographic
    EXPECT_FALSE(movingParts(after));
    orthographic = 1;
    EXPECT_TRUE(movingParts(after));
}
