// The set-up's warm-up: one frame of each scene drawn and thrown away, with
// every value the drawing moves saved before and put back after.
#include "timeline/warm_up.h"

#include "core/controls.h"
#include "core/frame_clock.h"
#include "core/random.h"
#include "effects/blobs.h"
#include "effects/colour_panel.h"
#include "effects/fountain.h"
#include "effects/particles.h"
#include "effects/render_to_texture.h"
#include "effects/tunnel.h"
#include "effects/twin_cones.h"
#include "text/binary_ticker.h"
#include "text/volume_meter.h"
#include "timeline/end_scroller.h"
#include "timeline/flights.h"
#include "timeline/intro.h"
#include "timeline/layout.h"
#include "timeline/middle_scenes.h"
#include "timeline/timeline.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>
#include <type_traits>

namespace {

struct ValueBytes {
    void* at;
    std::size_t size;
};

template <class T>
ValueBytes bytesOf(T& value)
{
    static_assert(std::is_trivially_copyable_v<T>);
    return {&value, sizeof value};
}

// Every process-wide value that a scene, panel, pass or text moves when drawn
// (the random generator included). The frame overlay's cover is left out on
// purpose: it is a cache of the frame textures, and having it ready is part
// of the warm-up.
const ValueBytes DrawnValues[] = {
    // clock, controls, generator
    bytesOf(SongTime), bytesOf(FrameDelta), bytesOf(MainSongActive), bytesOf(SongHandle),
    bytesOf(CameraRoll), bytesOf(CameraPitch), bytesOf(SceneOverride), bytesOf(VuChannel),
    bytesOf(SphereHeight), bytesOf(RandomState),
    // timeline, intro, flights, middle scenes, layout, scroller
    bytesOf(IntroActive), bytesOf(RenderPassDone), bytesOf(EndFade),
    bytesOf(CreditsRunning), bytesOf(CreditIndex), bytesOf(CreditAngle), bytesOf(CreditSwingUp),
    bytesOf(CreditTopArmed), bytesOf(CreditAdvanceArmed), bytesOf(SphereSpin), bytesOf(IntroEnding),
    bytesOf(FlashOn), bytesOf(FlashCount), bytesOf(QuestionPending),
    bytesOf(CameraYaw), bytesOf(CameraPosition), bytesOf(BankRight),
    bytesOf(ConeAngle), bytesOf(ConeRising), bytesOf(ConeTopArmed), bytesOf(ConeSlowRise),
    bytesOf(PentagramAngle), bytesOf(SheetPhase), bytesOf(BlobPhase), bytesOf(ScrollOffset),
    // effects and texts
    bytesOf(SparkPool), bytesOf(FlamePool), bytesOf(SprayPool), bytesOf(SparkAngle),
    bytesOf(MirrorAngle), bytesOf(CameraEye), bytesOf(ConeSpin), bytesOf(PanelPhase), bytesOf(PanelRising),
    bytesOf(GlowBlobs), bytesOf(CoreBlobs), bytesOf(BlobSpritesDrawn),
    bytesOf(TunnelX), bytesOf(TunnelY), bytesOf(TunnelZ), bytesOf(TunnelSlices), bytesOf(TunnelPhase),
    bytesOf(TunnelShade), bytesOf(FighterRoll),
    bytesOf(RenderTarget), bytesOf(RenderQuadric),
    bytesOf(TickerTimer), bytesOf(TickerChoices), bytesOf(VolumeLevels),
};

constexpr double WarmUpStepMs = 1000.0 / 60.0;  // one frame at 60 fps

// Song times (ms) of the main-part frames drawn: the first frame (fade only),
// each scene's window (the second flight before and after its pitch flips),
// the fountain twice (its spray is first blended, then opaque), the end
// transition.
constexpr double MainPartTimes[] = {0.0,     5000.0,  18000.0,  25000.0,  34000.0, 48000.0,
                                    62000.0, 76000.0, 100000.0, 100017.0, 121000.0};

void beginWarmUpFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
}

// The first frame's render-to-texture pass (while it is still to come), into a
// texture and quadric of its own (the texture is deleted after the playback);
// then a credits frame and the question.
void warmUpIntro(RenderTargetInfo* renderPassTarget)
{
    beginWarmUpFrame();
    if (renderPassTarget) {
        const GLUquadric* quadric = RenderQuadric;
        renderSphereTexture(*renderPassTarget, 64, 64);
        if (RenderQuadric != quadric) gluDeleteQuadric(RenderQuadric);
    }

    // The first line at rest: the swing cannot turn, so the intro's ending
    // (flash, volume, song switch) cannot start from here.
    CreditsRunning = true;
    IntroEnding = false;
    CreditIndex = 0;
    CreditAngle = 0.0f;
    runIntroFrame();
    drawIntroQuestion();
}

void warmUpMainPart()
{
    MainSongActive = true;
    IntroActive = true;
    for (double t : MainPartTimes) {
        SongTime = t;
        beginWarmUpFrame();
        drawMainPartPicture(mainPartRows(t, 0));
    }

    // The floor flash in each colour mask the music can choose.
    SongTime = MainPartTimes[8];
    for (FloorFlashMask mask : {FloorFlashMask{true, false}, FloorFlashMask{false, true}, FloorFlashMask{true, true}}) {
        beginWarmUpFrame();
        drawFirstPanelPass();
        glPushMatrix();
        drawMirroredFountain(mask);
        glPopMatrix();
        drawSecondPanelPass();
        drawFrameOverlay();
    }
}

void warmUpEndScroller()
{
    MainSongActive = false;
    IntroActive = false;
    beginWarmUpFrame();
    drawEndScroller();
}

} // namespace

std::vector<std::uint8_t> takeDrawnValues()
{
    std::vector<std::uint8_t> values;
    for (const ValueBytes& v : DrawnValues) {
        const auto* bytes = static_cast<const std::uint8_t*>(v.at);
        values.insert(values.end(), bytes, bytes + v.size);
    }
    return values;
}

void restoreDrawnValues(const std::vector<std::uint8_t>& values)
{
    std::size_t offset = 0;
    for (const ValueBytes& v : DrawnValues) {
        if (offset + v.size > values.size()) return;
        std::memcpy(v.at, values.data() + offset, v.size);
        offset += v.size;
    }
}

void warmUpScenes()
{
    const std::vector<std::uint8_t> saved = takeDrawnValues();
    const bool introAhead = !MainSongActive && IntroActive;
    const bool mainPartAhead = MainSongActive || IntroActive;
    const bool renderPassAhead = !RenderPassDone;

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
    FrameDelta = WarmUpStepMs;
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const GLuint scenes = glGenLists(1);
    RenderTargetInfo scratch;
    if (scenes != 0) {
        glNewList(scenes, GL_COMPILE);
        if (introAhead) warmUpIntro(renderPassAhead ? &scratch : nullptr);
        // The renderer builds its code when a draw call meets new state,
        // however few pixels it covers: a one-pixel viewport keeps filling cheap.
        glViewport(0, 0, 1, 1);
        if (mainPartAhead) warmUpMainPart();
        warmUpEndScroller();
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

    restoreDrawnValues(saved);

    // While recording, the overlay's cover was worked out from GL state that
    // the recorded commands had not yet changed: it is made anew, for the
    // window's viewport, ready for the first main-part frame.
    forgetFrameOverlayCover();
    if (mainPartAhead) prepareFrameOverlayCover();
}
