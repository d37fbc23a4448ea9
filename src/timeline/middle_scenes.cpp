// The three middle scenes of the main part: twin cones with the receding
// fighter, the layered pentagram with flames, the credits sheet with blobs.
#include "timeline/middle_scenes.h"

#include "assets/model.h"
#include "assets/texture_set.h"
#include "effects/blobs.h"
#include "effects/particles.h"
#include "effects/twin_cones.h"
#include "timeline/animation_state.h"
#include "timeline/layout.h"

#include <GL/gl.h>

#include <cmath>

namespace {

void advanceConeAngle(MiddleSceneState& scenes, double frameDelta)
{
    if (scenes.ConeRising) {
        // 50 degrees per s, 25 once the angle has come back to 0.
        const double rate = scenes.ConeSlowRise ? 1.0 / 40.0 : 1.0 / 20.0;
        scenes.ConeAngle = static_cast<float>(scenes.ConeAngle + frameDelta * rate);
    } else {
        scenes.ConeAngle = static_cast<float>(scenes.ConeAngle - frameDelta * 0.02);
        if (scenes.ConeAngle <= 0.0f) {
            scenes.ConeAngle = 0.0f;
            scenes.ConeSlowRise = true;
        }
    }
}

void turnCones(MiddleSceneState& scenes)
{
    if (scenes.ConeAngle >= 180.0f && scenes.ConeTopArmed) {
        scenes.ConeTopArmed = false;
        scenes.ConeRising = !scenes.ConeRising;
    }
    if (scenes.ConeAngle <= 0.0f && !scenes.ConeTopArmed) {
        scenes.ConeTopArmed = true;
        scenes.ConeRising = !scenes.ConeRising;
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

void placeGlowBlobs(BlobSet& set, float p)
{
    const float xy[BlobSet::blobCount][2] = {
        {1.5f * std::sin(p / 2), 1.5f * std::cos(p / 2)},
        {1.5f * std::sin(p / 4), 1.5f * std::cos(p / 4)},
        {1.5f * std::sin(p), 1.5f * std::cos(p)},
        {1.1f * std::sin(p), 1.1f * std::cos(p / 2)},
    };
    for (int b = 0; b < BlobSet::blobCount; ++b) {
        set.blobs[b].position[0] = xy[b][0];
        set.blobs[b].position[1] = xy[b][1];
    }
}

} // namespace

void drawConeScene(AnimationState& state, const FrameInput& in)
{
    // The cones turn with the angle from before this frame's step, the fighter
    // with the angle after it.
    glPushMatrix();
    glRotatef(state.middleScenes.ConeAngle, 0.0f, 0.0f, 1.0f);
    drawTwinCones(state.twinCones, state.middleScenes.ConeRising, in.frameDelta);
    glPopMatrix();

    advanceConeAngle(state.middleScenes, in.frameDelta);

    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.3f, 0.0f, -2.0f - state.middleScenes.ConeAngle);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glRotatef(2.0f * state.middleScenes.ConeAngle, 0.0f, 0.0f, 1.0f);
    drawModel(Assets.fighterModel);  // unlit: the cones switched lighting off
    glPopMatrix();
    glDisable(GL_LIGHTING);

    turnCones(state.middleScenes);
}

void drawPentagramScene(AnimationState& state, const FrameInput& in)
{
    clipMainPanel();
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ONE);

    glPushMatrix();
    glTranslatef(0.6f, 0.0f, -5.0f);
    glRotatef(state.middleScenes.PentagramAngle, 0.0f, 1.0f, 0.0f);
    bindTexture(TexPentagram01);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    for (float z : {0.0f, 0.05f, 0.10f, 0.15f}) drawPentagramLayer(z);
    glEnd();
    glPopMatrix();

    state.middleScenes.PentagramAngle = static_cast<float>(state.middleScenes.PentagramAngle + in.frameDelta * 0.02);
    drawFlamePool(state.particles, state.random, 0.5f, 0.0f, -5.0f, in.steps);
}

void drawSheetScene(AnimationState& state, const FrameInput& in)
{
    glPushMatrix();

    // The sheet: blended and depth-tested as the first panel pass left it, lit.
    const float sway = std::sin(state.middleScenes.SheetPhase);
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

    state.middleScenes.SheetPhase = static_cast<float>(state.middleScenes.SheetPhase + in.frameDelta * 0.001);

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA);
    glPushMatrix();
    glTranslatef(0.5f, 0.0f, -6.0f);
    bindTexture(TexCredits);
    drawBlobGlow(state.blobs.GlowBlobs, 0.09f);
    glPopMatrix();

    // Positions for the next frame's glow, from the phase the panels have reached.
    placeGlowBlobs(state.blobs.GlowBlobs, state.layout.BlobPhase);

    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glPopMatrix();
}
