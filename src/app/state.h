// The game state: one set of process-wide variables that every callback reads and writes.
// Grouped the way the game uses them; start values are stored by resetGameState().
#pragma once

struct Image;
struct GLUquadric;

// Window, in pixels (kept current by reshape).
extern int windowWidth, windowHeight;

// Court walls and far end, court units; constant after start.
extern float arenaLeft, arenaRight, arenaTop, arenaBottom, arenaDepth;

// Paddle edges as offsets from a paddle's centre, shared by both paddles.
extern float paddleLeft, paddleRight, paddleTop, paddleBottom;

// Player's paddle, in the plane z = 0.
extern float playerX, playerY;
extern float prevPlayerX, prevPlayerY;  // centre at the previous motion event, for spin
extern float playerFlash;               // hit highlight, 1 at a return, fades per frame

// Opponent's paddle, in the plane z = arenaDepth.
extern float opponentX, opponentY;
extern float opponentFlash;
extern float opponentGainX, opponentGainY;  // recomputed at every tracking step
extern float opponentStep;                  // tracking step factor

// Ball: centre, direction angles in degrees, distance per tick.
extern float ballX, ballY, ballZ;
extern float ballPitch, ballYaw;
extern float ballSpeed;

// Speed, curve and spin.
extern float ballSpeedBase, speedBonus;
extern float curveBase, curveBonus, curveRate;
extern float spinX, spinY;

// Rally flags (0 or 1).
extern int rallyActive, paused, returnPending, pointWon, pointLost;

// Player's progress.
extern int lives, level, levelPoints;
extern int gameOver;
extern float fadeLevel;

// View and timing.
extern int viewMode;      // 0 behind the player, 1 left, 2 right, 3 below, 4 above
extern int orthographic;
extern int curving;
extern int tickMs;        // timer period while no point is pending, milliseconds

// Drawing resources, created once at start and never released.
extern GLUquadric* ballQuadric;
extern GLUquadric* livesQuadric;
extern GLUquadric* pointsQuadric;
extern Image* levelImage;

// Stores the start values of every variable the program entry sets (not the quadrics,
// not the level image). Tests call it to begin from a fresh game.
void resetGameState();
