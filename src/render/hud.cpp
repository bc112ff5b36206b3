// The heads-up display (spare lives, points in the level, the level label with its tally
// marks) and the game-over fade that darkens the picture, lightens it and starts anew.
// Positions are in the units of the orthographic heads-up volume: y = 2 is the top edge.
#include <GL/gl.h>
#include <GL/glu.h>

#include "app/state.h"
#include "game/game.h"
#include "render/render.h"

static const double lifeRadius = 0.05;
static const int lifeDetail = 20;      // slices and stacks
static const double lifeRowX = -1.8, lifeRowY = 1.8;

static const double barLength = 1.75;  // three rods fill it
static const double rodRadius = 0.1;
static const int rodDetail = 20;       // slices and stacks
static const double barY = 1.8;

static const unsigned levelTexture = 1;  // texture object holding the level image

static const float tallyWidth = 3;  // pixels
static const double tallyStartX = -1.1, tallyBaseY = -1.9;
static const double tallyHeight = 0.16, tallyPitch = 0.05, strokeOverhang = 0.02;

static void vertex(double x, double y, double z)
{
    glVertex3f(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

// The meshes of a life and of a point's rod never change: each is compiled once, for the
// quadric it was made with.
static void lifeMesh()
{
    gluSphere(livesQuadric, lifeRadius, lifeDetail, lifeDetail);
}

static void rodMesh()
{
    gluCylinder(pointsQuadric, rodRadius, rodRadius, barLength / 3, rodDetail, rodDetail);
}

// One small sphere per spare life; the life in play is not shown.
void drawLives()
{
    static unsigned list = 0;
    static GLUquadric* madeWith = nullptr;
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    setMaterial(ballMaterial);
    for (int i = 0; i < lives - 1; i++) {
        glPushMatrix();
        glTranslatef(static_cast<float>(i * 3 * lifeRadius + lifeRowX),
                     static_cast<float>(lifeRowY), 0.0f);
        callCompiled(list, madeWith != livesQuadric, lifeMesh);
        madeWith = livesQuadric;
        glPopMatrix();
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
}

// An outlined bar that one rod per point won in this level fills from the left.
void drawLevelPoints()
{
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_LINE_LOOP);
    vertex(0, 1.9, 0);
    vertex(barLength, 1.9, 0);
    vertex(barLength, 1.7, 0);
    vertex(0, 1.7, 0);
    glEnd();

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    setMaterial(ballMaterial);
    static unsigned list = 0;
    static GLUquadric* madeWith = nullptr;
    for (int i = 0; i < levelPoints; i++) {
        glPushMatrix();
        glTranslatef(static_cast<float>(i * barLength / 3), static_cast<float>(barY), 0.0f);
        glRotatef(90.0f, 0.0f, 1.0f, 0.0f);  // the cylinder's axis from +z to +x
        callCompiled(list, madeWith != pointsQuadric, rodMesh);
        madeWith = pointsQuadric;
        glPopMatrix();
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHT1);
}

static void drawLevelLabel()
{
    // White, so that the default modulate environment shows the image's own colours.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, levelTexture);
    glBegin(GL_POLYGON);
    glTexCoord2f(0.0f, 0.0f);
    vertex(-1.7, -1.95, 0);
    glTexCoord2f(0.0f, 1.0f);
    vertex(-1.7, -1.7, 0);
    glTexCoord2f(1.0f, 1.0f);
    vertex(-1.15, -1.7, 0);
    glTexCoord2f(1.0f, 0.0f);
    vertex(-1.15, -1.95, 0);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

// One mark per level, counted in fives: four upright marks, the fifth struck through them.
static void drawTallyMarks()
{
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glLineWidth(tallyWidth);
    glBegin(GL_LINES);
    double x = tallyStartX;
    for (int i = 1; i <= level; i++) {
        if (i % 5 == 0) {
            vertex(x - tallyPitch + strokeOverhang, tallyBaseY + tallyHeight + strokeOverhang, 0);
            vertex(x - 4 * tallyPitch - strokeOverhang, tallyBaseY - strokeOverhang, 0);
        } else {
            if ((i - 1) % 5 == 0)
                x += tallyPitch;  // a gap before each new group
            vertex(x, tallyBaseY, 0);
            vertex(x, tallyBaseY + tallyHeight, 0);
        }
        x += tallyPitch;
    }
    glEnd();
    glLineWidth(1);
}

void drawLevelCounter()
{
    drawLevelLabel();
    drawTallyMarks();
}

// One frame of the fade: a black quad in front of the scene, as opaque as the fade's step for
// this frame says (stepGameOverFade).
void drawGameOverFade()
{
    glColor4f(0.0f, 0.0f, 0.0f, stepGameOverFade());
    glBegin(GL_POLYGON);
    vertex(-5, -5, 0.1);
    vertex(-5, 5, 0.1);
    vertex(5, 5, 0.1);
    vertex(5, -5, 0.1);
    glEnd();
}
