// The moving parts of a frame (the ball, its shadow and the two paddles): what decides their
// pixels, where they land on the screen, and the rectangle a partial frame must redraw.
#include <cmath>
#include <cstring>

#include "app/numeric.h"
#include "app/state.h"
#include "game/game.h"
#include "render/render.h"

// Beyond a part's projected corners: the half width of the thickest outline and the
// rounding of the rasteriser, with room to spare.
static const int rectMargin = 4;  // pixels

// The screen box of a court-unit box: false when a corner is behind (or at) the eye.
static bool boxOnScreen(const double lo[3], const double hi[3], PixelRect* out)
{
    double left = HUGE_VAL, right = -HUGE_VAL, bottom = HUGE_VAL, top = -HUGE_VAL;
    for (int corner = 0; corner < 8; corner++) {
        double col, row;
        if (!courtToPixels(corner & 1 ? hi[0] : lo[0], corner & 2 ? hi[1] : lo[1],
                           corner & 4 ? hi[2] : lo[2], &col, &row))
            return false;
        left = minD(left, col);
        right = maxD(right, col);
        bottom = minD(bottom, row);
        top = maxD(top, row);
    }
    // Clamped to the window first, so that a far-off corner cannot overflow an int.
    const double w = windowWidth, h = windowHeight;
    const auto clampTo = [](double v, double limit) { return minD(maxD(v, 0.0), limit); };
    out->x0 = static_cast<int>(clampTo(std::floor(left) - rectMargin, w));
    out->x1 = static_cast<int>(clampTo(std::ceil(right) + rectMargin, w));
    out->y0 = static_cast<int>(clampTo(std::floor(bottom) - rectMargin, h));
    out->y1 = static_cast<int>(clampTo(std::ceil(top) + rectMargin, h));
    return true;
}

static bool partAt(MovingPart& part, double lo[3], double hi[3], float a, float b, float c,
                   float d = 0, float e = 0)
{
    const float look[5] = {a, b, c, d, e};
    std::memcpy(part.look, look, sizeof look);
    return boxOnScreen(lo, hi, &part.box);
}

bool movingParts(MovingPart parts[movingPartCount])
{
    // The frame moves the opponent before drawing it; the step is taken here on the state
    // as it is and then undone, so its box is the one the frame will draw.
    const GameSnapshot now = takeSnapshot();
    trackOpponent();
    const float opponentAfterX = opponentX, opponentAfterY = opponentY;
    restoreSnapshot(now);

    const double r = ballRadius;
    double ballLo[3] = {ballX - r, ballY - r, ballZ - r};
    double ballHi[3] = {ballX + r, ballY + r, ballZ + r};
    double shadowLo[3] = {ballX - r, arenaBottom, ballZ - r};
    double shadowHi[3] = {ballX + r, arenaBottom, ballZ + r};
    double opponentLo[3], opponentHi[3], playerLo[3], playerHi[3];
    paddleReach(opponentAfterX, opponentAfterY, arenaDepth, opponentLo, opponentHi);
    paddleReach(playerX, playerY, 0.0, playerLo, playerHi);

    // The colours: the ball's by the outcome, a paddle's by its flash before this frame's
    // decay, the shadow's by the ball's height.
    bool known = partAt(parts[0], ballLo, ballHi, ballX, ballY, ballZ, static_cast<float>(pointWon),
                        static_cast<float>(pointLost));
    known = partAt(parts[1], shadowLo, shadowHi, ballX, ballY, ballZ) && known;
    known = partAt(parts[2], opponentLo, opponentHi, opponentAfterX, opponentAfterY,
                   opponentFlash) && known;
    known = partAt(parts[3], playerLo, playerHi, playerX, playerY, playerFlash) && known;
    return known;
}

static void include(PixelRect& into, const PixelRect& r)
{
    if (r.x1 <= r.x0 || r.y1 <= r.y0)
        return;
    if (into.x1 <= into.x0 || into.y1 <= into.y0) {
        into = r;
        return;
    }
    into.x0 = minI(into.x0, r.x0);
    into.y0 = minI(into.y0, r.y0);
    into.x1 = maxI(into.x1, r.x1);
    into.y1 = maxI(into.y1, r.y1);
}

PixelRect changedRect(const MovingPart before[movingPartCount],
                      const MovingPart after[movingPartCount])
{
    PixelRect changed = {0, 0, 0, 0};
    for (int i = 0; i < movingPartCount; i++)
        if (std::memcmp(before[i].look, after[i].look, sizeof before[i].look) != 0) {
            include(changed, before[i].box);
            include(changed, after[i].box);
        }
    return changed;
}

// Everything a frame reads to draw the court, the heads-up display and the fade, and to
// place the camera: while these stay, so do all pixels outside the moving parts.
#define VOLKRIN_STILL_PARTS(X)                                                             \
    X(windowWidth) X(windowHeight)                                                         \
    X(arenaLeft) X(arenaRight) X(arenaTop) X(arenaBottom) X(arenaDepth)                    \
    X(paddleLeft) X(paddleRight) X(paddleTop) X(paddleBottom)                              \
    X(lives) X(level) X(levelPoints) X(gameOver) X(fadeLevel) X(viewMode) X(orthographic)

bool sameStillParts(const GameSnapshot& a, const GameSnapshot& b)
{
    // The fade changes the whole picture in every frame it runs.
    if (a.gameOver || b.gameOver)
        return false;
#define VOLKRIN_SAME(v) std::memcmp(&a.v, &b.v, sizeof a.v) == 0 &&
    return VOLKRIN_STILL_PARTS(VOLKRIN_SAME) true;
#undef VOLKRIN_SAME
}

FramePresentation choosePresentation(bool damaged, FramePresentation last, bool sameSize,
                                     bool stillSame, bool boxesKnown)
{
    // A damaged window may have a new size, which the driver takes up only when it first
    // draws after a swap; a swap leaves the back buffer undefined, so the frame after it is
    // drawn whole and copied, and from then on the back buffer always holds the picture on
    // screen.
    if (damaged || last == noFrameYet || !sameSize)
        return wholeSwapped;
    if (last == wholeSwapped || !stillSame || !boxesKnown)
        return wholeCopied;
    return partCopied;
}
