// The platform on Windows: printed lines reaching a console or a redirection, a message box
// for the error that ends the game, swaps that do not wait for the monitor, and a damage
// watch of the game's own on the window procedure; freeglut does the rest itself.
#include <windows.h>

#include <GL/freeglut.h>

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

// A player started from the Start menu has no console: the message comes in a box as well.
// Output that is redirected is read by someone (or a test) who needs no box to wait on.
void tellFatalError(const char* message)
{
    if (!outputRedirected)
        MessageBoxA(nullptr, message, "Volkrin", MB_OK | MB_ICONERROR);
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

// The window procedure freeglut gave the window, which the watch calls on for everything.
static WNDPROC toolkitProcedure = nullptr;
static HWND watchedWindow = nullptr;
static bool damageSeen = true;

// Messages after which the picture on screen may not be the last one drawn: painting,
// size, showing, restoring, moving, a change of display.
static LRESULT CALLBACK watchDamage(HWND window, UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
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

bool watchExposures()
{
    damageSeen = true;  // a window newly watched is drawn once in full
    if (watchedWindow)
        return true;
    const HDC context = wglGetCurrentDC();
    const HWND window = context ? WindowFromDC(context) : nullptr;
    if (!window)
        return false;
    toolkitProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchDamage)));
    if (!toolkitProcedure)
        return false;
    watchedWindow = window;
    return true;
}

bool pictureDamaged()
{
    if (!watchedWindow)
        return true;
    // Messages reach the procedure before the toolkit calls the display function; a paint
    // message always comes after anything that spoils the picture.
    const bool damaged = damageSeen;
    damageSeen = false;
    return damaged;
}

// The icon comes from the resource freeglut gives its windows (GLUT_ICON); Windows groups
// a program's windows by the program itself. Nothing to add here.
void dressWindow() {}

// freeglut on Windows keeps the window's old size and place itself.
void toggleFullScreen() { glutFullScreenToggle(); }


// Partial frames are not offered here: a copy of part of the back buffer to the window has
// no call in WGL, and Windows' drivers draw a whole frame in far less time than it saves.
bool partialFramesOffered() { return false; }

bool copyToWindow(const PixelRect&) { return false; }
