// Mouse and keyboard: pointer position to paddle and spin, buttons to serve and pause,
// keys to commands. The toolkit callbacks are thin shells around plain functions.
#pragma once

// mouse.cpp
double mouseToCourtX(float px);  // pixel column to court x
double mouseToCourtY(float py);  // pixel row, counted from the bottom, to court y
double courtToMouseX(double x);  // the other way: the pixel column where court x lies
double courtToMouseY(double y);  // the pixel row, counted from the bottom, of court y
void paddlePixel(int& x, int& y);  // the pointer's place, in window pixels, under the paddle
void followPointer(int x, int y);  // everything mouseMotion does but the redisplay
void mouseMotion(int x, int y);
void mouseButton(int button, int state, int x, int y);
bool pointerShown();  // the pointer shows only while paused, fading or under the key card

// keyboard.cpp
void keyCommand(unsigned char key);  // everything keyboard does but the redisplay
void keyboard(unsigned char key, int x, int y);  // Escape also leaves full screen

// touch.cpp
void fingerDown(int finger, int x, int y);
// The paddle moves as far as the finger did; false for a finger that does not count.
bool followFinger(int finger, int x, int y);  // everything fingerMoved does but the redisplay
void fingerMoved(int finger, int x, int y);
void fingerUp(int finger, int x, int y);     // a tap (a finger that hardly moved) serves
void fingerCancelled(int finger);

// window.cpp
void pauseWhenHidden();  // pauses a rally that is running: minimised, or under the key card
void specialKey(int key, int x, int y);  // F11 toggles full screen, F1 the key card
void windowStatus(int state);
void leaveFullScreen();  // Escape: does nothing unless full screen
void showPointer(bool shown);  // asks the toolkit only when that changes
