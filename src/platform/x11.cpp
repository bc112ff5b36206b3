// The platform on Linux and other X11 desktops: what the window toolkit does not offer,
// asked of the X server and GLX directly (buffer swaps that do not wait for the monitor,
// word of when the picture on screen was damaged, copies of part of the back buffer to the
// window, the window's class, process and icon, the bookkeeping around full screen), and
// the sound libraries' complaints kept quiet.
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "render/render.h"

// Printed lines go to the terminal or whatever the game was started with; not needed here.
void startPlatform() {}

void setEnvironmentDefault(const char* name, const char* value) { setenv(name, value, 0); }

// The printed lines are all there is: a desktop launcher keeps them in the session's log.
void tellFatalError(const char*) {}

std::string workingFolder()
{
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? path : ".";
}

// libasound reports a missing card on stderr through its default error handler, even when
// OpenAL then goes on quietly; ours drops the reports. It is set through dlsym so that the
// game does not link ALSA itself (OpenAL's dependencies load it anyway).
static void dropAlsaError(const char*, int, const char*, int, const char*, ...) {}

void quietenLibraries()
{
    setEnvironmentDefault("ALSOFT_LOGLEVEL", "0");  // a player's own setting wins
    void* alsa = dlopen("libasound.so.2", RTLD_LAZY);  // kept open: the handler lives in it
    if (!alsa)
        return;
    using SetHandler = int (*)(void (*)(const char*, int, const char*, int, const char*, ...));
    if (auto setHandler = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
        setHandler(dropAlsaError);
}

// libasound keeps the configuration it read at its first open: whether a sound server was
// running then decides for good where its default device goes. Forgetting it lets the
// next open find a server that has started since.
bool threadsOffered() { return true; }

void forgetSoundConfiguration()
{
    static void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);  // only if loaded
    if (auto forget = alsa ? reinterpret_cast<int (*)()>(dlsym(alsa, "snd_config_update_free_global"))
                           : nullptr)
        forget();
}

// A whole word of a space-separated extension list (a longer name may begin with it).
static bool listed(const char* extensions, const char* name)
{
    const size_t length = std::strlen(name);
    for (const char* p = extensions; p && (p = std::strstr(p, name)) != nullptr; p += length) {
        const bool starts = p == extensions || p[-1] == ' ';
        const bool ends = p[length] == ' ' || p[length] == '\0';
        if (starts && ends)
            return true;
    }
    return false;
}

void swapWithoutWaitingForBlank()
{
    Display* const display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable)
        return;
    const char* const extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    // The SGI form of the call cannot ask for an interval of 0.
    if (listed(extensions, "GLX_EXT_swap_control")) {
        const auto setInterval = reinterpret_cast<PFNGLXSWAPINTERVALEXTPROC>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
        if (setInterval) {
            setInterval(display, drawable, 0);
            return;
        }
    }
    if (listed(extensions, "GLX_MESA_swap_control")) {
        const auto setInterval = reinterpret_cast<PFNGLXSWAPINTERVALMESAPROC>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        if (setInterval)
            setInterval(0);
    }
}

static PFNGLXCOPYSUBBUFFERMESAPROC copySubBuffer = nullptr;

bool partialFramesOffered()
{
    Display* const display = glXGetCurrentDisplay();
    const char* const renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (!display || !renderer)
        return false;
    // A graphics card draws a whole frame in far less time than a copy saves; a software
    // renderer spends most of a frame clearing and filling pixels that did not change.
    const bool software = std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe") ||
                          std::strstr(renderer, "swrast");
    const char* const extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (!software || !listed(extensions, "GLX_MESA_copy_sub_buffer"))
        return false;
    copySubBuffer = reinterpret_cast<PFNGLXCOPYSUBBUFFERMESAPROC>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
    return copySubBuffer != nullptr;
}

static int copyErrors = 0;

static int countCopyError(Display*, XErrorEvent*)
{
    copyErrors++;
    return 0;
}

bool copyToWindow(const PixelRect& rect)
{
    Display* const display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!copySubBuffer || !display || !drawable)
        return false;
    // The copy puts the rectangle to the window from a buffer of the size the driver last
    // took up; when the window has changed size since, the server answers with an error,
    // which must neither end the game nor pass unnoticed. Waiting for the answer costs one
    // round trip per frame.
    copyErrors = 0;
    const XErrorHandler previous = XSetErrorHandler(countCopyError);
    copySubBuffer(display, drawable, rect.x0, rect.y0, rect.x1 - rect.x0, rect.y1 - rect.y0);
    XSync(display, False);
    XSetErrorHandler(previous);
    return copyErrors == 0;
}

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
    // The server sends it here and to the toolkit at once; should it arrive a moment after
    // the toolkit's redisplay, the display call of the next tick repairs the picture.
    while (XPending(watch)) {
        XEvent event;
        XNextEvent(watch, &event);
        damageSeen = true;
    }
    const bool damaged = damageSeen;
    damageSeen = false;
    return damaged;
}

// A property of 32-bit items (atoms, windows, cardinals); empty where there is none.
static std::vector<unsigned long> longProperty(Display* display, Window window, const char* name)
{
    std::vector<unsigned long> values;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(display, name, False);
    if (XGetWindowProperty(display, window, property, 0, 1024, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success && data && format == 32) {
        const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
        values.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return values;
}

// Whether a window manager runs that puts windows full screen itself, judged as freeglut
// judges it when it starts: freeglut then asks that manager, which also brings the window
// back to its old place. Without one freeglut resizes the window itself.
static bool managerPlacesFullScreen = false;

static bool managerDoesFullScreen(Display* display)
{
    const Window root = DefaultRootWindow(display);
    const std::vector<unsigned long> check = longProperty(display, root, "_NET_SUPPORTING_WM_CHECK");
    if (check.size() != 1 || longProperty(display, check[0], "_NET_SUPPORTING_WM_CHECK") != check)
        return false;
    const unsigned long fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    for (unsigned long atom : longProperty(display, root, "_NET_SUPPORTED")) {
        if (atom == fullScreen)
            return true;
    }
    return false;
}

// X draws a window in the screen's own pixels, however large they are: the size stays as
// the game asked.
void scaleWindowRequest() {}

void dressWindow()
{
    Display* const display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    if (!display || !window)
        return;
    // The class first, sent at once: the toolkit has already sent the request that maps
    // the window, so a window manager may be reading the new window's properties right now.
    XClassHint hint;
    hint.res_name = const_cast<char*>("volkrin");
    hint.res_class = const_cast<char*>("Volkrin");
    XSetClassHint(display, window, &hint);
    XFlush(display);

    const unsigned long pid = static_cast<unsigned long>(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    // Xlib takes 32-bit items from an array of longs.
    const std::vector<unsigned long> icon(windowIcon, windowIcon + windowIconLength);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(icon.data()),
                    windowIconLength);
    managerPlacesFullScreen = managerDoesFullScreen(display);
    XFlush(display);
}

// Where the window stood before full screen, in root coordinates.
static int placeX = 100, placeY = 100;

void toggleFullScreen()
{
    const bool entering = !glutGet(GLUT_FULL_SCREEN);
    if (entering) {
        placeX = glutGet(GLUT_WINDOW_X);
        placeY = glutGet(GLUT_WINDOW_Y);
    }
    glutFullScreenToggle();
    // Without a window manager freeglut moves the window by its offset from its parent, as
    // if that parent were a frame, which leaves it off the screen's corner, and coming back
    // it restores the size alone. The place is kept here; freeglut carries out the full-
    // screen change first and the move after it.
    if (!managerPlacesFullScreen)
        glutPositionWindow(entering ? 0 : placeX, entering ? 0 : placeY);
}

// The toolkit turns a touch screen's fingers into the mouse: no fingers of their own here,
// and no controls on screen.
void listenToFingers(void (*)(int, int, int), void (*)(int, int, int), void (*)(int, int, int),
                     void (*)(int))
{
}
void showTouchControls(bool, bool) {}
const char* resumeHint() { return "right button or P to resume"; }

// The desktop's scaling reaches an X11 program as larger windows, not as a ratio to draw at.
double pixelsPerPoint() { return 1; }
