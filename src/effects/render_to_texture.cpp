// Render-to-texture pass (not built yet).
#include "effects/render_to_texture.h"

RenderTargetInfo RenderTarget;
void renderSphereTexture(RenderTargetInfo&, int, int) {}
