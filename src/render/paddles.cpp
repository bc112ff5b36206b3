// The two paddles: translucent rectangles with a centre circle, a centre cross and an inset
// outline, whose fill flashes after a return and fades once per drawn frame.
#include <GL/gl.h>

#include "app/numeric.h"
#include "app/state.h"
#include "game/game.h"
#include "render/render.h"

static const double circleRadius = 0.12;    // court units
static const double crossArm = 0.075;       // court units, each side of the centre
static const double outlineLift = 0.01;     // outline sits this far toward the player
static const double flashDecay = 0.03;      // per drawn frame
static const double outlineInsetPixels = 8;

// What differs between the two paddles.
struct PaddleLook {
    float cx, cy;     // centre
    float z0;         // plane of the paddle
    float* flash;     // its hit highlight, decayed here
    bool player;      // fill colour (f, 0.7, f) for the player, (0.7, f, f) for the opponent
    float lineWidth;  // of the outline
};

static void vertex(double x, double y, double z)
{
    glVertex3f(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

// 66 vertices: the rim overshoots the full turn by one step, so the loop closes on itself
// without a gap.
static void drawCentreCircle(double cx, double cy, double z)
{
    const RimTable& r = rim();
    glBegin(GL_LINE_LOOP);
    for (int k = 0; k < r.count; k++)
        vertex(cx + circleRadius * r.cosine[k], cy + circleRadius * r.sine[k], z);
    glEnd();
}

static void drawCentreCross(double cx, double cy, double z)
{
    glBegin(GL_LINES);
    vertex(cx - crossArm, cy, z);
    vertex(cx + crossArm, cy, z);
    vertex(cx, cy - crossArm, z);
    vertex(cx, cy + crossArm, z);
    glEnd();
}

static void drawPaddle(const PaddleLook& p)
{
    const double cx = p.cx, cy = p.cy, z0 = p.z0;

    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    drawCentreCircle(cx, cy, z0);
    drawCentreCross(cx, cy, z0);

    // This frame shows the flash as it was before this frame's decay.
    const float f = *p.flash;
    if (p.player)
        glColor4f(f, 0.7f, f, 0.5f);
    else
        glColor4f(0.7f, f, f, 0.5f);
    if (f > 0)
        *p.flash = static_cast<float>(f - flashDecay);

    glBegin(GL_POLYGON);
    vertex(cx + paddleLeft, cy + paddleBottom, z0);
    vertex(cx + paddleLeft, cy + paddleTop, z0);
    vertex(cx + paddleRight, cy + paddleTop, z0);
    vertex(cx + paddleRight, cy + paddleBottom, z0);
    glEnd();

    // The inset is 8 over the window's size in pixels; a collapsed window (size 0) counts
    // as 1 so that the outline stays finite.
    const double ix = outlineInsetPixels / ratioSize(windowWidth);
    const double iy = outlineInsetPixels / ratioSize(windowHeight);
    const double z1 = z0 + outlineLift;
    glLineWidth(p.lineWidth);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_LINE_LOOP);
    vertex(cx + paddleLeft + ix, cy + paddleBottom + iy, z1);
    vertex(cx + paddleLeft + ix, cy + paddleTop - iy, z1);
    vertex(cx + paddleRight - ix, cy + paddleTop - iy, z1);
    vertex(cx + paddleRight - ix, cy + paddleBottom + iy, z1);
    glEnd();
    glLineWidth(1);
}

void paddleReach(double cx, double cy, double z0, double lo[3], double hi[3])
{
    lo[0] = cx + minD(paddleLeft, -circleRadius);
    hi[0] = cx + maxD(paddleRight, circleRadius);
    lo[1] = cy + minD(paddleBottom, -circleRadius);
    hi[1] = cy + maxD(paddleTop, circleRadius);
    lo[2] = z0;
    hi[2] = z0 + outlineLift;
}

void drawPlayerPaddle()
{
    glPushMatrix();
    drawPaddle({playerX, playerY, 0.0f, &playerFlash, true, 4.0f});
    glPopMatrix();
}

void drawOpponentPaddle()
{
    glPushMatrix();
    // The opponent moves once per drawn frame, just before it is drawn, so the picture
    // always shows where the next far-end test will find it.
    trackOpponent();
    drawPaddle({opponentX, opponentY, arenaDepth, &opponentFlash, false, 3.0f});
    glPopMatrix();
}
