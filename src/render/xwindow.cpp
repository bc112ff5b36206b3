// What the window toolkit does not offer, asked of the X server directly: word of when the
// picture on screen was damaged.
#include <GL/glx.h>
#include <X11/Xlib.h>

#include "render/render.h"

// A second connection of our own: the toolkit's connection reports an exposure only as a
// redisplay request, the same as a timer's, so exposures are selected here once more.
static Display* watch = nullptr;
static bool damageSeen = true;

static int ignoreError(Display*, XErrorEvent*) { return 0; }

bool watchExposures()
{
    damageSeen = true;  // a window newly watched is drawn once in full
    if (watch)
        return true;
    Display* const own = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    if (!own || !window)
        return false;
    Display* const second = XOpenDisplay(DisplayString(own));
    if (!second)
        return false;
    // Errors on this connection (the drawable not being a window) must not end the game.
    XErrorHandler previous = XSetErrorHandler(ignoreError);
    XWindowAttributes attributes;
    bool ok = XGetWindowAttributes(second, window, &attributes) != 0;
    if (ok) {
        XSelectInput(second, window, ExposureMask | StructureNotifyMask);
        XSync(second, False);
    }
    XSetErrorHandler(previous);
    if (!ok) {
        XCloseDisplay(second);
        return false;
    }
    watch = second;
    return true;
}

bool pictureDamaged()
{
    if (!watch)
        return true;
    // Any event at all: an exposure, or the window mapped, moved, resized or reparented.
    while (XPending(watch)) {
        XEvent event;
        XNextEvent(watch, &event);
        damageSeen = true;
    }
    const bool damaged = damageSeen;
    damageSeen = false;
    return damaged;
}
