// Where the full-screen overlay quad puts each texel of a frame texture.
// The quad spans x -1.67..1.67, y -1.27..1.27 at z = -3.05 under the
// 45-degree, 4:3 perspective of an 800 x 600 window; its texture coordinate
// (0, 0) is at the bottom-left corner. Screen positions are window pixels
// with the origin at the bottom left.
#pragma once

namespace datagen {

struct ClipPanel {
    const char* label;
    int x, y, width, height;  // window pixels, as given to glScissor
};

// The seven clip panels of the main part.
constexpr int ClipPanelCount = 7;
extern const ClipPanel ClipPanels[ClipPanelCount];

// Screen x of texture coordinate s and screen y of t, and the inverses.
double overlayScreenX(double s);
double overlayScreenY(double t);
double overlayTexS(double screenX);
double overlayTexT(double screenY);

// Fraction (0..1) of the screen rectangle [x0, x1] x [y0, y1] that lies
// inside any clip panel.
double panelCoverage(double x0, double y0, double x1, double y1);

} // namespace datagen
