// Mouse and keyboard: pointer position to paddle and spin, buttons to serve and pause,
// keys to commands. The toolkit callbacks are thin shells around plain functions.
#pragma once

// mouse.cpp
double mouseToCourtX(float px);  // pixel column to court x
double mouseToCourtY(float py);  // pixel row, counted from the bottom, to court y
void followPointer(int x, int y);  // everything mouseMotion does but the redisplay
void mouseMotion(int x, int y);
void mouseButton(int button, int state, int x, int y);
bool pointerShown();  // the pointer shows only while paused, fading or under the key card

// keyboard.cpp
void keyCommand(unsigned char key);  // everything keyboard does but the redisplay
void keyboard(unsigned char key, int x, int y);  // Escape also leaves full screen

// window.cpp
void pauseWhenHidden();  // pauses a rally that is running: minimised, or under the key card
void specialKey(int key, int x, int y);  // F11 toggles full screen, F1 the key card
void windowStatus(int state);
void leaveFullScreen();  // Escape: does nothing unless full screen
void showPointer(bool shown);  // asks the toolkit only when that changes
