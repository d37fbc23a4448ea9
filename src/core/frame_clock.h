// The song clock as every layer reads it. drawFrame writes both once per
// frame; nothing else does.
#pragma once

struct FrameClock {
    double SongTime = 0.0;    // ms, play position of the current song, read once per frame
    double FrameDelta = 0.0;  // ms, SongTime minus that of the previous frame

    bool operator==(const FrameClock&) const = default;
};
extern FrameClock Clock;
