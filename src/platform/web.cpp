// The platform in a browser page: printed lines go to the browser's console, an error that
// ends the game is shown on the page, the canvas's damage comes from the page's toolkit
// (platform/web), and full screen is the canvas's own. Swap control, partial frames, the
// window's identity and the sound libraries' quietening are not needed here.
#include <unistd.h>

#include <cstdlib>

#include "platform/platform.h"
#include "platform/web/web.h"

// Each printed line reaches the console as it is flushed; nothing to set up.
void startPlatform() {}

void setEnvironmentDefault(const char* name, const char* value) { setenv(name, value, 0); }

// The console is not where a player looks: the page shows the message instead. The exit that
// follows must end the run although the page still holds timers and events for it.
void tellFatalError(const char* message)
{
    showPageMessage(message);
    letRuntimeEnd();
}

// The program's own files (the level image) lie in its memory, under the folder "/".
std::string workingFolder()
{
    char path[256];
    return getcwd(path, sizeof path) ? path : "/";
}

void quietenLibraries() {}
void forgetSoundConfiguration() {}

// A page has one thread: a sound device that was not there at start (no Web Audio) will not
// come later, and nothing may run beside the game.
bool threadsOffered() { return false; }

// Frames are drawn on the game's clock right after the event that asked for them; the
// browser shows each at its next refresh and never holds the game back.
void swapWithoutWaitingForBlank() {}

bool watchExposures() { return true; }

// The canvas is sized in the page's own pixels times the screen's ratio (platform/web).
void scaleWindowRequest() {}
bool pictureDamaged() { return canvasDamaged(); }

// The page's title is the window's, set by the toolkit; its icon is the page's.
void dressWindow() {}

void toggleFullScreen() { toggleCanvasFullScreen(); }

void listenToFingers(void (*down)(int, int, int), void (*moved)(int, int, int),
                     void (*up)(int, int, int), void (*cancelled)(int))
{
    setFingerCallbacks(down, moved, up, cancelled);
}

void showTouchControls(bool paused, bool keyCard)
{
    static int shownPaused = -1, shownCard = -1;
    if (paused == shownPaused && keyCard == shownCard)
        return;
    shownPaused = paused;
    shownCard = keyCard;
    setTouchButtons(paused, keyCard);
}

// On a touch screen the hint names the page's button, which says Resume while paused.
const char* resumeHint()
{
    return touchScreen() ? "tap Resume to play on" : "right button or P to resume";
}

double pixelsPerPoint() { return canvasPixelRatio(); }

// WebGL draws a whole frame at a time; the page composites it.
bool partialFramesOffered() { return false; }
bool copyToWindow(const PixelRect&) { return false; }
