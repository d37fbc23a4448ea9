// The cone scene, the pentagram with flames and the credits sheet.
#pragma once

#include "core/frame_input.h"

struct MiddleSceneState {
    // Cone scene (26.5 s to 42 s).
    float ConeAngle = 0.0f;       // degrees: the cones' turn about the view axis, the fighter's distance and spin
    bool ConeRising = true;       // direction of ConeAngle; handed to the twin cones
    bool ConeTopArmed = true;     // true: the next turn is at the top (180), false: at the bottom (0)
    bool ConeSlowRise = false;    // set when ConeAngle first falls back to 0; halves the rise speed

    float PentagramAngle = 0.0f;  // degrees about y; 20 per s
    float SheetPhase = 0.0f;      // radians; the credits sheet's wobble, 1 per s

    bool operator==(const MiddleSceneState&) const = default;
};

struct AnimationState;

// One frame of each scene; each starts from the modelview matrix it finds
// and leaves it as found.
void drawConeScene(AnimationState& state, const FrameInput& in);
void drawPentagramScene(AnimationState& state, const FrameInput& in);
void drawSheetScene(AnimationState& state, const FrameInput& in);
