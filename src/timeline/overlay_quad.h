// The textured quad that about fills the 45-degree perspective view: the
// main part's decorative frame and the end scroller's backdrop.
#pragma once

// A quad of these half-extents at this z covers the 4:3 view.
constexpr float OverlayDistance = -3.05f;
constexpr float OverlayHalfWidth = 1.67f;
constexpr float OverlayHalfHeight = 1.27f;

enum class OverlayTexture {
    Upright,   // texture (0, 0) at the bottom-left corner
    HalfTurn,  // turned by half a turn: (0, 0) at the top-right corner
};

// The quad at z = 0 of the current modelview, corners counter-clockwise from
// the bottom-left; the top-left corner comes last, so its texture coordinate
// stays current after it.
void drawOverlayQuad(OverlayTexture texture);
