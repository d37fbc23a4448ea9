// Between the headless backend's files: the clock drives the audio.
#pragma once

namespace headless {

// Renders exactly `ms` of audio for the playing song (lockstep with the
// virtual clock); called by present and sleep.
void advanceAudio(double ms);

// Drops every song and setting of the music side (part of resetBackend).
void resetMusicState();

} // namespace headless
