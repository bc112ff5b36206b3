// The sound device and what plays on it: the listener at the camera behind the player, a
// small pool of sources placed where each event happened, the mute key's switch, and the
// device paused while nothing sounds so that an idle game costs nothing.
#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "app/state.h"
#include "platform/platform.h"
#include "sound/sound.h"

int soundOn = 1;

const float listenerZ = 2.2f;          // court units: the camera behind the player
const float referenceDistance = 3.1f;  // court units: full loudness up to here, so the
                                       // whole near end sounds alike and the far end
                                       // (6.2 away) about half as loud
const int sourceCount = 12;            // more sounds at once than a rally ever makes
// Silence this long before the device is paused: a rally's strokes, a second or less
// apart, then find it running and need not wait for it to start again.
const std::chrono::milliseconds pauseAfter(2000);

static ALCdevice* device = nullptr;
static ALCcontext* context = nullptr;
static ALuint buffers[gameEventKinds];
static ALuint sources[sourceCount];
static int nextSource = 0;  // the source after the last one used: sources are taken in turn
static bool canPause = false;
static bool canTellDisconnect = false;  // ALC_EXT_disconnect, looked up once
static bool devicePaused = false;
static std::chrono::steady_clock::time_point lastHeard;  // when a sound last played

bool mayPauseDevice(const char* deviceName)
{
    // OpenAL Soft on Windows puts this before every backend's name.
    const char* const windowsPrefix = "OpenAL Soft on ";
    if (deviceName && strncmp(deviceName, windowsPrefix, strlen(windowsPrefix)) == 0)
        deviceName += strlen(windowsPrefix);
    return deviceName && strcmp(deviceName, "Wave File Writer") != 0 &&
           strcmp(deviceName, "Loopback") != 0;
}

void initSound()
{
    quietenLibraries();
    if (ALCdevice* opened = alcOpenDevice(nullptr))
        startSound(opened, nullptr);
    atexit(closeSound);  // a device closed in order drains its last sound
}

// The listener stands at the camera behind the player and looks down the court whatever
// the view: sound does not follow the camera.
static void placeListener()
{
    const ALfloat orientation[6] = {0, 0, -1, 0, 1, 0};  // looking down -z, y up
    alListener3f(AL_POSITION, 0, 0, listenerZ);
    alListenerfv(AL_ORIENTATION, orientation);
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
}

bool startSound(ALCdevice* opened, const ALCint* attributes)
{
    ALCcontext* made = alcCreateContext(opened, attributes);
    if (!made || !alcMakeContextCurrent(made)) {
        if (made)
            alcDestroyContext(made);
        alcCloseDevice(opened);
        return false;
    }
    device = opened;
    context = made;
    placeListener();
    alGenBuffers(gameEventKinds, buffers);
    for (int kind = 0; kind < gameEventKinds; ++kind) {
        const std::vector<short> samples = synthesise(static_cast<GameEventKind>(kind));
        alBufferData(buffers[kind], AL_FORMAT_MONO16, samples.data(),
                     static_cast<ALsizei>(samples.size() * sizeof(short)), soundRate);
    }
    alGenSources(sourceCount, sources);
    for (ALuint source : sources)
        alSourcef(source, AL_REFERENCE_DISTANCE, referenceDistance);
    canPause = alcIsExtensionPresent(device, "ALC_SOFT_pause_device") &&
               mayPauseDevice(alcGetString(device, ALC_ALL_DEVICES_SPECIFIER));  // the backend's name
    canTellDisconnect = alcIsExtensionPresent(device, "ALC_EXT_disconnect");
    devicePaused = false;
    if (alGetError() == AL_NO_ERROR)
        return true;
    closeSound();
    return false;
}

void closeSound()
{
    if (!device)
        return;
    alDeleteSources(sourceCount, sources);
    alDeleteBuffers(gameEventKinds, buffers);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    device = nullptr;
    context = nullptr;
}

// A device that went away (a server stopped, a card unplugged) leaves the game silent.
static bool deviceConnected()
{
    ALCint connected = 1;
    if (canTellDisconnect)
        alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    return connected != 0;
}

static bool playing(ALuint source)
{
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

static void play(const GameEvent& event)
{
    int chosen = nextSource;  // taken over if every source is busy
    for (int i = 0; i < sourceCount; ++i) {
        const int n = (nextSource + i) % sourceCount;
        if (!playing(sources[n])) {
            chosen = n;
            break;
        }
    }
    nextSource = (chosen + 1) % sourceCount;
    const ALuint source = sources[chosen];
    if (devicePaused) {
        alcDeviceResumeSOFT(device);
        devicePaused = false;
    }
    lastHeard = std::chrono::steady_clock::now();
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffers[event.kind]));
    alSource3f(source, AL_POSITION, event.x, event.y, event.z);
    alSourcePlay(source);
}

static bool anythingPlaying()
{
    for (ALuint source : sources)
        if (playing(source))
            return true;
    return false;
}

void updateSound()
{
    if (!device || !deviceConnected()) {
        clearEvents();
        return;
    }
    if (soundOn && !paused) {
        for (int i = 0; i < gameEventCount; ++i)
            play(gameEvents[i]);
    }
    clearEvents();
    if (!soundOn)
        alSourceStopv(sourceCount, sources);
    if (!canPause || devicePaused)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (anythingPlaying()) {
        lastHeard = now;
    } else if (now - lastHeard >= pauseAfter) {
        alcDevicePauseSOFT(device);
        devicePaused = true;
    }
}
