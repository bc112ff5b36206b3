// Whole frames compared pixel for pixel with reference pictures, kept as one 64-bit hash
// per frame: every view and projection, rest and rally, flashes, outcomes, heads-up
// display, fade, a wide window and a changed court. Guards any change to how frames are
// drawn against moving a single pixel.
//
// VOLKRIN_PIXELS_PRINT=1 prints the hashes of the current drawing code as a reference
// table; VOLKRIN_GL_DUMP=dir writes every compared frame there as a PPM picture.
#include "gl_harness.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <GL/freeglut.h>
#include <GL/glx.h>

#include "app/state.h"
#include "game/game.h"
#include "input/input.h"
#include "render/render.h"

namespace {

// Reference hashes, made with the drawing code as it stood before the frame's cost was
// cut, on Debian 12's Mesa (llvmpipe).
const std::map<std::string, uint64_t> references = {
#include "frame_pixels_refs.inc"
};

// FNV-1a over the RGB bytes of the back buffer, bottom row first.
uint64_t hashPixels(const unsigned char* bytes, size_t size)
{
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < size; i++) {
        h ^= bytes[i];
        h *= 1099511628211ull;
    }
    return h;
}

void dumpPpm(const std::string& name, int w, int h, const std::vector<unsigned char>& rgb)
{
    const char* dir = std::getenv("VOLKRIN_GL_DUMP");
    if (!dir)
        return;
    FILE* f = std::fopen((std::string(dir) + "/" + name + ".ppm").c_str(), "wb");
    if (!f)
        return;
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int row = h - 1; row >= 0; row--)
        std::fwrite(&rgb[static_cast<size_t>(row) * w * 3], 1, static_cast<size_t>(w) * 3, f);
    std::fclose(f);
}

// Draws one whole frame, reads it back before any swap and compares it with its reference.
uint64_t frameMatches(const std::string& name)
{
    drawFrame();
    const int w = windowWidth, h = windowHeight;
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << name;
    const uint64_t got = hashPixels(rgb.data(), rgb.size());
    dumpPpm(name, w, h, rgb);

    if (std::getenv("VOLKRIN_PIXELS_PRINT")) {
        std::printf("    {\"%s\", 0x%016" PRIx64 "ull},\n", name.c_str(), got);
        return got;
    }
    const auto ref = references.find(name);
    if (ref == references.end())
        ADD_FAILURE() << "no reference picture for " << name;
    else
        EXPECT_EQ(got, ref->second) << name << ": the frame's pixels changed";
    return got;
}

std::string suffix(int view, int ortho)
{
    return "-v" + std::to_string(view) + (ortho ? "-ortho" : "-persp");
}

// A ball in flight toward the opponent with spin on it, both paddles part way through a
// flash, at level 3 with two points.
void rallyState()
{
    resetGameState();
    rallyActive = 1;
    level = 3;
    lives = 4;
    levelPoints = 2;
    ballSpeedBase = 0.052f;
    ballX = 0.62f;
    ballY = -0.48f;
    ballZ = -1.73f;
    ballYaw = -158.0f;
    ballPitch = 101.0f;
    spinX = 14.0f;
    spinY = -9.0f;
    curveRate = 0.03f;
    playerX = 0.35f;
    playerY = -0.2f;
    opponentX = -0.4f;
    opponentY = 0.3f;
    playerFlash = 0.37f;
    opponentFlash = 0.61f;
}

// The rest after start-up: the ball at the serve position, one serve's base speed.
void restState()
{
    resetGameState();
    ballSpeedBase = 0.044f;
}

}  // namespace

class FramePixelsTest : public GlTest {};

TEST_F(FramePixelsTest, EveryViewAndProjectionAtRestAndMidRally)
{
    for (int ortho = 0; ortho <= 1; ortho++)
        for (int view = 0; view <= 4; view++) {
            restState();
            viewMode = view;
            orthographic = ortho;
            frameMatches("rest" + suffix(view, ortho));
            rallyState();
            viewMode = view;
            orthographic = ortho;
            frameMatches("rally" + suffix(view, ortho));
            // The opponent and the flashes have moved on: a second frame from there.
            frameMatches("rally-next" + suffix(view, ortho));
        }
}

TEST_F(FramePixelsTest, FlashesFadeFrameByFrame)
{
    for (int view : {0, 3}) {
        rallyState();
        viewMode = view;
        playerFlash = 1.0f;
        opponentFlash = 1.0f;
        for (int frame = 0; frame <= 36; frame++) {
            const std::string name = "flash" + suffix(view, 0) + "-" + std::to_string(frame);
            if (frame <= 2 || frame == 17 || frame >= 33)
                frameMatches(name);
            else
                drawFrame();
        }
    }
}

TEST_F(FramePixelsTest, WonLostAndTheShadowAtFloorAndCeiling)
{
    struct Case {
        const char* name;
        int won, lost;
        float x, y, z;
    };
    const Case cases[] = {
        {"won", 1, 0, -0.9f, 0.7f, -3.9f},   {"lost", 0, 1, 1.2f, -0.6f, 0.1f},
        {"both", 1, 1, 0.3f, 0.2f, -2.0f},   {"floor", 0, 0, -1.1f, -1.33f, -1.0f},
        {"ceiling", 0, 0, 1.4f, 1.34f, -3.2f}, {"beyond-far", 1, 0, 0.0f, 0.0f, -4.2f},
    };
    for (const Case& c : cases)
        for (int view : {0, 1, 4})
            for (int ortho = 0; ortho <= 1; ortho++) {
                rallyState();
                pointWon = c.won;
                pointLost = c.lost;
                ballX = c.x;
                ballY = c.y;
                ballZ = c.z;
                viewMode = view;
                orthographic = ortho;
                frameMatches(std::string(c.name) + suffix(view, ortho));
            }
}

TEST_F(FramePixelsTest, HeadsUpDisplayForLivesPointsAndLevels)
{
    for (int ortho = 0; ortho <= 1; ortho++)
        for (int lifeCount : {1, 5, 13})
            for (int points = 0; points <= 3; points++)
                for (int lvl : {1, 5, 13}) {
                    restState();
                    orthographic = ortho;
                    lives = lifeCount;
                    levelPoints = points;
                    level = lvl;
                    frameMatches("hud-lives" + std::to_string(lifeCount) + "-points" +
                                 std::to_string(points) + "-level" + std::to_string(lvl) +
                                 suffix(0, ortho));
                }
    // Groups of tally marks, and marks that run off the window's right edge.
    for (int lvl : {4, 6, 10, 53, 60}) {
        restState();
        level = lvl;
        frameMatches("hud-level" + std::to_string(lvl));
    }
}

TEST_F(FramePixelsTest, GameOverFadeDarkensLightensAndRestarts)
{
    for (int view : {0, 2})
        for (int ortho = 0; ortho <= 1; ortho++) {
            rallyState();
            viewMode = view;
            orthographic = ortho;
            lives = 0;
            pointLost = 1;
            rallyActive = 0;
            ballZ = 0.05f;
            gameOver = 1;
            fadeLevel = 1.0f;
            // 202 fade frames, then the first frame of the new game.
            for (int frame = 0; frame <= 202; frame++) {
                const std::string name =
                    "fade" + suffix(view, ortho) + "-" + std::to_string(frame);
                if (frame <= 2 || frame == 50 || (frame >= 99 && frame <= 103) ||
                    frame == 150 || frame >= 199)
                    frameMatches(name);
                else
                    drawFrame();
            }
            EXPECT_EQ(gameOver, 0);
        }
}

TEST_F(FramePixelsTest, WideWindowAndBack)
{
    const uint64_t before = (restState(), frameMatches("rest-v0-persp"));
    resizeWindow(800, 400);
    for (int ortho = 0; ortho <= 1; ortho++)
        for (int view : {0, 1, 3}) {
            restState();
            applyWindowSize(800, 400);
            viewMode = view;
            orthographic = ortho;
            frameMatches("wide-rest" + suffix(view, ortho));
            rallyState();
            applyWindowSize(800, 400);
            viewMode = view;
            orthographic = ortho;
            frameMatches("wide-rally" + suffix(view, ortho));
        }
    resizeWindow(500, 500);
    restState();
    EXPECT_EQ(frameMatches("rest-v0-persp"), before);
}

TEST_F(FramePixelsTest, ChangedCourtAndPaddlesAreDrawnAsTheyNowAre)
{
    // The usual court first, so that anything the drawing keeps from one frame to the next
    // has been made for it.
    for (int view : {0, 4}) {
        const auto setChangedCourt = [view] {
            rallyState();
            viewMode = view;
            arenaLeft = -1.5f;
            arenaRight = 1.6f;
            arenaBottom = -1.2f;
            arenaTop = 1.3f;
            arenaDepth = -3.5f;
            paddleLeft = -0.4f;
            paddleRight = 0.45f;
            paddleBottom = -0.3f;
            paddleTop = 0.35f;
        };
        rallyState();
        viewMode = view;
        frameMatches("court-usual" + suffix(view, 0));

        setChangedCourt();
        frameMatches("court-changed" + suffix(view, 0));

        rallyState();
        viewMode = view;
        frameMatches("court-usual-again" + suffix(view, 0));

        // The court changed while the drawing ran in feedback mode (as other tests use it):
        // the next real frame still shows the court as it now is.
        setChangedCourt();
        captureFeedback(drawArena);
        frameMatches("court-changed" + suffix(view, 0));
    }
}

namespace {

// What the window shows on the screen, read from the X server (not from a GL buffer): the
// colour bits only, since a 32-bit pixel's padding byte may differ between a scissored and
// a whole clear.
uint64_t screenHash()
{
    Display* const display = glXGetCurrentDisplay();
    XImage* image = XGetImage(display, glXGetCurrentDrawable(), 0, 0,
                              static_cast<unsigned>(windowWidth), static_cast<unsigned>(windowHeight),
                              AllPlanes, ZPixmap);
    if (!image)
        return 0;
    EXPECT_EQ(image->bits_per_pixel, 32);
    const uint32_t colour = static_cast<uint32_t>(image->red_mask | image->green_mask | image->blue_mask);
    uint64_t h = 14695981039346656037ull;  // FNV-1a, a whole pixel at a time
    for (int row = 0; row < image->height; row++) {
        const char* line = image->data + static_cast<size_t>(row) * image->bytes_per_line;
        for (int col = 0; col < image->width; col++) {
            uint32_t p;
            std::memcpy(&p, line + col * 4, sizeof p);
            h = (h ^ (p & colour)) * 1099511628211ull;
        }
    }
    XDestroyImage(image);
    return h;
}

struct Record {
    std::vector<GameSnapshot> states;  // after every event
    std::vector<uint64_t> screens;     // after every display call
    int skipped = 0;
    int partial = 0;
};

enum Presenting { allWhole, skipUnchanged, partialToo };

// One seeded storm of ticks, display calls, pointer motion, buttons, keys and real window
// resizes, from a fresh game. allWhole: every display call draws and swaps; otherwise they
// go through presentFrame, which may skip, and with partial frames on may redraw a part.
Record playStorm(unsigned seed, Presenting how)
{
    Record r;
    const bool skip = how != allWhole;
    resizeWindow(500, 500);
    resetGameState();
    partialFrames = how == partialToo;
    if (skip)
        watchExposures();
    std::mt19937 rng(seed);
    const auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char keys[] = "-=24568cprvCPRVx ";
    const int sizes[][2] = {{500, 500}, {800, 400}, {300, 450}};
    for (int event = 0; event < 1500; event++) {
        const int kind = below(100);
        if (kind < 30) {
            tickGame();
        } else if (kind < 65) {
            if (!skip) {
                drawFrame();
                glutSwapBuffers();
            } else if (!presentFrame()) {
                r.skipped++;
            } else if (lastPresentation() == partCopied) {
                r.partial++;
            }
            r.screens.push_back(screenHash());
        } else if (kind < 80) {  // half the time about the window's centre, where it serves
            const bool centre = below(2);
            followPointer(centre ? 200 + below(100) : below(900) - 200,
                          centre ? 200 + below(100) : below(700) - 100);
        } else if (kind < 87) {
            mouseButton(below(3), below(2), 0, 0);
        } else if (kind < 99) {
            keyCommand(static_cast<unsigned char>(keys[below(sizeof keys - 1)]));
        } else {
            const int* size = sizes[below(3)];
            resizeWindow(size[0], size[1]);
        }
        r.states.push_back(takeSnapshot());
    }
    partialFrames = false;
    resizeWindow(500, 500);
    return r;
}

// Two storms from the same seed: the same state after every event, the same colours on the
// screen after every display call.
void expectSameRun(const Record& expected, const Record& got)
{
    ASSERT_EQ(expected.states.size(), got.states.size());
    for (size_t i = 0; i < expected.states.size(); i++)
        ASSERT_TRUE(sameSnapshot(expected.states[i], got.states[i])) << "after event " << i;
    ASSERT_EQ(expected.screens.size(), got.screens.size());
    for (size_t i = 0; i < expected.screens.size(); i++)
        ASSERT_EQ(expected.screens[i], got.screens[i]) << "after display call " << i;
}

}  // namespace

// A display call that skips its frame, or redraws and presents only the rectangle where
// something moved, must leave the game exactly where drawing the whole frame would have, and
// the screen showing exactly the same colours: in rallies, every view, both projections and
// after real resizes.
TEST_F(FramePixelsTest, SkippingUnchangedFramesChangesNoStateAndNoPictureOnScreen)
{
    ASSERT_TRUE(partialFramesOffered()) << "llvmpipe offers GLX_MESA_copy_sub_buffer";
    for (unsigned seed : {7u, 2026u, 31337u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Record drawn = playStorm(seed, allWhole);
        const Record skipping = playStorm(seed, skipUnchanged);
        const Record partial = playStorm(seed, partialToo);
        expectSameRun(drawn, skipping);
        expectSameRun(drawn, partial);
        const int calls = static_cast<int>(drawn.screens.size());
        EXPECT_GT(skipping.skipped, calls / 10);
        EXPECT_GT(partial.partial, calls / 4);
        std::printf("seed %u: of %d display calls %d skipped; with partial frames %d partial\n",
                    seed, calls, skipping.skipped, partial.partial);
    }
}

// When the window's buffers and the rectangle disagree (the window grew under the copy), the
// X server refuses the copy with an error: the copy reports it, and the game lives on.
TEST_F(FramePixelsTest, CopyRefusedByTheServerIsReportedAndNotFatal)
{
    ASSERT_TRUE(partialFramesOffered());
    drawFrame();
    EXPECT_TRUE(copyToWindow({0, 0, 500, 500}));
    EXPECT_FALSE(copyToWindow({0, 0, 900, 900}));
    EXPECT_FALSE(copyToWindow({-10, -10, 490, 490}));
    EXPECT_TRUE(copyToWindow({100, 100, 200, 200}));
}

// The driver takes up the window's new size when it first draws after a swap. Resized just
// after a frame that moved the paddle (copied, with partial frames: no swap since the driver
// last drew, at the old size), the window shows, once the display calls after it have run,
// exactly what a whole frame at the new size shows, and then the frames stop.
TEST_F(FramePixelsTest, WindowResizedAfterACopiedFrameShowsTheWholePictureAtItsNewSize)
{
    for (bool partial : {false, true}) {
        SCOPED_TRACE(partial ? "partial frames" : "whole frames");
        resizeWindow(500, 500);
        restState();
        partialFrames = partial && partialFramesOffered();
        watchExposures();
        for (int i = 0; i < 10 && presentFrame(); i++) {
        }
        followPointer(300, 260);
        ASSERT_TRUE(presentFrame());
        ASSERT_EQ(lastPresentation() == partCopied || lastPresentation() == wholeCopied, partial);

        // As a window manager resizes it, and as freeglut then tells the game.
        Display* const display = glXGetCurrentDisplay();
        XResizeWindow(display, glXGetCurrentDrawable(), 660, 420);
        XSync(display, False);
        applyWindowSize(660, 420);
        for (int i = 0; i < 10; i++)
            presentFrame();
        EXPECT_FALSE(presentFrame()) << "still drawing at rest";
        const uint64_t shown = screenHash();
        for (int i = 0; i < 2; i++) {  // the second drawn at the size the first's swap took up
            drawFrame();
            glutSwapBuffers();
        }
        EXPECT_EQ(shown, screenHash()) << "not the whole picture at 660 x 420";
    }
    partialFrames = false;
    resizeWindow(500, 500);
}
