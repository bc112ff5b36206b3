// What the browser build's platform files share: the toolkit that makes the canvas the
// game's window (glut.cpp), the GL layer's life with its context (gl/context.cpp), and the
// page the game runs in (page.js, the page's side of these calls).
#pragma once

// ---- glut.cpp ---------------------------------------------------------------------------
// Whether the picture on the canvas may not be the last one drawn (the canvas was resized,
// its context lost and back, or the page shown again); cleared by asking.
bool canvasDamaged();

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
}
