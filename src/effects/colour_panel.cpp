// The colour panel: one quad, four corner colours from one swinging phase.
#include "effects/colour_panel.h"

#include "assets/texture_set.h"
#include "core/step_clock.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

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

namespace {

// One swing of stepMs song milliseconds; the turn comes on the swing that
// reaches or passes either end.
void swingPanel(float& phase, bool& rising, double stepMs)
{
    if (rising) {
        phase = static_cast<float>(phase + stepMs * 0.0005);
        if (phase >= 1.5f) rising = false;
    } else {
        phase = static_cast<float>(phase - stepMs * 0.0005);
        if (phase <= -1.5f) rising = true;
    }
}

} // namespace

void swingColourPanel(ColourPanelState& panel, const StepRun& steps)
{
    const std::int64_t first = steps.last - steps.count + 1;
    for (int i = 0; i < steps.count; ++i) {
        const double stepMs = stepLengthMs(first + i);
        panel.PanelPhaseShown[0] = panel.PanelPhase;
        swingPanel(panel.PanelPhase, panel.PanelRising, stepMs);
        panel.PanelPhaseShown[1] = panel.PanelPhase;
        swingPanel(panel.PanelPhase, panel.PanelRising, stepMs);
    }
}

float colourPanelPhase(const ColourPanelState& panel, int showing, const StepRun& steps)
{
    // The phase swing by swing: the two kept, the current one and the first
    // swing of the next step, which nothing has taken yet.
    float ahead = panel.PanelPhase;
    bool rising = panel.PanelRising;
    swingPanel(ahead, rising, stepLengthMs(steps.last + 1));
    const float swings[4] = {panel.PanelPhaseShown[0], panel.PanelPhaseShown[1], panel.PanelPhase,
                             ahead};
    // The first showing lies 2 * fraction swings past the first kept phase,
    // the second one swing later; whole swings give the kept phase itself.
    const float at = (showing == 0 ? 0.0f : 1.0f) + 2.0f * std::clamp(steps.fraction, 0.0f, 1.0f);
    const int whole = std::min(static_cast<int>(at), 2);
    const float part = at - static_cast<float>(whole);
    if (!(part > 0.0f)) return swings[whole];
    return swings[whole] + (swings[whole + 1] - swings[whole]) * part;
}

void drawColourPanel(const ColourPanelState& panel, int showing, const StepRun& steps)
{
    // Corner positions and texture coordinates; GL clamps the colours to 0..1.
    static const float vertices[4][3] = {
        {-2.0f, -2.0f, 1.0f}, {2.2f, -2.0f, 1.0f}, {2.2f, 2.0f, 1.0f}, {-2.0f, 2.0f, 1.0f}};
    static const float texCoords[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};

    float colours[4][3];
    colourPanelCorners(colourPanelPhase(panel, showing, steps), colours);

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
}
