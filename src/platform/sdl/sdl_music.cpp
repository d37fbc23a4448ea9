// Live music (not built yet).
#include "platform/platform.h"

namespace plat {
bool musicInit(int, int, unsigned) { return false; }
void musicClose() {}
Song musicLoadSong(const char*) { return 1; }
void musicPlaySong(Song) {}
int musicGetTime(Song) { return 0; }
void musicSetMasterVolume(Song, int) {}
float musicGetChannelVU(int) { return 0.0f; }
}
