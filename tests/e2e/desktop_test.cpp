// The game on a desktop: full screen and back, the class, process and icon a desktop reads,
// no pointer over the play, and the pause when the window is minimised.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include "harness.h"

static bool placed(GameRun& run, int x, int y, int width, int height)
{
    return waitUntil([&] {
        const Geometry g = windowGeometry(run.display, run.window);
        return g.x == x && g.y == y && g.width == width && g.height == height && g.viewable;
    }, 20);
}

// The ball flies out and comes back, in a picture as wide as the window.
static bool rallyGoesOn(GameRun& run, int width)
{
    return waitForFrame(run, [&](const Frame& f) { return f.width == width && ballBeyond(f, -2.5); }, 20) &&
           waitForFrame(run, [&](const Frame& f) { return f.width == width && ballNearer(f, -1.0); }, 20);
}

// What xprop shows a desktop (class, process, icon sizes); then F11 and Escape. The pointer
// never moves (a window moved under it sends no motion), so the paddle stays at the court's
// centre and keeps returning the ball. The tests' screen is 1024 x 768.
TEST(Desktop, WindowCarriesItsClassAndIconAndF11TogglesFullScreenWhileTheRallyGoesOn)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    if (gameOnWindows()) {
        // Wine names the class after the program, and hands on the icon that freeglut gives
        // the window from the program's resources at the two sizes of a Windows title bar.
        const std::vector<unsigned long> icon = longProperty(run.display, run.window, "_NET_WM_ICON");
        ASSERT_GE(icon.size(), 2 + 32 * 32u);
        EXPECT_EQ(icon[0], 32u);
        EXPECT_EQ(icon[1], 32u);
        EXPECT_EQ(icon[2] & 0xff000000u, 0u);  // the transparent rounded corner
        EXPECT_EQ(longProperty(run.display, run.window, "_NET_WM_PID"),
                  std::vector<unsigned long>{static_cast<unsigned long>(run.pid)});
    } else {
        XClassHint hint = {nullptr, nullptr};
        ASSERT_TRUE(XGetClassHint(run.display, run.window, &hint));
        EXPECT_STREQ(hint.res_name, "volkrin");
        EXPECT_STREQ(hint.res_class, "Volkrin");
        XFree(hint.res_name);
        XFree(hint.res_class);
        EXPECT_EQ(longProperty(run.display, run.window, "_NET_WM_PID"),
                  std::vector<unsigned long>{static_cast<unsigned long>(run.pid)});

        // Width, height and pixels per size, back to back. Xlib widens each item to a long.
        const std::vector<unsigned long> icon = longProperty(run.display, run.window, "_NET_WM_ICON");
        std::vector<unsigned long> sizes;
        size_t at = 0, at64 = 0;
        for (; at + 2 <= icon.size() && icon[at] == icon[at + 1]; at += 2 + icon[at] * icon[at]) {
            sizes.push_back(icon[at]);
            at64 = icon[at] == 64 ? at + 2 : at64;
        }
        EXPECT_EQ(sizes, (std::vector<unsigned long>{16, 32, 48, 64, 128}));
        EXPECT_EQ(at, icon.size());
        // At 64 pixels, the drawing's own units: a transparent rounded corner and the ball's
        // opaque blue at (37, 31), as ARGB that is not premultiplied.
        ASSERT_GT(at64, 0u);
        EXPECT_EQ(icon[at64] & 0xff000000u, 0u);
        EXPECT_EQ(icon[at64 + 31 * 64 + 37] & 0xffffffffu, 0xff2450d8u);
    }

    ASSERT_TRUE(serveBall(run));
    for (const unsigned long leave : {XK_F11, XK_Escape}) {
        typeKeysym(run.display, XK_F11);
        EXPECT_TRUE(placed(run, 0, 0, 1024, 768));
        EXPECT_TRUE(rallyGoesOn(run, 1024));
        typeKeysym(run.display, leave);
        EXPECT_TRUE(placed(run, run.homeX, run.homeY, 500, 500));
        EXPECT_TRUE(rallyGoesOn(run, 500));
    }
    typeKeysym(run.display, XK_Escape);  // in a window: nothing
    typeKeys(run.display, "=");          // handled after it, as events arrive in order
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return tallyMarks(f) == 2; }, 20));
    EXPECT_TRUE(placed(run, run.homeX, run.homeY, 500, 500));
    EXPECT_EQ(quitGame(run), 0);
}

// What a window manager does to a window it minimises or brings back: the state it marks
// on the window (WM_STATE), which is all Wine goes by; the unmap is all freeglut's X11 build
// needs.
static void markWindowState(GameRun& run, long state)
{
    const Atom property = XInternAtom(run.display, "WM_STATE", False);
    const long data[2] = {state, None};  // the state, and no icon window
    XChangeProperty(run.display, run.window, property, property, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data), 2);
    XSync(run.display, False);
}

// No pointer over the play. Minimised (unmapped) for two seconds mid-rally, with the paddle
// away from the ball, the game is found paused: the ball in flight stands still, no life is
// lost, the pointer shows; p resumes and hides it again.
TEST(Desktop, PointerIsHiddenInPlayAndMinimisingPausesTheRally)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    ASSERT_TRUE(serveBall(run));
    EXPECT_TRUE(waitUntil([&] { return pointerInvisible(run.display); }, 10));
    const int spareLives = lifeSpheres(grab(run));
    movePointer(run.display, run.window, 3, 3);
    markWindowState(run, NormalState);  // as when it was mapped: Wine ignores the first mark
    markWindowState(run, IconicState);
    XUnmapWindow(run.display, run.window);
    ASSERT_TRUE(waitUntil([&] { return !windowGeometry(run.display, run.window).viewable; }, 10));
    sleep(2);  // long enough for the ball to come back and be missed
    markWindowState(run, NormalState);
    XMapWindow(run.display, run.window);
    ASSERT_TRUE(placed(run, run.homeX, run.homeY, 500, 500));
    focusWindow(run.display, run.window);

    Frame still;
    EXPECT_TRUE(waitUntil([&] {  // once the paddles' flashes have faded
        still = grab(run);
        usleep(500000);
        return sameFrame(still, grab(run));
    }, 10));
    EXPECT_EQ(lifeSpheres(still), spareLives);
    const double row = ballShadowRow(still);
    EXPECT_TRUE(row > 0 && !ballResting(still));
    EXPECT_TRUE(waitUntil([&] { return !pointerInvisible(run.display); }, 10));
    typeKeys(run.display, "p");
    EXPECT_TRUE(waitForFrame(run, [&](const Frame& f) { return ballShadowRow(f) != row; }, 10));
    EXPECT_TRUE(waitUntil([&] { return pointerInvisible(run.display); }, 10));
    EXPECT_EQ(quitGame(run), 0);
}

// A tiling window manager, or a desktop that opens windows maximised, resizes a new window
// the moment it is mapped: before, between or during the game's first frames. Soon after,
// the window holds the whole start picture at its new size (no black left where the first,
// smaller frame did not reach; the heads-up display where that size puts it), and stays so;
// at rest the game then draws nothing more. Many starts, to catch a race; a second resize
// comes 1 to 14 ms after the first, a different time at each start.
static void resizedAsMappedShowsTheWholePicture(const std::vector<WindowSize>& sizes)
{
    const WindowSize last = sizes.back();
    const int starts = 20;
    long mostFrames = 0;  // presented by the time the whole picture was seen
    for (int start = 0; start < starts; ++start) {
        SCOPED_TRACE("start " + std::to_string(start + 1));
        GameRun run;
        run.environment = standInDriver();
        std::string why;
        ASSERT_TRUE(launchGameResizedAtMapping(run, &why, sizes, 1 + start % 14)) << why;
        Frame frame;
        std::string reason;
        const auto whole = [&](const Frame& f) {
            if (f.width != last.width || f.height != last.height) {
                reason = "window at " + std::to_string(f.width) + " x " + std::to_string(f.height);
                return false;
            }
            if (blackArea(f)) {
                reason = "part of the window black";
                return false;
            }
            return startFrameShown(f, &reason);
        };
        ASSERT_TRUE(waitForFrame(run, whole, 10, &frame)) << reason;
        mostFrames = std::max(mostFrames, swapCount(run));
        usleep(300000);  // some 20 ticks at rest
        ASSERT_TRUE(sameFrame(grab(run), frame)) << "the whole picture did not stay";
        if (start == starts - 1) {
            EXPECT_TRUE(waitForNoFrames(run, 20)) << "still drawing at rest";
        }
    }
    std::printf("the whole picture seen after at most %ld frames presented\n", mostFrames);
}

TEST(Desktop, WindowResizedAsItIsMappedShowsTheWholePicture)
{
    resizedAsMappedShowsTheWholePicture({{700, 600}});
}

TEST(Desktop, WindowResizedTwiceWithinATickAsItIsMappedShowsTheWholePicture)
{
    resizedAsMappedShowsTheWholePicture({{640, 480}, {820, 620}});
}
