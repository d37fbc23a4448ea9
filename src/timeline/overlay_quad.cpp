// The overlay quad shared by the frame overlay and the end scroller.
#include "timeline/overlay_quad.h"

#include <GL/gl.h>

void drawOverlayQuad(OverlayTexture texture)
{
    const float corners[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
    const bool turned = texture == OverlayTexture::HalfTurn;
    glBegin(GL_QUADS);
    for (const auto& c : corners) {
        const float s = (c[0] + 1.0f) * 0.5f, t = (c[1] + 1.0f) * 0.5f;
        glTexCoord2f(turned ? 1.0f - s : s, turned ? 1.0f - t : t);
        glVertex3f(c[0] * OverlayHalfWidth, c[1] * OverlayHalfHeight, 0.0f);
    }
    glEnd();
}
