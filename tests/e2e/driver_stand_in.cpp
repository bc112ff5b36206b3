// A stand-in GL driver, preloaded (LD_PRELOAD) into a program under test or measurement.
// VOLKRIN_SWAP_COUNTER=file: counts the frames presented, by buffer swap or by a copy of
//   part of the back buffer (glXCopySubBufferMESA), in the first 8 bytes of a file that
//   another process reads at any moment (od -An -tu8 -N8 file); the next 8 count the copies,
//   and the 8 after those the sound devices the program tried to open (alcOpenDevice).
// VOLKRIN_SWAP_LOG=file: one line per swap interval asked for, with the swaps before it.
// VOLKRIN_VBLANK_HZ=rate: behaves like a graphics card's driver on a display of that rate:
//   offers GLX_EXT_swap_control and GLX_MESA_swap_control, and holds every swap until the
//   next vertical blank unless the program has asked for an interval of 0.
// Built a second time for the Windows build under Wine (volkrin_driver_stand_in_wine).
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include <AL/alc.h>
#include <GL/glx.h>

extern "C" void glXSwapBuffers(Display* dpy, GLXDrawable drawable);
extern "C" const char* glXQueryExtensionsString(Display* dpy, int screen);

namespace {

uint64_t* mapCounter()
{
    const char* path = std::getenv("VOLKRIN_SWAP_COUNTER");
    if (!path)
        return nullptr;
    const int fd = open(path, O_RDWR | O_CREAT, 0644);
    if (fd < 0)
        return nullptr;
    void* p = MAP_FAILED;
    if (ftruncate(fd, 3 * sizeof(uint64_t)) == 0)
        p = mmap(nullptr, 3 * sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    return p == MAP_FAILED ? nullptr : static_cast<uint64_t*>(p);
}

uint64_t* const counter = mapCounter();
uint64_t swaps = 0;
int interval = 1;  // a driver's default: one blank per swap

double blankRate()
{
    const char* text = std::getenv("VOLKRIN_VBLANK_HZ");
    return text ? std::atof(text) : 0.0;
}

void logInterval(const char* call, int value)
{
    interval = value;
    const char* path = std::getenv("VOLKRIN_SWAP_LOG");
    if (FILE* f = path ? std::fopen(path, "a") : nullptr) {
        std::fprintf(f, "%s %d after %llu swaps\n", call, value,
                     static_cast<unsigned long long>(swaps));
        std::fclose(f);
    }
}

void swapIntervalExt(Display*, GLXDrawable, int value) { logInterval("glXSwapIntervalEXT", value); }
int swapIntervalMesa(unsigned value)
{
    logInterval("glXSwapIntervalMESA", static_cast<int>(value));
    return 0;
}

// Sleeps until the next multiple of 1/rate seconds on the monotonic clock.
void waitForBlank(double rate)
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    const double now = t.tv_sec + t.tv_nsec / 1e9;
    const double next = (std::floor(now * rate) + 1) / rate;
    t.tv_sec = static_cast<time_t>(next);
    t.tv_nsec = static_cast<long>((next - t.tv_sec) * 1e9);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) != 0) {
    }
}

template <typename F>
F real(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

PFNGLXCOPYSUBBUFFERMESAPROC realCopy = nullptr;

// A copy presents a frame as a swap does, without waiting for the blank (as Mesa's does not).
void copySubBuffer(Display* dpy, GLXDrawable drawable, int x, int y, int width, int height)
{
    if (realCopy)
        realCopy(dpy, drawable, x, y, width, height);
    if (counter) {
        __atomic_add_fetch(&counter[0], 1, __ATOMIC_RELAXED);
        __atomic_add_fetch(&counter[1], 1, __ATOMIC_RELAXED);
    }
}

__GLXextFuncPtr lookUp(const GLubyte* name, __GLXextFuncPtr (*next)(const GLubyte*))
{
    const char* n = reinterpret_cast<const char*>(name);
#ifdef VOLKRIN_STAND_IN_FOR_WINE
    // Wine's X11 driver looks up even GLX's own calls by name.
    if (std::strcmp(n, "glXSwapBuffers") == 0)
        return reinterpret_cast<__GLXextFuncPtr>(glXSwapBuffers);
    if (std::strcmp(n, "glXQueryExtensionsString") == 0)
        return reinterpret_cast<__GLXextFuncPtr>(glXQueryExtensionsString);
#endif
    if (std::strcmp(n, "glXCopySubBufferMESA") == 0) {
        realCopy = reinterpret_cast<PFNGLXCOPYSUBBUFFERMESAPROC>(next ? next(name) : nullptr);
        return realCopy ? reinterpret_cast<__GLXextFuncPtr>(copySubBuffer) : nullptr;
    }
    if (blankRate() > 0 && std::strcmp(n, "glXSwapIntervalEXT") == 0)
        return reinterpret_cast<__GLXextFuncPtr>(swapIntervalExt);
    if (blankRate() > 0 && std::strcmp(n, "glXSwapIntervalMESA") == 0)
        return reinterpret_cast<__GLXextFuncPtr>(swapIntervalMesa);
    return next ? next(name) : nullptr;
}

}  // namespace

extern "C" void glXSwapBuffers(Display* dpy, GLXDrawable drawable)
{
    static const auto next = real<void (*)(Display*, GLXDrawable)>("glXSwapBuffers");
    if (next)
        next(dpy, drawable);
    ++swaps;
    if (counter)
        __atomic_add_fetch(&counter[0], 1, __ATOMIC_RELAXED);
    const double rate = blankRate();
    if (rate > 0 && interval != 0)
        waitForBlank(rate);
}

extern "C" void glXCopySubBufferMESA(Display* dpy, GLXDrawable drawable, int x, int y, int width,
                                     int height)
{
    if (!realCopy)
        realCopy = real<PFNGLXCOPYSUBBUFFERMESAPROC>("glXCopySubBufferMESA");
    copySubBuffer(dpy, drawable, x, y, width, height);
}

extern "C" const char* glXQueryExtensionsString(Display* dpy, int screen)
{
    static const auto next = real<const char* (*)(Display*, int)>("glXQueryExtensionsString");
    static std::string offered;
    const char* list = next ? next(dpy, screen) : "";
    if (blankRate() <= 0)
        return list;
    offered = std::string(list ? list : "") + " GLX_EXT_swap_control GLX_MESA_swap_control ";
    return offered.c_str();
}

extern "C" __GLXextFuncPtr glXGetProcAddressARB(const GLubyte* name)
{
    static const auto next = real<__GLXextFuncPtr (*)(const GLubyte*)>("glXGetProcAddressARB");
    return lookUp(name, next);
}

extern "C" __GLXextFuncPtr glXGetProcAddress(const GLubyte* name)
{
    static const auto next = real<__GLXextFuncPtr (*)(const GLubyte*)>("glXGetProcAddress");
    return lookUp(name, next);
}

extern "C" ALCdevice* alcOpenDevice(const ALCchar* name)
{
    static const auto next = real<ALCdevice* (*)(const ALCchar*)>("alcOpenDevice");
    if (counter)
        __atomic_add_fetch(&counter[2], 1, __ATOMIC_RELAXED);
    return next ? next(name) : nullptr;
}

#ifdef VOLKRIN_STAND_IN_FOR_WINE
// Wine's X11 driver does not call GLX through its links, which a preload would interpose,
// but looks every call up in the handle it gets from dlopen("libGL.so.1"). It is handed this
// library's own handle instead: a lookup there finds the calls above first, and the real
// library's after them, as this build of the stand-in is linked against it.
extern "C" void* dlopen(const char* file, int mode)
{
    static const auto next = real<void* (*)(const char*, int)>("dlopen");
    void* const handle = next(file, mode);
    Dl_info self;
    if (handle && file && std::strcmp(file, "libGL.so.1") == 0 &&
        dladdr(reinterpret_cast<void*>(&glXSwapBuffers), &self) && self.dli_fname) {
        if (void* const own = next(self.dli_fname, RTLD_NOW | RTLD_GLOBAL))
            return own;
    }
    return handle;
}
#endif
