// The OpenAL extensions the game's sound uses, as the browser's OpenAL offers them: pausing
// the device (the page's audio context) while nothing sounds. No disconnect: a page's audio
// does not go away.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#define ALC_CONNECTED 0x313

#ifdef __cplusplus
extern "C" {
#endif

void alcDevicePauseSOFT(ALCdevice* device);
void alcDeviceResumeSOFT(ALCdevice* device);

#ifdef __cplusplus
}
#endif
