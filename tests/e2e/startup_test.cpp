// The game as it starts: its window and first frame, the ways a start can fail on the
// level image, and a command line that changes nothing; on Windows also its size at any
// display scaling and the box a player with no console sees.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <unistd.h>

#include <memory>

#include "harness.h"

namespace {

const char* const loadLine = "trying to load level.bmp\n";

struct FailedStart {
    int status = -1;
    std::string output;
    bool frameSeen = false;  // a drawn frame appeared while the process lived
};

// Starts the game in dir and watches its window, if it gets one, until it ends.
FailedStart startExpectingFailure(const std::string& dir)
{
    FailedStart result;
    Display* display = openDisplay();
    const pid_t pid = startGame(dir);
    const timespec start = now();
    while (processAlive(pid) && secondsSince(start) < 30) {
        if (display) {
            const Window window = findWindow(display, "Volkrin", 0);
            if (window && startFrameShown(grabFrame(display, window)))
                result.frameSeen = true;
        }
        usleep(2000);
    }
    result.status = waitExit(pid, 5);
    result.output = printedLines(dir);
    if (display)
        XCloseDisplay(display);
    return result;
}

// Sets an environment variable for this process and the games it starts, for the life of
// the object; then puts back what was there.
class Setting {
public:
    Setting(const char* name, const std::string& value) : name(name)
    {
        const char* const old = getenv(name);
        hadOne = old != nullptr;
        before = hadOne ? old : "";
        setenv(name, value.c_str(), 1);
    }
    ~Setting()
    {
        if (hadOne)
            setenv(name, before.c_str(), 1);
        else
            unsetenv(name);
    }

private:
    const char* name;
    std::string before;
    bool hadOne = false;
};

// A file of the Windows build: its launcher lies beside the game and the test helpers.
std::string windowsBuildFile(const std::string& name)
{
    const std::string launcher = gameProgram();
    return launcher.substr(0, launcher.rfind('/') + 1) + name;
}

// Wine's name for a file of this machine: the whole file system is drive Z.
std::string windowsPath(const std::string& path)
{
    std::string windows = "Z:" + path;
    for (char& c : windows)
        c = c == '/' ? '\\' : c;
    return windows;
}

std::string wineScript() { return std::string(VOLKRIN_TEST_DATA) + "/../scripts/wine.sh"; }

// A Wine prefix beside the tests' own whose display runs at the given dots per inch (the
// setting Windows keeps as LogPixels): made once, set each time.
std::string scaledPrefix(int dotsPerInch)
{
    std::string prefix;
    if (FILE* pipe = popen(("'" + wineScript() + "' --prefix").c_str(), "r")) {
        char line[4096] = "";
        if (fgets(line, sizeof line, pipe))
            prefix = std::string(line).substr(0, std::string(line).find('\n'));
        pclose(pipe);
    }
    prefix += "-" + std::to_string(dotsPerInch) + "dpi";
    const std::string set = "WINEPREFIX='" + prefix + "' '" + wineScript() +
                            "' reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d " +
                            std::to_string(dotsPerInch) + " /f >/dev/null";
    EXPECT_EQ(system(set.c_str()), 0) << set;
    return prefix;
}

}  // namespace

TEST(Startup, WindowTitledVolkrinIs500By500At100100)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;

    const Geometry g = windowGeometry(run.display, run.window);
    if (gameOnWindows()) {
        // The frame's corner is at (100, 100): the picture lies right of it by the frame's
        // edge and below it by the edge and the taller title bar.
        EXPECT_GT(g.x, 100);
        EXPECT_LE(g.x, 116);
        EXPECT_GT(g.y, g.x);
        EXPECT_LE(g.y, 164);
    } else {
        EXPECT_EQ(g.x, 100);
        EXPECT_EQ(g.y, 100);
    }
    EXPECT_EQ(g.width, 500);
    EXPECT_EQ(g.height, 500);
    EXPECT_TRUE(g.viewable);

    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), loadLine);
}

TEST(Startup, FirstFrameShowsTheCourtFromBehindThePlayer)
{
    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    const Frame frame = grab(run);
    ASSERT_EQ(frame.width, 500);
    EXPECT_TRUE(startFrameShown(frame, &why)) << why;

    // The player's paddle at the centre of the near end, translucent green over the court.
    for (double dx : {-0.3, 0.3}) {
        const Pixel p = perspectiveView0(dx, 0.25, 0, 500, 500);
        EXPECT_TRUE(isGreenTinted(pixelAt(frame, static_cast<int>(p.x), static_cast<int>(p.y))))
            << "player's paddle at court x " << dx;
    }
    // The opponent's paddle at the centre of the far end, translucent red, seen through
    // the player's.
    const Pixel opponent = perspectiveView0(0.35, 0.3, -4, 500, 500);
    const Rgb o = pixelAt(frame, static_cast<int>(opponent.x), static_cast<int>(opponent.y));
    EXPECT_GT(o.r, o.b + 30) << "opponent's paddle";
    // The resting ball, blue, at the centre.
    EXPECT_GT(ballPixels(frame), 600);
    EXPECT_GT(ballShadowRow(frame), shadowRowFor(-0.5, 500, 500));

    // Before the serve nothing moves: a third of a second of ticks later (some twenty
    // frames) the picture is the same.
    usleep(300000);
    EXPECT_TRUE(sameFrame(frame, grab(run)));

    EXPECT_EQ(quitGame(run), 0);
}

// A graphics card's driver holds every swap for the monitor's next blank unless asked not
// to, which would slow the game to the display's rate; the game asks before its first swap.
TEST(Startup, AsksTheDriverForSwapsThatDoNotWaitForTheBlank)
{
    GameRun run;
    run.environment = standInDriver(60);
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(readFile(run.dir + "/swaps.log"), "glXSwapIntervalEXT 0 after 0 swaps\n");
    EXPECT_EQ(gameOutput(run), loadLine);
}

TEST(Startup, MissingLevelImageEndsWithStatusOneBeforeAnyFrame)
{
    const std::string dir = makeGameDir();
    ASSERT_FALSE(dir.empty());
    const FailedStart result = startExpectingFailure(dir);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, std::string(loadLine) + "File Not Found : level.bmp\n");
    EXPECT_FALSE(result.frameSeen);
    removeGameDir(dir);
}

TEST(Startup, BrokenLevelImagesEndWithTheirMessageAndStatusOne)
{
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        const char* message;
    };
    const Case cases[] = {
        {"8 bits per pixel", makeBmp(4, 2, 8, 1), "Bpp from level.bmp is not 24: 8\n"},
        {"32 bits per pixel", makeBmp(4, 2, 32, 1), "Bpp from level.bmp is not 24: 32\n"},
        {"two planes", makeBmp(4, 2, 24, 2), "Planes from level.bmp is not 1: 2\n"},
        {"pixel data cut short", makeBmp(4, 2, 24, 1, 23), "Error reading image data from level.bmp.\n"},
        {"no pixel data", makeBmp(4, 2, 24, 1, 0), "Error reading image data from level.bmp.\n"},
        {"width 0", makeBmp(0, 2, 24, 1), "Error reading image data from level.bmp.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string dir = makeGameDir();
        ASSERT_FALSE(dir.empty());
        writeFile(dir + "/level.bmp", c.bytes);
        const FailedStart result = startExpectingFailure(dir);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.output, std::string(loadLine) + c.message);
        EXPECT_FALSE(result.frameSeen);
        removeGameDir(dir);
    }
}

// A player who starts the game from its shortcut sees no printed line: a box says what is
// wrong, the folder where the game looked and what to do; OK ends the game with status 1.
// The box is read from the screen by a Windows program of the tests, which starts the game
// as a shortcut does (tests/windows/read_message_box.cpp).
TEST(Startup, WindowsBoxForAnUnusableLevelImageSaysWhatIsWrongWhereItLookedAndWhatToDo)
{
    if (!gameOnWindows())
        GTEST_SKIP() << "a message box for a player with no console: Windows";
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;  // none: no level.bmp at all
        const char* wrong;
        const char* remedy;
        const char* printed;
    };
    const Case cases[] = {
        {"missing", {}, "is missing", "Put level.bmp back in that folder, or reinstall Volkrin.",
         "File Not Found : level.bmp"},
        {"8 bits per pixel", makeBmp(4, 2, 8, 1), "is not saved as a BMP picture in 24-bit colour",
         "Put back the level.bmp that came with Volkrin, or reinstall Volkrin.",
         "Bpp from level.bmp is not 24: 8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string dir = makeGameDir();
        ASSERT_FALSE(dir.empty());
        if (!c.bytes.empty())
            writeFile(dir + "/level.bmp", c.bytes);
        const pid_t reader = startGame(dir, {windowsBuildFile("read_message_box.exe"),
                                             windowsPath(windowsBuildFile("volkrin.exe"))},
                                       {}, wineScript());
        EXPECT_EQ(waitExit(reader, 120), 0);
        EXPECT_EQ(readFile(dir + "/stdout.txt"),
                  std::string("Volkrin\n") + "Volkrin cannot start: its level image, level.bmp, " +
                      c.wrong + ".\n\nThe game looked for it in this folder:\n" + windowsPath(dir) +
                      "\n\n" + c.remedy + "\n\nDetails: " + c.printed + "\nexit 1\n");
        removeGameDir(dir);
    }
}

// Windows scales displays per monitor, and the game draws its own pixels at any scaling.
// Under Wine the scaling is the prefix's (LogPixels): at 96 dots per inch (100 %, the
// prefix every test uses) the window opens at 500 x 500 as ever; at 144 (150 %, a prefix of
// its own, so no other test sees it) at 750 x 750, as large on screen. Either way its start
// frame is the very picture the Linux build draws in a window of that size: drawn at full
// size, not stretched. On the Xvfb's second screen, 1920 x 1080, where 750 fits.
TEST(Startup, WindowsWindowIsAsLargeOnScreenAtAnyScalingAndDrawnAtItsFullSize)
{
    if (!gameOnWindows())
        GTEST_SKIP() << "display scaling per monitor: Windows";
    const std::string display = getenv("DISPLAY") ? getenv("DISPLAY") : "";
    const std::string server = display.substr(0, display.find('.', display.find(':')));
    const Setting largeScreen("DISPLAY", server + ".1");
    Display* const screen = XOpenDisplay(nullptr);
    ASSERT_NE(screen, nullptr) << "no second screen on the tests' Xvfb (tests/xvfb-run.sh)";
    EXPECT_EQ(DisplayWidth(screen, DefaultScreen(screen)), 1920);
    XCloseDisplay(screen);

    struct Scaling {
        int dotsPerInch;
        int size;  // pixels, wide and high
    };
    for (const Scaling scaling : {Scaling{96, 500}, Scaling{144, 750}}) {
        SCOPED_TRACE(std::to_string(scaling.dotsPerInch) + " dots per inch");
        std::unique_ptr<Setting> prefix;
        if (scaling.dotsPerInch != 96)
            prefix = std::make_unique<Setting>("WINEPREFIX", scaledPrefix(scaling.dotsPerInch));
        GameRun windows;
        std::string why;
        ASSERT_TRUE(launchGame(windows, &why)) << why;
        const Geometry g = windowGeometry(windows.display, windows.window);
        EXPECT_EQ(g.width, scaling.size);
        EXPECT_EQ(g.height, scaling.size);
        const Frame picture = grab(windows);
        EXPECT_EQ(quitGame(windows), 0);

        GameRun onLinux;
        onLinux.program = VOLKRIN_BINARY;
        ASSERT_TRUE(launchGame(onLinux, &why)) << why;
        XResizeWindow(onLinux.display, onLinux.window, static_cast<unsigned>(scaling.size),
                      static_cast<unsigned>(scaling.size));
        Frame reference;
        EXPECT_TRUE(waitForFrame(onLinux, [&](const Frame& f) {
            return f.width == scaling.size && f.height == scaling.size && startFrameShown(f);
        }, 20, &reference));
        EXPECT_EQ(quitGame(onLinux), 0);
        long differing = picture.width == reference.width && picture.height == reference.height
                             ? 0 : -1;
        for (size_t i = 0; differing >= 0 && i < picture.pixels.size(); ++i) {
            const Rgb p = picture.pixels[i], q = reference.pixels[i];
            differing += p.r != q.r || p.g != q.g || p.b != q.b;
        }
        EXPECT_EQ(differing, 0) << "pixels unlike the Linux build's (-1: another size)";
    }
}

TEST(Startup, CommandLineArgumentsChangeNothing)
{
    Frame plain;
    std::string plainOutput;
    {
        GameRun run;
        std::string why;
        ASSERT_TRUE(launchGame(run, &why)) << why;
        typeKeys(run.display, "=");
        ASSERT_TRUE(waitForFrame(run, [](const Frame& f) { return tallyMarks(f) == 2; }, 20, &plain));
        ASSERT_EQ(quitGame(run), 0);
        plainOutput = gameOutput(run);
    }

    GameRun run;
    std::string why;
    ASSERT_TRUE(launchGame(run, &why, {"--level", "7", "-v", "two words", "other.bmp", "-"})) << why;
    typeKeys(run.display, "=");
    Frame withArguments;
    ASSERT_TRUE(waitForFrame(run, [](const Frame& f) { return tallyMarks(f) == 2; }, 20, &withArguments));
    EXPECT_TRUE(sameFrame(plain, withArguments));
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), plainOutput);
    EXPECT_EQ(plainOutput, std::string(loadLine) + "LEVEL UP\n");
}

// The Windows installer, run silently under Wine: the game lands in Program Files with a
// Start-menu shortcut that starts it in its own folder, where it finds level.bmp and quits
// with status 0, and with its entry in Apps & features; the uninstaller takes it all away.
TEST(Startup, WindowsInstallerPutsAGameThatStartsInItsFolderAndUninstallerRemovesIt)
{
    const char* installer = getenv("VOLKRIN_WINDOWS_INSTALLER");
    if (!installer || !*installer)
        GTEST_SKIP() << "for the Windows build: VOLKRIN_WINDOWS_INSTALLER names its installer";
    const std::string wine = std::string(VOLKRIN_TEST_DATA) + "/../scripts/wine.sh";
    const auto output = [](const std::string& command) {
        std::string text;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[4096];
            for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
                text.append(buffer, n);
            pclose(pipe);
        }
        return text;
    };
    std::string prefix = output("'" + wine + "' --prefix");
    prefix.erase(prefix.find_last_not_of('\n') + 1);
    const std::string folder = prefix + "/drive_c/Program Files/Volkrin";
    const std::string shortcut =
        prefix + "/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Volkrin.lnk";
    const std::string entry =
        "'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Volkrin'";

    ASSERT_EQ(system(("'" + wine + "' '" + installer + "' /S").c_str()), 0);
    for (const char* file : {"volkrin.exe", "libfreeglut.dll", "OpenAL32.dll", "level.bmp",
                             "alsoft.ini", "LICENSE.txt", "licenses/SOURCES.txt", "uninstall.exe"})
        EXPECT_EQ(access((folder + "/" + file).c_str(), R_OK), 0) << file;
    // The shortcut's working folder, as Windows keeps it: UTF-16 text in the .lnk file.
    std::string wide;
    for (char c : std::string("C:\\Program Files\\Volkrin"))
        wide += std::string(1, c) + '\0';
    EXPECT_NE(readFile(shortcut).find(wide), std::string::npos) << shortcut;
    const std::string registered = output("'" + wine + "' reg query " + entry);
    for (const char* value : {"Volkrin", VOLKRIN_VERSION, "The Volkrin developers",
                              "C:\\Program Files\\Volkrin\\volkrin.exe,0", "uninstall.exe"})
        EXPECT_NE(registered.find(value), std::string::npos) << value << " in " << registered;

    GameRun run;
    run.display = openDisplay();
    ASSERT_NE(run.display, nullptr);
    movePointerOnScreen(run.display, 1000, 750);  // off the window, as launchGame does
    run.pid = startGame(folder, {folder + "/volkrin.exe"}, {}, wine);
    run.window = findWindow(run.display, "Volkrin", 60);
    ASSERT_NE(run.window, 0u);
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return startFrameShown(f); }, 60));
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(printedLines(folder), loadLine);
    unlink((folder + "/stdout.txt").c_str());
    unlink((folder + "/stderr.txt").c_str());

    // The uninstaller runs on from a copy of itself, so that it can remove its own file.
    ASSERT_EQ(system(("'" + wine + "' '" + folder + "/uninstall.exe' /S").c_str()), 0);
    EXPECT_TRUE(waitUntil([&] { return access(folder.c_str(), F_OK) != 0; }, 60)) << folder;
    EXPECT_NE(access(shortcut.c_str(), F_OK), 0);
    EXPECT_EQ(output("'" + wine + "' reg query " + entry).find("DisplayVersion"), std::string::npos);
}
