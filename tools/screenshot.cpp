// The project's screenshot tool: finds a window by its title, optionally plays pointer
// moves, clicks and keys into it through XTest, and writes its pixels as PNG files.
//
//   volkrin_screenshot [--title TEXT] [--timeout SECONDS] STEP...
//   steps, run in the order given:
//     --wait MS        pause
//     --move X,Y       pointer to window pixel (X, Y); negative or large values leave it
//     --click BUTTON   press and release a mouse button (1 left, 2 middle, 3 right)
//     --keys TEXT      type each character of TEXT
//     --key NAME       press and release the key of that X keysym name (F1, Escape)
//     --out PATH       write the window's pixels as a PNG
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static int ignoreXError(Display*, XErrorEvent*) { return 0; }

static Window findNamed(Display* display, Window parent, const std::string& title, int depth)
{
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name)
                found = children[i];
            XFree(name);
        }
        if (!found && depth > 0)
            found = findNamed(display, children[i], title, depth - 1);
    }
    if (children)
        XFree(children);
    return found;
}

// Waits for a viewable window with the title, up to the timeout.
static Window findWindow(Display* display, const std::string& title, double timeoutSeconds)
{
    for (double waited = 0; waited <= timeoutSeconds; waited += 0.05) {
        const Window window = findNamed(display, DefaultRootWindow(display), title, 1);
        XWindowAttributes attributes;
        if (window && XGetWindowAttributes(display, window, &attributes) &&
            attributes.map_state == IsViewable)
            return window;
        usleep(50000);
    }
    return 0;
}

static int channel(unsigned long pixel, unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        pixel >>= 1;
        ++shift;
    }
    return mask ? static_cast<int>((pixel & mask) * 255 / mask) : 0;
}

static bool writePng(const char* path, int width, int height, const std::vector<unsigned char>& rgb)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(&rgb[static_cast<size_t>(y) * width * 3]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return fclose(file) == 0;
}

static bool saveWindow(Display* display, Window window, const char* path)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return false;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    std::vector<unsigned char> rgb(static_cast<size_t>(image->width) * image->height * 3);
    size_t at = 0;
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            rgb[at++] = static_cast<unsigned char>(channel(p, image->red_mask));
            rgb[at++] = static_cast<unsigned char>(channel(p, image->green_mask));
            rgb[at++] = static_cast<unsigned char>(channel(p, image->blue_mask));
        }
    }
    const bool written = writePng(path, image->width, image->height, rgb);
    XDestroyImage(image);
    return written;
}

static void movePointer(Display* display, Window window, int x, int y)
{
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XSync(display, False);
}

static void typeText(Display* display, const char* text)
{
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        const KeySym keysym = *c == ' ' ? XK_space : *c;  // printable Latin-1 is its own keysym
        const KeyCode code = XKeysymToKeycode(display, keysym);
        if (!code)
            continue;
        const bool shifted = XkbKeycodeToKeysym(display, code, 0, 0) != keysym;
        const KeyCode shiftCode = XKeysymToKeycode(display, XK_Shift_L);
        if (shifted)
            XTestFakeKeyEvent(display, shiftCode, True, CurrentTime);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        if (shifted)
            XTestFakeKeyEvent(display, shiftCode, False, CurrentTime);
        XSync(display, False);
    }
}

static int usage()
{
    fprintf(stderr,
            "usage: volkrin_screenshot [--title TEXT] [--timeout SECONDS] STEP...\n"
            "steps: --wait MS | --move X,Y | --click BUTTON | --keys TEXT | --key NAME |\n"
            "       --out PATH\n");
    return 2;
}

int main(int argc, char** argv)
{
    std::string title = "Volkrin";
    double timeout = 30;
    int first = 1;
    for (; first + 1 < argc; first += 2) {
        if (strcmp(argv[first], "--title") == 0)
            title = argv[first + 1];
        else if (strcmp(argv[first], "--timeout") == 0)
            timeout = atof(argv[first + 1]);
        else
            break;
    }
    if (first >= argc || (argc - first) % 2 != 0)
        return usage();

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        fprintf(stderr, "volkrin_screenshot: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(ignoreXError);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        fprintf(stderr, "volkrin_screenshot: the X server has no XTest extension\n");
        return 1;
    }
    const Window window = findWindow(display, title, timeout);
    if (!window) {
        fprintf(stderr, "volkrin_screenshot: no window titled \"%s\"\n", title.c_str());
        return 1;
    }
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);

    for (int i = first; i + 1 < argc; i += 2) {
        const std::string step = argv[i];
        const char* value = argv[i + 1];
        if (step == "--wait") {
            usleep(static_cast<useconds_t>(atol(value)) * 1000);
        } else if (step == "--move") {
            int x = 0, y = 0;
            if (sscanf(value, "%d,%d", &x, &y) != 2)
                return usage();
            movePointer(display, window, x, y);
        } else if (step == "--click") {
            const unsigned button = static_cast<unsigned>(atoi(value));
            XTestFakeButtonEvent(display, button, True, CurrentTime);
            XTestFakeButtonEvent(display, button, False, CurrentTime);
            XSync(display, False);
        } else if (step == "--keys") {
            typeText(display, value);
        } else if (step == "--key") {
            const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(value));
            if (!code)
                return usage();
            XTestFakeKeyEvent(display, code, True, CurrentTime);
            XTestFakeKeyEvent(display, code, False, CurrentTime);
            XSync(display, False);
        } else if (step == "--out") {
            if (!saveWindow(display, window, value)) {
                fprintf(stderr, "volkrin_screenshot: could not write %s\n", value);
                return 1;
            }
        } else {
            return usage();
        }
    }
    XCloseDisplay(display);
    return 0;
}
