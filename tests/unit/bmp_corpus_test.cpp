// Replays every file of the fuzzing corpus through the level-image reader: each one must
// load in full or be refused with a single message, and never crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bmp_files.h"
#include "image/image.h"

namespace {

// The first words of every message the reader prints when it refuses a file.
const char* const refusals[] = {
    "File Not Found : ", "Planes from ", "Bpp from ", "Width from ", "Height from ",
    "Size from ", "Error reading image data from ",
    "Error allocating memory for color-corrected image data",
};

bool isOneRefusal(const std::string& output)
{
    bool known = std::any_of(std::begin(refusals), std::end(refusals), [&](const char* start) {
        return output.rfind(start, 0) == 0;
    });
    if (output == "Error allocating memory for color-corrected image data")
        return true;  // the one message without a line break
    return known && std::count(output.begin(), output.end(), '\n') == 1 && output.back() == '\n';
}

TEST(BmpCorpus, EveryFileLoadsOrIsRefusedCleanly)
{
    std::filesystem::path dir = std::filesystem::path(VOLKRIN_TEST_DATA) / "fuzz" / "corpus";
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 20u) << "seed corpus missing from " << dir;

    int loaded = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        Bytes bytes = readFileBytes(path.string());
        Image image{0, 0, nullptr};
        LoadResult result = loadCaptured(path.string(), &image);
        EXPECT_FALSE(result.fileLeftOpen);
        if (result.status == 1) {
            loaded++;
            EXPECT_EQ(result.output, "");
            // Rows from offset 54 on, each pixel's blue and red exchanged.
            uint64_t count = static_cast<uint64_t>(image.width) * image.height * 3;
            ASSERT_NE(image.pixels, nullptr);
            ASSERT_GT(count, 0u);
            ASSERT_LE(54 + count, bytes.size());
            for (uint64_t i = 0; i < count; i += 3) {
                ASSERT_EQ(image.pixels[i], bytes[54 + i + 2]) << "byte " << i;
                ASSERT_EQ(image.pixels[i + 1], bytes[54 + i + 1]) << "byte " << i;
                ASSERT_EQ(image.pixels[i + 2], bytes[54 + i]) << "byte " << i;
            }
        } else {
            EXPECT_EQ(result.status, 0);
            EXPECT_TRUE(isOneRefusal(result.output)) << "printed: " << result.output;
        }
        free(image.pixels);
    }
    // The seeds include valid pictures; a reader that refuses everything must not pass.
    EXPECT_GE(loaded, 5);
}

}  // namespace
