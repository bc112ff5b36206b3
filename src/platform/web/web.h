// What the browser build's platform files share: the toolkit that makes the canvas the
// game's window (glut.cpp), the GL layer's life with its context (gl/context.cpp), and the
// page the game runs in (page.js, the page's side of these calls).
#pragma once

// ---- glut.cpp ---------------------------------------------------------------------------
// Whether the picture on the canvas may not be the last one drawn (the canvas was resized,
// its context lost and back, or the page shown again); cleared by asking.
bool canvasDamaged();
double canvasPixelRatio();  // drawing-buffer pixels in a CSS pixel
bool touchScreen();         // the page is played with fingers and shows its buttons
void setFingerCallbacks(void (*down)(int finger, int x, int y), void (*moved)(int, int, int),
                        void (*up)(int, int, int), void (*cancelled)(int finger));

// ---- gl/context.cpp ---------------------------------------------------------------------
bool startGlLayer();    // on the new context: the shaders and buffers
bool restoreGlLayer();  // on a context that was lost and is back: everything made again
void finishFrame();     // draws what the frame's last calls gathered

// ---- page.js ----------------------------------------------------------------------------
extern "C" {
// Runs a game callback so that the game's exit from inside it (the q key) ends the page's
// run properly: the exit handlers run and the page says that the game has ended.
void callGame(void (*call)(void* data), void* data);
// Lets the game's next exit end its run although timers and events are still pending.
void letRuntimeEnd();
// Shows the player a message over the page, in place of the game.
void showPageMessage(const char* text);
void pageReady();  // the first frame is drawn: the loading notice goes
void setPageCursor(int shown);
void setPageSound(int heard);  // a hidden page is silent
void canvasOffset(double* left, double* top);  // the canvas's corner on the page, CSS pixels
int canvasFullScreen();
void toggleCanvasFullScreen();  // within a key's event, as browsers require
int pageHasTouch();             // the browser says it has a touch screen
void showTouchButtons();        // from now on: a touch screen was used
void setTouchButtons(int paused, int keyCard);  // the pause button's word, the key menu
void wakeAudio();  // the page's audio started where the browser held it for a gesture
}
