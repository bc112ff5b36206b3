// Drawing: the frame, cameras, projections, lights and materials, and the routines that
// draw the court, the paddles, the ball, the heads-up display and the game-over fade.
#pragma once

#include "platform/platform.h"  // the window's ways that the toolkit does not offer

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
// already on screen; with partial frames on, may redraw and copy only what changed.
// Returns whether it drew.
bool presentFrame();
enum FramePresentation { noFrameYet, wholeSwapped, wholeCopied, partCopied };
FramePresentation lastPresentation();  // of the last frame presentFrame drew
void reshape(int width, int height);        // applyWindowSize, then a redisplay request
void drawFrame();                           // one whole frame into the back buffer, no swap
void applyWindowSize(int width, int height);  // stores the size, projection and viewport
int ratioSize(int pixels);   // a window size fit to divide by: 0 (or less) counts as 1
double windowAspect();       // width / height of the window, for the projections
// Where a court point lands in the window under the current view, projection and window
// size: pixels from the bottom-left corner, as GL counts them. False for a point in the
// perspective view that is not well in front of the eye.
bool courtToPixels(double x, double y, double z, double* col, double* row);
// Whether display calls may redraw and present only the rectangle that changed (set at
// start where the driver offers it: partialFramesOffered).
extern bool partialFrames;

// moving.cpp
struct GameSnapshot;
// Window pixels from the bottom-left corner: x0 <= x < x1, y0 <= y < y1; empty when
// x1 <= x0 or y1 <= y0.
struct PixelRect {
    int x0, y0, x1, y1;
};
// One moving part as a frame draws it: what decides its pixels, and the pixels it may touch.
struct MovingPart {
    float look[5];
    PixelRect box;
};
const int movingPartCount = 4;  // the ball, its shadow, the opponent's and the player's paddle
// The moving parts of the frame about to be drawn from the current state, the opponent where
// this frame's tracking step will take it; the state is left as it was. False when a box
// reaches behind the eye, where its place on the screen is not known.
bool movingParts(MovingPart parts[movingPartCount]);
// The rectangle covering the old and the new place of every part whose look changed.
PixelRect changedRect(const MovingPart before[movingPartCount],
                      const MovingPart after[movingPartCount]);
// Whether frames begun from these two states draw the same court, heads-up display, camera,
// projection and window (never true during the game-over fade).
bool sameStillParts(const GameSnapshot& a, const GameSnapshot& b);
// How to draw and present a frame on a driver that offers partial frames, given whether the
// window was damaged, how the last frame was presented, whether the window's size and the
// still parts are as they were then, and whether every moving part's box is known.
FramePresentation choosePresentation(bool damaged, FramePresentation last, bool sameSize,
                                     bool stillSame, bool boxesKnown);

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
// The court-unit box around everything drawn for a paddle centred at (cx, cy) in plane z0.
void paddleReach(double cx, double cy, double z0, double lo[3], double hi[3]);

// ball.cpp
void drawBall();  // ball and shadow, then hands over to drawOpponentPaddle

// signs.cpp
// A printed line shown as a caption for two seconds, fading out over the last half; a newer
// line replaces it. The line break is left off.
void showCaption(const char* line);
void passSignTime(int ms);  // the game's timer waited ms: captions age by that much
void toggleKeyCard();       // F1
void closeKeyCard();
bool keyCardShown();
void clearSigns();          // no caption, no card: as at start
// Everything that decides the pixels the signs put over a frame (the pause sign follows
// paused), zero-filled so that two looks compare byte for byte.
struct SignLook {
    char caption[24];  // empty while none shows
    int captionAlpha;  // 0 (gone) to 20 (opaque)
    int pauseSign;
    char resumeHint[32];  // under the pause sign, while it shows
    int keyCard;
};
SignLook signLook();
bool sameSignLook(const SignLook& a, const SignLook& b);
// Draws the caption, the pause sign and the key card over the frame, in every view; makes
// no GL call at all while none of them shows.
void drawSigns();

// hud.cpp
void drawLives();
void drawLevelPoints();
void drawLevelCounter();
void drawGameOverFade();
