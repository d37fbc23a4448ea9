// Screen layout of the main part: the seven clip panels, the 2-D overlay
// mode and the two panel passes.
#pragma once

#include "core/frame_input.h"

struct LayoutState {
    float BlobPhase = 0.0f;  // radians; advanced by the second panel pass

    bool operator==(const LayoutState&) const = default;
};

struct AnimationState;

// Each sets its rectangle and enables the scissor test (never disables it).
void clipMainPanel();
void clipSidePanel1();
void clipSidePanel2();
void clipSidePanel3();
void clipSidePanel4();
void clipMeterStrip();
void clipTallStrip();

// 800 x 600 pixel space, origin top-left, y down. Both leave GL_MODELVIEW selected.
void enterOverlay2D();
void leaveOverlay2D();

// Before the scene: spark panel, meter strip, tall colour strip, binary
// readout; ends with the main panel's clip set.
void drawFirstPanelPass(AnimationState& state, const FrameInput& in);
// After the scene: blob cores, bottom colour panel; ends with the scissor test off.
void drawSecondPanelPass(AnimationState& state, const FrameInput& in);
