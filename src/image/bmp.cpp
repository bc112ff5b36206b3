// Reader for the level image: uncompressed 24-bit BMP files with the 40-byte information
// header, turned into packed RGB rows, bottom row first. Plain C file I/O only, no GL; and
// what a player is told when the image cannot be used.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "image/image.h"

// The reader does not test for the end of the file: a missing byte counts as EOF (-1).
// Widening each byte to unsigned before shifting gives the same bits that the signed
// sum b0 + b1*256 + ... would have, modulo 2^32, without shifting a negative value.
uint32_t readLE32(FILE* file)
{
    uint32_t b0 = static_cast<uint32_t>(fgetc(file));
    uint32_t b1 = static_cast<uint32_t>(fgetc(file));
    uint32_t b2 = static_cast<uint32_t>(fgetc(file));
    uint32_t b3 = static_cast<uint32_t>(fgetc(file));
    return b0 + (b1 << 8) + (b2 << 16) + (b3 << 24);
}

// The caller keeps only the low 16 bits.
uint32_t readLE16(FILE* file)
{
    uint32_t b0 = static_cast<uint32_t>(fgetc(file));
    uint32_t b1 = static_cast<uint32_t>(fgetc(file));
    return b0 + (b1 << 8);
}

// Bytes between the current position and the end of the file, or -1 if the file cannot
// be measured. A position already past the end (the header skips seek blindly) gives 0.
static long bytesLeft(FILE* file)
{
    long here = ftell(file);
    if (here < 0 || fseek(file, 0, SEEK_END) != 0)
        return -1;
    long end = ftell(file);
    if (end < 0 || fseek(file, here, SEEK_SET) != 0)
        return -1;
    return end > here ? end - here : 0;
}

// Each way the level image can be refused, and what a player who sees no printed line is
// told about it (tellFatalError): what is wrong with the file, and what to do.
enum ImageFault { imageMissing, imageDamaged, imageNot24Bits, imageWidth, imageTopDown,
                  imageTooLarge, imageCutShort, imageNoMemory };

static const char* const putBack = "Put back the %s that came with Volkrin, or reinstall Volkrin.";

static const struct {
    const char* wrong;   // what is wrong with the file, after its name
    const char* remedy;  // what to do; %s is the file's name
} playerWords[] = {
    {"is missing", "Put %s back in that folder, or reinstall Volkrin."},     // imageMissing
    {"is damaged, or is not a BMP picture", putBack},                        // imageDamaged
    {"is not saved as a BMP picture in 24-bit colour", putBack},             // imageNot24Bits
    {"is not a multiple of 4 pixels wide", putBack},                         // imageWidth
    {"is saved top row first, which the game cannot read", putBack},         // imageTopDown
    {"says it is larger than any picture the game can hold", putBack},       // imageTooLarge
    {"is cut short: it holds fewer pixels than it says, or none", putBack},  // imageCutShort
    {"could not be loaded: the computer is short of memory",
     "Close some other programs and start Volkrin again."},                  // imageNoMemory
};
static_assert(sizeof playerWords / sizeof playerWords[0] == imageNoMemory + 1,
              "one row of player words for each way the image is refused");

static char lastMessage[512];  // the last message printed, for a player with no console
static ImageFault lastFault = imageMissing;

__attribute__((format(printf, 2, 3)))
static void complain(ImageFault fault, const char* format, ...)
{
    va_list arguments, again;
    va_start(arguments, format);
    va_copy(again, arguments);
    vprintf(format, arguments);
    vsnprintf(lastMessage, sizeof lastMessage, format, again);  // cut short if need be
    va_end(again);
    va_end(arguments);
    lastFault = fault;
}

std::string imageErrorForPlayer(const char* fileName, const std::string& folder)
{
    char remedy[512];
    snprintf(remedy, sizeof remedy, playerWords[lastFault].remedy, fileName);
    std::string printed = lastMessage;
    if (!printed.empty() && printed.back() == '\n')
        printed.pop_back();
    return std::string("Volkrin cannot start: its level image, ") + fileName + ", " +
           playerWords[lastFault].wrong + ".\n\nThe game looked for it in this folder:\n" +
           folder + "\n\n" + remedy + "\n\nDetails: " + printed;
}

// Fails with the message already printed; the file is closed on every path.
static int failBmp(FILE* file)
{
    fclose(file);
    return 0;
}

int loadBmp(const char* fileName, Image* image)
{
    FILE* file = fopen(fileName, "rb");
    if (file == nullptr) {
        complain(imageMissing, "File Not Found : %s\n", fileName);
        return 0;
    }

    // The file header and the size of the information header are not looked at.
    fseek(file, 18, SEEK_CUR);
    uint32_t width = readLE32(file);
    uint32_t height = readLE32(file);
    image->width = width;
    image->height = height;
    uint64_t size = static_cast<uint64_t>(width) * height * 3;

    uint16_t planes = static_cast<uint16_t>(readLE16(file));
    if (planes != 1) {
        complain(imageDamaged, "Planes from %s is not 1: %u\n", fileName,
                 static_cast<unsigned>(planes));
        return failBmp(file);
    }
    uint16_t bpp = static_cast<uint16_t>(readLE16(file));
    if (bpp != 24) {
        complain(imageNot24Bits, "Bpp from %s is not 24: %u\n", fileName,
                 static_cast<unsigned>(bpp));
        return failBmp(file);
    }
    // Compression, image size, resolutions and colour counts are not looked at either:
    // the pixels are taken from offset 54 whatever the header says.
    fseek(file, 24, SEEK_CUR);

    // Rows of a width that is not a multiple of 4 carry padding in the file and would not
    // line up with GL's unpack alignment of 4: the picture would come out sheared.
    if (width % 4 != 0) {
        complain(imageWidth, "Width from %s is not a multiple of 4: %u\n", fileName, width);
        return failBmp(file);
    }
    // A negative height marks a top-down file; read as unsigned it is some 4 billion rows.
    if (static_cast<int32_t>(height) < 0) {
        complain(imageTopDown, "Height from %s is negative: %d\n", fileName,
                 static_cast<int32_t>(height));
        return failBmp(file);
    }
    // A byte count wrapped at 32 bits would give a buffer far smaller than what GL reads.
    if (size > UINT32_MAX) {
        complain(imageTooLarge, "Size from %s is too large: %u x %u\n", fileName, width, height);
        return failBmp(file);
    }
    // A file too short for its pixels fails the block read below anyway; finding it out
    // first avoids allocating gigabytes for a truncated file that claims a huge picture.
    // A zero-byte block also fails here: it would never count as one item read.
    long left = bytesLeft(file);
    if (size == 0 || left < 0 || static_cast<uint64_t>(left) < size) {
        complain(imageCutShort, "Error reading image data from %s.\n", fileName);
        return failBmp(file);
    }

    image->pixels = static_cast<unsigned char*>(malloc(size));
    if (image->pixels == nullptr) {
        complain(imageNoMemory, "Error allocating memory for color-corrected image data");
        return failBmp(file);
    }
    if (fread(image->pixels, size, 1, file) != 1) {
        complain(imageCutShort, "Error reading image data from %s.\n", fileName);
        return failBmp(file);
    }

    // The file stores blue, green, red; GL wants red, green, blue.
    for (uint64_t i = 0; i < size; i += 3) {
        unsigned char blue = image->pixels[i];
        image->pixels[i] = image->pixels[i + 2];
        image->pixels[i + 2] = blue;
    }
    fclose(file);
    return 1;
}
