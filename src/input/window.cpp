// The window's own events: F11 for full screen, F1 for the key card, the pointer, and the
// pause when the window is minimised (unmapped) or the card covers a rally. Losing the focus
// changes nothing.
#include <GL/freeglut.h>

#include "app/state.h"
#include "input/input.h"
#include "render/render.h"

// The right button's pause, taken only where it keeps a rally from going on unseen.
void pauseWhenHidden()
{
    if (rallyActive && !paused && !gameOver)
        paused = 1 - paused;
}

void specialKey(int key, int, int)
{
    if (key == GLUT_KEY_F11) {
        toggleFullScreen();
    } else if (key == GLUT_KEY_F1) {
        toggleKeyCard();
        if (keyCardShown())
            pauseWhenHidden();  // closing it leaves the game paused
        glutPostRedisplay();
    }
}

void leaveFullScreen()
{
    if (glutGet(GLUT_FULL_SCREEN))
        toggleFullScreen();
}

void showPointer(bool shown)
{
    static bool applied = true;  // a new window shows the normal pointer
    if (shown == applied)
        return;
    glutSetCursor(shown ? GLUT_CURSOR_INHERIT : GLUT_CURSOR_NONE);
    applied = shown;
}

// The toolkit reports an unmapped window as hidden; covered or shown again changes nothing.
void windowStatus(int state)
{
    if (state == GLUT_HIDDEN)
        pauseWhenHidden();
}
