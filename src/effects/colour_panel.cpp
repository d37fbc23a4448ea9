// The colour panel: one quad, four corner colours from one swinging phase.
#include "effects/colour_panel.h"

#include "assets/texture_set.h"
#include "core/frame_clock.h"

#include <GL/gl.h>

#include <cmath>

ColourPanelState ColourPanel;

void colourPanelCorners(float p, float c[4][3])
{
    const double P = p;
    const double values[4][3] = {
        {std::sin(P), 0.5 * std::atan(P + 1.0), 2.0 * std::cos(P)},
        {std::cos(P), std::cos(P - 1.0), 0.9 * std::cos(P)},
        {std::tan(P), 0.5 * std::atan(P + 2.0), std::sin(P)},
        {std::sin(P), std::cos(P - 2.0), 0.3 * std::sin(P)},
    };
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 3; ++k) c[i][k] = static_cast<float>(values[i][k]);
    }
}

void drawColourPanel()
{
    // Corner positions and texture coordinates; GL clamps the colours to 0..1.
    static const float vertices[4][3] = {
        {-2.0f, -2.0f, 1.0f}, {2.2f, -2.0f, 1.0f}, {2.2f, 2.0f, 1.0f}, {-2.0f, 2.0f, 1.0f}};
    static const float texCoords[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};

    float colours[4][3];
    colourPanelCorners(ColourPanel.PanelPhase, colours);

    glTranslatef(-0.9f, 0.6f, -4.0f);
    bindTexture(TexTestground);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    for (int i = 0; i < 4; ++i) {
        glColor3fv(colours[i]);
        glTexCoord2fv(texCoords[i]);
        glVertex3fv(vertices[i]);
    }
    glEnd();

    // The turn comes on the call that reaches or passes either end.
    if (ColourPanel.PanelRising) {
        ColourPanel.PanelPhase = static_cast<float>(ColourPanel.PanelPhase + Clock.FrameDelta * 0.0005);
        if (ColourPanel.PanelPhase >= 1.5f) ColourPanel.PanelRising = false;
    } else {
        ColourPanel.PanelPhase = static_cast<float>(ColourPanel.PanelPhase - Clock.FrameDelta * 0.0005);
        if (ColourPanel.PanelPhase <= -1.5f) ColourPanel.PanelRising = true;
    }
}
