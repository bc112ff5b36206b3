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

// Every variable above that the game's code reads or writes (not the drawing resources).
#define VOLKRIN_GAME_VARIABLES(X)                                                          \
    X(windowWidth) X(windowHeight)                                                         \
    X(arenaLeft) X(arenaRight) X(arenaTop) X(arenaBottom) X(arenaDepth)                    \
    X(paddleLeft) X(paddleRight) X(paddleTop) X(paddleBottom)                              \
    X(playerX) X(playerY) X(prevPlayerX) X(prevPlayerY) X(playerFlash)                     \
    X(opponentX) X(opponentY) X(opponentFlash) X(opponentGainX) X(opponentGainY)           \
    X(opponentStep)                                                                        \
    X(ballX) X(ballY) X(ballZ) X(ballPitch) X(ballYaw) X(ballSpeed)                        \
    X(ballSpeedBase) X(speedBonus) X(curveBase) X(curveBonus) X(curveRate)                 \
    X(spinX) X(spinY)                                                                      \
    X(rallyActive) X(paused) X(returnPending) X(pointWon) X(pointLost)                     \
    X(lives) X(level) X(levelPoints) X(gameOver) X(fadeLevel)                              \
    X(viewMode) X(orthographic) X(curving) X(tickMs)

// A copy of the whole game state, to compare with or to put back.
struct GameSnapshot {
#define VOLKRIN_FIELD(v) decltype(::v) v;
    VOLKRIN_GAME_VARIABLES(VOLKRIN_FIELD)
#undef VOLKRIN_FIELD
};
GameSnapshot takeSnapshot();
void restoreSnapshot(const GameSnapshot& s);
// Bit for bit: -0 differs from 0, and a NaN equals the same NaN.
bool sameSnapshot(const GameSnapshot& a, const GameSnapshot& b);
