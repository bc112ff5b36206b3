// The yardstick of the whole-process figures: a window like the game's (500 x 500, double
// buffered with depth, white) that only clears and swaps, on the game's 15 ms timer.
// q quits.
#include <cstdlib>

#include <GL/freeglut.h>

static const unsigned tickMs = 15;

static void display()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

static void tick(int)
{
    glutTimerFunc(tickMs, tick, 0);
    glutPostRedisplay();
}

static void keyboard(unsigned char key, int, int)
{
    if (key == 'q' || key == 'Q')
        exit(0);
}

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(500, 500);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("Volkrin empty window");
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glutDisplayFunc(display);
    glutKeyboardFunc(keyboard);
    glutTimerFunc(tickMs, tick, 0);
    glutMainLoop();
    return 0;
}
