// Draws the HUD's level label, the word LEVEL in a small built-in pixel font on a pale
// panel, and writes it as the uncompressed 24-bit BMP the game loads: make_level_bmp [file]
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Powers of two so that GL before 2.0 accepts the texture; 2:1 is close to the 0.55 x 0.25
// box the label is stretched over.
const int imageWidth = 128;   // pixels, a multiple of 4: rows need no padding
const int imageHeight = 64;   // pixels

// Each font cell becomes a block this many pixels wide and high. The label is shown at
// about half this size in a 500-pixel window with nearest filtering, so every stroke
// must be more than two pixels thick in both directions to survive the sampling.
const int cellWidth = 3;      // pixels
const int cellHeight = 6;     // pixels
const int letterGap = 2;      // cells between letters
const int frameWidth = 4;     // pixels

struct Rgb {
    unsigned char r, g, b;
};
const Rgb panelColour = {255, 244, 200};  // pale cream: light, yet apart from the white court
const Rgb inkColour = {20, 40, 140};      // dark blue: reads well on white and on the panel

// 5 x 7 glyphs, top row first; only the letters the label needs.
struct Glyph {
    char letter;
    const char* rows[7];
};
const Glyph font[] = {
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'V', {"#...#", "#...#", "#...#", ".#.#.", ".#.#.", ".#.#.", "..#.."}},
};
const int glyphColumns = 5;
const int glyphRows = 7;

const Glyph* findGlyph(char letter)
{
    for (const Glyph& glyph : font)
        if (glyph.letter == letter)
            return &glyph;
    return nullptr;
}

// The picture, top row first, as red-green-blue triples.
std::vector<Rgb> drawLabel(const char* text)
{
    std::vector<Rgb> picture(imageWidth * imageHeight, panelColour);
    auto fill = [&](int x0, int y0, int w, int h) {
        for (int y = y0; y < y0 + h; y++)
            for (int x = x0; x < x0 + w; x++)
                picture[y * imageWidth + x] = inkColour;
    };
    fill(0, 0, imageWidth, frameWidth);
    fill(0, imageHeight - frameWidth, imageWidth, frameWidth);
    fill(0, 0, frameWidth, imageHeight);
    fill(imageWidth - frameWidth, 0, frameWidth, imageHeight);

    int letters = static_cast<int>(strlen(text));
    int textWidth = (letters * glyphColumns + (letters - 1) * letterGap) * cellWidth;
    int textHeight = glyphRows * cellHeight;
    int left = (imageWidth - textWidth) / 2;
    int top = (imageHeight - textHeight) / 2;
    for (int i = 0; i < letters; i++) {
        const Glyph* glyph = findGlyph(text[i]);
        if (glyph == nullptr)
            continue;
        int x0 = left + i * (glyphColumns + letterGap) * cellWidth;
        for (int row = 0; row < glyphRows; row++)
            for (int column = 0; column < glyphColumns; column++)
                if (glyph->rows[row][column] == '#')
                    fill(x0 + column * cellWidth, top + row * cellHeight, cellWidth, cellHeight);
    }
    return picture;
}

void put16(std::vector<unsigned char>& bytes, size_t at, uint32_t value)
{
    bytes[at] = static_cast<unsigned char>(value);
    bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}

void put32(std::vector<unsigned char>& bytes, size_t at, uint32_t value)
{
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

// File header, 40-byte information header, then the rows bottom-up in blue-green-red.
std::vector<unsigned char> encodeBmp(const std::vector<Rgb>& picture)
{
    const uint32_t headerSize = 54;
    const uint32_t pixelBytes = imageWidth * imageHeight * 3;
    std::vector<unsigned char> bytes(headerSize + pixelBytes, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, headerSize + pixelBytes);  // file size
    put32(bytes, 10, headerSize);              // offset of the pixel data
    put32(bytes, 14, 40);                      // information-header size
    put32(bytes, 18, imageWidth);
    put32(bytes, 22, imageHeight);             // positive: bottom row first
    put16(bytes, 26, 1);                       // planes
    put16(bytes, 28, 24);                      // bits per pixel
    put32(bytes, 30, 0);                       // BI_RGB, no compression
    put32(bytes, 34, pixelBytes);
    put32(bytes, 38, 2835);                    // 72 dpi, in pixels per metre
    put32(bytes, 42, 2835);
    size_t at = headerSize;
    for (int y = imageHeight - 1; y >= 0; y--) {
        for (int x = 0; x < imageWidth; x++) {
            const Rgb& pixel = picture[y * imageWidth + x];
            bytes[at++] = pixel.b;
            bytes[at++] = pixel.g;
            bytes[at++] = pixel.r;
        }
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "level.bmp";
    std::vector<unsigned char> bytes = encodeBmp(drawLabel("LEVEL"));
    FILE* file = fopen(path, "wb");
    if (file == nullptr || fwrite(bytes.data(), bytes.size(), 1, file) != 1) {
        fprintf(stderr, "make_level_bmp: cannot write %s\n", path);
        if (file != nullptr)
            fclose(file);
        return 1;
    }
    if (fclose(file) != 0) {
        fprintf(stderr, "make_level_bmp: cannot write %s\n", path);
        return 1;
    }
    return 0;
}
