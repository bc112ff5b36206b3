// The game on a desktop: full screen and back, the name, process and icon a desktop reads,
// no pointer over the play, and the pause when the window is minimised.
#include <gtest/gtest.h>

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include "harness.h"

namespace {

const Geometry windowed = {100, 100, 500, 500, true};

bool placed(GameRun& run, const Geometry& want)
{
    return waitUntil([&] {
        const Geometry g = windowGeometry(run.display, run.window);
        return g.x == want.x && g.y == want.y && g.width == want.width &&
               g.height == want.height && g.viewable;
    }, 20);
}

// The ball flies out and comes back again, in a picture of the window's full size.
bool rallyGoesOn(GameRun& run, int width, int height)
{
    auto sized = [&](const Frame& f) { return f.width == width && f.height == height; };
    return waitForFrame(run, [&](const Frame& f) { return sized(f) && ballBeyond(f, -2.5); }, 20) &&
           waitForFrame(run, [&](const Frame& f) { return sized(f) && ballNearer(f, -1.0); }, 20);
}

// Nothing on screen changes for half a second (once the paddles' flashes have faded).
bool standsStill(GameRun& run)
{
    return waitUntil([&] {
        const Frame before = grab(run);
        usleep(500000);
        return sameFrame(before, grab(run));
    }, 10);
}

}  // namespace

// The pointer never moves: a window moved or resized under it sends no motion, so the
// paddle stays at the court's centre and keeps returning the ball.
TEST(Desktop, F11CoversTheScreenAndBringsTheWindowBackWhileTheRallyGoesOn)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    ASSERT_TRUE(serveBall(run));
    const int screenWidth = DisplayWidth(run.display, DefaultScreen(run.display));
    const int screenHeight = DisplayHeight(run.display, DefaultScreen(run.display));

    typeKeysym(run.display, XK_F11);
    EXPECT_TRUE(placed(run, {0, 0, screenWidth, screenHeight, true}));
    EXPECT_TRUE(rallyGoesOn(run, screenWidth, screenHeight));
    typeKeysym(run.display, XK_F11);
    EXPECT_TRUE(placed(run, windowed));
    EXPECT_TRUE(rallyGoesOn(run, 500, 500));

    // Escape leaves full screen too, and otherwise does nothing.
    typeKeysym(run.display, XK_F11);
    EXPECT_TRUE(placed(run, {0, 0, screenWidth, screenHeight, true}));
    typeKeysym(run.display, XK_Escape);
    EXPECT_TRUE(placed(run, windowed));
    typeKeysym(run.display, XK_Escape);
    typeKeys(run.display, "=");  // handled after the Escape: events arrive in order
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return tallyMarks(f) == 2; }, 20));
    EXPECT_TRUE(placed(run, windowed));

    EXPECT_EQ(quitGame(run), 0);
}

// What xprop shows a desktop: the class its launcher names, the process, the icon's sizes.
TEST(Desktop, WindowCarriesItsClassProcessAndIcon)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;

    XClassHint hint = {nullptr, nullptr};
    ASSERT_TRUE(XGetClassHint(run.display, run.window, &hint));
    EXPECT_STREQ(hint.res_name, "volkrin");
    EXPECT_STREQ(hint.res_class, "Volkrin");
    XFree(hint.res_name);
    XFree(hint.res_class);

    EXPECT_EQ(longProperty(run.display, run.window, "_NET_WM_PID"),
              std::vector<unsigned long>{static_cast<unsigned long>(run.pid)});

    const std::vector<unsigned long> icon = longProperty(run.display, run.window, "_NET_WM_ICON");
    std::vector<unsigned long> sizes;
    size_t at = 0, icon64 = 0;
    while (at + 2 <= icon.size() && icon[at] == icon[at + 1]) {
        sizes.push_back(icon[at]);
        if (icon[at] == 64)
            icon64 = at + 2;
        at += 2 + icon[at] * icon[at];
    }
    EXPECT_EQ(sizes, (std::vector<unsigned long>{16, 32, 48, 64, 128}));
    EXPECT_EQ(at, icon.size());
    ASSERT_GT(icon64, 0u);
    // At 64 pixels the drawing's own units: a rounded, transparent corner and the ball's
    // opaque blue at (37, 31); ARGB, not premultiplied.
    EXPECT_EQ(icon[icon64] & 0xff000000u, 0u);
    EXPECT_EQ(icon[icon64 + 31 * 64 + 37] & 0xffffffffu, 0xff2450d8u);  // Xlib widens to long

    EXPECT_EQ(quitGame(run), 0);
}

TEST(Desktop, PointerIsHiddenOverThePlayAndShownWhenPaused)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    ASSERT_TRUE(serveBall(run));  // leaves the pointer over the window's centre
    EXPECT_TRUE(waitUntil([&] { return pointerInvisible(run.display); }, 10));
    typeKeys(run.display, "p");
    EXPECT_TRUE(waitUntil([&] { return !pointerInvisible(run.display); }, 10));
    clickButton(run.display, 3);  // the right button resumes
    EXPECT_TRUE(waitUntil([&] { return pointerInvisible(run.display); }, 10));
    // Off the window the desktop's own pointer shows, whatever the game's state.
    movePointerOnScreen(run.display, 5, 5);
    EXPECT_TRUE(waitUntil([&] { return !pointerInvisible(run.display); }, 10));

    EXPECT_EQ(quitGame(run), 0);
}

// Minimised (unmapped) for two seconds mid-rally, the game is found paused as the right
// button leaves it: the ball in flight stands still, no life is lost, and p resumes.
TEST(Desktop, MinimisedWindowPausesTheRally)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    ASSERT_TRUE(serveBall(run));
    const int spheres = lifeSpheres(grab(run));  // the lives in reserve
    ASSERT_GT(spheres, 0);
    movePointer(run.display, run.window, 3, 3);  // away from the ball's return

    XUnmapWindow(run.display, run.window);
    XSync(run.display, False);
    ASSERT_TRUE(waitUntil([&] { return !windowGeometry(run.display, run.window).viewable; }, 10));
    sleep(2);  // the time a ball needs to come back and be missed, several times over
    XMapWindow(run.display, run.window);
    XSync(run.display, False);
    ASSERT_TRUE(placed(run, windowed));
    focusWindow(run.display, run.window);

    EXPECT_TRUE(standsStill(run));
    Frame frame = grab(run);
    EXPECT_EQ(lifeSpheres(frame), spheres);
    EXPECT_FALSE(ballResting(frame));
    const double row = ballShadowRow(frame);
    EXPECT_GT(row, 0);
    typeKeys(run.display, "p");
    EXPECT_TRUE(waitForFrame(run, [&](const Frame& f) { return ballShadowRow(f) != row; }, 10))
        << "the ball did not move on after the pause";

    EXPECT_EQ(quitGame(run), 0);
}
