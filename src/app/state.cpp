// Definitions and start values of the game state.
#include "app/state.h"
#include "render/render.h"

#include <cstring>

int windowWidth, windowHeight;

float arenaLeft, arenaRight, arenaTop, arenaBottom, arenaDepth;
float paddleLeft, paddleRight, paddleTop, paddleBottom;

float playerX, playerY;
float prevPlayerX, prevPlayerY;
float playerFlash;

float opponentX, opponentY;
float opponentFlash;
float opponentGainX, opponentGainY;
float opponentStep;

float ballX, ballY, ballZ;
float ballPitch, ballYaw;
float ballSpeed;

float ballSpeedBase, speedBonus;
float curveBase, curveBonus, curveRate;
float spinX, spinY;

int rallyActive, paused, returnPending, pointWon, pointLost;

int lives, level, levelPoints;
int gameOver;
float fadeLevel;

int viewMode;
int orthographic;
int curving;
int tickMs;

GLUquadric* ballQuadric;
GLUquadric* livesQuadric;
GLUquadric* pointsQuadric;
Image* levelImage;

void resetGameState()
{
    windowWidth = 500;
    windowHeight = 500;

    // Each pair is one value and its negation, so court and paddles are symmetric.
    arenaLeft = -1.75f;
    arenaRight = -arenaLeft;
    arenaTop = 1.5f;
    arenaBottom = -arenaTop;
    arenaDepth = -4.0f;

    paddleLeft = -0.5f;
    paddleRight = -paddleLeft;
    paddleTop = 0.4f;
    paddleBottom = -paddleTop;

    playerX = playerY = 0.0f;
    prevPlayerX = prevPlayerY = 0.0f;
    playerFlash = 0.0f;

    // The entry leaves these at their zero start: the opponent's position, the ball's
    // speed and base speed, the curve base, the spin, pointWon, gameOver and fadeLevel.
    // They are zeroed here too so that tests can start a fresh game in one process.
    opponentX = opponentY = 0.0f;
    opponentFlash = 0.0f;
    opponentGainX = opponentGainY = 0.0f;
    opponentStep = 0.1f;

    ballX = ballY = 0.0f;
    ballZ = -0.15f;  // the rally reset uses -0.151
    ballPitch = 90.0f;
    ballYaw = 180.0f;
    ballSpeed = 0.0f;

    ballSpeedBase = 0.0f;
    speedBonus = 0.0f;
    curveBase = 0.0f;
    curveBonus = 0.0f;
    curveRate = 0.0f;
    spinX = spinY = 0.0f;

    rallyActive = 0;
    paused = 0;
    returnPending = 0;
    pointWon = 0;
    pointLost = 0;

    lives = 5;
    level = 1;
    levelPoints = 0;
    gameOver = 0;
    fadeLevel = 0.0f;

    viewMode = 0;
    orthographic = 0;
    curving = 1;
    tickMs = 15;

    // Nor has anything been said on screen yet (the signs are not game state, but a fresh
    // game starts without them).
    clearSigns();
}

GameSnapshot takeSnapshot()
{
    GameSnapshot s;
#define VOLKRIN_TAKE(v) s.v = ::v;
    VOLKRIN_GAME_VARIABLES(VOLKRIN_TAKE)
#undef VOLKRIN_TAKE
    return s;
}

void restoreSnapshot(const GameSnapshot& s)
{
#define VOLKRIN_PUT(v) ::v = s.v;
    VOLKRIN_GAME_VARIABLES(VOLKRIN_PUT)
#undef VOLKRIN_PUT
}

bool sameSnapshot(const GameSnapshot& a, const GameSnapshot& b)
{
#define VOLKRIN_SAME(v) std::memcmp(&a.v, &b.v, sizeof a.v) == 0 &&
    return VOLKRIN_GAME_VARIABLES(VOLKRIN_SAME) true;
#undef VOLKRIN_SAME
}
