// The three middle scenes of the main part: twin cones with the receding
// fighter, the layered pentagram with flames, the credits sheet with blobs.
#include "timeline/middle_scenes.h"

#include "assets/model.h"
#include "assets/texture_set.h"
#include "effects/blobs.h"
#include "effects/particles.h"
#include "effects/twin_cones.h"
#include "timeline/layout.h"

#include <GL/gl.h>

#include <cmath>

MiddleSceneState MiddleScenes;

namespace {

void advanceConeAngle(double frameDelta)
{
    if (MiddleScenes.ConeRising) {
        // 50 degrees per s, 25 once the angle has come back to 0.
        const double rate = MiddleScenes.ConeSlowRise ? 1.0 / 40.0 : 1.0 / 20.0;
        MiddleScenes.ConeAngle = static_cast<float>(MiddleScenes.ConeAngle + frameDelta * rate);
    } else {
        MiddleScenes.ConeAngle = static_cast<float>(MiddleScenes.ConeAngle - frameDelta * 0.02);
        if (MiddleScenes.ConeAngle <= 0.0f) {
            MiddleScenes.ConeAngle = 0.0f;
            MiddleScenes.ConeSlowRise = true;
        }
    }
}

void turnCones()
{
    if (MiddleScenes.ConeAngle >= 180.0f && MiddleScenes.ConeTopArmed) {
        MiddleScenes.ConeTopArmed = false;
        MiddleScenes.ConeRising = !MiddleScenes.ConeRising;
    }
    if (MiddleScenes.ConeAngle <= 0.0f && !MiddleScenes.ConeTopArmed) {
        MiddleScenes.ConeTopArmed = true;
        MiddleScenes.ConeRising = !MiddleScenes.ConeRising;
    }
}

void drawPentagramLayer(float z)
{
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-0.9f, -0.9f, z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.9f, -0.9f, z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.9f, 0.9f, z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.9f, 0.9f, z);
}

void placeGlowBlobs(float p)
{
    const float xy[BlobSet::blobCount][2] = {
        {1.5f * std::sin(p / 2), 1.5f * std::cos(p / 2)},
        {1.5f * std::sin(p / 4), 1.5f * std::cos(p / 4)},
        {1.5f * std::sin(p), 1.5f * std::cos(p)},
        {1.1f * std::sin(p), 1.1f * std::cos(p / 2)},
    };
    for (int b = 0; b < BlobSet::blobCount; ++b) {
        Blobs.GlowBlobs.blobs[b].position[0] = xy[b][0];
        Blobs.GlowBlobs.blobs[b].position[1] = xy[b][1];
    }
}

} // namespace

void drawConeScene(const FrameInput& in)
{
    // The cones turn with the angle from before this frame's step, the fighter
    // with the angle after it.
    glPushMatrix();
    glRotatef(MiddleScenes.ConeAngle, 0.0f, 0.0f, 1.0f);
    drawTwinCones(MiddleScenes.ConeRising, in.frameDelta);
    glPopMatrix();

    advanceConeAngle(in.frameDelta);

    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.3f, 0.0f, -2.0f - MiddleScenes.ConeAngle);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glRotatef(2.0f * MiddleScenes.ConeAngle, 0.0f, 0.0f, 1.0f);
    drawModel(Assets.fighterModel);  // unlit: the cones switched lighting off
    glPopMatrix();
    glDisable(GL_LIGHTING);

    turnCones();
}

void drawPentagramScene(const FrameInput& in)
{
    clipMainPanel();
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ONE);

    glPushMatrix();
    glTranslatef(0.6f, 0.0f, -5.0f);
    glRotatef(MiddleScenes.PentagramAngle, 0.0f, 1.0f, 0.0f);
    bindTexture(TexPentagram01);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    for (float z : {0.0f, 0.05f, 0.10f, 0.15f}) drawPentagramLayer(z);
    glEnd();
    glPopMatrix();

    MiddleScenes.PentagramAngle = static_cast<float>(MiddleScenes.PentagramAngle + in.frameDelta * 0.02);
    drawFlamePool(0.5f, 0.0f, -5.0f, in.steps);
}

void drawSheetScene(const FrameInput& in)
{
    glPushMatrix();

    // The sheet: blended and depth-tested as the first panel pass left it, lit.
    const float sway = std::sin(MiddleScenes.SheetPhase);
    bindTexture(TexCredits);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_LIGHTING);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.1f * sway - 0.4f, -0.39f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.08f * sway + 0.6f, -0.39f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.08f * sway + 0.6f, 0.39f, -1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.1f * sway - 0.4f, 0.39f, -1.0f);
    glEnd();

    // Sphere-mapped coordinates for the blob sprites.
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glDisable(GL_LIGHTING);

    MiddleScenes.SheetPhase = static_cast<float>(MiddleScenes.SheetPhase + in.frameDelta * 0.001);

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA);
    glPushMatrix();
    glTranslatef(0.5f, 0.0f, -6.0f);
    bindTexture(TexCredits);
    drawBlobGlow(Blobs.GlowBlobs, 0.09f);
    glPopMatrix();

    // Positions for the next frame's glow, from the phase the panels have reached.
    placeGlowBlobs(Layout.BlobPhase);

    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glPopMatrix();
}
