// The song clock as every layer reads it. Written by drawFrame (both, once
// per frame), by the intro (SongTime: read again at the start of its frame,
// and set to 0 when it switches to the main song) and by the warm-up (both,
// for the frames it throws away, then put back with the rest of DemoState).
// FrameSteps is written by drawFrame and the warm-up only.
#pragma once

#include "core/step_clock.h"

struct FrameClock {
    double SongTime = 0.0;    // ms, play position of the current song, read once per frame
    double FrameDelta = 0.0;  // ms, SongTime minus that of the previous frame
    StepRun FrameSteps;       // the steps of 1000/60 ms this frame crossed, and its fraction of the next

    bool operator==(const FrameClock&) const = default;
};
extern FrameClock Clock;
