// A textured quad whose corner colours swing with one phase.
#pragma once

#include "core/step_clock.h"

struct ColourPanelState {
    float PanelPhase = 0.0f;  // the phase P, kept between about -1.5 and 1.5
    bool PanelRising = true;  // direction of PanelPhase
    // The phase before the first and before the second swing of the latest
    // step: what the panel's first and second showing of a frame draw.
    float PanelPhaseShown[2] = {0.0f, 0.0f};

    bool operator==(const ColourPanelState&) const = default;
};

// The screen layout shows the panel twice a frame, and each showing moved the
// phase once at 60 frames a second: so each step swings it twice, by the
// step's length each time, turning on the swing that reaches or passes an end.
void swingColourPanel(ColourPanelState& panel, const StepRun& steps);
// The phase the frame's first (showing 0) or second (showing 1) showing
// draws: as it was before the first or the second swing of the latest step,
// moved on by the run's fraction of a step, swing by swing (a turn included).
float colourPanelPhase(const ColourPanelState& panel, int showing, const StepRun& steps);
// Translates the modelview matrix without saving it (the caller does) and
// draws the quad with the testground texture, coloured from that phase.
void drawColourPanel(const ColourPanelState& panel, int showing, const StepRun& steps);

// Unclamped corner colours (r, g, b) for phase p, corners 1 to 4.
void colourPanelCorners(float p, float corners[4][3]);
