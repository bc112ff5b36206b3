// Plain helpers for the whole-game tests: files, the game process, its window, its pixels
// and real X input through XTest.
#include "harness.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

// ---- files ---------------------------------------------------------------------------

std::string makeGameDir()
{
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/volkrin-e2e-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()))
        return "";
    return name.data();
}

void removeGameDir(const std::string& dir)
{
    if (dir.empty() || getenv("VOLKRIN_E2E_KEEP"))
        return;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* entry = readdir(d)) {
            if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
                unlink((dir + "/" + entry->d_name).c_str());
        }
        closedir(d);
    }
    rmdir(dir.c_str());
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

static void putLE(std::vector<unsigned char>& bytes, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<unsigned char>((value >> (8 * i)) & 0xff));
}

std::vector<unsigned char> makeBmp(int width, int height, int bitsPerPixel, int planes,
                                   long pixelBytes)
{
    const long fullBytes = static_cast<long>(width) * height * 3;
    if (pixelBytes < 0)
        pixelBytes = fullBytes;
    std::vector<unsigned char> bytes;
    bytes.push_back('B');
    bytes.push_back('M');
    putLE(bytes, static_cast<uint32_t>(54 + fullBytes), 4);  // file size
    putLE(bytes, 0, 4);                                        // reserved
    putLE(bytes, 54, 4);                                       // pixel data offset
    putLE(bytes, 40, 4);                                       // information header size
    putLE(bytes, static_cast<uint32_t>(width), 4);
    putLE(bytes, static_cast<uint32_t>(height), 4);
    putLE(bytes, static_cast<uint32_t>(planes), 2);
    putLE(bytes, static_cast<uint32_t>(bitsPerPixel), 2);
    putLE(bytes, 0, 4);  // no compression
    putLE(bytes, static_cast<uint32_t>(fullBytes), 4);
    putLE(bytes, 2835, 4);
    putLE(bytes, 2835, 4);
    putLE(bytes, 0, 4);
    putLE(bytes, 0, 4);
    // Three bands of colour across the picture, so that a label made here shows as one.
    for (long i = 0; i < pixelBytes; ++i) {
        const long column = width > 0 ? (i / 3) % width : 0;
        const long band = column * 3 / std::max(width, 1);
        bytes.push_back(static_cast<unsigned char>(i % 3 == band ? 220 : 40));
    }
    return bytes;
}

void putLevelBmp(const std::string& dir)
{
    const std::string image = readFile(VOLKRIN_LEVEL_BMP);
    if (image.size() > 54) {
        writeFile(dir + "/level.bmp", std::vector<unsigned char>(image.begin(), image.end()));
        return;
    }
    writeFile(dir + "/level.bmp", makeBmp(64, 16, 24, 1));
}

// ---- the game process ----------------------------------------------------------------

// Adds VALUE to the colon-separated list NAME of an environment (LD_PRELOAD, the
// sanitizers' options), making NAME if absent.
static void appendToList(std::vector<std::string>& environment, const std::string& name,
                         const std::string& value)
{
    const std::string prefix = name + "=";
    for (std::string& entry : environment) {
        if (entry.rfind(prefix, 0) == 0) {
            entry += (entry.size() > prefix.size() ? ":" : "") + value;
            return;
        }
    }
    environment.push_back(prefix + value);
}

// The game's environment: this process's own, with what the sanitizer build adds.
static std::vector<std::string> gameEnvironment()
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.push_back(*entry);
#ifdef VOLKRIN_GL_DRIVER
    // Leaks are checked at the game's exit. Preloading Mesa's driver keeps it loaded to the
    // end (Mesa would unload it), so that its own leaks can be suppressed by its name; ASan
    // must then accept a library loaded before its runtime.
    appendToList(environment, "LD_PRELOAD", VOLKRIN_GL_DRIVER);
    appendToList(environment, "ASAN_OPTIONS", "verify_asan_link_order=0");
    appendToList(environment, "LSAN_OPTIONS", VOLKRIN_LSAN_OPTIONS);
#endif
    return environment;
}

std::string gameProgram()
{
    const char* launcher = getenv("VOLKRIN_GAME");
    return launcher && *launcher ? launcher : VOLKRIN_BINARY;
}

bool gameOnWindows()
{
    const char* platform = getenv("VOLKRIN_GAME_PLATFORM");
    return platform && std::string(platform) == "windows";
}

pid_t startGame(const std::string& dir, const std::vector<std::string>& args,
                const std::vector<std::string>& extra, const std::string& program)
{
    std::vector<std::string> words = {program.empty() ? gameProgram() : program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    std::vector<std::string> environment = gameEnvironment();
    for (const std::string& setting : extra) {
        const size_t equals = setting.find('=');
        appendToList(environment, setting.substr(0, equals), setting.substr(equals + 1));
    }
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    const std::string out = dir + "/stdout.txt";
    const std::string err = dir + "/stderr.txt";
    const pid_t pid = fork();
    if (pid != 0)
        return pid;

    // The child: nothing but the plain async-signal-safe calls until exec.
    if (chdir(dir.c_str()) != 0)
        _exit(126);
    const int in = open("/dev/null", O_RDONLY);
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || outFd < 0 || errFd < 0)
        _exit(126);
    dup2(in, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    closefrom(3);  // the test's X connection among them
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
}

bool processAlive(pid_t pid)
{
    if (pid <= 0)
        return false;
    // WNOWAIT leaves an ended process for waitExit to collect.
    siginfo_t info;
    memset(&info, 0, sizeof info);
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return false;
    return info.si_pid == 0;
}

int waitExit(pid_t pid, double timeoutSeconds)
{
    const timespec start = now();
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0)
            return -1;
        if (secondsSince(start) > timeoutSeconds) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        usleep(10000);
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

long residentKiB(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// ---- X: windows, pixels, input -------------------------------------------------------

static unsigned long xErrors = 0;

// A window that goes away under a grab is an expected event in these tests, not a reason
// for Xlib to end the test process.
static int recordXError(Display*, XErrorEvent*)
{
    ++xErrors;
    return 0;
}

unsigned long xErrorCount() { return xErrors; }

Display* openDisplay()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    XSetErrorHandler(recordXError);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return display;
}

static std::string windowName(Display* display, Window window)
{
    std::string name;
    char* plain = nullptr;
    if (XFetchName(display, window, &plain) && plain) {
        name = plain;
        XFree(plain);
        return name;
    }
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format,
                           &count, &after, &data) == Success && data) {
        name.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return name;
}

// Top-level windows and, should a window manager have framed them, their children.
static Window searchWindows(Display* display, Window parent, const std::string& title, int depth)
{
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        if (windowName(display, children[i]) == title)
            found = children[i];
        else if (depth > 0)
            found = searchWindows(display, children[i], title, depth - 1);
    }
    if (children)
        XFree(children);
    return found;
}

Window findWindow(Display* display, const std::string& title, double timeoutSeconds)
{
    Window found = 0;
    waitUntil([&] {
        found = searchWindows(display, DefaultRootWindow(display), title, 1);
        return found != 0;
    }, timeoutSeconds);
    return found;
}

Geometry windowGeometry(Display* display, Window window)
{
    Geometry g = {0, 0, 0, 0, false};
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return g;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &g.x, &g.y, &child);
    g.width = attributes.width;
    g.height = attributes.height;
    g.viewable = attributes.map_state == IsViewable;
    return g;
}

std::vector<unsigned long> longProperty(Display* display, Window window, const char* name)
{
    std::vector<unsigned long> values;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 20, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
        values.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return values;
}

bool pointerInvisible(Display* display)
{
    XFixesCursorImage* const image = XFixesGetCursorImage(display);
    const int count = image ? image->width * image->height : 0;
    const bool invisible = image && std::all_of(image->pixels, image->pixels + count,
                                                [](unsigned long p) { return (p >> 24) == 0; });
    if (image)
        XFree(image);
    return invisible;
}

static int shiftOf(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

static int channel(unsigned long pixel, unsigned long mask)
{
    const unsigned long value = (pixel & mask) >> shiftOf(mask);
    const unsigned long top = mask >> shiftOf(mask);
    return top ? static_cast<int>(value * 255 / top) : 0;
}

Frame grabFrame(Display* display, Window window)
{
    Frame frame;
    const Geometry g = windowGeometry(display, window);
    if (!g.viewable || g.width <= 0 || g.height <= 0)
        return frame;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(g.width),
                              static_cast<unsigned>(g.height), AllPlanes, ZPixmap);
    if (!image)
        return frame;
    frame.width = image->width;
    frame.height = image->height;
    frame.pixels.resize(static_cast<size_t>(frame.width) * frame.height);
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            frame.pixels[static_cast<size_t>(y) * frame.width + x] = {
                channel(p, image->red_mask), channel(p, image->green_mask),
                channel(p, image->blue_mask)};
        }
    }
    XDestroyImage(image);
    return frame;
}

Rgb pixelAt(const Frame& frame, int x, int y)
{
    if (x < 0 || y < 0 || x >= frame.width || y >= frame.height)
        return {-1, -1, -1};
    return frame.pixels[static_cast<size_t>(y) * frame.width + x];
}

bool sameFrame(const Frame& a, const Frame& b)
{
    if (a.width != b.width || a.height != b.height)
        return false;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        const Rgb p = a.pixels[i], q = b.pixels[i];
        if (p.r != q.r || p.g != q.g || p.b != q.b)
            return false;
    }
    return true;
}

void movePointerOnScreen(Display* display, int x, int y)
{
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XSync(display, False);
}

void movePointer(Display* display, Window window, int x, int y)
{
    const Geometry g = windowGeometry(display, window);
    movePointerOnScreen(display, g.x + x, g.y + y);
}

void pressButton(Display* display, unsigned button, bool down)
{
    XTestFakeButtonEvent(display, button, down ? True : False, CurrentTime);
    XSync(display, False);
}

void clickButton(Display* display, unsigned button)
{
    pressButton(display, button, true);
    pressButton(display, button, false);
}

void keyEvent(Display* display, unsigned long keysym, bool down)
{
    const KeyCode code = XKeysymToKeycode(display, keysym);
    if (code == 0)
        return;
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XSync(display, False);
}

void typeKeysym(Display* display, unsigned long keysym)
{
    const KeyCode code = XKeysymToKeycode(display, keysym);
    if (code == 0)
        return;
    // A character on the shifted level of its key (a capital, '+', '_') needs shift held.
    const bool shifted = XkbKeycodeToKeysym(display, code, 0, 0) != keysym &&
                         XkbKeycodeToKeysym(display, code, 0, 1) == keysym;
    if (shifted)
        keyEvent(display, XK_Shift_L, true);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    if (shifted)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Shift_L), False, CurrentTime);
    XSync(display, False);
}

void typeKeys(Display* display, const std::string& keys)
{
    // Printable Latin-1 characters are their own keysyms.
    for (unsigned char c : keys)
        typeKeysym(display, c == ' ' ? static_cast<unsigned long>(XK_space) : c);
}

void focusWindow(Display* display, Window window)
{
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
}

timespec now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t;
}

double secondsSince(const timespec& start)
{
    const timespec t = now();
    return static_cast<double>(t.tv_sec - start.tv_sec) + (t.tv_nsec - start.tv_nsec) * 1e-9;
}

bool waitUntil(const std::function<bool()>& condition, double timeoutSeconds)
{
    const timespec start = now();
    for (;;) {
        if (condition())
            return true;
        if (secondsSince(start) > timeoutSeconds)
            return false;
        usleep(10000);
    }
}

// ---- where things land on the screen ------------------------------------------------

static const double halfFovTangent = std::tan(40.0 * M_PI / 180.0);  // fovy 80 degrees
static const double eyeZ = 2.2;  // camera behind the player

Pixel perspectiveView0(double x, double y, double z, int width, int height)
{
    const double aspect = static_cast<double>(width) / height;
    const double depth = eyeZ - z;
    const double ndcX = x / (depth * halfFovTangent * aspect);
    const double ndcY = y / (depth * halfFovTangent);
    return {(ndcX + 1) * width / 2, (1 - ndcY) * height / 2};
}

Pixel orthographicView(double x, double y, int width, int height)
{
    const double aspect = static_cast<double>(width) / height;
    return {(x / (2 * aspect) + 1) * width / 2, (1 - y / 2) * height / 2};
}

void paddleForPointer(int px, int py, int width, int height, double* x, double* y)
{
    const float aspect = static_cast<float>(static_cast<double>(width) / height);
    const double row = height - py - 1;  // counted from the bottom
    *x = (2.0 * px / width - static_cast<double>(width - 1) / width) * 2 * aspect;
    *y = (2.0 * row / height - static_cast<double>(height - 1) / height) * 2;
    // The paddle (1.0 by 0.8) stays inside the court (3.5 by 3.0).
    *x = std::min(std::max(*x, -1.25), 1.25);
    *y = std::min(std::max(*y, -1.1), 1.1);
}

// ---- what a player sees --------------------------------------------------------------

bool isWhite(Rgb c) { return c.r >= 250 && c.g >= 250 && c.b >= 250; }
bool isBlack(Rgb c) { return c.r >= 0 && c.r <= 12 && c.g >= 0 && c.g <= 12 && c.b >= 0 && c.b <= 12; }

bool isGrey(Rgb c)
{
    const int hi = std::max({c.r, c.g, c.b});
    const int lo = std::min({c.r, c.g, c.b});
    return lo >= 0 && hi - lo <= 6 && lo >= 30 && hi <= 240;
}

bool isBlueish(Rgb c) { return c.r >= 0 && c.b >= c.r + 25 && c.b >= 25 && c.r < 120; }
bool isGreenTinted(Rgb c) { return c.r >= 0 && c.g >= c.r + 40 && c.g >= c.b + 40; }
int luminance(Rgb c) { return (c.r + c.g + c.b) / 3; }

// Any pixel of the small square around (x, y) satisfying the test.
static bool near(const Frame& frame, double x, double y, int reach, bool (*test)(Rgb))
{
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            if (test(pixelAt(frame, cx + dx, cy + dy)))
                return true;
        }
    }
    return false;
}

int lifeSpheres(const Frame& frame)
{
    int count = 0;
    for (int i = 0; i < 12; ++i) {
        const Pixel p = orthographicView(-1.8 + 0.15 * i, 1.8, frame.width, frame.height);
        if (!near(frame, p.x, p.y, 1, isBlueish))
            break;
        ++count;
    }
    return count;
}

int tallyMarks(const Frame& frame)
{
    int count = 0;
    for (int j = 0; j < 4; ++j) {
        const Pixel p = orthographicView(-1.05 + 0.05 * j, -1.82, frame.width, frame.height);
        if (!near(frame, p.x, p.y, 1, isBlack))
            break;
        ++count;
    }
    return count;
}

bool hudShown(const Frame& frame)
{
    for (double x : {0.6, 1.0, 1.4}) {
        for (double y : {1.9, 1.7}) {
            const Pixel p = orthographicView(x, y, frame.width, frame.height);
            if (!near(frame, p.x, p.y, 1, isBlack))
                return false;
        }
    }
    return true;
}

int brightestSample(const Frame& frame)
{
    int brightest = -1;
    for (int y = 5; y < frame.height; y += 20) {
        for (int x = 5; x < frame.width; x += 20)
            brightest = std::max(brightest, luminance(pixelAt(frame, x, y)));
    }
    return brightest;
}

bool blackArea(const Frame& frame)
{
    // Any black square twice the side holds one of these, aligned to the grid.
    const int side = 12;
    for (int y = 0; y + side <= frame.height; y += side) {
        for (int x = 0; x + side <= frame.width; x += side) {
            bool black = true;
            for (int dy = 0; dy < side && black; ++dy) {
                for (int dx = 0; dx < side && black; ++dx)
                    black = isBlack(pixelAt(frame, x + dx, y + dy));
            }
            if (black)
                return true;
        }
    }
    return false;
}

int ballPixels(const Frame& frame)
{
    const int cx = frame.width / 2, cy = frame.height / 2;
    const int reach = 24;  // a little more than the resting ball's radius on the screen
    int count = 0;
    for (int y = cy - reach; y < cy + reach; ++y) {
        for (int x = cx - reach; x < cx + reach; ++x)
            count += isBlueish(pixelAt(frame, x, y)) ? 1 : 0;
    }
    return count;
}

double shadowRowFor(double z, int width, int height)
{
    return perspectiveView0(0, -1.5, z, width, height).y;
}

// The shadow darkens the floor toward blue, whatever the floor's grey.
static bool isShadow(Rgb c) { return c.r >= 0 && c.b >= c.r + 20 && c.b >= c.g + 20; }

double ballShadowRow(const Frame& frame)
{
    const int column = frame.width / 2;
    const int top = static_cast<int>(shadowRowFor(-4, frame.width, frame.height)) - 10;
    const int bottom = static_cast<int>(shadowRowFor(0, frame.width, frame.height));
    double sum = 0;
    int count = 0;
    for (int row = std::max(top, 0); row < bottom; ++row) {
        if (isShadow(pixelAt(frame, column, row))) {
            sum += row;
            ++count;
        }
    }
    return count ? sum / count : -1;
}

bool ballBeyond(const Frame& frame, double z)
{
    const double row = ballShadowRow(frame);
    return row > 0 && row < shadowRowFor(z, frame.width, frame.height);
}

bool ballNearer(const Frame& frame, double z)
{
    return ballShadowRow(frame) > shadowRowFor(z, frame.width, frame.height);
}

bool ballResting(const Frame& frame)
{
    return ballPixels(frame) > 600 && ballNearer(frame, -0.5);
}

bool paddleAt(const Frame& frame, double x, double y, bool orthographic)
{
    for (double dx : {-0.3, 0.3}) {
        for (double dy : {-0.25, 0.25}) {
            const Pixel p = orthographic ? orthographicView(x + dx, y + dy, frame.width, frame.height)
                                         : perspectiveView0(x + dx, y + dy, 0, frame.width, frame.height);
            if (!isGreenTinted(pixelAt(frame, static_cast<int>(p.x), static_cast<int>(p.y))))
                return false;
        }
    }
    return true;
}

bool paddleUnderPointer(const Frame& frame, int px, int py, bool orthographic)
{
    double x = 0, y = 0;
    paddleForPointer(px, py, frame.width, frame.height, &x, &y);
    return paddleAt(frame, x, y, orthographic);
}

// A run of at least three black pixels across the line through (x, y), in the direction
// (dx, dy), within a few pixels of it.
static bool thickLineAcross(const Frame& frame, double x, double y, int dx, int dy)
{
    const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
    int run = 0, longest = 0;
    for (int k = -5; k <= 5; ++k) {
        run = isBlack(pixelAt(frame, cx + k * dx, cy + k * dy)) ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest >= 3;
}

static bool fail(std::string* why, const std::string& reason)
{
    if (why)
        *why = reason;
    return false;
}

static std::string describe(Rgb c)
{
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

bool startFrameShown(const Frame& frame, std::string* why)
{
    const int w = frame.width, h = frame.height;
    if (w <= 0 || h <= 0)
        return fail(why, "no pixels");

    // White: above the court between the lives and the points bar, and through the far
    // end of the court between its outline and the player's paddle.
    const Pixel above = orthographicView(-0.8, 1.8, w, h);
    const double farEdge = perspectiveView0(-1.75, 0, -4, w, h).x;
    const double paddleEdge = perspectiveView0(-0.5, 0, 0, w, h).x;
    const Pixel opening = {(farEdge + paddleEdge) / 2, h / 2.0};
    for (const Pixel& p : {above, opening}) {
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                const Rgb c = pixelAt(frame, static_cast<int>(p.x) + dx, static_cast<int>(p.y) + dy);
                if (!isWhite(c))
                    return fail(why, "not white at " + std::to_string(static_cast<int>(p.x) + dx) +
                                         "," + std::to_string(static_cast<int>(p.y) + dy) + ": " + describe(c));
            }
        }
    }

    // The near end's thick outline on all four sides.
    const Pixel topLeft = perspectiveView0(-1.75, 1.5, 0, w, h);
    const Pixel bottomRight = perspectiveView0(1.75, -1.5, 0, w, h);
    for (double y : {0.3, 0.5, 0.7}) {
        const double row = topLeft.y + (bottomRight.y - topLeft.y) * y;
        if (!thickLineAcross(frame, topLeft.x, row, 1, 0) || !thickLineAcross(frame, bottomRight.x, row, 1, 0))
            return fail(why, "no thick outline on the sides at row " + std::to_string(static_cast<int>(row)));
    }
    for (double x : {0.4, 0.5, 0.6}) {
        const double column = topLeft.x + (bottomRight.x - topLeft.x) * x;
        if (!thickLineAcross(frame, column, topLeft.y, 0, 1) || !thickLineAcross(frame, column, bottomRight.y, 0, 1))
            return fail(why, "no thick outline at top or bottom at column " + std::to_string(static_cast<int>(column)));
    }

    // Lit side walls: grey at the far end, brighter toward the player, on both sides.
    for (double side : {-1.0, 1.0}) {
        const Pixel far = perspectiveView0(side * 1.76, 0, -3.25, w, h);
        const Pixel close = perspectiveView0(side * 1.76, 0, -0.25, w, h);
        const Rgb farColour = pixelAt(frame, static_cast<int>(far.x), static_cast<int>(far.y));
        const Rgb closeColour = pixelAt(frame, static_cast<int>(close.x), static_cast<int>(close.y));
        if (!isGrey(farColour))
            return fail(why, "far wall not grey: " + describe(farColour));
        if (luminance(closeColour) < luminance(farColour) + 15 ||
            std::max({closeColour.r, closeColour.g, closeColour.b}) -
                    std::min({closeColour.r, closeColour.g, closeColour.b}) > 6)
            return fail(why, "near wall not a lighter grey: " + describe(closeColour) + " against " +
                                 describe(farColour));
    }

    // The heads-up display of a new game: four spare lives, level 1, no points.
    if (!hudShown(frame))
        return fail(why, "no points bar");
    if (lifeSpheres(frame) != 4)
        return fail(why, std::to_string(lifeSpheres(frame)) + " life spheres, not 4");
    if (tallyMarks(frame) != 1)
        return fail(why, std::to_string(tallyMarks(frame)) + " tally marks, not 1");
    return true;
}

// ---- a running game ------------------------------------------------------------------

GameRun::~GameRun()
{
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (display)
        XCloseDisplay(display);
    removeGameDir(dir);
}

// Waits for the window titled title to be mapped, then gives it each size in turn at once,
// gapMs apart. The maps come from the root's substructure, selected before the game
// started, so none is missed and none is seen late.
static Window resizeWhenMapped(Display* display, const std::string& title,
                               const std::vector<WindowSize>& sizes, int gapMs,
                               double timeoutSeconds)
{
    const timespec start = now();
    while (secondsSince(start) < timeoutSeconds) {
        if (!XPending(display)) {
            usleep(500);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify || windowName(display, event.xmap.window) != title)
            continue;
        for (size_t i = 0; i < sizes.size(); ++i) {
            if (i > 0)
                usleep(static_cast<useconds_t>(gapMs) * 1000);
            XResizeWindow(display, event.xmap.window, static_cast<unsigned>(sizes[i].width),
                          static_cast<unsigned>(sizes[i].height));
            XFlush(display);
        }
        return event.xmap.window;
    }
    return 0;
}

// Everything up to the window found (and given its sizes): the directory, the X connection,
// the pointer out of the way, the process.
static bool startAndFindWindow(GameRun& run, std::string* why, const std::vector<std::string>& args,
                               const std::vector<WindowSize>& sizesAtMapping, int gapMs)
{
    run.dir = makeGameDir();
    if (run.dir.empty())
        return fail(why, "no temporary directory");
    putLevelBmp(run.dir);
    run.display = openDisplay();
    if (!run.display)
        return fail(why, "no X display with XTest");
    // Keep the pointer off the window, so that the first frame owes nothing to it.
    movePointerOnScreen(run.display, DisplayWidth(run.display, DefaultScreen(run.display)) - 5,
                        DisplayHeight(run.display, DefaultScreen(run.display)) - 5);
    const Window root = DefaultRootWindow(run.display);
    if (!sizesAtMapping.empty()) {
        XSelectInput(run.display, root, SubstructureNotifyMask);
        XSync(run.display, False);
    }
    run.pid = startGame(run.dir, args, run.environment, run.program);
    if (run.pid <= 0)
        return fail(why, "fork failed");
    run.window = sizesAtMapping.empty() ? findWindow(run.display, "Volkrin", 60)
                                        : resizeWhenMapped(run.display, "Volkrin", sizesAtMapping, gapMs, 60);
    if (!sizesAtMapping.empty())
        XSelectInput(run.display, root, NoEventMask);
    if (!run.window)
        return fail(why, "no window titled Volkrin; stdout: " + gameOutput(run));
    return true;
}

bool launchGame(GameRun& run, std::string* why, const std::vector<std::string>& args)
{
    if (!startAndFindWindow(run, why, args, {}, 0))
        return false;
    std::string reason;
    Frame last;
    if (!waitForFrame(run, [&](const Frame& f) { return startFrameShown(f, &reason); }, 60, &last))
        return fail(why, "no start frame: " + reason);
    if (gameOnWindows()) {
        const Geometry g = windowGeometry(run.display, run.window);
        run.homeX = g.x;
        run.homeY = g.y;
    }
    // Only a mapped window can take the focus; with no window manager nothing else gives it.
    focusWindow(run.display, run.window);
    return true;
}

bool launchGameResizedAtMapping(GameRun& run, std::string* why, const std::vector<WindowSize>& sizes,
                                int gapMs)
{
    if (!startAndFindWindow(run, why, {}, sizes, gapMs))
        return false;
    focusWindow(run.display, run.window);
    return true;
}

Frame grab(GameRun& run) { return grabFrame(run.display, run.window); }

std::vector<std::string> standInDriver(int blankHz)
{
    // Relative paths land in the game's working directory. A sanitizer runtime that is not
    // first in the preload list would refuse to start.
    std::vector<std::string> settings = {
        std::string("LD_PRELOAD=") + (gameOnWindows() ? VOLKRIN_DRIVER_STAND_IN_WINE : VOLKRIN_DRIVER_STAND_IN),
        "VOLKRIN_SWAP_COUNTER=swaps.count",
        "VOLKRIN_SWAP_LOG=swaps.log", "ASAN_OPTIONS=verify_asan_link_order=0"};
    if (blankHz > 0)
        settings.push_back("VOLKRIN_VBLANK_HZ=" + std::to_string(blankHz));
    return settings;
}

static long counted(const GameRun& run, size_t slot)
{
    const std::string bytes = readFile(run.dir + "/swaps.count");
    uint64_t count = 0;
    if (bytes.size() >= (slot + 1) * sizeof count)
        std::memcpy(&count, bytes.data() + slot * sizeof count, sizeof count);
    return static_cast<long>(count);
}

long swapCount(const GameRun& run) { return counted(run, 0); }
long copyCount(const GameRun& run) { return counted(run, 1); }
long openCount(const GameRun& run) { return counted(run, 2); }

bool waitForFrame(GameRun& run, const std::function<bool(const Frame&)>& condition,
                  double timeoutSeconds, Frame* last)
{
    return waitUntil([&] {
        Frame frame = grab(run);
        const bool holds = condition(frame);
        if (last)
            *last = std::move(frame);
        return holds;
    }, timeoutSeconds);
}

bool waitForNoFrames(GameRun& run, double timeoutSeconds)
{
    long frames = swapCount(run);
    return waitUntil([&] {
        usleep(400000);  // some 27 ticks
        const long before = frames;
        frames = swapCount(run);
        return frames == before;
    }, timeoutSeconds);
}

bool serveBall(GameRun& run)
{
    const Geometry g = windowGeometry(run.display, run.window);
    movePointer(run.display, run.window, g.width / 2, g.height / 2);
    if (!waitForFrame(run, [](const Frame& f) { return ballResting(f) && paddleAt(f, 0, 0, false); }, 30))
        return false;
    // A click in the second after a point, before the ball is back, serves nothing.
    for (int attempt = 0; attempt < 3; ++attempt) {
        clickButton(run.display, 1);
        if (waitForFrame(run, [](const Frame& f) { return ballBeyond(f, -0.5); }, 10))
            return true;
    }
    return false;
}

int quitGame(GameRun& run, double timeoutSeconds)
{
    focusWindow(run.display, run.window);
    typeKeys(run.display, "q");
    run.exitStatus = waitExit(run.pid, timeoutSeconds);
    run.pid = -1;
    return run.exitStatus;
}

std::string printedLines(const std::string& dir)
{
    std::string lines = readFile(dir + "/stdout.txt");
    if (!gameOnWindows())
        return lines;
    // Windows ends a printed line with a carriage return and a line feed.
    std::string plain;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!(lines[i] == '\r' && i + 1 < lines.size() && lines[i + 1] == '\n'))
            plain += lines[i];
    }
    return plain;
}

std::string gameOutput(const GameRun& run) { return printedLines(run.dir); }
