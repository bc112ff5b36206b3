// The level image: a reader for uncompressed 24-bit BMP files and the upload of the
// picture into the texture that labels the level in the heads-up display.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct Image {
    uint32_t width;
    uint32_t height;
    unsigned char* pixels;  // width * height * 3 bytes, RGB, rows bottom-up, unpadded
};

// bmp.cpp
uint32_t readLE32(FILE* file);  // four bytes, least significant first
uint32_t readLE16(FILE* file);  // two bytes, least significant first
int loadBmp(const char* fileName, Image* image);  // 1 on success, 0 after a message
// Why loadBmp last refused the file, for a player who sees no printed line: what is wrong,
// the folder where the game looked for it, what to do, and the line printed.
std::string imageErrorForPlayer(const char* fileName, const std::string& folder);

// texture.cpp
// Loads the file into the given texture name; on any failure ends the process, status 1.
void loadLevelTexture(const char* fileName, unsigned int textureName);
