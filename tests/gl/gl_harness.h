// Shared pieces of the drawing tests: the fixture that starts every test from a fresh game
// in a 500 x 500 window, court-to-pixel probes, GL state snapshots and feedback capture.
#pragma once

#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

struct Rgb {
    int r, g, b;
};

// Where a point lands in the window for the current viewMode, projection and window size,
// worked out from the camera placements and projections, independently of the drawing code.
struct Spot {
    double col;         // from the left edge, pixels
    double rowFromTop;  // from the top edge, pixels
};
Spot courtToWindow(double x, double y, double z);
Spot hudToWindow(double x, double y);  // heads-up units: x, y in the orthographic volume

// The back buffer as the last drawing left it (read before any swap).
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // rows bottom-up, as GL gives them
    Rgb at(int col, int rowFromTop) const;
    Rgb at(const Spot& s) const;
    bool blackNear(const Spot& s, int radius = 1) const;  // some pixel within radius is black
    bool isWhite(const Spot& s) const;
};
Picture grab();

::testing::AssertionResult colourNear(const Rgb& got, double r, double g, double b,
                                      int tolerance = 3);
::testing::AssertionResult isBlue(const Rgb& c);  // lit blue: blue well above red and green

// Everything that a drawing routine must leave as it found it.
struct GlState {
    int modelviewDepth, projectionDepth, matrixMode;
    bool lighting, light0, light1, texture2d, depthTest, blend;
    float lineWidth;
    int blendSrc, blendDst;
    double modelview[16], projection[16];
};
GlState glState();
void expectSameState(const GlState& before, const GlState& after, bool projectionMayChange,
                     const char* what);
bool allFinite(const double m[16]);

// Primitives as GL's feedback mode reports them, in window coordinates of a 500 x 500
// viewport under an orthographic volume of -20..20 on every axis and an identity model-view,
// so court coordinates come back as x = (x / 20 + 1) * 250, and likewise for y.
struct Primitive {
    enum Kind { line, polygon } kind;
    std::vector<float> xyz;  // 3 floats per vertex
};
std::vector<Primitive> captureFeedback(void (*draw)());
double fromFeedback(float windowCoord);  // back to court units

// The real window and the game's window size both made w x h (the back buffer holds every
// pixel of it).
void resizeWindow(int w, int h);

// Every test starts here: a fresh game, the window's size, an identity model-view and a
// clean GL error flag.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
};
