// A textured quad whose corner colours swing with one phase.
#pragma once

struct ColourPanelState {
    float PanelPhase = 0.0f;  // the phase P, kept between about -1.5 and 1.5
    bool PanelRising = true;  // direction of PanelPhase

    bool operator==(const ColourPanelState&) const = default;
};
extern ColourPanelState ColourPanel;

// Translates the modelview matrix without saving it (the caller does), draws
// the quad with the testground texture and moves the phase by FrameDelta.
void drawColourPanel();

// Unclamped corner colours (r, g, b) for phase p, corners 1 to 4.
void colourPanelCorners(float p, float corners[4][3]);
