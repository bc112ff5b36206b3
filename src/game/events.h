// What happened in the game, as the rules and the input record it: a short list of events,
// each with its kind and the court position where it happened, for the sound to act on.
#pragma once

enum GameEventKind {
    serveEvent,            // the ball leaves the player's paddle on a click
    playerReturnEvent,     // the ball met the player's paddle
    spinEvent,             // the paddle's movement just after a return gave the ball spin
    opponentReturnEvent,   // the ball met the opponent's paddle
    wallBounceEvent,       // the ball turned at a wall, the floor or the ceiling
    pointWonEvent,         // the ball passed the opponent
    pointLostEvent,        // the ball passed the player, lives left
    levelGainedEvent,
    extraLifeEvent,
    gameOverEvent,         // the last life lost (in place of a point lost)
    newGameEvent,          // the fade is over and a fresh game begins
    gameEventKinds
};

struct GameEvent {
    GameEventKind kind;
    float x, y, z;  // court units
};

// Events since whoever consumes them last cleared the list. Not part of the game state:
// recording one changes nothing the rules or the picture depend on.
const int maxGameEvents = 16;  // a tick raises at most four
extern GameEvent gameEvents[maxGameEvents];
extern int gameEventCount;

// Adds an event; one beyond the list's room is dropped (nobody is listening then).
void recordEvent(GameEventKind kind, float x, float y, float z);
void recordBallEvent(GameEventKind kind);  // at the ball's centre
void clearEvents();
