// Program entry: opens the game window and the sound device, wires the callbacks, stores
// the start values and hands control to the toolkit's main loop; also the timer callback
// that drives the game, and the shells that let the sound hear what each callback did.
#include <GL/freeglut.h>

#include "app/state.h"
#include "game/game.h"
#include "image/image.h"
#include "input/input.h"
#include "platform/platform.h"
#include "render/render.h"
#include "sound/sound.h"

// One simulation step, then the next one armed and a frame requested. The delay is
// one second after a decided point, tickMs otherwise. The captions age by the time the
// timer waited, so they fade in step with the game's own clock.
static int timerWaitedMs = 0;

static void timerTick(int)
{
    passSignTime(timerWaitedMs);
    timerWaitedMs = tickGame();
    glutTimerFunc(static_cast<unsigned>(timerWaitedMs), timerTick, 0);
    updateSound();
    glutPostRedisplay();
}

// The input and the frame raise events too (the serve, spin, a new game after the fade),
// and the mute key acts at once.
static void displayHeard()
{
    display();
    updateSound();
}

static void keyboardHeard(unsigned char key, int x, int y)
{
    keyboard(key, x, y);
    updateSound();
}

static void mouseButtonHeard(int button, int state, int x, int y)
{
    mouseButton(button, state, x, y);
    updateSound();
}

static void mouseMotionHeard(int x, int y)
{
    mouseMotion(x, y);
    updateSound();
}

static void fingerMovedHeard(int finger, int x, int y)
{
    fingerMoved(finger, x, y);
    updateSound();
}

static void fingerUpHeard(int finger, int x, int y)
{
    fingerUp(finger, x, y);
    updateSound();
}

int main(int argc, char** argv)
{
    startPlatform();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(500, 500);
    glutInitWindowPosition(100, 100);
    scaleWindowRequest();  // as large on screen at any display scaling
    glutCreateWindow("Volkrin");
    dressWindow();  // as close to the window's first showing as freeglut allows
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);

    glutDisplayFunc(displayHeard);
    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboardHeard);
    glutMouseFunc(mouseButtonHeard);
    glutMotionFunc(mouseMotionHeard);
    glutPassiveMotionFunc(mouseMotionHeard);
    glutSpecialFunc(specialKey);
    glutWindowStatusFunc(windowStatus);
    listenToFingers(fingerDown, fingerMovedHeard, fingerUpHeard, fingerCancelled);

    glEnable(GL_DEPTH_TEST);
    resetGameState();
    // Ready before the first event: some sound servers start mixing a while after.
    initSound();

    ballQuadric = gluNewQuadric();
    livesQuadric = gluNewQuadric();
    pointsQuadric = gluNewQuadric();
    GLUquadric* const quadrics[] = {ballQuadric, livesQuadric, pointsQuadric};
    for (GLUquadric* q : quadrics) {
        gluQuadricDrawStyle(q, GLU_FILL);
        gluQuadricNormals(q, GLU_SMOOTH);
    }

    timerWaitedMs = tickMs;
    glutTimerFunc(static_cast<unsigned>(tickMs), timerTick, 0);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    initLights();
    loadLevelTexture("level.bmp", 1);

    // The game's pace is its own 15 ms clock, not the monitor's refresh; a frame that
    // would change nothing need not be drawn while the picture on screen stays intact; and
    // on a software renderer a frame redraws and presents only what moved.
    swapWithoutWaitingForBlank();
    watchExposures();
    partialFrames = partialFramesOffered();

    glutMainLoop();
    return 0;
}
