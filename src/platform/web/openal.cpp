// OpenAL's device pause under the names the game's sound uses, over the browser's OpenAL,
// where it suspends the page's audio context.
#include <AL/alext.h>

extern "C" {
void emscripten_alcDevicePauseSOFT(ALCdevice* device);
void emscripten_alcDeviceResumeSOFT(ALCdevice* device);

void alcDevicePauseSOFT(ALCdevice* device) { emscripten_alcDevicePauseSOFT(device); }
void alcDeviceResumeSOFT(ALCdevice* device) { emscripten_alcDeviceResumeSOFT(device); }
}
