// What the game needs from the platform under its window toolkit, one file per platform
// behind it (x11.cpp, windows.cpp, web.cpp), chosen by the build.
#pragma once

#include <string>

struct PixelRect;

// Before the toolkit starts: where printed lines go, and settings the toolkit reads.
void startPlatform();
// A setting in the process's environment, unless the player has set it already.
void setEnvironmentDefault(const char* name, const char* value);
// Tells the player about an error that ends the game, where the printed lines that said it
// may reach no one; the caller has printed them and exits. The message is UTF-8.
void tellFatalError(const char* message);
// The working folder's full path, in UTF-8: where the game looks for its level image.
std::string workingFolder();
// The sound libraries' own complaints (no device, no server) kept off the player's screen.
void quietenLibraries();
// Called before each attempt to open a sound device again: what the system's sound library
// learnt at its first open (where its default device goes) is forgotten, so that a sound
// server started since is found. Called off the game's thread.
void forgetSoundConfiguration();
// Whether work may run on a thread beside the game's (a browser page has only the one).
bool threadsOffered();

// ---- the window ----------------------------------------------------------------------

void swapWithoutWaitingForBlank();  // asks for a swap interval of 0 where the driver offers it
// Starts watching the current window for exposures; false where that cannot be set up.
bool watchExposures();
// Whether the picture on screen may have been damaged since the last call: always true
// while no watch runs.
bool pictureDamaged();
// Before the window opens: the size asked of the toolkit made as large on screen as at 100 %
// display scaling, where the platform scales each monitor and leaves the pixels to the game.
void scaleWindowRequest();
// Gives the new window its class ("volkrin", "Volkrin"), process id and icon, so that a
// desktop shows it under the game's own name and icon, grouped with its launcher; and keeps
// it as large on screen when it moves to a monitor of another scaling.
void dressWindow();
// F11: full screen and back. Leaving puts the window back at its old size and place.
void toggleFullScreen();
// The window's icon where the window system takes it as a table (X11), made at build time
// from the installed one: for each size its width, its height and its pixels as 0xAARRGGBB
// (window_icon.cpp). Windows takes it from the program's resources instead.
extern const unsigned int windowIcon[];
extern const int windowIconLength;

// ---- touch screens and the signs --------------------------------------------------------

// Fingers on a touch screen where the toolkit does not turn them into the mouse (a browser
// page): each finger's touch, movement, lift and loss, its number and place in window pixels,
// go to these. Elsewhere nothing is reported.
void listenToFingers(void (*down)(int finger, int x, int y), void (*moved)(int finger, int x, int y),
                     void (*up)(int finger, int x, int y), void (*cancelled)(int finger));
// What the platform's touch controls show, where it has them (the page's buttons on a touch
// screen): whether the game is paused, and whether the key card is up, its menu then open.
void showTouchControls(bool paused, bool keyCard);
// The line under PAUSED: how to resume, in the words of the controls at hand.
const char* resumeHint();
// The window's pixels in a point (a CSS pixel; 1/96 inch at the desktop's own scaling): the
// signs are never drawn smaller than a size in points, however small the window.
double pixelsPerPoint();

// Whether the driver renders in software and can copy part of the back buffer to the window
// (GLX_MESA_copy_sub_buffer), where partial frames cost far less than whole ones.
bool partialFramesOffered();
// Copies a rectangle of the back buffer (GL pixels from the bottom-left) to the window,
// leaving the back buffer as it is. False when the window system reported an error: the
// picture on screen is then unknown.
bool copyToWindow(const PixelRect& rect);
