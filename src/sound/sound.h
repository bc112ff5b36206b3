// Sound: the game's events heard where they happen on the court, through OpenAL. Everything
// OpenAL stays inside this folder; the rest of the game sees these few calls.
#pragma once

#include <AL/alc.h>

#include <vector>

#include "game/events.h"

// sound.cpp
extern int soundOn;  // 1 until the player turns sound off with the m key
// Opens the default sound device and makes everything ready to play. Without a device the
// game plays silently and nothing is printed (the libraries' own complaints are muted too).
void initSound();
// Makes the context and the sounds on a device already open (a loopback device in the
// tests); false, with everything closed again (the device too), when that fails.
bool startSound(ALCdevice* device, const ALCint* attributes);
// Sources, sounds and context released, the device closed; an attempt to open one again is
// waited for and what it opened closed too.
void closeSound();
// Plays what the game recorded since the last call (unless muted or paused) and clears the
// list; stops every sound while muted; pauses the device while nothing sounds; without a
// device (gone, or none at start) tries to open one again, off the game's thread, when a
// sound is due and at most every 3 s; the sound that tried is heard if the device came at
// once. Called after every timer tick and input or display callback.
void updateSound();
// Whether a device may be paused while idle: not the wave-file writer, which rewrites its
// file from the start after a pause, nor a loopback device, which the program drives.
bool mayPauseDevice(const char* deviceName);

// synth.cpp
const int soundRate = 44100;  // samples per second
// The sound of one kind of event: mono, 16-bit, made by the game itself at start-up.
std::vector<short> synthesise(GameEventKind kind);
