// The game's sounds as a player hears them, rendered without a sound device through a
// loopback device: placed left or right and near or far, never clipping, silent when
// muted or paused.
#define AL_ALEXT_PROTOTYPES
#include <AL/alc.h>
#include <AL/alext.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/state.h"
#include "game/events.h"
#include "sound/sound.h"

namespace {

struct Loudness {
    double left = 0, right = 0;  // root mean square per channel
    double peak = 0;             // largest sample of either channel, 1 is full scale
};

class Sound : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGameState();
        soundOn = 1;
        clearEvents();
        ALCdevice* device = alcLoopbackOpenDeviceSOFT(nullptr);
        ASSERT_NE(device, nullptr);
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                     ALC_FREQUENCY, soundRate, 0};
        ASSERT_TRUE(startSound(device, attributes));
        loopback = device;
    }
    void TearDown() override { closeSound(); }

    // Plays what was recorded and renders the next half second.
    Loudness render()
    {
        updateSound();
        const int frames = soundRate / 2;
        std::vector<float> samples(2 * frames);
        alcRenderSamplesSOFT(loopback, samples.data(), frames);
        Loudness l;
        for (int i = 0; i < frames; ++i) {
            l.left += samples[2 * i] * samples[2 * i];
            l.right += samples[2 * i + 1] * samples[2 * i + 1];
            l.peak = std::fmax(l.peak, std::fmax(std::fabs(samples[2 * i]), std::fabs(samples[2 * i + 1])));
        }
        l.left = std::sqrt(l.left / frames);
        l.right = std::sqrt(l.right / frames);
        return l;
    }

    ALCdevice* loopback = nullptr;
};

}  // namespace

TEST_F(Sound, ReturnOnTheLeftIsLouderOnTheLeft)
{
    recordEvent(playerReturnEvent, -1.5f, 0, 0);
    const Loudness left = render();
    EXPECT_GT(left.left, 3 * left.right);
    recordEvent(playerReturnEvent, 1.5f, 0, 0);
    const Loudness right = render();
    EXPECT_GT(right.right, 3 * right.left);
    EXPECT_NEAR(right.right, left.left, 0.01 * left.left);  // the court is symmetric
}

TEST_F(Sound, FarEndIsAboutHalfAsLoudAsTheNearEnd)
{
    recordEvent(opponentReturnEvent, 0, 0, 0);
    const Loudness nearEnd = render();
    recordEvent(opponentReturnEvent, 0, 0, -4.0f);
    const Loudness farEnd = render();
    EXPECT_GT(nearEnd.left, 0.01);
    EXPECT_NEAR(farEnd.left / nearEnd.left, 0.5, 0.05);
    EXPECT_NEAR(farEnd.right / nearEnd.right, 0.5, 0.05);
}

TEST_F(Sound, EverySoundIsHeardAndNoneClipsNorTheBusiestTick)
{
    for (int kind = 0; kind < gameEventKinds; ++kind) {
        recordEvent(static_cast<GameEventKind>(kind), -1.75f, 0, 0);
        const Loudness l = render();
        EXPECT_GT(l.peak, 0.05) << "kind " << kind;
        EXPECT_LT(l.peak, 0.5) << "kind " << kind;
    }
    // A return at the left wall that strikes floor and wall on its way, spun at once.
    for (GameEventKind kind : {playerReturnEvent, wallBounceEvent, wallBounceEvent, spinEvent})
        recordEvent(kind, -1.75f, -1.5f, 0);
    EXPECT_LT(render().peak, 1.0);
}

TEST_F(Sound, NothingSoundsWhileMutedOrPaused)
{
    recordEvent(levelGainedEvent, 0, 0, 0);
    EXPECT_GT(render().peak, 0.05);
    // Muting stops what plays and drops what follows; paused, nothing new starts.
    recordEvent(levelGainedEvent, 0, 0, 0);
    soundOn = 0;
    EXPECT_EQ(render().peak, 0.0);
    soundOn = 1;
    paused = 1;
    recordEvent(serveEvent, 0, 0, 0);
    EXPECT_EQ(render().peak, 0.0);
    EXPECT_EQ(gameEventCount, 0);
    paused = 0;
    recordEvent(serveEvent, 0, 0, 0);
    EXPECT_GT(render().peak, 0.05);
}
