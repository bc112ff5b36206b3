// Drawing: the frame, cameras, projections, lights and materials, and the routines that
// draw the court, the paddles, the ball, the heads-up display and the game-over fade.
#pragma once

struct Material {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float shininess;
};

// frame.cpp
extern const Material wallMaterial, ballMaterial, lostMaterial, wonMaterial;
void setMaterial(const Material& m);
void initLights();
void positionLights();
void display();                             // drawFrame, then the buffer swap
void reshape(int width, int height);        // applyWindowSize, then a redisplay request
void drawFrame();                           // one whole frame into the back buffer, no swap
void applyWindowSize(int width, int height);  // stores the size, projection and viewport
int ratioSize(int pixels);   // a window size fit to divide by: 0 (or less) counts as 1
double windowAspect();       // width / height of the window, for the projections

// court.cpp
void drawArena();

// paddles.cpp
void drawPlayerPaddle();
void drawOpponentPaddle();  // advances the opponent one tracking step, then draws it

// ball.cpp
void drawBall();  // ball and shadow, then hands over to drawOpponentPaddle

// hud.cpp
void drawLives();
void drawLevelPoints();
void drawLevelCounter();
void drawGameOverFade();
