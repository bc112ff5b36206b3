// The sound device and what plays on it: the listener at the camera behind the player, a
// small pool of sources placed where each event happened, the mute key's switch, the
// device paused while nothing sounds so that an idle game costs nothing, and a device that
// went away (or was never there) looked for again, off the game's thread.
#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

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
// The least time between two attempts to open a device again.
const std::chrono::milliseconds tryAgainAfter(3000);
// The sounds that set off an attempt are played once the device is there if it came this
// soon (an open takes milliseconds off the game's thread); later they would lag the picture.
const std::chrono::milliseconds lateAtMost(200);

static ALCdevice* device = nullptr;
static ALCcontext* context = nullptr;
static ALuint buffers[gameEventKinds];
static ALuint sources[sourceCount];
static int nextSource = 0;  // the source after the last one used: sources are taken in turn
static bool canPause = false;
static bool canTellDisconnect = false;  // ALC_EXT_disconnect, looked up once
static bool devicePaused = false;
static std::chrono::steady_clock::time_point lastHeard;  // when a sound last played
static std::vector<short> samples[gameEventKinds];  // made once, loaded onto every device

// Opening a device costs up to tens of milliseconds and closing one up to a second (a
// sound server's stream drained and torn down), so both are done by the opener thread, one
// attempt at a time; so is making the sounds when there were none yet. What it is handed
// and what it hands back (the sounds too) is only touched by the game's thread while no
// opener runs: before it starts, or once it has been joined.
static std::thread opener;
static std::atomic<bool> openerDone{false};  // the opener has finished: joining is instant
static ALCdevice* lostDevice = nullptr;      // for the opener to close
static ALCcontext* lostContext = nullptr;
static ALCdevice* foundDevice = nullptr;  // from the opener: a device with its context
static ALCcontext* foundContext = nullptr;
static bool triedBefore = false;
static std::chrono::steady_clock::time_point lastTry;
static GameEvent waiting[maxGameEvents];  // the sounds that set off the last attempt
static int waitingCount = 0;

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
    triedBefore = true;  // the next attempt waits its turn like any other
    lastTry = std::chrono::steady_clock::now();
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

// The sounds, made for the first device and kept for any later one.
static void makeSamples()
{
    if (!samples[0].empty())
        return;
    for (int kind = 0; kind < gameEventKinds; ++kind)
        samples[kind] = synthesise(static_cast<GameEventKind>(kind));
}

// Makes the context current and loads the sounds; false, with everything closed, when
// that fails.
static bool useContext(ALCdevice* opened, ALCcontext* made)
{
    if (!alcMakeContextCurrent(made)) {
        alcDestroyContext(made);
        alcCloseDevice(opened);
        return false;
    }
    device = opened;
    context = made;
    placeListener();
    makeSamples();
    alGenBuffers(gameEventKinds, buffers);
    for (int kind = 0; kind < gameEventKinds; ++kind) {
        alBufferData(buffers[kind], AL_FORMAT_MONO16, samples[kind].data(),
                     static_cast<ALsizei>(samples[kind].size() * sizeof(short)), soundRate);
    }
    alGenSources(sourceCount, sources);
    for (ALuint source : sources)
        alSourcef(source, AL_REFERENCE_DISTANCE, referenceDistance);
    nextSource = 0;
    // The backend's name; an OpenAL that does not name its devices that way gives the plain one.
    const ALCchar* name = alcGetString(device, ALC_ALL_DEVICES_SPECIFIER);
    if (!name)
        name = alcGetString(device, ALC_DEVICE_SPECIFIER);
    canPause = alcIsExtensionPresent(device, "ALC_SOFT_pause_device") && mayPauseDevice(name);
    canTellDisconnect = alcIsExtensionPresent(device, "ALC_EXT_disconnect");
    devicePaused = false;
    if (alGetError() == AL_NO_ERROR)
        return true;
    closeSound();
    return false;
}

bool startSound(ALCdevice* opened, const ALCint* attributes)
{
    ALCcontext* made = alcCreateContext(opened, attributes);
    if (!made) {
        alcCloseDevice(opened);
        return false;
    }
    return useContext(opened, made);
}

// The opener's work: the lost device closed, then the default device opened afresh.
static void openAgain()
{
    if (lostContext)
        alcDestroyContext(lostContext);
    if (lostDevice)
        alcCloseDevice(lostDevice);
    lostDevice = nullptr;
    lostContext = nullptr;
    forgetSoundConfiguration();
    foundDevice = alcOpenDevice(nullptr);
    foundContext = foundDevice ? alcCreateContext(foundDevice, nullptr) : nullptr;
    if (foundDevice && !foundContext) {
        alcCloseDevice(foundDevice);
        foundDevice = nullptr;
    }
    if (foundContext)
        makeSamples();  // a game that started without a device has none yet
    openerDone.store(true, std::memory_order_release);
}

// Waits for the opener, if one runs, and closes whatever it left.
static void finishOpener()
{
    if (opener.joinable())
        opener.join();
    if (foundContext) {
        alcDestroyContext(foundContext);
        alcCloseDevice(foundDevice);
    }
    if (lostContext)
        alcDestroyContext(lostContext);
    if (lostDevice)
        alcCloseDevice(lostDevice);
    foundDevice = lostDevice = nullptr;
    foundContext = lostContext = nullptr;
}

// Releases what the game made on the device and makes nothing current, keeping the device
// and its context open.
static void releaseDevice()
{
    alDeleteSources(sourceCount, sources);
    alDeleteBuffers(gameEventKinds, buffers);
    alcMakeContextCurrent(nullptr);
    device = nullptr;
    context = nullptr;
}

void closeSound()
{
    finishOpener();
    if (!device)
        return;
    ALCdevice* closing = device;
    ALCcontext* destroying = context;
    releaseDevice();
    alcDestroyContext(destroying);
    alcCloseDevice(closing);
}

// Takes the device the opener found, once it has finished.
static void takeFoundDevice()
{
    if (!opener.joinable() || !openerDone.load(std::memory_order_acquire))
        return;
    opener.join();
    ALCdevice* found = foundDevice;
    ALCcontext* made = foundContext;
    foundDevice = nullptr;
    foundContext = nullptr;
    if (!made || !useContext(found, made) ||
        std::chrono::steady_clock::now() - lastTry > lateAtMost)
        waitingCount = 0;
}

// Starts an attempt to open a device, unless one runs or the last began too recently,
// keeping the sounds that are due for the device it may find.
static void tryAgain()
{
    const auto now = std::chrono::steady_clock::now();
    if (!threadsOffered() || opener.joinable() || (triedBefore && now - lastTry < tryAgainAfter))
        return;
    std::copy(gameEvents, gameEvents + gameEventCount, waiting);
    waitingCount = gameEventCount;
    triedBefore = true;
    lastTry = now;
    openerDone.store(false, std::memory_order_relaxed);
    opener = std::thread(openAgain);
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
    if (device && !deviceConnected()) {
        lostDevice = device;  // no opener runs while there is a device
        lostContext = context;
        releaseDevice();
    }
    if (!device)
        takeFoundDevice();
    if (!device) {
        // Only a sound due is worth a device: at rest, paused or muted nothing is tried.
        if (gameEventCount > 0 && soundOn && !paused)
            tryAgain();
        clearEvents();
        return;
    }
    if (soundOn && !paused) {
        for (int i = 0; i < waitingCount; ++i)
            play(waiting[i]);
        for (int i = 0; i < gameEventCount; ++i)
            play(gameEvents[i]);
    }
    waitingCount = 0;
    clearEvents();
    if (!soundOn) {
        for (ALuint source : sources)  // one at a time: some OpenALs fail on the list form
            alSourceStop(source);
    }
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
