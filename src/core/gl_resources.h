// The GL objects of the current context: texture names, display-list bases,
// quadrics and what is worked out from them. The scene set-up makes them in
// each new context (the first frame's render pass makes the render target);
// they mean nothing in another context, so they are no part of DemoState.
#pragma once

#include "platform/platform.h"

#include <GL/glu.h>

struct RenderTargetInfo {
    unsigned textureName = 0;  // GL texture written by the render-to-texture pass
};

struct GlResources {
    GLUquadric* SphereQuadric = nullptr;  // smooth normals, texture coords: spray and intro spheres
    GLUquadric* ConeQuadric = nullptr;    // smooth normals, texture coords: twin cones
    GLUquadric* RenderQuadric = nullptr;  // made by the render-to-texture pass
    RenderTargetInfo RenderTarget;        // the render-to-texture pass's texture
    unsigned SpraySphereList = 0;         // the spray's sphere as a display list, 0 = none
    unsigned BitmapFont = 0;              // first of the 256 flat glyph lists
    unsigned OutlineFont = 0;             // first of the 256 extruded glyph lists
    plat::GlyphMetric GlyphMetrics[256] = {};  // per-code metrics of OutlineFont; cellIncX is the advance
};
extern GlResources Gl;
