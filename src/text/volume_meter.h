// Three-bar level meter following mixer channels 4, 6 and 7.
#pragma once

struct VolumeMeterState {
    float VolumeLevels[3] = {0.0f, 0.0f, 0.0f};  // smoothed levels of bars 1 (bottom) to 3, 0..0.5

    bool operator==(const VolumeMeterState&) const = default;
};
extern VolumeMeterState Meter;

// Bar 1 starts from 0.5 (called by the scene set-up).
void InitVolumeMeter();
// Updates the three levels (once per call, so the fall follows the frame
// rate) and draws the bars. Expects the perspective projection and an
// identity modelview matrix; leaves a translation that the caller undoes.
void DrawVolumeMeter();

// One smoothing step: a rise of more than 30 % is taken at once, otherwise a
// tenth of the way towards the level; clamped to 0.5.
float smoothVolumeLevel(float smoothed, float level);
