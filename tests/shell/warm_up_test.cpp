// The set-up's warm-up draws every scene and must leave no trace: every value
// the demo keeps, the GL state and the buffers are as before, in each phase.
#include "gl_fixture.h"

#include "assets/model.h"
#include "assets/texture_set.h"
#include "core/gl_resources.h"
#include "shell/demo_state.h"
#include "shell/scene_setup.h"
#include "shell/warm_up.h"
#include "core/step_clock.h"
#include "timeline/end_scroller.h"
#include "timeline/frame_overlay.h"
#include "timeline/timeline.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

// The GL objects a warm-up could make or replace: it keeps the context's.
std::vector<std::uintptr_t> glObjectNames()
{
    std::vector<std::uintptr_t> names = {reinterpret_cast<std::uintptr_t>(Gl.RenderQuadric),
                                         reinterpret_cast<std::uintptr_t>(Gl.SphereQuadric),
                                         reinterpret_cast<std::uintptr_t>(Gl.ConeQuadric),
                                         Gl.RenderTarget.textureName, Gl.SpraySphereList, Gl.BitmapFont,
                                         Gl.OutlineFont, Gl.ModelTexture};
    for (unsigned name : Gl.Textures) names.push_back(name);
    return names;
}

// The GL state that scenes set and later frames inherit.
std::vector<double> glStateDigest()
{
    std::vector<double> d;
    auto ints = [&](GLenum e, int n) {
        GLint v[16] = {};
        glGetIntegerv(e, v);
        d.insert(d.end(), v, v + n);
    };
    auto floats = [&](GLenum e, int n) {
        GLfloat v[16] = {};
        glGetFloatv(e, v);
        d.insert(d.end(), v, v + n);
    };
    for (GLenum cap : {GL_BLEND, GL_DEPTH_TEST, GL_TEXTURE_2D, GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_FOG,
                       GL_SCISSOR_TEST, GL_STENCIL_TEST, GL_CLIP_PLANE0, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T,
                       GL_NORMALIZE, GL_CULL_FACE, GL_COLOR_MATERIAL, GL_ALPHA_TEST})
        d.push_back(glIsEnabled(cap));
    ints(GL_BLEND_SRC, 1), ints(GL_BLEND_DST, 1), ints(GL_DEPTH_FUNC, 1), ints(GL_DEPTH_WRITEMASK, 1);
    ints(GL_COLOR_WRITEMASK, 4), ints(GL_STENCIL_FUNC, 1), ints(GL_STENCIL_REF, 1), ints(GL_STENCIL_FAIL, 1);
    ints(GL_STENCIL_PASS_DEPTH_PASS, 1), ints(GL_SHADE_MODEL, 1), ints(GL_POLYGON_MODE, 2);
    floats(GL_CURRENT_COLOR, 4), floats(GL_CURRENT_NORMAL, 3), floats(GL_CURRENT_TEXTURE_COORDS, 4);
    floats(GL_CURRENT_RASTER_POSITION, 4), ints(GL_TEXTURE_BINDING_2D, 1);
    floats(GL_MODELVIEW_MATRIX, 16), floats(GL_PROJECTION_MATRIX, 16), floats(GL_TEXTURE_MATRIX, 16);
    ints(GL_MATRIX_MODE, 1), ints(GL_MODELVIEW_STACK_DEPTH, 1), ints(GL_PROJECTION_STACK_DEPTH, 1);
    ints(GL_ATTRIB_STACK_DEPTH, 1), ints(GL_CLIENT_ATTRIB_STACK_DEPTH, 1);
    ints(GL_VIEWPORT, 4), ints(GL_SCISSOR_BOX, 4), floats(GL_COLOR_CLEAR_VALUE, 4), floats(GL_DEPTH_CLEAR_VALUE, 1);
    floats(GL_POINT_SIZE, 1), floats(GL_LINE_WIDTH, 1), ints(GL_LIST_BASE, 1), ints(GL_UNPACK_ALIGNMENT, 1);
    ints(GL_PACK_ALIGNMENT, 1), ints(GL_FOG_MODE, 1), floats(GL_FOG_DENSITY, 1), floats(GL_FOG_COLOR, 4);
    GLint gen[2] = {};
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &gen[0]);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &gen[1]);
    d.insert(d.end(), gen, gen + 2);
    GLfloat light[4] = {};
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    d.insert(d.end(), light, light + 4);
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, light);
    d.insert(d.end(), light, light + 4);
    GLdouble plane[4] = {};
    glGetClipPlane(GL_CLIP_PLANE0, plane);
    d.insert(d.end(), plane, plane + 4);
    return d;
}

// Every pixel of colour, depth and stencil holds the clear values.
void expectBuffersCleared()
{
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    std::vector<std::uint8_t> rgba(800 * 600 * 4);
    std::vector<GLfloat> depth(800 * 600);
    std::vector<std::uint8_t> stencil(800 * 600);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glReadPixels(0, 0, 800, 600, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glReadPixels(0, 0, 800, 600, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
    int drawn = 0;
    for (std::size_t i = 0; i < depth.size(); ++i) {
        const bool clean = rgba[i * 4] == std::lround(clear[0] * 255) && rgba[i * 4 + 1] == std::lround(clear[1] * 255) &&
                           rgba[i * 4 + 2] == std::lround(clear[2] * 255) && depth[i] == 1.0f && stencil[i] == 0;
        drawn += !clean;
    }
    EXPECT_EQ(drawn, 0) << "pixels left by the warm-up";
}

class WarmUpTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        home = fs::current_path();
        fs::current_path(testDataRoot());
        Assets = LoadedAssets{};
        ASSERT_TRUE(SetUpScene());  // the set-up's own warm-up runs here
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    void TearDown() override
    {
        fs::current_path(home);
        GlTest::TearDown();
    }

    // Warms up once more and checks that nothing the demo keeps has moved.
    void expectWarmUpLeavesNoTrace(const char* phase)
    {
        SCOPED_TRACE(phase);
        const auto values = std::make_unique<DemoState>(demoState());
        const std::vector<std::uintptr_t> names = glObjectNames();
        const std::vector<double> state = glStateDigest();
        forgetFrameOverlayCover();
        warmUpScenes();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_TRUE(demoState() == *values) << "a value the demo keeps was changed";
        EXPECT_EQ(glObjectNames(), names);
        EXPECT_EQ(glStateDigest(), state);
        expectBuffersCleared();
        // In the main part the frame overlay's cover, a cache of the frame
        // textures, is ready for the next frame.
        EXPECT_EQ(frameOverlayCoverRects() > 0, demoState().shell.Controls.MainSongActive);
    }

    fs::path home;
};

TEST_F(WarmUpTest, EveryPhaseKeepsValuesGlStateAndBuffers)
{
    // Straight after the set-up: the intro and the render pass are still to come.
    expectWarmUpLeavesNoTrace("intro ahead");

    // In the middle of the main part, with every effect moved on by real frames
    // and the GL state a frame leaves.
    DemoState& demo = demoState();
    const auto atSetUp = std::make_unique<DemoState>(demo);
    demo.timeline.RenderPassDone = true;
    demo.shell.Controls.MainSongActive = true;
    FrameInput frame{.frameDelta = 23.0, .controls = demo.shell.Controls};
    for (double t : {5000.0, 30000.0, 50000.0, 60000.0, 75000.0, 90000.0}) {
        frame.songTime = t;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glLoadIdentity();
        drawMainPartPicture(demo, mainPartRows(t, 0), frame, demo.shell.Controls.CameraRoll);
        frame.controls.CameraRoll = demo.shell.Controls.CameraRoll;
    }
    ASSERT_FALSE(demo == *atSetUp);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    expectWarmUpLeavesNoTrace("main part");

    // The end scroller, once the main part is over.
    demo.shell.Controls.MainSongActive = false;
    demo.timeline.IntroActive = false;
    drawEndScroller(demo.scroller, frame.frameDelta);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    expectWarmUpLeavesNoTrace("scroller");
}

// A frame depends on nothing but its state and its input: drawn twice from
// the same ones (after the same frame before it), it gives the same pixels
// and leaves the same state.
TEST_F(WarmUpTest, AFrameDrawnTwiceFromTheSameStateAndInputIsTheSame)
{
    // A state moved on by real frames of every scene.
    const auto start = std::make_unique<AnimationState>(demoState());
    start->timeline.RenderPassDone = true;
    FrameInput frame{.frameDelta = 16.0, .controls = demoState().shell.Controls};
    float roll = 0.0f;
    for (double t : {5000.0, 18000.0, 30000.0, 50000.0, 60000.0, 75000.0, 90000.0, 121000.0}) {
        frame.songTime = t;
        frame.steps = stepsBetween(t - 16.0, t);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glLoadIdentity();
        drawMainPartPicture(*start, mainPartRows(t, 0), frame, roll);
    }

    for (double t : {5016.0, 18016.0, 34016.0, 48016.0, 62016.0, 76016.0, 100016.0, 121016.0}) {
        frame.songTime = t;
        frame.steps = stepsBetween(t - 16.0, t);
        frame.controls.CameraRoll = roll;
        auto drawOn = [&](AnimationState& state, float& frameRoll) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            glLoadIdentity();
            drawMainPartPicture(state, mainPartRows(t, 0), frame, frameRoll);
            std::vector<std::uint8_t> pixels(800 * 600 * 4);
            glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
            return pixels;
        };
        // Each drawn after the same frame, so that both find the same GL state.
        const auto primer = std::make_unique<AnimationState>(*start);
        float primerRoll = roll;
        drawOn(*primer, primerRoll);
        const auto first = std::make_unique<AnimationState>(*start);
        const auto second = std::make_unique<AnimationState>(*start);
        float firstRoll = roll, secondRoll = roll;
        const std::vector<std::uint8_t> firstPixels = drawOn(*first, firstRoll);
        const std::vector<std::uint8_t> secondPixels = drawOn(*second, secondRoll);
        EXPECT_TRUE(firstPixels == secondPixels) << "at " << t;
        EXPECT_TRUE(*first == *second) << "at " << t;
        EXPECT_EQ(firstRoll, secondRoll) << "at " << t;
        EXPECT_FALSE(*first == *start) << "the frame at " << t << " moved nothing";
        *start = *first;
        roll = firstRoll;
    }
}

} // namespace
