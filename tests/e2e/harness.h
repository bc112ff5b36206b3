// Plain helpers for the whole-game tests: a fresh directory with a level image, the real
// binary started there, its window found, its pixels read and real X input sent to it.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---- files ---------------------------------------------------------------------------

std::string makeGameDir();  // a fresh, empty temporary directory
void removeGameDir(const std::string& dir);
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<unsigned char>& bytes);

// A BMP of the given size whose header claims bitsPerPixel and planes; the pixel block
// holds width * height * 3 bytes (or fewer, to cut it short), starting at offset 54.
std::vector<unsigned char> makeBmp(int width, int height, int bitsPerPixel, int planes,
                                   long pixelBytes = -1);
// Puts dir/level.bmp in place: the project's image, or a made one while it is missing.
void putLevelBmp(const std::string& dir);

// ---- the game process ----------------------------------------------------------------

// The program started as the game: the build's binary, or VOLKRIN_GAME where that names
// another (the Windows build's launcher under Wine, scripts/test-windows.sh).
std::string gameProgram();
// Whether that game is the Windows build (VOLKRIN_GAME_PLATFORM=windows): the tests of what
// only X11 offers (the window's class and process id, partial frames) are skipped for it.
bool gameOnWindows();

// Starts the game binary in dir, stdout to dir/stdout.txt and stderr to dir/stderr.txt.
// extra: NAME=value entries for the game's environment; a name already set (LD_PRELOAD,
// ASAN_OPTIONS) gets the value added after a colon. program: another to start than
// gameProgram(), given args.
pid_t startGame(const std::string& dir, const std::vector<std::string>& args = {},
                const std::vector<std::string>& extra = {}, const std::string& program = "");
bool processAlive(pid_t pid);
// Waits for the process to end: its exit code, 128 + signal if a signal ended it, or -1
// after the timeout, in which case the process has been killed.
int waitExit(pid_t pid, double timeoutSeconds);
long residentKiB(pid_t pid);  // VmRSS from /proc; -1 when unreadable

// ---- X: windows, pixels, input -------------------------------------------------------

Display* openDisplay();  // also installs an error handler that records instead of exiting
unsigned long xErrorCount();  // X errors seen so far (a vanished window, a bad grab)
// The top-level window whose name is title, or 0 after the timeout.
Window findWindow(Display* display, const std::string& title, double timeoutSeconds);

struct Geometry {
    int x, y;  // top-left corner of the client area, in root coordinates
    int width, height;
    bool viewable;
};
Geometry windowGeometry(Display* display, Window window);

// A property of 32-bit items (cardinals, atoms) as xprop shows it; empty where none is set.
std::vector<unsigned long> longProperty(Display* display, Window window, const char* name);
// The pointer's current cursor as XFixes reads it: true when every pixel is transparent
// (no pointer to be seen), false when some show or the cursor cannot be read.
bool pointerInvisible(Display* display);

struct Rgb {
    int r, g, b;
};

struct Frame {  // the window's pixels, row by row from the top
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
};
Frame grabFrame(Display* display, Window window);  // empty when the grab fails
Rgb pixelAt(const Frame& frame, int x, int y);      // (-1, -1, -1) outside the frame
bool sameFrame(const Frame& a, const Frame& b);

// Pointer, buttons and keys through XTest. Positions are window pixels unless named so.
void movePointer(Display* display, Window window, int x, int y);
void movePointerOnScreen(Display* display, int x, int y);
void pressButton(Display* display, unsigned button, bool down);
void clickButton(Display* display, unsigned button);
void keyEvent(Display* display, unsigned long keysym, bool down);  // the bare key, no shift
void typeKeysym(Display* display, unsigned long keysym);  // press and release, shift as needed
void typeKeys(Display* display, const std::string& keys);  // each character typed once
void focusWindow(Display* display, Window window);

// Polls the condition every few milliseconds until it holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, double timeoutSeconds);
double secondsSince(const struct timespec& start);
struct timespec now();

// ---- where things land on the screen ------------------------------------------------

struct Pixel {
    double x, y;  // column and row from the top-left corner, fractional
};
// The camera behind the player with the perspective projection (eye at z 2.2, fovy 80).
Pixel perspectiveView0(double x, double y, double z, int width, int height);
// The orthographic projection: x in [-2w/h, 2w/h], y in [-2, 2] across the window; also
// where the heads-up display sits.
Pixel orthographicView(double x, double y, int width, int height);
// The court position of the paddle for a pointer at window pixel (px, py), clamped to the
// court as the game does.
void paddleForPointer(int px, int py, int width, int height, double* x, double* y);

// ---- what a player sees --------------------------------------------------------------

bool isWhite(Rgb c);
bool isBlack(Rgb c);
bool isGrey(Rgb c);          // r, g, b within a few steps of each other, neither end
bool isBlueish(Rgb c);       // the ball or a life sphere, also under a translucent paddle
bool isGreenTinted(Rgb c);   // the player's translucent paddle over anything light
int luminance(Rgb c);

int lifeSpheres(const Frame& frame);  // spheres in the row at the top left, counted from the left
int tallyMarks(const Frame& frame);   // vertical marks of the level counter, up to 4
bool hudShown(const Frame& frame);    // the points bar's outline is there
int brightestSample(const Frame& frame);  // the brightest of a grid of samples over the window
// Some square of 12 by 12 pixels is black throughout: part of the window that no frame has
// covered (the picture has no black wider than its thick outline).
bool blackArea(const Frame& frame);
// Pixels of the ball (blue-ish) in a square around the window's centre: about a thousand
// while it rests in front of the player's paddle, none once it has turned red or green.
int ballPixels(const Frame& frame);
// The row of the ball's shadow on the floor, down the window's centre column (the serve
// line, seen from behind the player): it tells how far down the court the ball is, and no
// paddle ever covers it there. -1 when there is none.
double ballShadowRow(const Frame& frame);
// Where that shadow lies for a ball at depth z (perspective, behind the player).
double shadowRowFor(double z, int width, int height);

// The ball's depth down the court, from its shadow (behind the player, perspective).
bool ballBeyond(const Frame& frame, double z);  // further from the player than z
bool ballNearer(const Frame& frame, double z);  // nearer to the player than z
bool ballResting(const Frame& frame);  // blue, big, at the centre: ready to serve
// The player's paddle centred at court (x, y): its translucent green fill shows around
// the centre (away from its circle, cross and outline) in the given projection.
bool paddleAt(const Frame& frame, double x, double y, bool orthographic);
bool paddleUnderPointer(const Frame& frame, int px, int py, bool orthographic);

// The first frame behind the player: white background, the thick near-end outline and
// lit wall panels where the camera puts them.
bool startFrameShown(const Frame& frame, std::string* why = nullptr);

// ---- a running game ------------------------------------------------------------------

// One started game with its window. The destructor kills a game that is still running,
// so an assertion that ends a test early leaves nothing behind.
struct GameRun {
    std::string dir;
    pid_t pid = -1;
    Display* display = nullptr;
    Window window = 0;
    int exitStatus = -2;  // set by quitGame / finishGame
    std::vector<std::string> environment;  // for startGame, set before launchGame
    std::string program;  // another game than gameProgram() (the Linux one beside Windows')
    // Where the picture sits at start: (100, 100) on X11. On Windows (100, 100) is the corner
    // of the frame that Windows draws around the picture; launchGame reads where it lies.
    int homeX = 100, homeY = 100;
    ~GameRun();
};

// Makes a directory with level.bmp, starts the game, finds its window and waits for the
// first frame. Returns false (with a reason) if any step fails within its time.
bool launchGame(GameRun& run, std::string* why, const std::vector<std::string>& args = {});
struct WindowSize {
    int width, height;
};
// As launchGame, but the window is given each size in turn the moment it is mapped, gapMs
// apart (as a tiling window manager, or a desktop that opens windows maximised, does);
// returns then, without waiting for a frame.
bool launchGameResizedAtMapping(GameRun& run, std::string* why, const std::vector<WindowSize>& sizes,
                                int gapMs = 0);
Frame grab(GameRun& run);
// Environment for launchGame that preloads the stand-in GL driver: it counts the frames the
// game presents (swapCount, copyCount) and logs the swap intervals asked for in the game's directory
// (swaps.log); with blankHz set it holds every swap for the next vertical blank of a display
// of that rate, unless the game asked for an interval of 0.
std::vector<std::string> standInDriver(int blankHz = 0);
long swapCount(const GameRun& run);  // frames presented: swaps and copies of part of a frame
long copyCount(const GameRun& run);  // of those, the copies
long openCount(const GameRun& run);  // sound devices the game tried to open
bool waitForFrame(GameRun& run, const std::function<bool(const Frame&)>& condition,
                  double timeoutSeconds, Frame* last = nullptr);
// With the stand-in driver: waits until the game presents no frame for 0.4 s; false if it
// is still presenting frames after the timeout.
bool waitForNoFrames(GameRun& run, double timeoutSeconds);
// Puts the paddle at the centre, waits for the resting ball and clicks until the ball is
// seen leaving; false if it never does.
bool serveBall(GameRun& run);
// Presses q and waits for the exit; returns the exit status (see waitExit).
int quitGame(GameRun& run, double timeoutSeconds = 20);
std::string gameOutput(const GameRun& run);
// What the game started in dir printed (dir/stdout.txt), its lines ended by a line feed alone.
std::string printedLines(const std::string& dir);
