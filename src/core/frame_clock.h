// The song clock as every layer reads it. Written by drawFrame (both, once
// per frame), by the intro (SongTime: read again at the start of its frame,
// and set to 0 when it switches to the main song) and by the warm-up (both,
// for the frames it throws away, then put back with the rest of DemoState).
#pragma once

struct FrameClock {
    double SongTime = 0.0;    // ms, play position of the current song, read once per frame
    double FrameDelta = 0.0;  // ms, SongTime minus that of the previous frame

    bool operator==(const FrameClock&) const = default;
};
extern FrameClock Clock;
