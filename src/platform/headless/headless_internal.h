// Between the headless backend's files: the clock drives the audio.
#pragma once

namespace headless {

// Renders exactly `ms` of audio for the playing song (lockstep with the
// virtual clock); called by present and sleep.
void advanceAudio(double ms);

} // namespace headless
