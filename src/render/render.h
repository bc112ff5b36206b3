// Drawing: the frame, cameras, projections, lights and materials, and the routines that
// draw the court, the paddles, the ball, the heads-up display and the game-over fade.
#pragma once

struct Material {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float shininess;
};

// frame.cpp
extern const Material wallMaterial, ballMaterial, lostMaterial, wonMaterial;
void setMaterial(const Material& m);
void initLights();
void positionLights();
void display();                             // presentFrame
// Draws the frame and swaps it in, unless it would change nothing and show the picture
// already on screen. Returns whether it drew.
bool presentFrame();
void reshape(int width, int height);        // applyWindowSize, then a redisplay request
void drawFrame();                           // one whole frame into the back buffer, no swap
void applyWindowSize(int width, int height);  // stores the size, projection and viewport
int ratioSize(int pixels);   // a window size fit to divide by: 0 (or less) counts as 1
double windowAspect();       // width / height of the window, for the projections

// xwindow.cpp
void swapWithoutWaitingForBlank();  // asks for a swap interval of 0 where the driver offers it
// Starts watching the current window for exposures; false where that cannot be set up.
bool watchExposures();
// Whether the picture on screen may have been damaged since the last call: always true
// while no watch runs.
bool pictureDamaged();
// Gives the new window its class ("volkrin", "Volkrin"), process id and icon, so that a
// desktop shows it under the game's own name and icon, grouped with its launcher.
void dressWindow();
// F11: full screen and back. Leaving puts the window back at its old size and place.
void toggleFullScreen();
void leaveFullScreen();  // Escape: does nothing unless full screen
bool pointerShown();     // the pointer shows over the window only while paused or fading
void showPointer(bool shown);  // asks the toolkit only when that changes
// The window's icon, made at build time from the installed one: for each size its width,
// its height and its pixels as 0xAARRGGBB (window_icon.cpp).
extern const unsigned int windowIcon[];
extern const int windowIconLength;

// compiled.cpp
// Calls the display list named in list, first compiling it from draw when the current
// context has none under that name or when stale says that what it was made from changed.
void callCompiled(unsigned& list, bool stale, void (*draw)());
// Cosine and sine of each rim angle of the paddles' centre circles and the ball's shadow.
struct RimTable {
    static const int capacity = 80;
    int count;  // 66
    double cosine[capacity];
    double sine[capacity];
};
const RimTable& rim();

// court.cpp
void drawArena();

// paddles.cpp
void drawPlayerPaddle();
void drawOpponentPaddle();  // advances the opponent one tracking step, then draws it

// ball.cpp
void drawBall();  // ball and shadow, then hands over to drawOpponentPaddle

// hud.cpp
void drawLives();
void drawLevelPoints();
void drawLevelCounter();
void drawGameOverFade();
