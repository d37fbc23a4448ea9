// Headless music (not built yet): silence on the virtual clock.
#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"

namespace {
double playStartMs = 0.0;
}

namespace headless {
void advanceAudio(double) {}
void setAudioDeviceAvailable(bool) {}
void setAudioSink(std::function<void(const std::int16_t*, std::size_t, int)>) {}
}

namespace plat {
bool musicInit(int, int, unsigned) { return true; }
void musicClose() {}
Song musicLoadSong(const char*) { return 1; }
void musicPlaySong(Song) { playStartMs = headless::virtualTimeMs(); }
int musicGetTime(Song) { return static_cast<int>(headless::virtualTimeMs() - playStartMs); }
void musicSetMasterVolume(Song, int) {}
float musicGetChannelVU(int) { return 0.0f; }
}
