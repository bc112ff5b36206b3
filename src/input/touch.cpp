// A finger on a touch screen: the paddle follows the finger's movement, not its place, so the
// finger never covers the paddle or the ball and may rest anywhere on the screen. Each move
// becomes a pointer position, the paddle's own place on the screen moved by as much as the
// finger moved, handed to the mouse's rules: so the spin comes from the finger's movement
// exactly as from the mouse's. A tap serves as a left click does. Only the first finger down
// counts; a second one does nothing.
#include <GL/freeglut.h>

#include <cstdlib>

#include "input/input.h"

static const int tapTravel = 12;  // pixels a finger may slide and still count as a tap

static int activeFinger = -1;  // the finger that moves the paddle, -1 while none is down
static int lastX = 0, lastY = 0;  // where it was last seen, window pixels
static int travelled = 0;         // how far it has moved since it came down

void fingerDown(int finger, int x, int y)
{
    if (activeFinger >= 0)
        return;
    activeFinger = finger;
    lastX = x;
    lastY = y;
    travelled = 0;
}

bool followFinger(int finger, int x, int y)
{
    if (finger != activeFinger || (x == lastX && y == lastY))
        return false;
    const int dx = x - lastX, dy = y - lastY;
    lastX = x;
    lastY = y;
    travelled += std::abs(dx) + std::abs(dy);
    int px = 0, py = 0;
    paddlePixel(px, py);
    followPointer(px + dx, py + dy);
    return true;
}

void fingerMoved(int finger, int x, int y)
{
    if (followFinger(finger, x, y))
        glutPostRedisplay();
}

void fingerUp(int finger, int x, int y)
{
    if (finger != activeFinger)
        return;
    activeFinger = -1;
    if (travelled > tapTravel)
        return;
    mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);
    mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, x, y);
}

// The browser took the finger away (a gesture of its own, a call): no tap.
void fingerCancelled(int finger)
{
    if (finger == activeFinger)
        activeFinger = -1;
}
