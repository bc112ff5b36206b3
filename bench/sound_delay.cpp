// How long a sound takes to leave OpenAL: from the tick that raises an event to its sound
// starting in the mixer, plus the latency the device reports (ALC_SOFT_device_clock).
// Opens the default device as the game does (the same configuration file, the same pause
// while idle) and prints the figures; run it from the build directory, where the game's
// alsoft.conf lies beside it, e.g. ALSOFT_DRIVERS=null bench/volkrin_sound_delay 100
#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "app/state.h"
#include "game/events.h"
#include "sound/sound.h"

using Clock = std::chrono::steady_clock;

static double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Ticks as the game does, every 15 ms, for a while.
static void tickFor(int milliseconds)
{
    for (int ms = 0; ms < milliseconds; ms += 15) {
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        updateSound();
    }
}

static ALCdevice* device;
static ALuint source;  // the bench's own, silent, started with each of the game's sounds
static std::mt19937 randomPhase(15);

// Sounds a serve after each rest, as the game does after a tick: prints how long until the
// mixer began it and how long the device then holds it, on average.
static void measure(const char* what, int trials, int restMs)
{
    std::vector<double> totals;
    double startSum = 0, latencySum = 0;
    for (int t = 0; t < trials; ++t) {
        tickFor(restMs);
        std::this_thread::sleep_for(std::chrono::microseconds(randomPhase() % 15000));
        const Clock::time_point tick = Clock::now();
        recordEvent(serveEvent, 0, 0, 0);
        updateSound();  // resumes a paused device and plays the serve
        alSourcePlay(source);
        ALint offset = 0;
        while (offset == 0 && millisecondsSince(tick) < 1000) {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
        }
        const double started = millisecondsSince(tick);
        ALCint64SOFT clockLatency[2] = {0, 0};  // device clock, latency; nanoseconds
        alcGetInteger64vSOFT(device, ALC_DEVICE_CLOCK_LATENCY_SOFT, 2, clockLatency);
        alSourceStop(source);
        startSum += started;
        latencySum += clockLatency[1] / 1e6;
        totals.push_back(started + clockLatency[1] / 1e6);
    }
    double totalSum = 0;
    for (double d : totals)
        totalSum += d;
    std::sort(totals.begin(), totals.end());
    printf("%s: %d sounds, mixer start %.1f ms + device latency %.1f ms = delay %.1f ms on "
           "average, %.1f ms at the 90th percentile, %.1f ms at most\n",
           what, trials, startSum / trials, latencySum / trials, totalSum / trials,
           totals[trials * 9 / 10], totals.back());
}

int main(int argc, char** argv)
{
    const int trials = argc > 1 ? std::max(atoi(argv[1]), 1) : 50;
    resetGameState();
    initSound();
    ALCcontext* context = alcGetCurrentContext();
    if (!context) {
        printf("no sound device\n");
        return 1;
    }
    device = alcGetContextsDevice(context);
    ALCint rate = 0, refresh = 0;
    alcGetIntegerv(device, ALC_FREQUENCY, 1, &rate);
    alcGetIntegerv(device, ALC_REFRESH, 1, &refresh);
    printf("device %s, %d Hz, mixer update %.1f ms\n",
           alcGetString(device, ALC_ALL_DEVICES_SPECIFIER), rate, 1000.0 / std::max(refresh, 1));

    // A source of the bench's own, started right after the game's sound for the same event:
    // its sample offset shows when the mixer has begun it.
    const std::vector<short> samples = synthesise(serveEvent);
    ALuint buffer;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, AL_FORMAT_MONO16, samples.data(),
                 static_cast<ALsizei>(samples.size() * sizeof(short)), soundRate);
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcef(source, AL_GAIN, 0.0f);

    measure("device running (in a rally)", trials, 300);
    measure("device paused (the first sound after a rest)", std::max(trials / 4, 1), 2500);
    alDeleteSources(1, &source);
    alDeleteBuffers(1, &buffer);
    return 0;
}
