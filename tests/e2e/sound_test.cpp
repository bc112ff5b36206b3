// The game's sound as a player hears it: recorded through OpenAL Soft's wave-file writer,
// the serve and each return sound while they happen, the m key silences what follows and
// a paused game is silent; and with no sound device the game plays on without a word.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>

#include "harness.h"

namespace {

const char* const loadLine = "trying to load level.bmp\n";
const long waveHeader = 68;    // bytes before the samples in the writer's files
const int channels = 2;        // 32-bit float samples, interleaved
const int rate = 44100;        // frames per second
const int blockFrames = 441;   // 10 ms: loudness is judged per block
const float audible = 0.01f;   // a block whose peak passes this holds a sound

// A directory with an OpenAL Soft configuration that sends the game's sound to a file.
struct WaveRecorder {
    std::string dir = makeGameDir();
    std::string file = dir + "/game.wav";
    WaveRecorder()
    {
        const std::string conf = "[wave]\nfile = " + file + "\n";
        writeFile(dir + "/wave.conf", std::vector<unsigned char>(conf.begin(), conf.end()));
    }
    ~WaveRecorder() { removeGameDir(dir); }
    std::vector<std::string> environment() const
    {
        return {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + dir + "/wave.conf"};
    }
    // Frames written so far: the writer keeps pace with the clock, so this is the moment
    // on the recording's time line.
    long mark() const
    {
        struct stat s;
        return stat(file.c_str(), &s) == 0 && s.st_size > waveHeader ? (s.st_size - waveHeader) / (4 * channels) : 0;
    }
    // The peak of each 10 ms block of the finished recording.
    std::vector<float> blockPeaks() const
    {
        const std::string bytes = readFile(file);
        std::vector<float> peaks;
        const size_t blockBytes = 4u * channels * blockFrames;
        for (size_t at = waveHeader; at + blockBytes <= bytes.size(); at += blockBytes) {
            float peak = 0;
            for (size_t i = 0; i < blockBytes; i += 4) {
                float sample;
                memcpy(&sample, bytes.data() + at + i, 4);
                peak = std::fmax(peak, std::fabs(sample));
            }
            peaks.push_back(peak);
        }
        return peaks;
    }
};

// Blocks in which a sound begins, between two marks (frames).
int onsets(const std::vector<float>& peaks, long from, long to)
{
    int count = 0;
    for (long b = std::max(from / blockFrames, 1L); b <= to / blockFrames && b < static_cast<long>(peaks.size()); ++b)
        count += peaks[b] > audible && peaks[b - 1] <= audible;
    return count;
}

float loudest(const std::vector<float>& peaks, long from, long to)
{
    float peak = 0;
    for (long b = from / blockFrames; b <= to / blockFrames && b < static_cast<long>(peaks.size()); ++b)
        peak = std::fmax(peak, peaks[b]);
    return peak;
}

// Waits for the ball to reach the far end and, after that, to come back near the player:
// marks at both moments.
bool markReturns(GameRun& run, const WaveRecorder& wave, long* far, long* near)
{
    if (!waitForFrame(run, [](const Frame& f) { return ballBeyond(f, -3.0); }, 20))
        return false;
    *far = wave.mark();
    if (!waitForFrame(run, [](const Frame& f) { return ballNearer(f, -1.0); }, 20))
        return false;
    *near = wave.mark();
    return true;
}

}  // namespace

TEST(Sound, ServeAndReturnsAreHeardAsTheyHappenUntilMutedOrPaused)
{
    WaveRecorder wave;
    GameRun run;
    run.environment = wave.environment();
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;

    // Down the centre line with the pointer still: the opponent returns the ball between
    // its passing -3 and coming back to -1, the player between that and the next -3.
    const long beforeServe = wave.mark();
    ASSERT_TRUE(serveBall(run));
    const long served = wave.mark();
    long far1, near1, far2, near2, far3, near3, far4, near4;
    ASSERT_TRUE(markReturns(run, wave, &far1, &near1));
    ASSERT_TRUE(markReturns(run, wave, &far2, &near2));
    typeKeys(run.display, "m");
    const long muted = wave.mark();
    ASSERT_TRUE(markReturns(run, wave, &far3, &near3));
    typeKeys(run.display, "m");
    const long unmuted = wave.mark();
    ASSERT_TRUE(markReturns(run, wave, &far4, &near4));
    typeKeys(run.display, "p");
    const long paused = wave.mark();
    // Paused, the pointer and the buttons change nothing, and nothing sounds.
    movePointer(run.display, run.window, 100, 100);
    clickButton(run.display, 1);
    ASSERT_TRUE(waitUntil([&] { return wave.mark() > paused + 2 * rate; }, 20));
    const long pauseEnd = wave.mark();
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), std::string(loadLine) + "SOUND OFF\nSOUND ON\n");
    EXPECT_EQ(readFile(run.dir + "/stderr.txt"), "");

    const std::vector<float> peaks = wave.blockPeaks();
    const long slack = rate / 10;  // the writer's period and a busy machine's delays
    EXPECT_EQ(loudest(peaks, 0, beforeServe), 0.0f) << "nothing sounds before the serve";
    EXPECT_EQ(onsets(peaks, beforeServe, served + slack), 1) << "the serve";
    EXPECT_EQ(onsets(peaks, far1, near1), 1) << "the opponent's first return";
    EXPECT_EQ(onsets(peaks, near1, far2), 1) << "the player's first return";
    EXPECT_EQ(onsets(peaks, far2, near2), 1) << "the opponent's second return";
    EXPECT_EQ(loudest(peaks, muted + slack, unmuted), 0.0f) << "muted";
    EXPECT_EQ(onsets(peaks, unmuted, far4), 1) << "the player's return after sound is on again";
    EXPECT_EQ(onsets(peaks, far4, near4), 1) << "the opponent's return after sound is on again";
    EXPECT_EQ(loudest(peaks, paused + 3 * slack, pauseEnd), 0.0f) << "paused";
    // The far end sounds about half as loud as the near end.
    const float nearPeak = loudest(peaks, near1, far2), farPeak = loudest(peaks, far1, near1);
    EXPECT_NEAR(farPeak / nearPeak, 0.5, 0.15);
}

TEST(Sound, WithoutADeviceTheGamePlaysSilentlyAndQuietly)
{
    // The wave-file writer with no file to write: no device can be opened, here or on a
    // machine with a sound card.
    WaveRecorder noFile;
    writeFile(noFile.dir + "/wave.conf", {});
    GameRun run;
    run.environment = noFile.environment();
    std::string why;
    ASSERT_TRUE(launchGame(run, &why)) << why;
    ASSERT_TRUE(serveBall(run));
    EXPECT_TRUE(waitForFrame(run, [](const Frame& f) { return ballBeyond(f, -3.0); }, 20));
    typeKeys(run.display, "m");
    EXPECT_EQ(quitGame(run), 0);
    EXPECT_EQ(gameOutput(run), std::string(loadLine) + "SOUND OFF\n");
    EXPECT_EQ(readFile(run.dir + "/stderr.txt"), "");
}
