// Three-bar level meter following mixer channels 4, 6 and 7.
#pragma once

#include "core/step_clock.h"

struct VolumeMeterState {
    float VolumeLevels[3] = {0.0f, 0.0f, 0.0f};  // smoothed levels of bars 1 (bottom) to 3, 0..0.5

    bool operator==(const VolumeMeterState&) const = default;
};

// Bar 1 starts from 0.5 (called by the scene set-up).
void InitVolumeMeter(VolumeMeterState& meter);
// Reads the three channel levels, smooths each bar once per step of the run
// (so the fall is the same at any frame rate) and draws the bars. Expects the
// perspective projection and an identity modelview matrix; leaves a
// translation that the caller undoes.
void DrawVolumeMeter(VolumeMeterState& meter, const StepRun& steps);

// One smoothing step: a rise of more than 30 % is taken at once, otherwise a
// tenth of the way towards the level; clamped to 0.5.
float smoothVolumeLevel(float smoothed, float level);
