// The step clock: song time counted in whole steps of 1000/60 ms, the rate
// that every motion moving by a fixed amount per step was made for. drawFrame
// works out once per frame which steps its song time crossed (FrameInput::steps);
// the effects that step take that run, and the key table repeats held keys
// once per step.
#pragma once

#include <cstdint>

// At most 200 ms of steps in one live frame: a long stall (a window rebuild,
// a paused process) drops the rest instead of replaying them in a burst. A
// virtual clock never stalls, so its frames take every step they cross.
constexpr int MaxFrameSteps = 12;

// The steps one frame crossed, and where its song time lies after the last.
struct StepRun {
    int count = 0;          // whole steps since the previous frame, 0..the cap (MaxFrameSteps live)
    std::int64_t last = 0;  // index of the latest step started (the song's first step is 1)
    float fraction = 0.0f;  // 0..1: how far the frame lies between step `last` and the next

    bool operator==(const StepRun&) const = default;
};

// Step k of a song starts at floor(k * 1000 / 60) ms of its song time, so an
// integer-millisecond clock at 60 frames a second meets every step exactly.
std::int64_t stepStartMs(std::int64_t index);
// The song milliseconds step `index` covers: 16 or 17.
double stepLengthMs(std::int64_t index);
// The latest step started at or before song time t (ms); 0 before the first.
std::int64_t stepIndexAt(double songTimeMs);

// The run of a frame at `currentMs` following one at `previousMs` (song time
// of the same song; the intro's song switch sets the previous time to 0).
// Time standing still or going back crosses no step; more than `maxSteps`
// are cut to that many.
StepRun stepsBetween(double previousMs, double currentMs, int maxSteps = MaxFrameSteps);
