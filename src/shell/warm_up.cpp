// The set-up's warm-up: one frame of each scene drawn and thrown away, on a
// copy of the demo's state.
#include "shell/warm_up.h"

#include "core/controls.h"
#include "core/frame_clock.h"
#include "core/step_clock.h"
#include "effects/fountain.h"
#include "effects/render_to_texture.h"
#include "shell/demo_state.h"
#include "timeline/end_scroller.h"
#include "timeline/intro.h"
#include "timeline/frame_overlay.h"
#include "timeline/layout.h"
#include "timeline/timeline.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <memory>
#include <utility>

namespace {

constexpr double WarmUpStepMs = 1000.0 / 60.0;  // one frame at 60 fps

void beginWarmUpFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
}

// The first frame's render-to-texture pass (while it is still to come), into a
// texture and quadric of its own (the texture is deleted after the playback);
// then a credits frame and the question.
void warmUpIntro(IntroState& intro, const FrameInput& in, RenderTargetInfo* renderPassTarget)
{
    beginWarmUpFrame();
    if (renderPassTarget) {
        GLUquadric* const quadric = Gl.RenderQuadric;
        renderSphereTexture(*renderPassTarget, 64, 64);
        if (Gl.RenderQuadric != quadric) gluDeleteQuadric(std::exchange(Gl.RenderQuadric, quadric));
    }

    // The first line at rest: the swing cannot turn, so the intro's ending
    // (flash, volume, song switch) cannot start from here.
    intro.CreditsRunning = true;
    intro.IntroEnding = false;
    intro.CreditIndex = 0;
    intro.CreditAngle = 0.0f;
    runIntroFrame(intro, in);
    drawIntroQuestion();
}

void warmUpMainPart(AnimationState& state, FrameInput in)
{
    in.controls.MainSongActive = true;
    state.timeline.IntroActive = true;
    float roll = in.controls.CameraRoll;  // the flights' bank, thrown away with the rest
    // A frame in each row's window (the first frame, fade only; each scene;
    // the end transition), the fountain's apart below.
    double fountainTime = 0.0;
    for (const ScheduleRow& row : MainPartSchedule) {
        if (row.row == RowFountain) {
            fountainTime = row.sampleMs;
            continue;
        }
        const double t = row.sampleMs;
        in.songTime = t;
        beginWarmUpFrame();
        drawMainPartPicture(state, mainPartRows(t, 0), in, roll);
    }

    // One fountain frame with the scene drawn four times: the floor flash as
    // the music sets it, then in each colour mask the music can choose; the
    // spray is blended the first time (every droplet starts spent) and opaque
    // after its rebirth.
    in.songTime = fountainTime;
    beginWarmUpFrame();
    drawFirstPanelPass(state, in);
    glPushMatrix();
    drawMirroredFountain(state.fountain, state.particles, state.random, in);
    glPopMatrix();
    for (FloorFlashMask mask : {FloorFlashMask{true, false}, FloorFlashMask{false, true}, FloorFlashMask{true, true}}) {
        glPushMatrix();
        drawMirroredFountain(state.fountain, state.particles, state.random, mask, in);
        glPopMatrix();
    }
    drawSecondPanelPass(state, in);
    drawFrameOverlay();
}

void warmUpEndScroller(AnimationState& state, const FrameInput& in)
{
    state.timeline.IntroActive = false;
    beginWarmUpFrame();
    drawEndScroller(state.scroller, in.frameDelta);
}

} // namespace

void warmUpScenes()
{
    // The scenes are drawn on a copy of the animation state: every value
    // the demo keeps stays as it is.
    const DemoState& demo = demoState();
    const auto scratchState = std::make_unique<AnimationState>(demo);
    // The cover belongs to the old context's textures; the recorded frame
    // overlay is drawn whole rather than work it out here at start-up.
    forgetFrameOverlayCover();
    const bool introAhead = !demo.shell.Controls.MainSongActive && demo.timeline.IntroActive;
    const bool mainPartAhead = demo.shell.Controls.MainSongActive || demo.timeline.IntroActive;
    const bool renderPassAhead = !demo.timeline.RenderPassDone;

    // The current normal, colour and texture coordinate are also set again
    // by hand after the pop below: the attribute stack does not undo the
    // values the recorded scenes' last vertices leave when played back.
    GLfloat normal[3], colour[4], texCoord[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (GLenum stack : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(stack);
        glPushMatrix();
    }

    // The scenes are recorded into a display list and played back from it:
    // drawn that way, they leave the renderer's buffer for immediate-mode
    // vertices as it was, and with it the way later frames are split into
    // draw calls (which decides how their quads are cut into triangles).
    // Each frame one step of 60 fps, with the controls as they are.
    const FrameInput in{.songTime = demo.shell.Clock.SongTime, .frameDelta = WarmUpStepMs, .steps = StepRun{1, 1, 0.0f},
                        .controls = demo.shell.Controls};
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const GLuint scenes = glGenLists(1);
    RenderTargetInfo scratch;
    if (scenes != 0) {
        glNewList(scenes, GL_COMPILE);
        if (introAhead) warmUpIntro(scratchState->intro, in, renderPassAhead ? &scratch : nullptr);
        // The renderer builds its code when a draw call meets new state,
        // however few pixels it covers: a one-pixel viewport keeps filling cheap.
        glViewport(0, 0, 1, 1);
        if (mainPartAhead) warmUpMainPart(*scratchState, in);
        warmUpEndScroller(*scratchState, in);
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        glEndList();
        glCallList(scenes);
        glDeleteLists(scenes, 1);
        glFinish();
    }
    if (scratch.textureName != 0) glDeleteTextures(1, &scratch.textureName);

    glPopClientAttrib();
    for (GLenum stack : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(stack);
        glPopMatrix();
    }
    glPopAttrib();  // also the matrix mode, and the clear values the clear below uses
    glNormal3fv(normal);
    glColor4fv(colour);
    glTexCoord4fv(texCoord);

    // Nothing drawn stays: every buffer cleared whole.
    {
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glDepthMask(GL_TRUE);
        glStencilMask(~0u);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glPopAttrib();
    }

    // The new context's overlay cover: made now in the main part; before it,
    // the intro's switch to the main song makes it.
    if (demo.shell.Controls.MainSongActive) prepareFrameOverlayCover();
}
