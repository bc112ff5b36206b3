// The window toolkit in a browser page: the canvas is the game's window, the page's events
// are its callbacks, timers run on the page's clock, and a frame is drawn right after any
// callback that asked for one, never in an animation frame: the game's own 15 ms clock sets
// the pace on a display of any refresh rate, and nothing runs while nothing is asked.
#include <GL/freeglut.h>
#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/platform.h"
#include "platform/web/web.h"

static const char* const canvasId = "#canvas";
static const char* const stageId = "#stage";  // the page's area around the canvas, buttons apart
// The most pixels a drawing buffer gets: a frame past that would outgrow a tick on a slow
// machine, and a high-DPI screen this large shows no finer detail for it.
static const double mostPixels = 2560.0 * 1600.0;

static void (*displayCallback)() = nullptr;
static void (*reshapeCallback)(int, int) = nullptr;
static void (*keyboardCallback)(unsigned char, int, int) = nullptr;
static void (*specialCallback)(int, int, int) = nullptr;
static void (*mouseCallback)(int, int, int, int) = nullptr;
static void (*motionCallback)(int, int) = nullptr;
static void (*passiveMotionCallback)(int, int) = nullptr;
static void (*statusCallback)(int) = nullptr;
static void (*fingerDownCallback)(int, int, int) = nullptr;
static void (*fingerMovedCallback)(int, int, int) = nullptr;
static void (*fingerUpCallback)(int, int, int) = nullptr;
static void (*fingerCancelledCallback)(int) = nullptr;

static EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
static int bufferWidth = 0, bufferHeight = 0;  // the drawing buffer, in pixels
static double cssWidth = 1, cssHeight = 1;     // the canvas on the page, in CSS pixels
static int pointerX = 0, pointerY = 0;         // the last place seen, buffer pixels
static int buttonsHeld = 0;
static bool redisplayWanted = false;
static bool damaged = true;
static bool contextLost = false;
static bool ended = false;
static bool touchMode = false;  // a touch screen: the page shows its buttons

struct Timer {
    void (*callback)(int);
    int value;
    long pageId;  // the page's own id, to clear it
};
static std::map<long, Timer> timers;  // pending, by a number of the toolkit's own

// ---- calling the game ---------------------------------------------------------------------

// What one call into the game carries; the game's callbacks are reached through callGame.
struct GameCall {
    int kind;  // one of the values below
    int a, b, c, d;
    void (*timer)(int);
};
enum { displayCall, reshapeCall, keyCall, specialCall, mouseCall, motionCall, statusCall, timerCall,
       fingerDownCall, fingerMovedCall, fingerUpCall, fingerCancelledCall };

static void runCall(void* data)
{
    const GameCall& call = *static_cast<const GameCall*>(data);
    switch (call.kind) {
    case displayCall: displayCallback(); break;
    case reshapeCall: reshapeCallback(call.a, call.b); break;
    case keyCall: keyboardCallback(static_cast<unsigned char>(call.a), call.b, call.c); break;
    case specialCall: specialCallback(call.a, call.b, call.c); break;
    case mouseCall: mouseCallback(call.a, call.b, call.c, call.d); break;
    case motionCall:
        (call.c ? motionCallback : passiveMotionCallback)(call.a, call.b);
        break;
    case statusCall: statusCallback(call.a); break;
    case timerCall: call.timer(call.a); break;
    case fingerDownCall: fingerDownCallback(call.a, call.b, call.c); break;
    case fingerMovedCall: fingerMovedCallback(call.a, call.b, call.c); break;
    case fingerUpCall: fingerUpCallback(call.a, call.b, call.c); break;
    case fingerCancelledCall: fingerCancelledCallback(call.a); break;
    default: break;
    }
}

static bool registered(int kind)
{
    switch (kind) {
    case displayCall: return displayCallback;
    case reshapeCall: return reshapeCallback;
    case keyCall: return keyboardCallback;
    case specialCall: return specialCallback;
    case mouseCall: return mouseCallback;
    case motionCall: return motionCallback && passiveMotionCallback;
    case statusCall: return statusCallback;
    case fingerDownCall:
    case fingerMovedCall:
    case fingerUpCall:
    case fingerCancelledCall: return fingerDownCallback;
    default: return true;
    }
}

static void flushRedisplay()
{
    if (ended || contextLost || !redisplayWanted || !displayCallback)
        return;
    redisplayWanted = false;
    GameCall call = {displayCall, 0, 0, 0, 0, nullptr};
    callGame(runCall, &call);
}

// One event for the game, then the frame it asked for, as freeglut's main loop does.
static void dispatch(GameCall call)
{
    if (ended || !registered(call.kind))
        return;
    callGame(runCall, &call);
    flushRedisplay();
}

// ---- the canvas ----------------------------------------------------------------------------

// The drawing buffer follows the canvas's size on the page times the screen's pixel ratio.
static void fitCanvas()
{
    double width = 0, height = 0;
    emscripten_get_element_css_size(canvasId, &width, &height);
    cssWidth = width > 0 ? width : 1;
    cssHeight = height > 0 ? height : 1;
    double ratio = emscripten_get_device_pixel_ratio();
    if (!(ratio > 0))
        ratio = 1;
    const double pixels = cssWidth * cssHeight * ratio * ratio;
    if (pixels > mostPixels)
        ratio *= std::sqrt(mostPixels / pixels);
    const int w = std::max(1, static_cast<int>(std::lround(cssWidth * ratio)));
    const int h = std::max(1, static_cast<int>(std::lround(cssHeight * ratio)));
    if (w == bufferWidth && h == bufferHeight)
        return;
    bufferWidth = w;
    bufferHeight = h;
    emscripten_set_canvas_element_size(canvasId, w, h);  // which clears it
    damaged = true;
    redisplayWanted = true;
    dispatch({reshapeCall, w, h, 0, 0, nullptr});
}

bool canvasDamaged()
{
    const bool was = damaged;
    damaged = false;
    return was;
}

// Page coordinates (CSS pixels from the canvas's corner) to drawing-buffer pixels.
static void toBuffer(double x, double y)
{
    pointerX = static_cast<int>(std::floor(x * bufferWidth / cssWidth));
    pointerY = static_cast<int>(std::floor(y * bufferHeight / cssHeight));
}


static void pointerAt(const EmscriptenMouseEvent* e)
{
    double left = 0, top = 0;
    canvasOffset(&left, &top);
    toBuffer(e->clientX - left, e->clientY - top);
}

double canvasPixelRatio() { return bufferHeight / cssHeight; }

bool touchScreen() { return touchMode; }

// The page shows its buttons from the first touch on, if it did not know of the touch screen
// before; the pause sign's hint changes with them.
static void useTouch()
{
    if (touchMode)
        return;
    touchMode = true;
    showTouchButtons();
    damaged = true;
    redisplayWanted = true;
}

// Fingers anywhere on the page but its buttons: the canvas may not fill it, and the paddle
// follows a finger's movement wherever it is. Refusing the event's default keeps the page
// from scrolling, zooming or refreshing, and the browser from making mouse events of it.
static EM_BOOL touched(int type, const EmscriptenTouchEvent* e, void*)
{
    useTouch();
    double left = 0, top = 0;
    canvasOffset(&left, &top);
    for (int i = 0; i < e->numTouches; i++) {
        const EmscriptenTouchPoint& touch = e->touches[i];
        if (!touch.isChanged)
            continue;
        toBuffer(touch.clientX - left, touch.clientY - top);
        const int finger = static_cast<int>(touch.identifier);
        switch (type) {
        case EMSCRIPTEN_EVENT_TOUCHSTART:
            dispatch({fingerDownCall, finger, pointerX, pointerY, 0, nullptr});
            break;
        case EMSCRIPTEN_EVENT_TOUCHMOVE:
            dispatch({fingerMovedCall, finger, pointerX, pointerY, 0, nullptr});
            break;
        case EMSCRIPTEN_EVENT_TOUCHEND:
            wakeAudio();  // a finger lifted may start sound, as a click does
            dispatch({fingerUpCall, finger, pointerX, pointerY, 0, nullptr});
            break;
        default:
            dispatch({fingerCancelledCall, finger, 0, 0, 0, nullptr});
            break;
        }
    }
    return EM_TRUE;
}

// ---- the page's events -------------------------------------------------------------------

static EM_BOOL mouseMoved(int, const EmscriptenMouseEvent* e, void*)
{
    pointerAt(e);
    buttonsHeld = e->buttons;
    dispatch({motionCall, pointerX, pointerY, buttonsHeld != 0, 0, nullptr});
    return EM_FALSE;
}

// The page numbers buttons left 0, middle 1, right 2, as GLUT does.
static EM_BOOL mouseDown(int, const EmscriptenMouseEvent* e, void*)
{
    pointerAt(e);
    buttonsHeld = e->buttons;
    dispatch({mouseCall, e->button, GLUT_DOWN, pointerX, pointerY, nullptr});
    return EM_TRUE;  // no text selection, no focus moved
}

static EM_BOOL mouseUp(int, const EmscriptenMouseEvent* e, void*)
{
    pointerAt(e);
    buttonsHeld = e->buttons;
    dispatch({mouseCall, e->button, GLUT_UP, pointerX, pointerY, nullptr});
    return EM_FALSE;
}

struct SpecialName {
    const char* key;
    int special;
    bool browsersOwn;  // left to the browser as well (reload, developer tools, ...)
};

static const SpecialName specialNames[] = {
    {"F1", GLUT_KEY_F1, false},   {"F2", GLUT_KEY_F2, true},   {"F3", GLUT_KEY_F3, true},
    {"F4", GLUT_KEY_F4, true},    {"F5", GLUT_KEY_F5, true},   {"F6", GLUT_KEY_F6, true},
    {"F7", GLUT_KEY_F7, true},    {"F8", GLUT_KEY_F8, true},   {"F9", GLUT_KEY_F9, true},
    {"F10", GLUT_KEY_F10, true},  {"F11", GLUT_KEY_F11, false}, {"F12", GLUT_KEY_F12, true},
    {"ArrowLeft", GLUT_KEY_LEFT, false}, {"ArrowUp", GLUT_KEY_UP, false},
    {"ArrowRight", GLUT_KEY_RIGHT, false}, {"ArrowDown", GLUT_KEY_DOWN, false},
    {"PageUp", GLUT_KEY_PAGE_UP, false}, {"PageDown", GLUT_KEY_PAGE_DOWN, false},
    {"Home", GLUT_KEY_HOME, false}, {"End", GLUT_KEY_END, false},
    {"Insert", GLUT_KEY_INSERT, false},
    // The help key is the browser's on some systems, so ? opens the key card too.
    {"?", GLUT_KEY_F1, false},
};

static EM_BOOL keyDown(int, const EmscriptenKeyboardEvent* e, void*)
{
    // The browser's shortcuts (reload, close, copy, ...) stay the browser's.
    if (e->metaKey || (e->ctrlKey && !e->altKey))
        return EM_FALSE;
    for (const SpecialName& name : specialNames) {
        if (std::strcmp(e->key, name.key) == 0) {
            dispatch({specialCall, name.special, pointerX, pointerY, 0, nullptr});
            return name.browsersOwn ? EM_FALSE : EM_TRUE;
        }
    }
    unsigned char character = 0;
    if (std::strlen(e->key) == 1 && e->key[0] >= ' ' && e->key[0] < 127)
        character = static_cast<unsigned char>(e->key[0]);
    else if (std::strcmp(e->key, "Escape") == 0)
        character = 27;
    if (!character)
        return EM_FALSE;
    dispatch({keyCall, character, pointerX, pointerY, 0, nullptr});
    return EM_TRUE;  // the page never scrolls or searches with the game's keys
}

static EM_BOOL resized(int, const EmscriptenUiEvent*, void*)
{
    fitCanvas();
    flushRedisplay();
    return EM_FALSE;
}

static EM_BOOL fullScreenChanged(int, const EmscriptenFullscreenChangeEvent*, void*)
{
    fitCanvas();
    flushRedisplay();
    return EM_FALSE;
}

// A hidden page pauses a rally as a minimised window does, and is silent.
static EM_BOOL visibilityChanged(int, const EmscriptenVisibilityChangeEvent* e, void*)
{
    setPageSound(!e->hidden);
    if (!e->hidden) {
        damaged = true;
        redisplayWanted = true;
    }
    dispatch({statusCall, e->hidden ? GLUT_HIDDEN : GLUT_FULLY_RETAINED, 0, 0, 0, nullptr});
    return EM_FALSE;
}

// While the context is lost nothing can be drawn: a rally is paused, as when hidden.
static EM_BOOL contextWasLost(int, const void*, void*)
{
    contextLost = true;
    dispatch({statusCall, GLUT_HIDDEN, 0, 0, 0, nullptr});
    return EM_TRUE;  // asks the browser to give it back
}

static EM_BOOL contextWasRestored(int, const void*, void*)
{
    emscripten_webgl_make_context_current(context);
    if (!restoreGlLayer()) {
        showPageMessage("Volkrin lost its drawing surface and could not get it back. "
                        "Reload the page to play on.");
        return EM_FALSE;
    }
    contextLost = false;
    damaged = true;
    redisplayWanted = true;
    dispatch({reshapeCall, bufferWidth, bufferHeight, 0, 0, nullptr});
    return EM_FALSE;
}

static void timerFired(void* data)
{
    auto found = timers.find(static_cast<long>(reinterpret_cast<intptr_t>(data)));
    if (found == timers.end())
        return;
    const Timer timer = found->second;
    timers.erase(found);
    dispatch({timerCall, timer.value, 0, 0, 0, timer.callback});
}

// At the game's exit nothing of it may run again: timers cleared, events ignored.
static void endToolkit()
{
    ended = true;
    for (const auto& timer : timers)
        emscripten_clear_timeout(timer.second.pageId);
    timers.clear();
    emscripten_html5_remove_all_event_listeners();
}

static void listen()
{
    const char* const window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    const char* const document = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
    emscripten_set_mousedown_callback(canvasId, nullptr, false, mouseDown);
    // Moves and releases anywhere on the page, so that a drag beyond the canvas is followed.
    emscripten_set_mousemove_callback(document, nullptr, false, mouseMoved);
    emscripten_set_mouseup_callback(document, nullptr, false, mouseUp);
    emscripten_set_keydown_callback(window, nullptr, false, keyDown);
    emscripten_set_resize_callback(window, nullptr, false, resized);
    emscripten_set_fullscreenchange_callback(document, nullptr, false, fullScreenChanged);
    emscripten_set_visibilitychange_callback(nullptr, false, visibilityChanged);
    emscripten_set_webglcontextlost_callback(canvasId, nullptr, false, contextWasLost);
    emscripten_set_webglcontextrestored_callback(canvasId, nullptr, false, contextWasRestored);
    emscripten_set_touchstart_callback(stageId, nullptr, false, touched);
    emscripten_set_touchmove_callback(stageId, nullptr, false, touched);
    emscripten_set_touchend_callback(stageId, nullptr, false, touched);
    emscripten_set_touchcancel_callback(stageId, nullptr, false, touched);
}

void setFingerCallbacks(void (*down)(int, int, int), void (*moved)(int, int, int),
                        void (*up)(int, int, int), void (*cancelled)(int))
{
    fingerDownCallback = down;
    fingerMovedCallback = moved;
    fingerUpCallback = up;
    fingerCancelledCallback = cancelled;
}

// The page's buttons, each pressing the key it stands for, as the key would.
extern "C" EMSCRIPTEN_KEEPALIVE void webPressKey(int character)
{
    dispatch({keyCall, character, pointerX, pointerY, 0, nullptr});
}

extern "C" EMSCRIPTEN_KEEPALIVE void webPressSpecial(int key)
{
    dispatch({specialCall, key, pointerX, pointerY, 0, nullptr});
}

// ---- the toolkit's calls -----------------------------------------------------------------

extern "C" {

void glutInit(int*, char**) { atexit(endToolkit); }
void glutInitDisplayMode(unsigned int) {}  // the context's attributes are fixed below
void glutInitWindowSize(int, int) {}       // the canvas fills the page
void glutInitWindowPosition(int, int) {}

int glutCreateWindow(const char* title)
{
    emscripten_set_window_title(title);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // As the desktop's window: RGB without alpha, a depth buffer, no multisampling.
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.preserveDrawingBuffer = false;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    context = emscripten_webgl_create_context(canvasId, &attributes);
    if (context <= 0 || emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS ||
        !startGlLayer()) {
        const char* const message =
            "Volkrin cannot draw in this browser: WebGL, which web pages use for 3-D pictures, "
            "is switched off or not offered here. Turn on hardware acceleration in the "
            "browser's settings, or try another browser.\n";
        printf("%s", message);
        tellFatalError(message);
        exit(1);
    }
    listen();
    if (pageHasTouch())
        useTouch();
    return 1;
}

void glutDisplayFunc(void (*callback)()) { displayCallback = callback; }
void glutReshapeFunc(void (*callback)(int, int)) { reshapeCallback = callback; }
void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) { keyboardCallback = callback; }
void glutSpecialFunc(void (*callback)(int, int, int)) { specialCallback = callback; }
void glutMouseFunc(void (*callback)(int, int, int, int)) { mouseCallback = callback; }
void glutMotionFunc(void (*callback)(int, int)) { motionCallback = callback; }
void glutPassiveMotionFunc(void (*callback)(int, int)) { passiveMotionCallback = callback; }
void glutWindowStatusFunc(void (*callback)(int)) { statusCallback = callback; }

void glutTimerFunc(unsigned int ms, void (*callback)(int), int value)
{
    if (ended)
        return;
    static long nextKey = 1;
    const long key = nextKey++;
    const long pageId = emscripten_set_timeout(timerFired, ms, reinterpret_cast<void*>(key));
    timers[key] = {callback, value, pageId};
}

void glutMainLoop()
{
    fitCanvas();
    damaged = true;
    redisplayWanted = true;
    flushRedisplay();
    pageReady();
    // From here on the game lives in its callbacks; main never returns.
    emscripten_exit_with_live_runtime();
}

void glutPostRedisplay() { redisplayWanted = true; }

// The page shows the drawing buffer once the event that drew it is over.
void glutSwapBuffers() { finishFrame(); }

void glutSetCursor(int cursor) { setPageCursor(cursor != GLUT_CURSOR_NONE); }

int glutGet(GLenum what)
{
    switch (what) {
    case GLUT_WINDOW_WIDTH: return bufferWidth;
    case GLUT_WINDOW_HEIGHT: return bufferHeight;
    case GLUT_FULL_SCREEN: return canvasFullScreen();
    default: return 0;
    }
}

void glutFullScreenToggle() { toggleCanvasFullScreen(); }
void glutPositionWindow(int, int) {}  // the page places the canvas

}  // extern "C"
