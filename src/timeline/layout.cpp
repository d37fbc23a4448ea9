// Screen layout of the main part: clip panels, the 2-D overlay mode and the
// two panel passes around the scene.
#include "timeline/layout.h"

#include "assets/texture_set.h"
#include "core/picture.h"
#include "effects/blobs.h"
#include "effects/colour_panel.h"
#include "effects/particles.h"
#include "text/binary_ticker.h"
#include "text/volume_meter.h"
#include "timeline/animation_state.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// Picture pixels from the bottom-left of the 800 x 600 picture.
void clipTo(int x, int y, int width, int height)
{
    setPictureScissor(x, y, width, height);
    glEnable(GL_SCISSOR_TEST);
}

// The four core blobs circle the panel's centre with BlobPhase; z is kept.
void placeCoreBlobs(BlobSet& set, float phase)
{
    const double p = phase;
    Blob* b = set.blobs;
    b[0].position[0] = static_cast<float>(0.1 * std::cos(p / 2));
    b[0].position[1] = static_cast<float>(0.1 * std::sin(p / 2));
    b[1].position[0] = static_cast<float>(0.1 * std::sin(p / 4));
    b[1].position[1] = static_cast<float>(0.1 * std::cos(p / 4));
    b[2].position[0] = static_cast<float>(0.1 * std::cos(p));
    b[2].position[1] = static_cast<float>(0.1 * std::cos(p));
    b[3].position[0] = static_cast<float>(0.1 * std::cos(p));
    b[3].position[1] = static_cast<float>(0.1 * std::sin(p / 2));
}

} // namespace

void clipMainPanel() { clipTo(227, 16, 546, 571); }
void clipSidePanel1() { clipTo(27, 482, 100, 105); }
void clipSidePanel2() { clipTo(27, 351, 100, 105); }
void clipSidePanel3() { clipTo(27, 221, 100, 105); }
void clipSidePanel4() { clipTo(27, 93, 100, 105); }
void clipMeterStrip() { clipTo(0, 13, 205, 51); }
void clipTallStrip() { clipTo(130, 150, 95, 599); }  // reaches past the top; the screen edge cuts it

void enterOverlay2D()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, PictureWidth, PictureHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void leaveOverlay2D()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void drawFirstPanelPass(AnimationState& state, const FrameInput& in)
{
    clipSidePanel2();
    bindTexture(TexP1);
    drawSparkPool(state.particles, state.random, -2.23f, 0.65f, -5.0f, in);

    clipMeterStrip();
    glColor3f(1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    glPushMatrix();
    DrawVolumeMeter(state.meter, in.steps);
    glPopMatrix();

    // Both showings of the colour panel this frame: the first here, the
    // second in the second pass.
    swingColourPanel(state.colourPanel, in.steps);
    glPushMatrix();
    clipTallStrip();
    glDisable(GL_BLEND);
    glLoadIdentity();
    drawColourPanel(state.colourPanel, 0, in.steps);
    glPopMatrix();

    clipSidePanel1();
    DrawBinaryTicker(state.ticker, state.random, in.frameDelta);

    clipMainPanel();
}

void drawSecondPanelPass(AnimationState& state, const FrameInput& in)
{
    glPushMatrix();
    clipSidePanel3();
    glTranslatef(-2.25f, -0.13f, -5.0f);
    bindTexture(TexCredits);
    placeCoreBlobs(state.blobs.CoreBlobs, state.layout.BlobPhase);
    state.layout.BlobPhase = static_cast<float>(state.layout.BlobPhase + in.frameDelta * 0.002);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ONE);
    drawBlobCores(state.blobs.CoreBlobs, 0.05f);
    glPopMatrix();

    glPushMatrix();
    clipSidePanel4();
    glTranslatef(-2.25f, 0.0f, 0.0f);
    drawColourPanel(state.colourPanel, 1, in.steps);
    glPopMatrix();

    glDisable(GL_SCISSOR_TEST);
}
