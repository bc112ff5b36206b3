// Helpers for the level-image tests: BMP files built byte by byte in a temporary
// directory, and loadBmp run with its standard output captured.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "image/image.h"

using Bytes = std::vector<unsigned char>;

inline void put16(Bytes& bytes, size_t offset, uint16_t value)
{
    bytes[offset] = static_cast<unsigned char>(value);
    bytes[offset + 1] = static_cast<unsigned char>(value >> 8);
}

inline void put32(Bytes& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

// A well-formed file: 14-byte file header, 40-byte information header, then the pixels.
inline Bytes bmpFile(uint32_t width, uint32_t height, uint16_t bpp, const Bytes& pixels)
{
    Bytes bytes(54 + pixels.size(), 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, static_cast<uint32_t>(54 + pixels.size()));
    put32(bytes, 10, 54);
    put32(bytes, 14, 40);
    put32(bytes, 18, width);
    put32(bytes, 22, height);
    put16(bytes, 26, 1);
    put16(bytes, 28, bpp);
    put32(bytes, 34, static_cast<uint32_t>(pixels.size()));
    put32(bytes, 38, 2835);  // 72 dpi
    put32(bytes, 42, 2835);
    std::copy(pixels.begin(), pixels.end(), bytes.begin() + 54);
    return bytes;
}

// Pixel bytes 0, 1, 2, ... (mod 251, so that no run repeats with a period of 3).
inline Bytes countingPixels(size_t count)
{
    Bytes pixels(count);
    for (size_t i = 0; i < count; i++)
        pixels[i] = static_cast<unsigned char>(i % 251);
    return pixels;
}

inline Bytes readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFileBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it.
inline std::string makeTempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "volkrin-bmp-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return "";
    return pattern;
}

inline int openFileCount()
{
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr)
            count++;
        closedir(dir);
    }
    return count;
}

// Runs the function with file descriptor 1 pointed at a temporary file and returns what
// it printed, through printf and std::cout alike (the stream is synced with stdio).
inline std::string captureStdout(const std::function<void()>& run)
{
    fflush(stdout);
    char path[] = "/tmp/volkrin-stdout-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        return "<capture failed>";
    int saved = dup(1);
    dup2(fd, 1);
    run();
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(fd);
    Bytes bytes = readFileBytes(path);
    unlink(path);
    return std::string(bytes.begin(), bytes.end());
}

struct LoadResult {
    int status;
    std::string output;
    bool fileLeftOpen;
};

// loadBmp on the file, with what it printed and whether it left a descriptor open.
inline LoadResult loadCaptured(const std::string& path, Image* image)
{
    LoadResult result{};
    result.output = captureStdout([&] {
        int before = openFileCount();
        result.status = loadBmp(path.c_str(), image);
        result.fileLeftOpen = openFileCount() != before;
    });
    return result;
}
