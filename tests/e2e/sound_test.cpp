// The game's sound recorded through OpenAL Soft's wave-file writer: the serve and each
// return heard while they happen, nothing after m or while paused; and with no sound
// device the game plays on without a word.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstring>

#include "harness.h"

namespace {

const char* const loadLine = "trying to load level.bmp\n";
const long waveHeader = 68;         // bytes before the writer's samples
const long frameBytes = 8;          // two channels of 32-bit floats
const long blockFrames = 441;       // 10 ms at 44.1 kHz: loudness is judged per block
const long slack = 4410;            // frames: the writer's period and a busy machine's delays

// Runs the game with its sound written to dir/game.wav (or, without a file named, with
// no device that can be opened).
std::vector<std::string> waveDevice(const std::string& dir, bool withFile)
{
    const std::string conf = withFile ? "[wave]\nfile = " + dir + "/game.wav\n" : "";
    writeFile(dir + "/wave.conf", std::vector<unsigned char>(conf.begin(), conf.end()));
    return {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + dir + "/wave.conf"};
}

// Frames written so far: the writer keeps pace with the clock.
long mark(const std::string& wav)
{
    struct stat s;
    return stat(wav.c_str(), &s) == 0 ? std::max(0L, (s.st_size - waveHeader) / frameBytes) : 0;
}

// The loudest sample of each block of the recording.
std::vector<float> blockPeaks(const std::string& wav)
{
    const std::string bytes = readFile(wav);
    std::vector<float> peaks;
    for (size_t at = waveHeader; at + blockFrames * frameBytes <= bytes.size(); at += blockFrames * frameBytes) {
        float peak = 0, sample;
        for (long i = 0; i < blockFrames * 2; ++i) {
            memcpy(&sample, bytes.data() + at + 4 * i, 4);
            peak = std::fmax(peak, std::fabs(sample));
        }
        peaks.push_back(peak);
    }
    return peaks;
}

// Sounds that begin (a block above a quiet one) between two marks, and the loudest block.
int onsets(const std::vector<float>& peaks, long from, long to, float* loudest = nullptr)
{
    int count = 0;
    for (long b = std::max(from / blockFrames, 1L); b <= to / blockFrames && b < long(peaks.size()); ++b) {
        count += peaks[b] > 0.01f && peaks[b - 1] <= 0.01f;
        if (loudest)
            *loudest = std::fmax(*loudest, peaks[b]);
    }
    return count;
}

}  // namespace

TEST(Sound, ServeAndReturnsAreHeardAsTheyHappenUntilMutedOrPaused)
{
    const std::string recordings = makeGameDir(), wav = recordings + "/game.wav";
    GameRun run;
    run.environment = waveDevice(recordings, true);
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;

    // Down the centre line with the pointer still, the ball passes -3 (marks[1], [3]...)
    // before the opponent returns it, and -1 on its way back (marks[2], [4]...) before
    // the player does. Sound goes off at marks[4] and on again at marks[6].
    std::vector<long> marks = {mark(wav)};
    ASSERT_TRUE(serveBall(run));
    for (int passage = 0; passage < 8; ++passage) {
        const double z = passage % 2 ? -1.0 : -3.0;
        ASSERT_TRUE(waitForFrame(run, [&](const Frame& f) { return passage % 2 ? ballNearer(f, z) : ballBeyond(f, z); }, 20));
        marks.push_back(mark(wav));
        if (passage == 3 || passage == 5)
            typeKeys(run.display, "m");
    }
    typeKeys(run.display, "p");
    const long paused = mark(wav);
    clickButton(run.display, 1);  // serves nothing while paused
    ASSERT_TRUE(waitUntil([&] { return mark(wav) > paused + 20 * slack; }, 20));
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), std::string(loadLine) + "SOUND OFF\nSOUND ON\n");
    EXPECT_EQ(readFile(run.dir + "/stderr.txt"), "");

    const std::vector<float> peaks = blockPeaks(wav);
    removeGameDir(recordings);
    float before = 0, nearPeak = 0, farPeak = 0, muted = 0, whilePaused = 0;
    EXPECT_EQ(onsets(peaks, 0, marks[0], &before), 0);
    EXPECT_EQ(onsets(peaks, marks[0], marks[1], &nearPeak), 1) << "the serve";
    EXPECT_EQ(onsets(peaks, marks[1], marks[2], &farPeak), 1) << "the opponent's return";
    EXPECT_EQ(onsets(peaks, marks[2], marks[3]), 1) << "the player's return";
    EXPECT_EQ(onsets(peaks, marks[3], marks[4]), 1) << "the opponent's return";
    EXPECT_EQ(onsets(peaks, marks[4] + slack, marks[6], &muted), 0) << "muted";
    EXPECT_EQ(onsets(peaks, marks[6], marks[7]), 1) << "the player's return, sound on again";
    EXPECT_EQ(onsets(peaks, marks[7], marks[8]), 1) << "the opponent's return";
    EXPECT_EQ(onsets(peaks, paused + 3 * slack, paused + 20 * slack, &whilePaused), 0) << "paused";
    EXPECT_EQ(before + muted + whilePaused, 0.0f);
    EXPECT_NEAR(farPeak / nearPeak, 0.5, 0.15);  // the far end about half as loud
}

TEST(Sound, WithoutADeviceTheGamePlaysSilentlyAndQuietly)
{
    const std::string conf = makeGameDir();
    GameRun run;
    run.environment = waveDevice(conf, false);
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    ASSERT_TRUE(serveBall(run));
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return ballBeyond(f, -3.0); }, 20));
    typeKeys(run.display, "m");
    EXPECT_EQ(quitGame(run), 0);
    removeGameDir(conf);
    EXPECT_EQ(gameOutput(run), std::string(loadLine) + "SOUND OFF\n");
    EXPECT_EQ(readFile(run.dir + "/stderr.txt"), "");
}
