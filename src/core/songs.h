// The demo's two songs and the music system's start as the demo asks for it:
// the shell at start-up, the intro again when it switches to the main song.
#pragma once

#include "platform/platform.h"

constexpr const char* IntroSongPath = "Data/Sounds/zerevovar.mod";
constexpr const char* MainSongPath = "Data/Sounds/Ruzezu.xm";

// Mix rate 44100 Hz, up to 64 channels, no flags.
inline bool initMusic() { return plat::musicInit(44100, 64, 0); }
