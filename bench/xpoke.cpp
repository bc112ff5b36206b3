// Real input for the whole-process figures, through the XTest extension of the display in
// DISPLAY. Commands run in order:
//   volkrin_xpoke move X Y | click BUTTON | key KEY | sleep MS | resize TITLE W H ...
// for instance "move 350 350 sleep 200 click 1" puts the pointer on the game window's
// centre and serves. resize sizes the top-level window of that title (no window manager).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

static void pause(long ms)
{
    timespec t = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, nullptr);
}

// The top-level window of that title, or 0.
static Window named(Display* dpy, const char* title)
{
    Window root, parent, *children = nullptr, found = 0;
    unsigned count = 0;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count))
        return 0;
    for (unsigned i = 0; i < count && !found; i++) {
        char* name = nullptr;
        if (XFetchName(dpy, children[i], &name) && name) {
            if (!std::strcmp(name, title))
                found = children[i];
            XFree(name);
        }
    }
    XFree(children);
    return found;
}

static int usage()
{
    std::fprintf(stderr, "usage: volkrin_xpoke (move X Y | click BUTTON | key KEY | sleep MS | "
                         "resize TITLE W H)...\n");
    return 2;
}

int main(int argc, char** argv)
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "volkrin_xpoke: cannot open the display\n");
        return 1;
    }
    int event, error, major, minor;
    if (!XTestQueryExtension(dpy, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "volkrin_xpoke: the display has no XTest\n");
        return 1;
    }
    for (int i = 1; i < argc; i++) {
        const char* cmd = argv[i];
        if (!std::strcmp(cmd, "move") && i + 2 < argc) {
            XTestFakeMotionEvent(dpy, -1, std::atoi(argv[i + 1]), std::atoi(argv[i + 2]), 0);
            i += 2;
        } else if (!std::strcmp(cmd, "click") && i + 1 < argc) {
            const unsigned button = static_cast<unsigned>(std::atoi(argv[++i]));
            XTestFakeButtonEvent(dpy, button, True, 0);
            XTestFakeButtonEvent(dpy, button, False, 0);
        } else if (!std::strcmp(cmd, "key") && i + 1 < argc) {
            const KeySym sym = XStringToKeysym(argv[++i]);
            const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(dpy, sym);
            if (!code) {
                std::fprintf(stderr, "volkrin_xpoke: no key %s\n", argv[i]);
                return 1;
            }
            XTestFakeKeyEvent(dpy, code, True, 0);
            XTestFakeKeyEvent(dpy, code, False, 0);
        } else if (!std::strcmp(cmd, "resize") && i + 3 < argc) {
            const Window w = named(dpy, argv[i + 1]);
            if (!w) {
                std::fprintf(stderr, "volkrin_xpoke: no window %s\n", argv[i + 1]);
                return 1;
            }
            XResizeWindow(dpy, w, static_cast<unsigned>(std::atoi(argv[i + 2])),
                          static_cast<unsigned>(std::atoi(argv[i + 3])));
            i += 3;
        } else if (!std::strcmp(cmd, "sleep") && i + 1 < argc) {
            XSync(dpy, False);
            pause(std::atol(argv[++i]));
        } else {
            return usage();
        }
    }
    XSync(dpy, False);
    XCloseDisplay(dpy);
    return 0;
}
