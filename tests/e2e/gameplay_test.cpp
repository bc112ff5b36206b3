// The game played as a person plays it: keys and their printed lines, the paddle under the
// pointer, cameras, pause, a served ball rallying, a missed ball and a lost game, and what
// the window says: captions, the pause sign and the key card.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "harness.h"

namespace {

const char* const loadLine = "trying to load level.bmp\n";
const int side = 500;  // the window's width and height

// Serves, lets the ball go well past the paddle's neighbourhood (so that moving the paddle
// puts no spin on it) and takes the paddle to the top-left corner, away from its return.
bool serveAndMiss(GameRun& run)
{
    if (!serveBall(run) || !waitForFrame(run, [](const Frame& f) { return ballBeyond(f, -1.0); }, 10))
        return false;
    movePointer(run.display, run.window, 3, 3);
    return true;
}

}  // namespace

TEST(Gameplay, KeysPrintTheirLinesInOrderAndQuitEndsWithStatusZero)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;

    // Level down at level 1, up, shifted '=' (nothing), up, shifted '-' (nothing), down,
    // curving off and on again in both cases, and keys without a command.
    typeKeys(run.display, "-=+=_-cCx9");
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return tallyMarks(f) == 2; }, 20))
        << "the counter should show level 2";

    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), std::string(loadLine) +
                                   "LEVEL DOWN\nLEVEL UP\nLEVEL UP\nLEVEL DOWN\n"
                                   "CURVING OFF\nCURVING ON\n");
}

TEST(Gameplay, CapitalQQuitsToo)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    typeKeys(run.display, "C");
    typeKeys(run.display, "Q");
    run.exitStatus = waitExit(run.pid, 20);
    run.pid = -1;
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(gameOutput(run), std::string(loadLine) + "CURVING OFF\n");
}

TEST(Gameplay, PaddleFollowsThePointer)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;

    // Perspective: the paddle lies in the near end of the court, so it is drawn where the
    // camera puts the court position the pointer maps to, not exactly under the pointer.
    const int spots[][2] = {{350, 150}, {120, 400}, {250, 250}, {0, 0}, {499, 499}, {400, 260}};
    for (const auto& spot : spots) {
        SCOPED_TRACE("pointer at " + std::to_string(spot[0]) + "," + std::to_string(spot[1]));
        movePointer(run.display, run.window, spot[0], spot[1]);
        EXPECT_TRUE(waitForFrame(run, [&](const Frame& f) { return paddleUnderPointer(f, spot[0], spot[1], false); }, 20));
    }
    // Dragged with a button held (the middle one, which does nothing else), the pointer
    // still moves the paddle when it leaves the window; far outside, the paddle stays
    // held in the court's corner on that side.
    pressButton(run.display, 2, true);
    movePointerOnScreen(run.display, 0, 0);
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return paddleAt(f, -1.25, 1.1, false); }, 20));
    movePointerOnScreen(run.display, 1020, 760);
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return paddleAt(f, 1.25, -1.1, false); }, 20));
    pressButton(run.display, 2, false);

    // Orthographic: the paddle's centre, where its cross is drawn, is under the pointer.
    typeKeys(run.display, "v");
    const int orthoSpots[][2] = {{300, 200}, {180, 330}};
    for (const auto& spot : orthoSpots) {
        SCOPED_TRACE("orthographic, pointer at " + std::to_string(spot[0]) + "," + std::to_string(spot[1]));
        movePointer(run.display, run.window, spot[0], spot[1]);
        Frame frame;
        EXPECT_TRUE(waitForFrame(run, [&](const Frame& f) { return paddleUnderPointer(f, spot[0], spot[1], true); }, 20, &frame));
        bool crossUnderPointer = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                crossUnderPointer = crossUnderPointer || isBlack(pixelAt(frame, spot[0] + dx, spot[1] + dy));
        EXPECT_TRUE(crossUnderPointer);
    }
    EXPECT_EQ(quitGame(run), 0);
}

TEST(Gameplay, PauseByKeyOrRightButtonHoldsThePaddle)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    movePointer(run.display, run.window, 150, 150);
    ASSERT_TRUE(waitForFrame(run, [](const Frame& f) { return paddleUnderPointer(f, 150, 150, false); }, 20));

    // Paused, the pointer moves but the paddle stays. The level key after the motion shows
    // when the motion has been handled: events arrive in order.
    typeKeys(run.display, "p");
    movePointer(run.display, run.window, 350, 350);
    typeKeys(run.display, "=");
    Frame frame;
    ASSERT_TRUE(waitForFrame(run, [](const Frame& f) { return tallyMarks(f) == 2; }, 20, &frame));
    EXPECT_TRUE(paddleUnderPointer(frame, 150, 150, false));
    EXPECT_FALSE(paddleUnderPointer(frame, 350, 350, false));

    // Unpaused, the next motion brings the paddle to the pointer.
    typeKeys(run.display, "p");
    movePointer(run.display, run.window, 340, 340);
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return paddleUnderPointer(f, 340, 340, false); }, 20));

    // The right button pauses the same way, and resumes.
    clickButton(run.display, 3);
    movePointer(run.display, run.window, 160, 330);
    typeKeys(run.display, "=");
    ASSERT_TRUE(waitForFrame(run, [](const Frame& f) { return tallyMarks(f) == 3; }, 20, &frame));
    EXPECT_TRUE(paddleUnderPointer(frame, 340, 340, false));
    clickButton(run.display, 3);
    movePointer(run.display, run.window, 170, 320);
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return paddleUnderPointer(f, 170, 320, false); }, 20));

    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), std::string(loadLine) + "LEVEL UP\nLEVEL UP\n");
}

// Paused mid-rally nothing on screen moves: once the flashes have faded the game swaps no
// more frames, yet a window laid over it and taken away again leaves the picture as it was.
TEST(Gameplay, PausedGameStopsSwappingAndRepaintsWhenUncovered)
{
    GameRun run;
    run.environment = standInDriver();  // a driver that offers no swap control
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    ASSERT_TRUE(serveBall(run));
    typeKeys(run.display, "p");
    long swaps = swapCount(run);
    EXPECT_TRUE(waitUntil([&] {
        usleep(400000);  // some 27 ticks, far more than the flash's 34 frames leave
        const long before = swaps;
        swaps = swapCount(run);
        return swaps == before;
    }, 20)) << "still swapping while paused";
    const Frame paused = grab(run);

    // An override-redirect window in a colour the game never draws, over the whole game.
    Display* const d = run.display;
    const Window cover = XCreateSimpleWindow(d, DefaultRootWindow(d), 50, 50, 600, 600, 0, 0,
                                             0xff00ff);
    XSetWindowAttributes attributes;
    attributes.override_redirect = True;
    XChangeWindowAttributes(d, cover, CWOverrideRedirect, &attributes);
    XMapRaised(d, cover);
    XSync(d, False);
    const Geometry g = windowGeometry(d, run.window);
    EXPECT_TRUE(waitUntil([&] {
        const Rgb c = pixelAt(grabFrame(d, DefaultRootWindow(d)), g.x + side / 2, g.y + side / 2);
        return c.r == 255 && c.g == 0 && c.b == 255;
    }, 10)) << "the cover is not on the screen";
    XDestroyWindow(d, cover);
    XSync(d, False);
    EXPECT_TRUE(waitForFrame(run, [&](const Frame& f) { return sameFrame(f, paused); }, 10));
    EXPECT_GT(swapCount(run), swaps);

    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(readFile(run.dir + "/swaps.log"), "") << "asked for a swap interval no driver offered";
}

TEST(Gameplay, CamerasAndProjectionChangeThePicture)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    const Frame start = grab(run);

    // The side, below and above cameras: a bare wire frame without lit walls or HUD.
    for (const char* key : {"4", "6", "2", "8"}) {
        SCOPED_TRACE(std::string("camera key ") + key);
        typeKeys(run.display, key);
        Frame frame;
        EXPECT_TRUE(waitForFrame(run, [](const Frame& f) {
            if (f.width != side || hudShown(f))
                return false;
            for (const Rgb& c : f.pixels)
                if (isGrey(c))
                    return false;
            return true;
        }, 20, &frame));
    }
    // Back behind the player nothing has moved: the very first picture again.
    typeKeys(run.display, "5");
    EXPECT_TRUE(waitForFrame(run, [&](const Frame& f) { return sameFrame(f, start); }, 20));

    // Orthographic from behind: the court's depth collapses, so the near-end outline sits
    // at x = +-1.75 on the orthographic scale and no wall panel shows.
    typeKeys(run.display, "v");
    Frame ortho;
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) {
        const Pixel left = orthographicView(-1.75, 0.5, side, side);
        const Pixel farWall = perspectiveView0(-1.76, 0, -3.25, side, side);
        return f.width == side && isBlack(pixelAt(f, static_cast<int>(left.x), static_cast<int>(left.y))) &&
               isWhite(pixelAt(f, static_cast<int>(farWall.x), static_cast<int>(farWall.y))) && hudShown(f);
    }, 20, &ortho));
    typeKeys(run.display, "v");
    EXPECT_TRUE(waitForFrame(run, [&](const Frame& f) { return sameFrame(f, start); }, 20));
    EXPECT_EQ(quitGame(run), 0);
}

// Also: on llvmpipe the rally's frames are presented by copies of the part that moved, and
// each copy counts as a frame: one per tick (on Linux; Windows swaps whole frames).
TEST(Gameplay, ServedBallRalliesOnTheCentreLine)
{
    GameRun run;
    run.environment = standInDriver();
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    ASSERT_TRUE(serveBall(run)) << "the ball did not leave the paddle";

    // With the pointer still, the opponent and the player return the ball straight down
    // the centre line: it keeps coming back, and no life is lost.
    int returns = 0;
    bool far = false;  // the ball has only just left the paddle
    int fewestLives = 4;
    const timespec start = now();
    while (returns < 3 && secondsSince(start) < 90) {
        const Frame frame = grab(run);
        fewestLives = std::min(fewestLives, lifeSpheres(frame));
        if (far && ballNearer(frame, -1.0)) {
            far = false;
            ++returns;
        } else if (!far && ballBeyond(frame, -3.0)) {
            far = true;
        }
    }
    EXPECT_EQ(returns, 3) << "the ball came back " << returns << " times";
    const long frames = swapCount(run), copies = copyCount(run);
    const double seconds = secondsSince(start);
    EXPECT_GT(frames, seconds * 30) << frames << " frames in " << seconds << " s";
    if (gameOnWindows())
        EXPECT_EQ(copies, 0) << "Windows offers no partial frames: every frame is swapped whole";
    else
        EXPECT_GT(copies, frames * 3 / 4) << copies << " of " << frames << " frames were copies";
    EXPECT_EQ(fewestLives, 4);
    EXPECT_EQ(lifeSpheres(grab(run)), 4);
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), loadLine);
}

TEST(Gameplay, MissedBallCostsALife)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    ASSERT_TRUE(serveAndMiss(run));
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return lifeSpheres(f) == 3 && hudShown(f); }, 30));
    // A second later the ball rests, blue, at the serve position again.
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return ballResting(f); }, 20));
    EXPECT_EQ(lifeSpheres(grab(run)), 3);
    EXPECT_EQ(quitGame(run), 0);
}

TEST(Gameplay, LosingTheLastLifeFadesOutAndStartsANewGame)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    typeKeys(run.display, "==");
    ASSERT_TRUE(waitForFrame(run, [](const Frame& f) { return tallyMarks(f) == 3; }, 20));

    for (int spheres = 3; spheres >= 0; --spheres) {
        SCOPED_TRACE(std::to_string(spheres) + " spheres left");
        ASSERT_TRUE(serveAndMiss(run));
        ASSERT_TRUE(waitForFrame(run, [&](const Frame& f) { return hudShown(f) && lifeSpheres(f) == spheres; }, 30));
    }
    // The last life: the whole window darkens, then a new game appears at level 1 with
    // four spare lives.
    ASSERT_TRUE(serveAndMiss(run));
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return f.width == side && brightestSample(f) < 40; }, 30));
    Frame frame;
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return hudShown(f) && brightestSample(f) > 200; }, 30, &frame));
    EXPECT_EQ(lifeSpheres(frame), 4);
    EXPECT_EQ(tallyMarks(frame), 1);
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), std::string(loadLine) + "LEVEL UP\nLEVEL UP\n");
}

namespace {

// Pixels that differ between two frames in the rows between heads-up heights top and bottom.
int differingPixels(const Frame& a, const Frame& b, double top = 2, double bottom = -2)
{
    const int from = static_cast<int>(orthographicView(0, top, a.width, a.height).y);
    const int to = static_cast<int>(orthographicView(0, bottom, a.width, a.height).y);
    int n = 0;
    for (int y = std::max(from, 0); y < std::min(to, a.height); ++y)
        for (int x = 0; x < a.width; ++x) {
            const Rgb p = pixelAt(a, x, y), q = pixelAt(b, x, y);
            n += p.r != q.r || p.g != q.g || p.b != q.b;
        }
    return n;
}

}  // namespace

// F1 mid-rally: the key card covers the court and the rally pauses; Escape puts the card away
// and leaves the game paused under its sign; p plays on. Paused, no frames are drawn.
TEST(Gameplay, KeyCardPausesTheRallyAndEscapeLeavesItPaused)
{
    GameRun run;
    run.environment = standInDriver();
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    ASSERT_TRUE(serveBall(run));
    const Frame playing = grab(run);
    typeKeysym(run.display, XK_F1);
    Frame card, sign;
    ASSERT_TRUE(waitForFrame(run, [&](const Frame& f) { return differingPixels(f, playing, 1.25, -1.5) > 60000; }, 20, &card));
    EXPECT_TRUE(waitForNoFrames(run, 20)) << "the rally goes on under the card";
    typeKeysym(run.display, XK_Escape);
    // The word PAUSED across the middle, where the card was.
    ASSERT_TRUE(waitForFrame(run, [&](const Frame& f) { return differingPixels(f, card) > 60000 && differingPixels(f, playing, 0.45, 0.05) > 3000; }, 20, &sign));
    EXPECT_TRUE(waitForNoFrames(run, 20)) << "the game went on after the card closed";
    EXPECT_EQ(windowGeometry(run.display, run.window).width, side) << "Escape did more than close the card";
    typeKeys(run.display, "p");
    EXPECT_TRUE(waitForFrame(run, [&](const Frame& f) { return differingPixels(f, sign, 0.45, 0.05) > 3000; }, 20));
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), loadLine);
}

// A key's printed line shows at the top of the window, fades and goes; from then on a game
// at rest draws no more frames.
TEST(Gameplay, CaptionAfterAKeyFadesAndThenNoFramesAreDrawn)
{
    GameRun run;
    run.environment = standInDriver();
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    const Frame start = grab(run);
    const timespec pressed = now();
    typeKeys(run.display, "c");
    EXPECT_TRUE(waitForFrame(run, [&](const Frame& f) { return differingPixels(f, start, 1.6, 1.2) > 500 && differingPixels(f, start, 1.2, -2) == 0; }, 20));
    EXPECT_TRUE(waitForFrame(run, [&](const Frame& f) { return sameFrame(f, start); }, 30));
    EXPECT_TRUE(waitForNoFrames(run, 20)) << "still drawing at rest";
    std::printf("caption gone and frames stopped %.2f s after the key\n", secondsSince(pressed));
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), std::string(loadLine) + "CURVING OFF\n");
}
