// The ball: a lit sphere coloured by the rally's outcome, and its shadow on the floor, whose
// opacity tells the ball's height.
#include <cmath>

#include <GL/gl.h>
#include <GL/glu.h>

#include "app/numeric.h"
#include "app/state.h"
#include "game/game.h"
#include "render/render.h"

// The sphere and its shadow both take the ball's radius, ballRadius (game.h).
static const int sphereDetail = 50;     // slices and stacks
static const double darkestShadow = 0.9;    // alpha with the ball near the floor
static const double faintestShadow = 0.1;   // alpha with the ball near the ceiling

// Green after a won point, red after a lost one, blue in play; a won point wins a tie.
static const Material& ballLook()
{
    if (pointWon)
        return wonMaterial;
    if (pointLost)
        return lostMaterial;
    return ballMaterial;
}

static void drawSphere()
{
    glColor4f(0.0f, 0.0f, 0.3f, 0.4f);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    setMaterial(ballLook());

    glPushMatrix();
    glTranslatef(ballX, ballY, ballZ);
    gluSphere(ballQuadric, ballRadius, sphereDetail, sphereDetail);
    glPopMatrix();

    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
}

// The higher the ball, the fainter its shadow; it never vanishes and never turns opaque.
static double shadowAlpha()
{
    const double h = (static_cast<double>(ballY) - arenaBottom) /
                     (static_cast<double>(arenaTop) - arenaBottom);
    const double t = 1.0 - h;
    const double a = minD(t, darkestShadow);
    return maxD(a, faintestShadow);
}

// A fan on the floor straight below the ball. The float angle runs one step past the full
// turn (66 rim vertices), so the first wedge is covered twice and the rim closes.
static void drawShadow()
{
    glColor4f(0.0f, 0.0f, 0.3f, static_cast<float>(shadowAlpha()));

    const float step = static_cast<float>(M_PI / 32);
    const double limit = step + 2.0 * M_PI;
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(ballX, arenaBottom, ballZ);
    for (float a = 0.0f; !(a > limit); a += step)
        glVertex3f(static_cast<float>(ballX + ballRadius * cosF(a)), arenaBottom,
                   static_cast<float>(ballZ + ballRadius * sinF(a)));
    glEnd();
}

void drawBall()
{
    drawSphere();
    drawShadow();
    drawOpponentPaddle();
}
