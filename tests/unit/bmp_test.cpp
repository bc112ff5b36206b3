// The level-image reader on real files on disk: what it reads, what it refuses and the
// exact line it prints for each refusal; and the exit of the texture loader on failure.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "bmp_files.h"
#include "image/image.h"

namespace {

class BmpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = makeTempDir();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override
    {
        free(image.pixels);
        std::filesystem::remove_all(dir);
    }

    std::string write(const std::string& name, const Bytes& bytes)
    {
        std::string path = dir + "/" + name;
        writeFileBytes(path, bytes);
        return path;
    }

    // Expects a refusal with exactly this message, no pixel block and the file closed.
    void expectRefused(const std::string& path, const std::string& message)
    {
        free(image.pixels);
        image.pixels = nullptr;
        LoadResult result = loadCaptured(path, &image);
        EXPECT_EQ(result.status, 0) << path;
        EXPECT_EQ(result.output, message);
        EXPECT_FALSE(result.fileLeftOpen) << path;
        EXPECT_EQ(image.pixels, nullptr) << "pixel block allocated for " << path;
    }

    std::string dir;
    Image image{0, 0, nullptr};
};

TEST_F(BmpTest, ByteReadersAreLittleEndian)
{
    std::string path = write("le", {0x78, 0x56, 0x34, 0x12, 0xCD, 0xAB});
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(readLE32(file), 0x12345678u);
    EXPECT_EQ(static_cast<uint16_t>(readLE16(file)), 0xABCDu);
    fclose(file);
}

// A missing byte enters the sum as -1: the bit patterns below are those signed sums.
TEST_F(BmpTest, ByteReadersPastTheEndSumMinusOnes)
{
    std::string path = write("short", {0x05, 0x07});
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(readLE32(file), static_cast<uint32_t>(5 + 7 * 256 - 65536 - 16777216));
    EXPECT_EQ(readLE32(file), 0xFEFEFEFFu);                      // -16843009
    EXPECT_EQ(static_cast<uint16_t>(readLE16(file)), 0xFEFFu);  // -257
    fclose(file);

    path = write("one", {0x18});
    file = fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(static_cast<uint16_t>(readLE16(file)), 0xFF18u);  // 24 - 256
    fclose(file);
}

TEST_F(BmpTest, FourByTwoReadsTwentyFourBytesFromOffset54AsRgb)
{
    Bytes pixels = countingPixels(24);
    pixels[0] = 10;  // first pixel stored blue, green, red
    pixels[1] = 20;
    pixels[2] = 30;
    Bytes file = bmpFile(4, 2, 24, pixels);
    // Bytes past the pixel data are not part of the picture.
    file.insert(file.end(), {0xEE, 0xEE, 0xEE, 0xEE});
    LoadResult result = loadCaptured(write("4x2.bmp", file), &image);

    ASSERT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "");
    EXPECT_FALSE(result.fileLeftOpen);
    EXPECT_EQ(image.width, 4u);
    EXPECT_EQ(image.height, 2u);
    ASSERT_NE(image.pixels, nullptr);
    EXPECT_EQ(image.pixels[0], 30);
    EXPECT_EQ(image.pixels[1], 20);
    EXPECT_EQ(image.pixels[2], 10);
    for (size_t i = 3; i < 24; i += 3) {
        EXPECT_EQ(image.pixels[i], pixels[i + 2]) << i;
        EXPECT_EQ(image.pixels[i + 1], pixels[i + 1]) << i;
        EXPECT_EQ(image.pixels[i + 2], pixels[i]) << i;
    }
}

TEST_F(BmpTest, MissingFileIsNotFound)
{
    expectRefused(dir + "/absent.bmp", "File Not Found : " + dir + "/absent.bmp\n");
}

// A directory opens for reading but yields no bytes: every field reads as -1 sums.
TEST_F(BmpTest, DirectoryReadsAsAnEmptyFile)
{
    std::string path = dir + "/level.bmp";
    ASSERT_TRUE(std::filesystem::create_directory(path));
    expectRefused(path, "Planes from " + path + " is not 1: 65279\n");
}

TEST_F(BmpTest, OnlyTwentyFourBitsOnePlane)
{
    std::string path = write("8.bmp", bmpFile(4, 2, 8, countingPixels(8)));
    expectRefused(path, "Bpp from " + path + " is not 24: 8\n");
    path = write("32.bmp", bmpFile(4, 2, 32, countingPixels(32)));
    expectRefused(path, "Bpp from " + path + " is not 24: 32\n");

    Bytes twoPlanes = bmpFile(4, 2, 24, countingPixels(24));
    put16(twoPlanes, 26, 2);
    path = write("planes.bmp", twoPlanes);
    expectRefused(path, "Planes from " + path + " is not 1: 2\n");
}

// Cut inside the header, the missing bytes read as -1 and the planes or bpp test fails
// with the low 16 bits of that sum.
TEST_F(BmpTest, FileEndingInsideTheHeader)
{
    const Bytes whole = bmpFile(4, 2, 24, countingPixels(24));
    struct Cut {
        size_t length;
        const char* what;
        unsigned value;
    };
    const Cut cuts[] = {
        {0, "Planes", 65279},   // empty file
        {10, "Planes", 65279},  // inside the file header
        {26, "Planes", 65279},  // planes and bpp both missing
        {27, "Planes", 65281},  // 1 - 256
        {28, "Bpp", 65279},     // planes whole, bpp missing
        {29, "Bpp", 65304},     // 24 - 256
    };
    for (const Cut& cut : cuts) {
        std::string path = write("cut" + std::to_string(cut.length),
                                 Bytes(whole.begin(), whole.begin() + cut.length));
        std::string test = std::string(cut.what) == "Planes" ? " is not 1: " : " is not 24: ";
        expectRefused(path, cut.what + (" from " + path) + test + std::to_string(cut.value) + "\n");
    }
}

TEST_F(BmpTest, ShortPixelDataIsAReadError)
{
    const Bytes whole = bmpFile(4, 2, 24, countingPixels(24));
    for (size_t length : {30, 53, 54, 77}) {
        std::string path = write("cut" + std::to_string(length),
                                 Bytes(whole.begin(), whole.begin() + length));
        expectRefused(path, "Error reading image data from " + path + ".\n");
    }
}

// Zero bytes are never "one item read".
TEST_F(BmpTest, EmptyPictureIsAReadError)
{
    std::string path = write("w0.bmp", bmpFile(0, 2, 24, countingPixels(24)));
    expectRefused(path, "Error reading image data from " + path + ".\n");
    path = write("h0.bmp", bmpFile(4, 0, 24, countingPixels(24)));
    expectRefused(path, "Error reading image data from " + path + ".\n");
}

// The reader looks at width, height, planes and bits per pixel only.
TEST_F(BmpTest, UncheckedHeaderFieldsAreIgnored)
{
    Bytes pixels = countingPixels(8 * 4 * 3);
    Bytes plain = bmpFile(8, 4, 24, pixels);
    Bytes odd = plain;
    odd[0] = 'X';                      // signature
    odd[1] = 'Y';
    put32(odd, 2, 7);                  // file size
    put32(odd, 6, 0xDEADBEEF);         // reserved words
    put32(odd, 10, 1000);              // pixel-data offset
    put32(odd, 14, 12);                // information-header size
    put32(odd, 30, 1);                 // compression
    put32(odd, 34, 99);                // image size
    put32(odd, 38, 0xFFFFFFFF);        // resolutions
    put32(odd, 42, 1);
    put32(odd, 46, 256);               // colours used and important
    put32(odd, 50, 256);

    LoadResult first = loadCaptured(write("plain.bmp", plain), &image);
    ASSERT_EQ(first.status, 1);
    Bytes expected(image.pixels, image.pixels + pixels.size());
    free(image.pixels);
    image.pixels = nullptr;

    LoadResult second = loadCaptured(write("odd.bmp", odd), &image);
    ASSERT_EQ(second.status, 1);
    EXPECT_EQ(second.output, "");
    EXPECT_EQ(image.width, 8u);
    EXPECT_EQ(image.height, 4u);
    EXPECT_EQ(Bytes(image.pixels, image.pixels + pixels.size()), expected);
}

// Rows of such a width carry padding in the file; read as one block they come out sheared.
TEST_F(BmpTest, WidthNotAMultipleOfFourIsRefused)
{
    for (uint32_t width : {1u, 3u, 6u, 0x80000001u}) {
        std::string path = write("w" + std::to_string(width), bmpFile(width, 2, 24, countingPixels(64)));
        expectRefused(path, "Width from " + path + " is not a multiple of 4: " +
                                std::to_string(width) + "\n");
    }
}

// A top-down file: read as unsigned, -2 rows are 4294967294 rows.
TEST_F(BmpTest, NegativeHeightIsRefused)
{
    for (int32_t height : {-2, -1, INT32_MIN}) {
        std::string path = write("h" + std::to_string(height),
                                 bmpFile(4, static_cast<uint32_t>(height), 24, countingPixels(24)));
        expectRefused(path, "Height from " + path + " is negative: " + std::to_string(height) + "\n");
    }
}

// 65536 x 21846 x 3 wraps at 32 bits to 131072: a file with that many pixel bytes would
// pass the read and hand GL a buffer of 128 KiB for a picture of 4 GiB.
TEST_F(BmpTest, ByteCountBeyond32BitsIsRefused)
{
    std::string path = write("wrap.bmp", bmpFile(65536, 21846, 24, Bytes(131072, 0x55)));
    expectRefused(path, "Size from " + path + " is too large: 65536 x 21846\n");
    path = write("max.bmp", bmpFile(0xFFFFFFFC, 0x7FFFFFFF, 24, countingPixels(24)));
    expectRefused(path, "Size from " + path + " is too large: 4294967292 x 2147483647\n");
}

// A truncated file that claims 16384 x 16384 (768 MiB) gets the read error without the
// allocation: expectRefused checks that no pixel block was made.
TEST_F(BmpTest, HugeClaimOnShortFileAllocatesNothing)
{
    std::string path = write("huge.bmp", bmpFile(16384, 16384, 24, countingPixels(300)));
    expectRefused(path, "Error reading image data from " + path + ".\n");
    // One byte short of the claim is still short.
    path = write("short.bmp", bmpFile(64, 64, 24, countingPixels(64 * 64 * 3 - 1)));
    expectRefused(path, "Error reading image data from " + path + ".\n");
}

// The committed label picture meets every requirement on the file, checked field by field.
TEST(LevelAsset, IsAnUncompressedPowerOfTwoBmp)
{
    std::string path = std::string(VOLKRIN_TEST_DATA) + "/../assets/level.bmp";
    Bytes file = readFileBytes(path);
    ASSERT_GE(file.size(), 54u);
    auto get32 = [&](size_t at) {
        return static_cast<uint32_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16 |
                                     static_cast<uint32_t>(file[at + 3]) << 24);
    };
    auto get16 = [&](size_t at) { return static_cast<uint32_t>(file[at] | file[at + 1] << 8); };
    uint32_t width = get32(18);
    uint32_t height = get32(22);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(get32(2), file.size());
    EXPECT_EQ(get32(6), 0u);
    EXPECT_EQ(get32(10), 54u);
    EXPECT_EQ(get32(14), 40u);
    EXPECT_EQ(get16(26), 1u);
    EXPECT_EQ(get16(28), 24u);
    EXPECT_EQ(get32(30), 0u);  // BI_RGB
    EXPECT_EQ(get32(34), width * height * 3);
    EXPECT_EQ(get32(46), 0u);  // no colour table
    EXPECT_EQ(width % 4, 0u);
    EXPECT_GT(width, 0u);
    EXPECT_GT(height, 0u);
    EXPECT_EQ(width & (width - 1), 0u) << "width not a power of two";
    EXPECT_EQ(height & (height - 1), 0u) << "height not a power of two";
    EXPECT_EQ(file.size(), 54 + width * height * 3);

    Image image{0, 0, nullptr};
    LoadResult result = loadCaptured(path, &image);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "");
    free(image.pixels);
}

// loadLevelTexture in a child process (it ends the process on failure), its standard
// output read through a pipe. Returns the raw wait status.
int runLevelTexture(const std::string& path, std::string* output)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        loadLevelTexture(path.c_str(), 1);
        _exit(0);  // not reached for a file that fails to load
    }
    close(fds[1]);
    char buffer[512];
    ssize_t got;
    while ((got = read(fds[0], buffer, sizeof buffer)) > 0)
        output->append(buffer, static_cast<size_t>(got));
    close(fds[0]);
    int status = -1;
    waitpid(child, &status, 0);
    return status;
}

TEST_F(BmpTest, LevelTextureExitsWithStatusOneWhenMissing)
{
    std::string path = dir + "/level.bmp";
    std::string output;
    int status = runLevelTexture(path, &output);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(output, "trying to load " + path + "\nFile Not Found : " + path + "\n");
}

TEST_F(BmpTest, LevelTextureExitsWithStatusOneWhenBroken)
{
    std::string path = write("level.bmp", bmpFile(4, 2, 32, countingPixels(32)));
    std::string output;
    int status = runLevelTexture(path, &output);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(output, "trying to load " + path + "\nBpp from " + path + " is not 24: 32\n");

    path = write("wide.bmp", bmpFile(6, 2, 24, countingPixels(36)));
    output.clear();
    status = runLevelTexture(path, &output);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(output, "trying to load " + path + "\nWidth from " + path +
                          " is not a multiple of 4: 6\n");
}

}  // namespace
