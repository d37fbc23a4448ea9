// Draws the landscape window of at most 30 x 30 cells around the camera.
#pragma once

#include "effects/heightfield_gen.h"

#include <cstdint>

// Lit, textured and tinted cells of the field around the camera's x and z.
// The caller sets the view transform, depth test and blending.
// Leaves lighting and 2-D texturing on.
void drawHeightField(const HeightFieldData& field, float cameraX, float cameraZ);

// Cells i in [x0, x1) and j in [z0, z1): bounds of camera +/- 15, truncated
// toward zero, clamped to 0..255.
struct HeightFieldWindow {
    int x0, x1, z0, z1;
};
HeightFieldWindow heightFieldWindow(float cameraX, float cameraZ);

// Low 8 bits of v truncated toward zero to a 64-bit integer; 0 for infinite,
// not-a-number or values outside the 64-bit range.
std::uint8_t heightTint(float v);

// The corner colour of a point of height h: tint(1 - 1000 / (5h)),
// tint(1 - 1000 / (10h)), tint(1 - 1000 / h).
struct HeightColour {
    std::uint8_t r, g, b;
};
HeightColour heightColour(float h);
