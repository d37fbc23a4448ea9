// Two counter-rotating textured cones sharing the view axis.
#pragma once

struct TwinConeState {
    float ConeSpin = 0.0f;  // cones turn by +/- 2 * ConeSpin degrees; +/- FrameDelta * 0.1 per call

    bool operator==(const TwinConeState&) const = default;
};

// Draws both cones blended, lit and fogged without depth test in the current
// frame, then moves ConeSpin up (rising) or down. Blend factors are the
// caller's. Leaves texturing and blending on; depth test, fog and lighting off.
void drawTwinCones(TwinConeState& cones, bool rising, double frameDelta);
