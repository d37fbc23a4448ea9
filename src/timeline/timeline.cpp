// The per-frame director: reads the song time, chooses the phase and walks
// the main part's schedule of scenes.
#include "timeline/timeline.h"

#include "core/controls.h"
#include "core/picture.h"
#include "core/step_clock.h"
#include "effects/fountain.h"
#include "effects/render_to_texture.h"
#include "effects/tunnel.h"
#include "timeline/end_scroller.h"
#include "timeline/flights.h"
#include "timeline/intro.h"
#include "timeline/frame_overlay.h"
#include "timeline/layout.h"
#include "timeline/middle_scenes.h"

#include <GL/gl.h>

#include <climits>

TimelineState Timeline;

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
void stepEndTransition()
{
    plat::musicSetMasterVolume(Controls.SongHandle, 256);
    Timeline.EndFade = static_cast<float>(Timeline.EndFade + Clock.FrameDelta * 0.001);
    if (Timeline.EndFade >= 1.0f) Controls.MainSongActive = false;
    Timeline.IntroActive = false;
}

void drawMainPart()
{
    const unsigned rows = mainPartRows(Clock.SongTime, Controls.SceneOverride);
    drawMainPartPicture(rows);
    if (rows & RowFadeIn) plat::musicSetMasterVolume(Controls.SongHandle, fadeInVolume(Clock.SongTime));
    if (rows & RowEndTransition) stepEndTransition();
}

} // namespace

void drawMainPartPicture(unsigned rows)
{
    drawFirstPanelPass();
    if (rows & RowFlyRight) flyRight();
    if (rows & RowFlyLeft) flyLeft(Clock.SongTime);
    if (rows & RowCones) drawConeScene();
    if (rows & RowTunnel) {
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glPushMatrix();
        drawTunnelFlight(Clock.FrameSteps);
        glPopMatrix();
    }
    if (rows & RowPentagram) drawPentagramScene();
    if (rows & RowSheet) drawSheetScene();
    if (rows & RowFountain) {
        glPushMatrix();
        drawMirroredFountain(Clock.FrameSteps);
        glPopMatrix();
    }
    drawSecondPanelPass();
    drawFrameOverlay();
    if (rows & RowFadeIn) {
        drawMultiplyQuad(static_cast<float>(Clock.SongTime / 7000.0));
        glBlendFunc(GL_ONE, GL_ONE);
    }
    if (rows & RowEndTransition) {
        drawMultiplyQuad(Timeline.EndFade);
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

const char* sceneNameNow()
{
    if (!Controls.MainSongActive) return Timeline.IntroActive ? "intro" : "scroller";
    // The scheduled scene names the frame, also when key 1 adds the tunnel.
    const unsigned rows = mainPartRows(Clock.SongTime, 0);
    for (const ScheduleRow& row : MainPartSchedule) {
        if (row.scene && (rows & row.row)) return row.scene;
    }
    return "main";
}

} // namespace

FrameRequest drawFrame()
{
    const double previous = Clock.SongTime;
    Clock.SongTime = static_cast<double>(plat::musicGetTime(Controls.SongHandle));
    Clock.FrameDelta = Clock.SongTime - previous;
    // A virtual clock's frames, however slow, replay every step they cross.
    Clock.FrameSteps = stepsBetween(previous, Clock.SongTime, plat::clockIsVirtual() ? INT_MAX : MaxFrameSteps);
    Timeline.FrameScene = sceneNameNow();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();

    if (!Timeline.RenderPassDone) {
        renderSphereTexture(Gl.RenderTarget, 64, 64);
        Timeline.RenderPassDone = true;
    }

    FrameRequest request;
    if (Controls.MainSongActive) {
        drawMainPart();
    } else if (Timeline.IntroActive) {
        request = runIntroFrame();
    } else {
        drawEndScroller();
    }

    // Clears reach the whole drawable (the flash is white): the bars beside
    // the picture are made black again.
    clearPictureBars();
    glFlush();
    return request;
}

void beginMainSong()
{
    finishIntro();
    Clock.SongTime = 0.0;
}

void leaveOutOfFrameClock(double ms)
{
    if (ms > 0.0) Clock.SongTime += ms;
}

const char* currentSceneName()
{
    return Timeline.FrameScene;
}

const char* currentPhaseName()
{
    if (Controls.MainSongActive) return "main";
    return Timeline.IntroActive ? "intro" : "end";
}
