// The vortex of the cone scene: two long thin cones around the view axis,
// turning against each other.
#include "effects/twin_cones.h"

#include "assets/texture_set.h"
#include "core/gl_resources.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

// One cone from z = -50 (radius 0.2) to z = +150 (radius topRadius), 0.2 beside the axis.
void drawCone(float spinDegrees, double topRadius)
{
    glPushMatrix();
    glTranslatef(0.2f, 0.0f, -50.0f);
    glRotatef(spinDegrees, 0.0f, 0.0f, 1.0f);
    bindTexture(TexCredits);
    glEnable(GL_FOG);
    glColor4f(0.8f, 0.5f, 0.2f, 1.0f);
    if (Gl.ConeQuadric) gluCylinder(Gl.ConeQuadric, 0.2, topRadius, 200.0, 16, 16);
    glPopMatrix();
}

} // namespace

void drawTwinCones(TwinConeState& cones, bool rising, double frameDelta)
{
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);

    drawCone(2.0f * cones.ConeSpin, 1.2);
    drawCone(-2.0f * cones.ConeSpin, 1.3);
    glDisable(GL_FOG);

    const double step = frameDelta * 0.1;  // 200 degrees of cone turn per s
    cones.ConeSpin = static_cast<float>(rising ? cones.ConeSpin + step : cones.ConeSpin - step);
    glDisable(GL_LIGHTING);
}
