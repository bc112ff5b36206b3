// Program entry: opens the game window, wires the callbacks, stores the start values and
// hands control to the toolkit's main loop; also the timer callback that drives the game.
#include <GL/freeglut.h>

#include "app/state.h"
#include "game/game.h"
#include "image/image.h"
#include "input/input.h"
#include "render/render.h"

// One simulation step, then the next one armed and a frame requested. The delay is
// one second after a decided point, tickMs otherwise.
static void timerTick(int)
{
    glutTimerFunc(static_cast<unsigned>(tickGame()), timerTick, 0);
    glutPostRedisplay();
}

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(500, 500);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("Volkrin");
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);

    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutMouseFunc(mouseButton);
    glutMotionFunc(mouseMotion);
    glutPassiveMotionFunc(mouseMotion);

    glEnable(GL_DEPTH_TEST);
    resetGameState();

    ballQuadric = gluNewQuadric();
    livesQuadric = gluNewQuadric();
    pointsQuadric = gluNewQuadric();
    GLUquadric* const quadrics[] = {ballQuadric, livesQuadric, pointsQuadric};
    for (GLUquadric* q : quadrics) {
        gluQuadricDrawStyle(q, GLU_FILL);
        gluQuadricNormals(q, GLU_SMOOTH);
    }

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
