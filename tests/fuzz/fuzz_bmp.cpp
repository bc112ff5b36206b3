// libFuzzer target for the level-image reader: each input is written to a real file, as
// the game would meet it on disk, and loaded; a load that succeeds must be consistent.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "image/image.h"

namespace {

std::string inputPath;

void removeInput()
{
    unlink(inputPath.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The reader's messages would bury libFuzzer's own report, which goes to stderr.
    if (freopen("/dev/null", "w", stdout) == nullptr)
        abort();
    const char* dir = getenv("TMPDIR");
    inputPath = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/fuzz-bmp-XXXXXX";
    int fd = mkstemp(inputPath.data());
    if (fd < 0)
        abort();
    close(fd);
    atexit(removeInput);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fopen(inputPath.c_str(), "wb");
    if (file == nullptr)
        abort();
    if (size > 0 && fwrite(data, size, 1, file) != 1)
        abort();
    fclose(file);

    Image image{0, 0, nullptr};
    if (loadBmp(inputPath.c_str(), &image) == 1) {
        // What a successful load hands to GL must be there in full: the pixel bytes came
        // from offset 54 on, so the input holds at least width * height * 3 more bytes.
        uint64_t bytes = static_cast<uint64_t>(image.width) * image.height * 3;
        if (image.pixels == nullptr || bytes == 0 || bytes > UINT32_MAX || size < 54 ||
            bytes > size - 54 || image.width % 4 != 0 || static_cast<int32_t>(image.height) < 0)
            abort();
        // The first pixel is the file's first, with blue and red exchanged.
        if (image.pixels[0] != data[56] || image.pixels[1] != data[55] || image.pixels[2] != data[54])
            abort();
    }
    free(image.pixels);
    return 0;
}
