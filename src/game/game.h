// The game's rules: ball flight and wall bounces, paddle contact and scoring, and the
// opponent's tracking. Plain functions on the game state; nothing here draws.
#pragma once

// Ball radius in court units: the drawn sphere and the margin of every wall and end test.
const double ballRadius = 0.15;

// flight.cpp
void clampAngles();   // keeps ballPitch in [40, 140] and ballYaw in its allowed bands
int tickGame();       // one simulation step; returns the delay in ms before the next one

// rally.cpp
// Moves a paddle centre back so that the paddle's edges stay inside the court's walls.
void keepPaddleInCourt(float& x, float& y);
int ballOnPlayerPaddle();    // 1 when the player's paddle covers the ball's centre
int ballOnOpponentPaddle();  // 1 when the opponent's paddle covers the ball's centre
void playerReturn();         // speed and curve of a ball leaving the player's paddle
void resetRally();           // ball back to the serve position, rally flags cleared
void checkEnds(float nextZ); // returns or points at the two ends, by the look-ahead depth
void checkMiss(float nextZ); // a life lost when the ball passes the player's paddle
void settleRally();          // after a decided point: level progress, then resetRally
// One drawn frame of the game-over fade: returns how opaque its black is in this frame, then
// steps it; the last frame starts a new game.
float stepGameOverFade();

// opponent.cpp
void trackOpponent();  // one tracking step of the opponent's paddle (once per drawn frame)
