// The GL objects of the current context: texture names, display-list bases,
// quadrics and what is worked out from them. The scene set-up makes them in
// each new context (the first frame's render pass makes the render target);
// they mean nothing in another context, so they are no part of DemoState.
#pragma once

#include "platform/platform.h"

#include <GL/glu.h>

#include <array>
#include <vector>

// The sixteen texture slots every scene draws with.
enum TextureSlot {
    TexTunnel = 0,
    TexFrames02 = 1,
    TexFrame03 = 2,
    TexFont = 3,
    TexSpare = 4,
    TexTestground = 5,
    TexP1 = 6,
    TexPentagram01 = 7,
    TexVu02 = 8,
    TexCube = 9,
    TexP2 = 10,
    TexCredits = 11,
    TexChrome = 12,
    TexWater01 = 13,
    TexBg = 14,
    TexMusix = 15,
    TextureSlotCount = 16,
};

// Rectangles of the picture where the frame overlay's textures can change it,
// worked out from the two frame textures and the picture transform.
struct OverlayCover {
    bool wanted = false;              // prepared since the last forget
    bool computed = false;
    unsigned mask = 0;                // texture names it was worked out for
    unsigned art = 0;
    unsigned generation = 0;          // of the picture transform
    bool useful = false;
    std::vector<std::array<int, 4>> rects;  // x, y, width, height in drawable pixels
};

struct RenderTargetInfo {
    unsigned textureName = 0;  // GL texture written by the render-to-texture pass
};

struct GlResources {
    unsigned Textures[TextureSlotCount] = {};  // by TextureSlot, made by loadTextureSet
    int TextureDensity = 0;               // 1, 2 or 4: texels per written texel in Textures; 0: none made
    unsigned ModelTexture = 0;            // the most recent material texture, drawn on both models
    GLUquadric* SphereQuadric = nullptr;  // smooth normals, texture coords: spray and intro spheres
    GLUquadric* ConeQuadric = nullptr;    // smooth normals, texture coords: twin cones
    GLUquadric* RenderQuadric = nullptr;  // made by the render-to-texture pass
    RenderTargetInfo RenderTarget;        // the render-to-texture pass's texture
    unsigned SpraySphereList = 0;         // the spray's sphere as a display list, 0 = none
    unsigned BitmapFont = 0;              // first of the 256 flat glyph lists
    unsigned OutlineFont = 0;             // first of the 256 extruded glyph lists
    plat::GlyphMetric GlyphMetrics[256] = {};  // per-code metrics of OutlineFont; cellIncX is the advance
    float OutlineFontScale = 0.0f;        // picture scale OutlineFont's curves are cut for; 0: none built
    OverlayCover FrameOverlayCover;       // made by prepareFrameOverlayCover, dropped by forgetFrameOverlayCover
};
extern GlResources Gl;
