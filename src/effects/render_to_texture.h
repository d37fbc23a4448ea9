// One-time pass: a lit green sphere rendered into a small luminance texture.
#pragma once

struct RenderTargetInfo {
    unsigned textureName = 0;
};

extern RenderTargetInfo RenderTarget;

void renderSphereTexture(RenderTargetInfo& target, int width, int height);
