// The window's own events: F11 for full screen, and the pause when the window is minimised
// (unmapped) during a rally. Losing the focus to another window changes nothing.
#include <GL/freeglut.h>

#include "app/state.h"
#include "render/render.h"

// The right button's pause, taken only where it keeps a rally from going on unseen.
void pauseWhenHidden()
{
    if (rallyActive && !paused && !gameOver)
        paused = 1 - paused;
}

void specialKey(int key, int, int)
{
    if (key == GLUT_KEY_F11)
        toggleFullScreen();
}

// The toolkit reports an unmapped window as hidden; covered or shown again changes nothing.
void windowStatus(int state)
{
    if (state == GLUT_HIDDEN)
        pauseWhenHidden();
}
