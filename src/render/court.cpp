// The court: a black wire-frame box with its grid, depth outlines and thick near-end
// outline, and, seen from behind the player, lit grey wall panels just outside it.
#include <GL/gl.h>

#include "app/state.h"
#include "render/render.h"

static const int depthSteps = 8;          // cross-section outlines at k * depth / 8, k = 0..8
static const float nearOutlineWidth = 3;  // pixels
static const double panelOffset = 0.01;   // panels stand this far outside the lines
static const float wallAttenuation = 0.1f;  // light 1, quadratic

// Coordinates are worked out in double and go to GL in single precision.
static void vertex(double x, double y, double z)
{
    glVertex3f(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

static void line(double x0, double y0, double z0, double x1, double y1, double z1)
{
    vertex(x0, y0, z0);
    vertex(x1, y1, z1);
}

static void drawLongEdges()
{
    const float l = arenaLeft, r = arenaRight, b = arenaBottom, t = arenaTop, d = arenaDepth;
    line(l, b, 0, l, b, d);
    line(l, t, 0, l, t, d);
    line(r, t, 0, r, t, d);
    line(r, b, 0, r, b, d);
}

// Four lines along the depth on each side face split it into five equal strips.
static void drawGrid()
{
    const float l = arenaLeft, r = arenaRight, b = arenaBottom, t = arenaTop, d = arenaDepth;
    for (int i = 1; i <= 4; i++) {
        const double f = 2.0 * i / 5.0 - 1.0;
        line(l, t * f, 0, l, t * f, d);  // left wall
        line(r, t * f, 0, r, t * f, d);  // right wall
        line(l * f, t, 0, l * f, t, d);  // ceiling
        line(r * f, b, 0, r * f, b, d);  // floor
    }
}

static void drawCrossSections()
{
    const float l = arenaLeft, r = arenaRight, b = arenaBottom, t = arenaTop;
    for (int k = 0; k <= depthSteps; k++) {
        const double z = static_cast<double>(k) * arenaDepth / depthSteps;
        line(l, t, z, l, b, z);  // left wall
        line(r, t, z, r, b, z);  // right wall
        line(l, t, z, r, t, z);  // ceiling
        line(l, b, z, r, b, z);  // floor
    }
}

static void drawNearOutline()
{
    glLineWidth(nearOutlineWidth);
    glBegin(GL_LINE_LOOP);
    vertex(arenaLeft, arenaBottom, 0);
    vertex(arenaLeft, arenaTop, 0);
    vertex(arenaRight, arenaTop, 0);
    vertex(arenaRight, arenaBottom, 0);
    glEnd();
    glLineWidth(1);
}

static void panel(float nx, float ny, float nz, const double corners[4][3])
{
    glNormal3f(nx, ny, nz);
    glBegin(GL_POLYGON);
    for (int i = 0; i < 4; i++)
        vertex(corners[i][0], corners[i][1], corners[i][2]);
    glEnd();
}

// The panels' normals point into the court, at light 1, so their inner faces are lit,
// brightest near the player and dimmer toward the far end.
static void drawWallPanels()
{
    const double e = panelOffset;
    const double l = arenaLeft - e, r = arenaRight + e;
    const double b = arenaBottom - e, t = arenaTop + e;
    const double d = arenaDepth;

    setMaterial(wallMaterial);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT1);
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, wallAttenuation);

    const double left[4][3] = {{l, b, 0}, {l, t, 0}, {l, t, d}, {l, b, d}};
    const double right[4][3] = {{r, b, 0}, {r, t, 0}, {r, t, d}, {r, b, d}};
    const double ceiling[4][3] = {{l, t, 0}, {r, t, 0}, {r, t, d}, {l, t, d}};
    const double floor[4][3] = {{l, b, 0}, {r, b, 0}, {r, b, d}, {l, b, d}};
    panel(1, 0, 0, left);
    panel(-1, 0, 0, right);
    panel(0, -1, 0, ceiling);
    panel(0, 1, 0, floor);

    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT1);
}

void drawArena()
{
    glPushMatrix();
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);

    glBegin(GL_LINES);
    drawLongEdges();
    drawGrid();
    drawCrossSections();
    glEnd();

    drawNearOutline();
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);

    // From the other cameras the panels would hide the court; behind the player they
    // frame it.
    if (viewMode == 0)
        drawWallPanels();

    glPopMatrix();
}
