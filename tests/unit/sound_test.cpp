// The game's sounds rendered without a sound device, through a loopback device: placed
// left or right and near or far, never clipping, silent while muted or paused.
#define AL_ALEXT_PROTOTYPES
#include <AL/alext.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/state.h"
#include "sound/sound.h"

// Records one event at (x, 0, z), plays it and renders the next half second: the root
// mean square of the left and the right channel, and the largest sample (1: full scale).
struct Heard {
    double left = 0, right = 0, peak = 0;
};
static Heard hear(ALCdevice* device, GameEventKind kind, float x, float z)
{
    recordEvent(kind, x, 0, z);
    updateSound();
    std::vector<float> lr(soundRate);
    alcRenderSamplesSOFT(device, lr.data(), soundRate / 2);
    Heard h;
    for (size_t i = 0; i < lr.size(); i += 2) {
        h.left += lr[i] * lr[i] / (soundRate / 2);
        h.right += lr[i + 1] * lr[i + 1] / (soundRate / 2);
        h.peak = std::fmax(h.peak, std::fmax(std::fabs(lr[i]), std::fabs(lr[i + 1])));
    }
    return {std::sqrt(h.left), std::sqrt(h.right), h.peak};
}

TEST(Sound, PlacedWhereItHappensNeverClippingSilentWhenMutedOrPaused)
{
    resetGameState();
    clearEvents();  // what other tests left
    ALCdevice* device = alcLoopbackOpenDeviceSOFT(nullptr);
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                                 ALC_FLOAT_SOFT, ALC_FREQUENCY, soundRate, 0};
    ASSERT_TRUE(device && startSound(device, attributes));

    const Heard left = hear(device, playerReturnEvent, -1.5f, 0);
    const Heard right = hear(device, playerReturnEvent, 1.5f, 0);
    EXPECT_GT(left.left, 3 * left.right);
    EXPECT_GT(right.right, 3 * right.left);
    EXPECT_NEAR(right.right, left.left, 0.01 * left.left);  // the court is symmetric
    const Heard nearEnd = hear(device, opponentReturnEvent, 0, 0);
    const Heard farEnd = hear(device, opponentReturnEvent, 0, -4.0f);
    EXPECT_NEAR(farEnd.left / nearEnd.left, 0.5, 0.05);

    // Each sound heard, none loud, nor four at once at the left wall: a return that
    // strikes floor and wall on its way and is spun at once.
    for (int kind = 0; kind < gameEventKinds; ++kind) {
        const Heard h = hear(device, static_cast<GameEventKind>(kind), -1.75f, 0);
        EXPECT_GT(h.peak, 0.05) << "kind " << kind;
        EXPECT_LT(h.peak, 0.5) << "kind " << kind;
    }
    recordEvent(playerReturnEvent, -1.75f, -1.5f, 0);
    recordEvent(wallBounceEvent, -1.75f, -1.5f, 0);
    recordEvent(wallBounceEvent, -1.75f, -1.5f, 0);
    EXPECT_LT(hear(device, spinEvent, -1.75f, 0).peak, 1.0);

    // Muting stops what plays and drops what follows; paused, nothing new starts. OpenAL
    // Soft after 1.19 (the Windows build's 1.24) fades a stopped sound out over a few
    // milliseconds rather than cutting it with a click: far below what any sound peaks at.
    const bool fadesOut = std::string(alGetString(AL_VERSION)).find("ALSOFT 1.19") == std::string::npos;
    hear(device, levelGainedEvent, 0, 0);  // still sounding half a second on
    soundOn = 0;
    EXPECT_LE(hear(device, serveEvent, 0, 0).peak, fadesOut ? 0.01 : 0.0);
    soundOn = 1;
    paused = 1;
    EXPECT_EQ(hear(device, serveEvent, 0, 0).peak, 0.0);
    paused = 0;
    EXPECT_GT(hear(device, serveEvent, 0, 0).peak, 0.05);
    closeSound();
}

// The wave-file writer and a loopback device are never paused, by whatever name OpenAL Soft
// gives them (on Windows it puts "OpenAL Soft on " before each).
TEST(Sound, OnlyDevicesThatPlayAreEverPaused)
{
    const struct {
        const char* name;
        bool mayPause;
    } cases[] = {
        {"Wave File Writer", false}, {"Loopback", false},
        {"OpenAL Soft on Wave File Writer", false}, {"OpenAL Soft on Loopback", false},
        {"ALSA Default", true}, {"OpenAL Soft on Speakers (High Definition Audio)", true},
        {"OpenAL Soft on ", true}, {nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mayPauseDevice(c.name), c.mayPause) << (c.name ? c.name : "no name");
}
