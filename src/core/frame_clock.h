// The song clock between frames. The shell keeps it (ShellState::Clock);
// only the timeline's clock functions write it: drawFrame once per frame,
// which builds the frame's FrameInput from it, beginMainSong (SongTime 0 for
// the new song) and leaveOutOfFrameClock.
#pragma once

#include "core/step_clock.h"

struct FrameClock {
    double SongTime = 0.0;    // ms, play position of the current song, read once per frame
    double FrameDelta = 0.0;  // ms, SongTime minus that of the previous frame
    StepRun FrameSteps;       // the steps of 1000/60 ms this frame crossed, and its fraction of the next

    bool operator==(const FrameClock&) const = default;
};
