// The mirrored fountain: a circling camera over a floor that shows the
// fountain group upside down beneath it, flashing with one sound channel.
#include "effects/fountain.h"

#include "assets/model.h"
#include "assets/texture_set.h"
#include "effects/particles.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {

constexpr float MinEyeHeight = 0.5f;  // the camera never looks from under the floor

// Whether the integer part of v is non-zero; false for NaN.
bool wholePartNonZero(float v)
{
    return v >= 1.0f || v <= -1.0f;
}

void placeCamera(FountainState& fountain)
{
    const float a = fountain.MirrorAngle;
    fountain.CameraEye[0] = 20.0f * std::cos(a);
    fountain.CameraEye[2] = 20.0f * std::sin(a);
    float y = 10.0f * std::cos(2.0f * std::sin(0.1f * a));
    if (y <= MinEyeHeight) y = MinEyeHeight;
    fountain.CameraEye[1] = y;
}

// The floor's state changes, with or without its quad. The flash pass with
// every colour channel masked and the depth test off writes nothing (stencil
// operations stay GL_KEEP), so it skips only the quad and leaves the same state.
void drawFloorPass(bool withQuad)
{
    glPushMatrix();
    glTranslatef(1.0f, 0.0f, -8.0f);
    glEnable(GL_BLEND);
    bindTexture(TexBg);
    glNormal3f(0.0f, 1.0f, 0.0f);
    if (withQuad) {
        glBegin(GL_QUADS);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(-15.0f, 0.0f, -25.0f);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(17.0f, 0.0f, -25.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(17.0f, 0.0f, 25.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(-15.0f, 0.0f, 25.0f);
        glEnd();
    }
    glPopMatrix();
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glColor3f(1.0f, 1.0f, 1.0f);
}

} // namespace

FloorFlashMask floorFlashMask(float firstReading, float secondReading)
{
    return {wholePartNonZero(secondReading * 10.0f), wholePartNonZero(firstReading * 5.0f)};
}

void drawFloor()
{
    drawFloorPass(true);
}

void drawFountainGroup(const FountainState& fountain, const ParticleState& particles, float sprayAt,
                       float sphereHeight)
{
    glDisable(GL_BLEND);
    glPushMatrix();
    glTranslatef(1.0f, sphereHeight, -15.0f);
    glPushMatrix();
    drawSprayPool(particles, 0.0f, 2.7f, 0.0f, sprayAt, fountain.MirrorAngle);
    glPopMatrix();
    drawModel(Assets.fountainModel);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glPopMatrix();
}

void drawMirroredFountain(FountainState& fountain, ParticleState& particles, RandomGenerator& random,
                          const FrameInput& in)
{
    // The floor flashes in the channels the music lets through.
    const float first = plat::musicGetChannelVU(in.controls.VuChannel);
    const float second = plat::musicGetChannelVU(in.controls.VuChannel);
    drawMirroredFountain(fountain, particles, random, floorFlashMask(first, second), in);
}

void drawMirroredFountain(FountainState& fountain, ParticleState& particles, RandomGenerator& random,
                          FloorFlashMask mask, const FrameInput& in)
{
    const StepRun& steps = in.steps;
    // The spray takes two pool steps per step: at 60 fps the mirror image
    // showed the first and the real group the second. Both showings keep that
    // place in time at any rate: the mirror at 2 (fraction - 1) pool steps
    // from the pool's state, the real group one pool step later.
    stepSprayPool(particles, random, 2 * steps.count);
    const float mirrorAt = 2.0f * (steps.fraction - 1.0f);

    glLoadIdentity();
    glTranslatef(0.5f, -0.6f, 5.0f);
    placeCamera(fountain);
    gluLookAt(fountain.CameraEye[0], fountain.CameraEye[1], fountain.CameraEye[2], 0.5, -0.6, -5.0, 0.0, 1.0, 0.0);

    // Floor flash: only the masked channels, no depth.
    glColorMask(GL_FALSE, mask.green ? GL_TRUE : GL_FALSE, mask.blue ? GL_TRUE : GL_FALSE, GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glPushMatrix();
    drawFloorPass(mask.green || mask.blue);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

    // Mirror image: the group reflected in the floor plane, cut off above it.
    const GLdouble belowFloor[4] = {0.0, -1.0, 0.0, 0.0};
    glClipPlane(GL_CLIP_PLANE0, belowFloor);
    glEnable(GL_CLIP_PLANE0);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glPushMatrix();
    glScalef(1.0f, -1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(0.5f, 0.0f, 7.0f);
    drawFountainGroup(fountain, particles, mirrorAt, in.controls.SphereHeight);
    glPopMatrix();
    glPopMatrix();
    glDisable(GL_CLIP_PLANE0);
    glDisable(GL_STENCIL_TEST);

    // The floor over the mirror image, depth-tested and blended.
    glPushMatrix();
    glEnable(GL_BLEND);
    drawFloor();
    glPopMatrix();
    glDisable(GL_BLEND);

    // The real group.
    glPushMatrix();
    glTranslatef(0.5f, 0.0f, 7.0f);
    drawFountainGroup(fountain, particles, mirrorAt + 1.0f, in.controls.SphereHeight);
    glPopMatrix();

    fountain.MirrorAngle = static_cast<float>(fountain.MirrorAngle + in.frameDelta * 0.0005);
}
