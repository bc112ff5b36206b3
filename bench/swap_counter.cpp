// Preloaded (LD_PRELOAD) into a measured program: counts its buffer swaps, that is its
// drawn frames, in an 8-byte file named by VOLKRIN_SWAP_COUNTER that another process can
// read at any moment (od -An -tu8 FILE). Without the variable it only passes swaps on.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include <GL/glx.h>

using SwapFn = void (*)(Display*, GLXDrawable);

static uint64_t* mapCounter()
{
    const char* path = std::getenv("VOLKRIN_SWAP_COUNTER");
    if (!path)
        return nullptr;
    const int fd = open(path, O_RDWR | O_CREAT, 0644);
    if (fd < 0)
        return nullptr;
    void* p = MAP_FAILED;
    if (ftruncate(fd, sizeof(uint64_t)) == 0)
        p = mmap(nullptr, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    return p == MAP_FAILED ? nullptr : static_cast<uint64_t*>(p);
}

extern "C" void glXSwapBuffers(Display* dpy, GLXDrawable drawable)
{
    static const SwapFn real = reinterpret_cast<SwapFn>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static uint64_t* const counter = mapCounter();
    if (real)
        real(dpy, drawable);
    if (counter)
        __atomic_add_fetch(counter, 1, __ATOMIC_RELAXED);
}
