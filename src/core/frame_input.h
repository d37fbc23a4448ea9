// What one frame reads besides the animation state: built once per frame by
// drawFrame from the song time and the controls, and handed down as a const
// argument (or the parts a function needs) to every scene, effect and text
// function. Nothing below the shell reads a clock or the controls elsewhere.
#pragma once

#include "core/controls.h"
#include "core/step_clock.h"

struct FrameInput {
    double songTime = 0.0;    // ms, play position of the current song, read once per frame
    double frameDelta = 0.0;  // ms, songTime minus that of the previous frame
    StepRun steps{};          // the steps of 1000/60 ms this frame crossed, and its fraction of the next
    ControlState controls{};  // as the frame found them

    bool operator==(const FrameInput&) const = default;
};
