// The platform on Windows: printed lines reaching a console or a redirection, a message box
// for the error that ends the game, swaps that do not wait for the monitor, a window as large
// on screen at any display scaling, and a damage watch of the game's own on the window
// procedure; freeglut does the rest itself.
#include <windows.h>
#include <shellscalingapi.h>

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

typedef BOOL(WINAPI* SwapIntervalProc)(int interval);

// Whether standard output was a file or a pipe when the game started: someone reads it.
static bool outputRedirected = false;

static bool validHandle(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void startPlatform()
{
    // A program of the Windows subsystem gets no console: started from one, it borrows the
    // console's, unless its output goes somewhere already (a file, a pipe).
    const DWORD type = validHandle(STD_OUTPUT_HANDLE)
                           ? GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) : FILE_TYPE_UNKNOWN;
    outputRedirected = type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
    if (!validHandle(STD_OUTPUT_HANDLE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!freopen("CONOUT$", "w", stdout))
            return;
        if (!validHandle(STD_ERROR_HANDLE))
            freopen("CONOUT$", "w", stderr);
    }
    // freeglut on Windows takes DISPLAY for the name of a display device, which no Windows
    // device carries; an X server's name there (Wine, X servers for Windows) would keep
    // the window from opening.
    _putenv_s("DISPLAY", "");
}

void setEnvironmentDefault(const char* name, const char* value)
{
    if (!getenv(name))
        _putenv_s(name, value);
}

// Windows names files in UTF-16; the game's text is UTF-8. Both conversions count the
// terminator, which the string then drops.
static std::wstring wide(const char* text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring result(static_cast<size_t>(std::max(length, 1)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, result.data(), length);
    result.pop_back();
    return result;
}

std::string workingFolder()
{
    std::wstring path(GetCurrentDirectoryW(0, nullptr), L'\0');
    path.resize(GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data()));
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(std::max(length, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, text.data(), length, nullptr, nullptr);
    text.pop_back();
    return text;
}

// A player started from the Start menu has no console: the message comes in a box as well.
// Output that is redirected is read by someone (or a test) who needs no box to wait on.
void tellFatalError(const char* message)
{
    if (!outputRedirected)
        MessageBoxW(nullptr, wide(message).c_str(), L"Volkrin", MB_OK | MB_ICONERROR);
}

// OpenAL Soft's log is all there is to quieten; Windows' sound libraries print nothing.
void quietenLibraries()
{
    setEnvironmentDefault("ALSOFT_LOGLEVEL", "0");  // a player's own setting wins
}

// Windows' sound system finds a device that came since by itself: nothing to forget.
bool threadsOffered() { return true; }

void forgetSoundConfiguration() {}

void swapWithoutWaitingForBlank()
{
    // The extension's call is there only where the driver offers WGL_EXT_swap_control.
    const auto setInterval = reinterpret_cast<SwapIntervalProc>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (setInterval)
        setInterval(0);
}

// The window procedure freeglut gave the window, which ours calls on for everything.
static WNDPROC toolkitProcedure = nullptr;
static HWND gameWindow = nullptr;
static bool damageSeen = true;

// Ours notes the messages after which the picture on screen may not be the last one drawn
// (painting, size, showing, restoring, moving, a change of display), and follows the window
// onto a monitor of another scaling, which freeglut does not.
static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_DPICHANGED: {
        // Windows suggests the rectangle that keeps the window as large on screen as it was.
        const RECT& suggested = *reinterpret_cast<const RECT*>(l);
        SetWindowPos(window, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_PAINT:
    case WM_SIZE:
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGED:
    case WM_DISPLAYCHANGE:
    case WM_DWMCOMPOSITIONCHANGED:
        damageSeen = true;
        break;
    default:
        break;
    }
    return CallWindowProc(toolkitProcedure, window, message, w, l);
}

// Puts our procedure in front of freeglut's on the current window, once.
static bool ownWindowProcedure()
{
    if (gameWindow)
        return true;
    const HDC context = wglGetCurrentDC();
    const HWND window = context ? WindowFromDC(context) : nullptr;
    if (!window)
        return false;
    toolkitProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowProcedure)));
    if (!toolkitProcedure)
        return false;
    gameWindow = window;
    return true;
}

bool watchExposures()
{
    damageSeen = true;  // a window newly watched is drawn once in full
    return ownWindowProcedure();
}

bool pictureDamaged()
{
    if (!gameWindow)
        return true;
    // Messages reach the procedure before the toolkit calls the display function; a paint
    // message always comes after anything that spoils the picture.
    const bool damaged = damageSeen;
    damageSeen = false;
    return damaged;
}

// The dots per inch of the monitor at a point of the screen: 96 at 100 % scaling, 144 at
// 150 %. Asked of Windows 8.1 and later; earlier ones scale every monitor as the system.
static int dpiAt(POINT where)
{
    using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);
    static const HMODULE shcore = LoadLibraryW(L"shcore.dll");  // kept: looked up once
    static const auto forMonitor = reinterpret_cast<DpiForMonitor>(reinterpret_cast<void*>(
        shcore ? GetProcAddress(shcore, "GetDpiForMonitor") : nullptr));
    UINT x = 0, y = 0;
    if (forMonitor && forMonitor(MonitorFromPoint(where, MONITOR_DEFAULTTOPRIMARY),
                                 MDT_EFFECTIVE_DPI, &x, &y) == S_OK)
        return static_cast<int>(x);
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The program draws its own pixels at any scaling (its manifest says so), so the window
// asked for at 500 x 500 is asked for at 750 x 750 on a monitor at 150 %: as large on screen
// as at 100 %, and as sharp as the monitor, where Windows would have stretched a blurred
// 500 x 500 picture. Asked before the window opens, as a size set while it is hidden may not
// reach its GL surface (Wine's stays as it was).
void scaleWindowRequest()
{
    const int dpi = dpiAt({glutGet(GLUT_INIT_WINDOW_X), glutGet(GLUT_INIT_WINDOW_Y)});
    glutInitWindowSize(MulDiv(glutGet(GLUT_INIT_WINDOW_WIDTH), dpi, USER_DEFAULT_SCREEN_DPI),
                       MulDiv(glutGet(GLUT_INIT_WINDOW_HEIGHT), dpi, USER_DEFAULT_SCREEN_DPI));
}

// The icon comes from the resource freeglut gives its windows (GLUT_ICON); Windows groups
// a program's windows by the program itself. Ours is the window procedure that follows the
// window onto a monitor of another scaling.
void dressWindow() { ownWindowProcedure(); }

// freeglut on Windows keeps the window's old size and place itself, and fills the monitor's
// whole rectangle, in its own pixels at any scaling.
void toggleFullScreen() { glutFullScreenToggle(); }


// The toolkit turns a touch screen's fingers into the mouse: no fingers of their own here,
// and no controls on screen.
void listenToFingers(void (*)(int, int, int), void (*)(int, int, int), void (*)(int, int, int),
                     void (*)(int))
{
}
void showTouchControls(bool, bool) {}
const char* resumeHint() { return "right button or P to resume"; }

// At 150 % scaling a point is a pixel and a half: the monitor's where the window stands.
double pixelsPerPoint()
{
    RECT place = {0, 0, 0, 0};
    if (gameWindow)
        GetWindowRect(gameWindow, &place);
    return dpiAt({place.left, place.top}) / static_cast<double>(USER_DEFAULT_SCREEN_DPI);
}

// Partial frames are not offered here: a copy of part of the back buffer to the window has
// no call in WGL, and Windows' drivers draw a whole frame in far less time than it saves.
bool partialFramesOffered() { return false; }

bool copyToWindow(const PixelRect&) { return false; }
