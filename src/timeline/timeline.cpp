// The per-frame director: reads the song time, chooses the phase and walks
// the main part's schedule of scenes.
#include "timeline/timeline.h"

#include "core/picture.h"
#include "core/step_clock.h"
#include "effects/fountain.h"
#include "effects/render_to_texture.h"
#include "effects/tunnel.h"
#include "timeline/animation_state.h"
#include "timeline/end_scroller.h"
#include "timeline/flights.h"
#include "timeline/intro.h"
#include "timeline/frame_overlay.h"
#include "timeline/layout.h"
#include "timeline/middle_scenes.h"

#include <GL/gl.h>

#include <climits>

namespace {

// Full-screen quad that multiplies the frame by grey g (fade-in and end transition).
void drawMultiplyQuad(float g)
{
    enterOverlay2D();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, 1.0f);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glColor3f(g, g, g);
    glBegin(GL_QUADS);
    glVertex2i(0, 0);
    glVertex2i(0, PictureHeight);
    glVertex2i(PictureWidth, PictureHeight);
    glVertex2i(PictureWidth, 0);
    glEnd();
    leaveOverlay2D();
    glEnable(GL_TEXTURE_2D);
}

// The end transition's step: volume, grey level and the hand-over to the scroller.
void stepEndTransition(TimelineState& timeline, const FrameInput& in, FrameRequest& request)
{
    plat::musicSetMasterVolume(in.controls.SongHandle, 256);
    timeline.EndFade = static_cast<float>(timeline.EndFade + in.frameDelta * 0.001);
    if (timeline.EndFade >= 1.0f) request.mainSongEnded = true;
    timeline.IntroActive = false;
}

void drawMainPart(AnimationState& state, const FrameInput& in, FrameRequest& request)
{
    const unsigned rows = mainPartRows(in.songTime, in.controls.SceneOverride);
    drawMainPartPicture(state, rows, in, request.cameraRoll);
    if (rows & RowFadeIn) plat::musicSetMasterVolume(in.controls.SongHandle, fadeInVolume(in.songTime));
    if (rows & RowEndTransition) stepEndTransition(state.timeline, in, request);
}

} // namespace

void drawMainPartPicture(AnimationState& state, unsigned rows, const FrameInput& in, float& roll)
{
    drawFirstPanelPass(state, in);
    if (rows & RowFlyRight) flyRight(state.flight, state.heightField, in, roll);
    if (rows & RowFlyLeft) flyLeft(state.flight, state.heightField, in, roll);
    if (rows & RowCones) drawConeScene(state, in);
    if (rows & RowTunnel) {
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glPushMatrix();
        drawTunnelFlight(state.tunnel, in);
        glPopMatrix();
    }
    if (rows & RowPentagram) drawPentagramScene(state, in);
    if (rows & RowSheet) drawSheetScene(state, in);
    if (rows & RowFountain) {
        glPushMatrix();
        drawMirroredFountain(state.fountain, state.particles, state.random, in);
        glPopMatrix();
    }
    drawSecondPanelPass(state, in);
    drawFrameOverlay();
    if (rows & RowFadeIn) {
        drawMultiplyQuad(static_cast<float>(in.songTime / 7000.0));
        glBlendFunc(GL_ONE, GL_ONE);
    }
    if (rows & RowEndTransition) {
        drawMultiplyQuad(state.timeline.EndFade);
        glBlendFunc(GL_ONE, GL_ONE);
    }
}

unsigned mainPartRows(double t, int sceneOverride)
{
    unsigned rows = 0;
    for (const ScheduleRow& row : MainPartSchedule) {
        if (t > row.fromMs && t < row.toMs) rows |= row.row;
    }
    if (sceneOverride == 1) rows |= RowTunnel;
    return rows;
}

int fadeInVolume(double t)
{
    int volume = static_cast<int>(t * 0.02);
    // The last 10 ms of the ramp jump to full volume.
    if (t > 9990.0 && t * 0.02 < 256.0) volume = 256;
    return volume;
}

namespace {

const char* sceneNameNow(const TimelineState& timeline, const FrameInput& in)
{
    if (!in.controls.MainSongActive) return timeline.IntroActive ? "intro" : "scroller";
    // The scheduled scene names the frame, also when key 1 adds the tunnel.
    const unsigned rows = mainPartRows(in.songTime, 0);
    for (const ScheduleRow& row : MainPartSchedule) {
        if (row.scene && (rows & row.row)) return row.scene;
    }
    return "main";
}

} // namespace

FrameRequest drawFrame(AnimationState& state, FrameClock& clock, const ControlState& controls)
{
    const double previous = clock.SongTime;
    clock.SongTime = static_cast<double>(plat::musicGetTime(controls.SongHandle));
    clock.FrameDelta = clock.SongTime - previous;
    // A virtual clock's frames, however slow, replay every step they cross.
    clock.FrameSteps = stepsBetween(previous, clock.SongTime, plat::clockIsVirtual() ? INT_MAX : MaxFrameSteps);
    const FrameInput in{clock.SongTime, clock.FrameDelta, clock.FrameSteps, controls};
    TimelineState& timeline = state.timeline;
    timeline.FrameScene = sceneNameNow(timeline, in);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();

    if (!timeline.RenderPassDone) {
        renderSphereTexture(Gl.RenderTarget, 64, 64);
        timeline.RenderPassDone = true;
    }

    FrameRequest request{.cameraRoll = controls.CameraRoll};
    if (in.controls.MainSongActive) {
        drawMainPart(state, in, request);
    } else if (timeline.IntroActive) {
        request = runIntroFrame(state.intro, in);
        request.cameraRoll = controls.CameraRoll;
    } else {
        drawEndScroller(state.scroller, in.frameDelta);
    }

    // Clears reach the whole drawable (the flash is white): the bars beside
    // the picture are made black again.
    clearPictureBars();
    glFlush();
    return request;
}

void beginMainSong(FrameClock& clock)
{
    finishIntro();
    clock.SongTime = 0.0;
}

void leaveOutOfFrameClock(FrameClock& clock, double ms)
{
    if (ms > 0.0) clock.SongTime += ms;
}

const char* currentPhaseName(const TimelineState& timeline, const ControlState& controls)
{
    if (controls.MainSongActive) return "main";
    return timeline.IntroActive ? "intro" : "end";
}
