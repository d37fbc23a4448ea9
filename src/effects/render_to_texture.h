// One-time pass: a lit green sphere rendered into a small luminance texture.
#pragma once

#include "core/gl_resources.h"  // RenderTargetInfo; the pass makes Gl.RenderQuadric

// Draws the sphere into the picture's lower-left width x height picture
// pixels (scaled with the picture), copies them into a new luminance texture
// and clears colour and depth again. Expects an identity modelview and the
// window's perspective. Leaves: clear colour (0, 0, 0, 0.5), lighting off,
// viewport on the picture, the target texture bound.
void renderSphereTexture(RenderTargetInfo& target, int width, int height);
