// The mouse: the pointer places the player's paddle, a left press serves, a right press
// pauses, and the paddle's movement just after a return becomes spin on the ball.
#include <GL/freeglut.h>

#include <cmath>

#include "app/numeric.h"
#include "app/state.h"
#include "game/events.h"
#include "game/game.h"
#include "render/render.h"

const double spinPerUnit = 200;  // degrees of spin per court unit moved in one event
const float spinLimit = 40;      // degrees

// A window squeezed to nothing still maps the pointer somewhere finite.
static int mappedWidth() { return maxI(windowWidth, 1); }
static int mappedHeight() { return maxI(windowHeight, 1); }

// Both axes use 4/H court units per pixel, the scale of the orthographic view, with the
// window's centre at 0; px is the centre of a pixel column.
double mouseToCourtX(float px)
{
    const int w = mappedWidth();
    const float aspect = static_cast<float>(static_cast<double>(w) / mappedHeight());
    const double n = 2.0 * px / w - static_cast<double>(w - 1) / w;
    return n * 2 * aspect;
}

// py counts rows from the bottom of the window.
double mouseToCourtY(float py)
{
    const int h = mappedHeight();
    const double n = 2.0 * py / h - static_cast<double>(h - 1) / h;
    return n * 2;
}

// The two mappings above, turned round.
double courtToMouseX(double x)
{
    const int w = mappedWidth();
    const float aspect = static_cast<float>(static_cast<double>(w) / mappedHeight());
    return (x / (2 * aspect) + static_cast<double>(w - 1) / w) * w / 2;
}

double courtToMouseY(double y)
{
    const int h = mappedHeight();
    return (y / 2 + static_cast<double>(h - 1) / h) * h / 2;
}

void paddlePixel(int& x, int& y)
{
    // Exact for a paddle a pointer placed; the nearest pixel for one held at a wall.
    x = static_cast<int>(std::lround(courtToMouseX(playerX)));
    y = mappedHeight() - 1 - static_cast<int>(std::lround(courtToMouseY(playerY)));
}

static float limitSpin(float spin)
{
    if (spin > spinLimit)
        return spinLimit;
    if (spin < -spinLimit)
        return -spinLimit;
    return spin;
}

void followPointer(int x, int y)
{
    if (!paused) {
        playerX = static_cast<float>(mouseToCourtX(static_cast<float>(x)));
        playerY = static_cast<float>(mouseToCourtY(static_cast<float>(mappedHeight() - y - 1)));
    }

    keepPaddleInCourt(playerX, playerY);

    // The first motion after a return turns the paddle's displacement into spin; the sign
    // makes the ball follow the paddle.
    if (returnPending) {
        spinX = limitSpin(static_cast<float>((static_cast<double>(prevPlayerX) - playerX) * spinPerUnit));
        spinY = limitSpin(static_cast<float>((static_cast<double>(prevPlayerY) - playerY) * spinPerUnit));
        ballYaw = static_cast<float>(static_cast<double>(ballYaw) + spinX);
        ballPitch = static_cast<float>(static_cast<double>(ballPitch) + spinY);
        clampAngles();
        returnPending = 0;
        if (spinX != 0 || spinY != 0)
            recordBallEvent(spinEvent);
    }

    prevPlayerX = playerX;
    prevPlayerY = playerY;
}

void mouseMotion(int x, int y)
{
    followPointer(x, y);
    glutPostRedisplay();
}

// No redisplay here: the next tick asks for one. A click on the key card serves nothing;
// the right button puts the card away as it pauses or resumes, as p does.
void mouseButton(int button, int state, int, int)
{
    if (state != GLUT_DOWN)
        return;
    if (button == GLUT_LEFT_BUTTON) {
        if (!keyCardShown() && !rallyActive && ballOnPlayerPaddle()) {
            rallyActive = 1;
            playerReturn();
            recordBallEvent(serveEvent);
        }
    } else if (button == GLUT_RIGHT_BUTTON) {
        closeKeyCard();
        paused = 1 - paused;
    }
}

// While the rally can be played the pointer would only hide the paddle's centre; paused,
// fading or reading the key card, the player may want to find it.
bool pointerShown()
{
    return paused || gameOver || keyCardShown();
}
