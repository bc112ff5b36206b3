// The frame: materials and lights, the five cameras, the two projections, and the display
// and reshape callbacks that put one whole picture together (or, on a software renderer,
// redraw and present only the part of it that moved).
#include <GL/freeglut.h>

#include <cmath>

#include "app/numeric.h"
#include "app/state.h"
#include "game/events.h"
#include "input/input.h"
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

static const double sceneFieldOfView = 80.0;   // degrees, vertical
static const double orthoHalfHeight = 2.0;     // court units

static void orthoProjection()
{
    const double aspect = windowAspect();
    glOrtho(-orthoHalfHeight * aspect, orthoHalfHeight * aspect, -orthoHalfHeight,
            orthoHalfHeight, 1.0, 10.0);
}

// The current view's camera: eye, centre and up, court units.
static void viewCamera(double eye[3], double centre[3], double up[3])
{
    // viewMode only ever holds 0..4; anything else falls back to the view behind the player.
    const Camera& c = cameras[(viewMode >= 0 && viewMode < 5) ? viewMode : 0];
    const double midZ = arenaDepth / 2.0;
    for (int i = 0; i < 3; i++) {
        eye[i] = c.eye[i];
        centre[i] = c.centre[i];
        up[i] = c.up[i];
    }
    if (c.atMidDepth)
        eye[2] = centre[2] = midZ;
}

static void lookThroughCamera()
{
    double eye[3], centre[3], up[3];
    viewCamera(eye, centre, up);
    gluLookAt(eye[0], eye[1], eye[2], centre[0], centre[1], centre[2], up[0], up[1], up[2]);
}

static double dot(const double a[3], const double b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

static void crossNormalised(const double a[3], const double b[3], double out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
    const double length = std::sqrt(dot(out, out));
    for (int i = 0; i < 3; i++)
        out[i] /= length;
}

bool courtToPixels(double x, double y, double z, double* col, double* row)
{
    // The camera's axes as gluLookAt builds them.
    double eye[3], centre[3], up[3], forward[3], side[3], top[3];
    viewCamera(eye, centre, up);
    const double look[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]};
    crossNormalised(look, up, side);
    const double length = std::sqrt(dot(look, look));
    for (int i = 0; i < 3; i++)
        forward[i] = look[i] / length;
    crossNormalised(side, forward, top);
    const double p[3] = {x - eye[0], y - eye[1], z - eye[2]};
    const double ex = dot(side, p), ey = dot(top, p), depth = dot(forward, p);

    const double aspect = windowAspect();
    double nx, ny;
    if (orthographic) {
        nx = ex / (orthoHalfHeight * aspect);
        ny = ey / orthoHalfHeight;
    } else {
        // Half the near distance: nearer than that a box may wrap round the eye.
        if (!(depth >= 0.5))
            return false;
        const double focal = 1.0 / std::tan(sceneFieldOfView * M_PI / 360.0);
        nx = focal / aspect * ex / depth;
        ny = focal * ey / depth;
    }
    *col = (nx + 1.0) * windowWidth / 2.0;
    *row = (ny + 1.0) * windowHeight / 2.0;
    return true;
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
        gluPerspective(sceneFieldOfView, windowAspect(), 1.0, 10.0);
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
    drawSigns();
}

// The state the last drawn frame began with, the look of the signs over it, and whether it
// left that state as it found it. A frame that begins from that same state and look again
// draws the same picture and changes nothing (nothing else it reads ever changes), so while
// the picture on screen is intact it is skipped: neither drawn nor swapped.
static GameSnapshot lastFrameBegan;
static SignLook lastSigns;
static bool lastFrameStill = false;

bool partialFrames = false;

// How the last drawn frame was presented and its moving parts.
static FramePresentation lastPresented = noFrameYet;
static MovingPart lastParts[movingPartCount];

static void drawWholeAndSwap()
{
    drawFrame();
    glutSwapBuffers();
}

// The whole frame is drawn every time, under a scissor for a partial one, so that it advances
// the game (opponent, flashes) exactly as a whole frame does. Outside the rectangle the back
// buffer, which a copy leaves intact, already holds what the whole frame would draw there.
static void presentWithPartialFrames(bool damaged, bool sameSize, const GameSnapshot& before,
                                     const SignLook& signs)
{
    MovingPart parts[movingPartCount];
    const bool known = movingParts(parts);
    // Signs that appear, fade or go change pixels outside the moving parts.
    const bool stillSame =
        sameStillParts(before, lastFrameBegan) && sameSignLook(signs, lastSigns);
    FramePresentation how = choosePresentation(damaged, lastPresented, sameSize, stillSame, known);
    if (how == wholeSwapped) {
        drawWholeAndSwap();
    } else {
        const PixelRect whole = {0, 0, windowWidth, windowHeight};
        const PixelRect rect = how == partCopied ? changedRect(lastParts, parts) : whole;
        const int eventsBefore = gameEventCount;
        glEnable(GL_SCISSOR_TEST);
        glScissor(rect.x0, rect.y0, maxI(rect.x1 - rect.x0, 0), maxI(rect.y1 - rect.y0, 0));
        drawFrame();
        glDisable(GL_SCISSOR_TEST);
        const bool empty = rect.x1 <= rect.x0 || rect.y1 <= rect.y0;
        if (!empty && !copyToWindow(rect)) {
            // Most likely the window's buffers changed size under the copy: the frame again,
            // from the same state, whole and swapped. What the first try recorded (the new
            // game at the fade's end) is recorded again, so it must not count twice.
            restoreSnapshot(before);
            gameEventCount = eventsBefore;
            drawWholeAndSwap();
            how = wholeSwapped;
        }
    }
    lastPresented = how;
    for (int i = 0; i < movingPartCount; i++)
        lastParts[i] = parts[i];
}

FramePresentation lastPresentation() { return lastPresented; }

// The driver takes up the window's size when the context is made current and then when it
// first draws after a swap, not at the swap itself: a frame swapped in after the window may
// have changed (damaged, a new size, the first, a refused copy) may have been drawn at a size
// taken up before the change, its swap showing an old picture in a corner and black beside
// it. So the next display call (the next tick's at the latest) draws whole again, at the size
// that swap had the driver take up, even a frame that would change nothing.
static bool frameOwed = false;

bool presentFrame()
{
    const bool damaged = pictureDamaged();
    const GameSnapshot before = takeSnapshot();
    const SignLook signs = signLook();
    if (!damaged && !frameOwed && lastFrameStill && sameSnapshot(before, lastFrameBegan) &&
        sameSignLook(signs, lastSigns))
        return false;
    const bool sameSize = lastFrameBegan.windowWidth == before.windowWidth &&
                          lastFrameBegan.windowHeight == before.windowHeight;
    if (partialFrames) {
        presentWithPartialFrames(damaged, sameSize, before, signs);
    } else {
        drawWholeAndSwap();
        lastPresented = noFrameYet;  // should partial frames be turned on, begin afresh
    }
    frameOwed = damaged || !sameSize || lastPresented == wholeSwapped;
    lastFrameBegan = before;
    lastSigns = signs;
    lastFrameStill = sameSnapshot(takeSnapshot(), before);
    return true;
}

// The pointer and the touch controls follow the game's state here, where every tick, key and
// motion leads; the toolkit hears of them only when they change, and nothing of them wakes a
// skipped frame.
void display()
{
    showPointer(pointerShown());
    showTouchControls(paused != 0, keyCardShown());
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
