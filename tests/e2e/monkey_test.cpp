// A monkey at the controls: random keys, pointer motion in and far outside the window,
// random button presses and releases and window sizes down to 1x1, for a bounded time.
// The game must live through it, keep drawing (on llvmpipe, mostly partial frames), print
// exactly the lines of the keys it got, and quit with status 0 on q.
// VOLKRIN_MONKEY_SECONDS lengthens the storm (30 s by default); VOLKRIN_MONKEY_SEED replays one.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <random>
#include <set>

#include "harness.h"

namespace {

const unsigned long defaultSeed = 20261207;

double envNumber(const char* name, double fallback)
{
    const char* text = getenv(name);
    if (!text || !*text)
        return fallback;
    char* end = nullptr;
    const double value = strtod(text, &end);
    return end != text ? value : fallback;
}

// The game's keys and others. Never q: that is the one way out, kept for the end. Shift is
// the only modifier the monkey holds, so what each key does stays predictable.
const unsigned long monkeyKeys[] = {
    XK_minus, XK_equal, XK_2, XK_4, XK_5, XK_6, XK_8, XK_c, XK_m, XK_p, XK_r, XK_v, XK_F11,
    XK_a, XK_z, XK_x, XK_w, XK_0, XK_1, XK_3, XK_7, XK_9, XK_space, XK_comma, XK_period,
    XK_slash, XK_semicolon, XK_bracketleft, XK_Return, XK_Escape, XK_Tab, XK_BackSpace,
    XK_Delete, XK_Left, XK_Right, XK_Up, XK_Down, XK_F1, XK_F5, XK_F10, XK_F12, XK_Home,
    XK_End, XK_Page_Up, XK_Insert,
};

// The line the game prints for a key tapped with or without shift ("" for none).
std::string lineFor(unsigned long keysym, bool shift, int* curving, int* sound)
{
    if (keysym == XK_minus && !shift)
        return "LEVEL DOWN\n";
    if (keysym == XK_equal && !shift)
        return "LEVEL UP\n";
    if (keysym == XK_c) {
        *curving = 1 - *curving;
        return *curving ? "CURVING ON\n" : "CURVING OFF\n";
    }
    if (keysym == XK_m) {
        *sound = 1 - *sound;
        return *sound ? "SOUND ON\n" : "SOUND OFF\n";
    }
    return "";
}

}  // namespace

TEST(Monkey, RandomInputLeavesTheGameAliveDrawingAndQuitting)
{
    const double seconds = envNumber("VOLKRIN_MONKEY_SECONDS", 30);
    const char* seedText = getenv("VOLKRIN_MONKEY_SEED");
    const unsigned long seed = seedText && *seedText ? strtoul(seedText, nullptr, 10) : defaultSeed;
    SCOPED_TRACE("monkey seed " + std::to_string(seed) + " (set VOLKRIN_MONKEY_SEED to replay)");
    std::cout << "monkey seed " << seed << ", " << seconds << " s" << std::endl;

    GameRun run;
    run.environment = standInDriver();  // counts the partial frames' copies
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    Display* const display = run.display;
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));

    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

    std::string expected = "trying to load level.bmp\n";
    int curving = 1, sound = 1;
    bool shift = false;
    bool card = false;  // F1 shows the key card; Escape, p and the right button put it away
    std::set<unsigned> heldButtons;
    int width = 500, height = 500;
    long events = 0, keys = 0, motions = 0, buttons = 0, resizes = 0;
    int samples = 0, changedSamples = 0;
    Frame previous = grab(run);
    timespec lastSample = now();

    const timespec start = now();
    while (secondsSince(start) < seconds) {
        const int kind = below(100);
        if (kind < 30) {  // tap a key
            const unsigned long keysym = monkeyKeys[below(sizeof monkeyKeys / sizeof monkeyKeys[0])];
            keyEvent(display, keysym, true);
            keyEvent(display, keysym, false);
            expected += lineFor(keysym, shift, &curving, &sound);
            if (keysym == XK_F1)
                card = !card;
            else if (keysym == XK_Escape || keysym == XK_p)
                card = false;
            ++keys;
        } else if (kind < 34) {  // shift down or up
            shift = !shift;
            keyEvent(display, XK_Shift_L, shift);
            ++keys;
        } else if (kind < 60) {  // pointer inside the window
            movePointer(display, run.window, below(width + 1), below(height + 1));
            ++motions;
        } else if (kind < 70) {  // pointer anywhere on the screen, mostly far outside
            movePointerOnScreen(display, below(screenWidth), below(screenHeight));
            ++motions;
        } else if (kind < 94) {  // buttons: left, middle, right and the wheel
            const unsigned button = 1 + static_cast<unsigned>(below(5));
            const bool down = heldButtons.count(button) ? below(3) == 0 : below(3) != 0;
            pressButton(display, button, down);
            if (down && button == 3)
                card = false;
            if (down)
                heldButtons.insert(button);
            else
                heldButtons.erase(button);
            ++buttons;
        } else {  // a new window size, often a sliver or a single pixel
            const int shape = below(4);
            width = shape == 0 ? 1 : 1 + below(600);
            height = shape == 1 ? 1 : shape == 0 ? 1 + below(3) : 1 + below(600);
            XResizeWindow(display, run.window, static_cast<unsigned>(width), static_cast<unsigned>(height));
            XSync(display, False);
            ++resizes;
        }
        ++events;

        if (events % 100 == 0) {
            ASSERT_TRUE(processAlive(run.pid)) << "the game died after " << events << " events";
        }
        if (secondsSince(lastSample) > 0.5) {  // the picture keeps changing under the storm
            const Frame frame = grab(run);
            ++samples;
            changedSamples += sameFrame(frame, previous) ? 0 : 1;
            previous = frame;
            lastSample = now();
        }
        usleep(static_cast<useconds_t>(below(1500)));
    }

    // Let go of everything, give the window its size back and bring the game to a known
    // view: the key card put away, and the rally reset also ends a pause.
    for (unsigned button : heldButtons)
        pressButton(display, button, false);
    if (shift)
        keyEvent(display, XK_Shift_L, false);
    XResizeWindow(display, run.window, 500, 500);
    XSync(display, False);
    ASSERT_TRUE(processAlive(run.pid)) << "the game died at the end of the storm";
    EXPECT_TRUE(waitUntil([&] {
        const Geometry g = windowGeometry(display, run.window);
        return g.width == 500 && g.height == 500;
    }, 20));
    focusWindow(display, run.window);
    if (card)
        typeKeysym(display, XK_F1);
    typeKeys(display, "r5");

    std::cout << "monkey sent " << events << " events: " << keys << " keys, " << motions
              << " pointer motions, " << buttons << " button presses and releases, " << resizes
              << " resizes; the picture changed in " << changedSamples << " of " << samples
              << " samples" << std::endl;
    RecordProperty("events", static_cast<int>(events));
    EXPECT_GT(changedSamples, samples / 4);

    // Still drawing, full size: the heads-up display is back (a fade that the storm may have
    // started ends first), and the paddle goes where the pointer sends it, in whichever
    // projection the storm left behind.
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return f.width == 500 && hudShown(f); }, 60));
    movePointer(display, run.window, 330, 190);
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) {
        double x = 0, y = 0;
        paddleForPointer(330, 190, 500, 500, &x, &y);
        for (bool orthographic : {false, true}) {
            bool fill = true;
            for (double dx : {-0.3, 0.3}) {
                const Pixel p = orthographic ? orthographicView(x + dx, y + 0.25, 500, 500)
                                             : perspectiveView0(x + dx, y + 0.25, 0, 500, 500);
                fill = fill && isGreenTinted(pixelAt(f, static_cast<int>(p.x), static_cast<int>(p.y)));
            }
            if (fill)
                return true;
        }
        return false;
    }, 30));

    // On llvmpipe most frames under the storm are partial: redrawn and copied in part.
    std::cout << "frames presented: " << swapCount(run) << ", by a copy: " << copyCount(run)
              << std::endl;
    EXPECT_GT(copyCount(run), swapCount(run) / 4);
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), expected);
    EXPECT_EQ(readFile(run.dir + "/stderr.txt"), "");
}
