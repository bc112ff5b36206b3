// The frame: materials and lights, the five cameras, the two projections, and the display
// and reshape callbacks that put one whole picture together.
#include <GL/freeglut.h>

#include "app/state.h"
#include "render/render.h"

const Material wallMaterial = {
    {0.0f, 0.0f, 0.0f, 1.0f}, {0.7f, 0.7f, 0.7f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, 0.0f};
const Material ballMaterial = {
    {0.0f, 0.0f, 0.2f, 1.0f}, {0.3f, 0.3f, 0.8f, 1.0f}, {0.6f, 0.6f, 0.8f, 1.0f}, 25.6f};
const Material lostMaterial = {
    {0.3f, 0.0f, 0.0f, 1.0f}, {0.8f, 0.3f, 0.3f, 1.0f}, {0.8f, 0.6f, 0.6f, 1.0f}, 25.6f};
const Material wonMaterial = {
    {0.0f, 0.2f, 0.0f, 1.0f}, {0.3f, 0.8f, 0.3f, 1.0f}, {0.6f, 0.8f, 0.6f, 1.0f}, 25.6f};

// Light 0 stands above, left of and behind the player's end; light 1 at the centre of the
// player's end, where it lights the inner faces of the wall panels. Court coordinates.
static const float light0Position[4] = {-2.0f, 3.0f, 2.0f, 1.0f};
static const float light0Ambient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
static const float light0Diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
static const float light0Specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};

static const float light1Position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
static const float light1Ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
static const float light1Diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
static const float light1Specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};

// One camera per view mode. The side, below and above cameras look at the middle of the
// court's depth, so their eye and centre z are filled in from arenaDepth.
struct Camera {
    double eye[3];
    double centre[3];
    double up[3];
    bool atMidDepth;  // eye and centre z are arenaDepth / 2
};

static const Camera cameras[5] = {
    {{0.0, 0.0, 2.2}, {0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, false},   // behind the player
    {{-6.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, true},   // from the left
    {{6.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, true},    // from the right
    {{0.0, -6.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 0.0, 1.0}, true},   // from below
    {{0.0, 6.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 0.0, -1.0}, true},   // from above
};

int ratioSize(int pixels)
{
    // A minimised or collapsed window reports 0; dividing by it would poison every matrix.
    return pixels > 0 ? pixels : 1;
}

double windowAspect()
{
    return static_cast<double>(ratioSize(windowWidth)) / ratioSize(windowHeight);
}

void setMaterial(const Material& m)
{
    glMaterialfv(GL_FRONT, GL_AMBIENT, m.ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, m.diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, m.specular);
    glMaterialfv(GL_FRONT, GL_SHININESS, &m.shininess);
}

void initLights()
{
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light0Diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, light0Ambient);
    glLightfv(GL_LIGHT0, GL_SPECULAR, light0Specular);

    glLightfv(GL_LIGHT1, GL_DIFFUSE, light1Diffuse);
    glLightfv(GL_LIGHT1, GL_AMBIENT, light1Ambient);
    glLightfv(GL_LIGHT1, GL_SPECULAR, light1Specular);

    glShadeModel(GL_SMOOTH);
}

// Called after the camera is on the model-view stack, so the lights stay put in the court
// whichever way the camera looks.
void positionLights()
{
    glMatrixMode(GL_MODELVIEW);
    glLightfv(GL_LIGHT0, GL_POSITION, light0Position);
    glLightfv(GL_LIGHT1, GL_POSITION, light1Position);
}

static void orthoProjection()
{
    const double aspect = windowAspect();
    glOrtho(-2.0 * aspect, 2.0 * aspect, -2.0, 2.0, 1.0, 10.0);
}

static void lookThroughCamera()
{
    // viewMode only ever holds 0..4; anything else falls back to the view behind the player.
    const Camera& c = cameras[(viewMode >= 0 && viewMode < 5) ? viewMode : 0];
    const double midZ = arenaDepth / 2.0;
    const double eyeZ = c.atMidDepth ? midZ : c.eye[2];
    const double centreZ = c.atMidDepth ? midZ : c.centre[2];
    gluLookAt(c.eye[0], c.eye[1], eyeZ, c.centre[0], c.centre[1], centreZ,
              c.up[0], c.up[1], c.up[2]);
}

// The heads-up items are laid out in the units of the orthographic volume, under the
// camera of view 0 that is still on the model-view stack.
static void drawHeadsUp()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    orthoProjection();
    glMatrixMode(GL_MODELVIEW);
    drawLives();
    drawLevelPoints();
    drawLevelCounter();
}

void drawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    lookThroughCamera();

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (orthographic)
        orthoProjection();
    else
        gluPerspective(80.0, windowAspect(), 1.0, 10.0);
    glMatrixMode(GL_MODELVIEW);

    positionLights();
    drawArena();
    drawBall();  // ends with the opponent's step and paddle
    // Last of the scene: the translucent paddle nearest the camera behind the player.
    drawPlayerPaddle();

    if (gameOver)
        drawGameOverFade();  // takes the place of the heads-up display, in every view
    else if (viewMode == 0)
        drawHeadsUp();

    glPopMatrix();
}

// The state the last drawn frame began with, and whether it left that state as it found it.
// A frame that begins from that same state again draws the same picture and changes nothing
// (nothing else it reads ever changes), so while the picture on screen is intact it is
// skipped: neither drawn nor swapped.
static GameSnapshot lastFrameBegan;
static bool lastFrameStill = false;

bool presentFrame()
{
    const bool damaged = pictureDamaged();
    const GameSnapshot before = takeSnapshot();
    if (!damaged && lastFrameStill && sameSnapshot(before, lastFrameBegan))
        return false;
    drawFrame();
    glutSwapBuffers();
    lastFrameBegan = before;
    lastFrameStill = sameSnapshot(takeSnapshot(), before);
    return true;
}

// The pointer follows the game's state here, where every tick, key and motion leads; the
// toolkit hears of it only when it changes, and nothing of it wakes a skipped frame.
void display()
{
    showPointer(pointerShown());
    presentFrame();
}

void applyWindowSize(int width, int height)
{
    windowWidth = width;
    windowHeight = height;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (orthographic)
        orthoProjection();
    else
        gluPerspective(60.0, windowAspect(), 1.0, 15.0);
    glMatrixMode(GL_MODELVIEW);

    glViewport(0, 0, width, height);
}

void reshape(int width, int height)
{
    applyWindowSize(width, height);
    glutPostRedisplay();
}
