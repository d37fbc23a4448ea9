// The tunnel flight: a winding textured tube with the fighter in front.
#pragma once

#include "core/frame_input.h"

constexpr int TunnelPoints = 13;      // points around the tube; point 12 closes it onto point 0
constexpr int TunnelMaxSlices = 85;   // slices the grids hold

// Tube vertices [point r][slice j]; recomputed every frame while slices remain.
struct TunnelState {
    float TunnelX[TunnelPoints][TunnelMaxSlices] = {};
    float TunnelY[TunnelPoints][TunnelMaxSlices] = {};
    float TunnelZ[TunnelPoints][TunnelMaxSlices] = {};
    int TunnelSlices = TunnelMaxSlices;  // slices in use, 85 at start; falls per step after 53.5 s, never rises
    float TunnelPhase = 0.0f;            // winding and texture scroll; + FrameDelta * 0.1 per call
    float TunnelShade = 0.0f;            // shimmer offset 0, 0.1, ..., 0.9, stepping per slice of a step's tube
    float TunnelShadeShown = 0.0f;       // the shade the latest step's tube was drawn from
    float FighterRoll = 0.0f;            // degrees; computed at the end of a call for the next one

    bool operator==(const TunnelState&) const = default;
};
extern const float TunnelStep;  // pi in single precision: point r sits at r * pi / 6

// Translates the current modelview matrix by (0.5, 0, -4) without saving it
// (the caller pushes and pops), draws the fighter and the tube. The phase
// follows FrameDelta; the slices fall and the shade walks once per step of
// the run, and the tube's far end is drawn at the run's fraction of the next
// step's fall. Leaves blending off and depth testing on.
void drawTunnelFlight(TunnelState& tunnel, const FrameInput& in);
