// Screen layout: clip rectangles, the 2-D overlay mode and the matrices and
// state the panel passes and the frame overlay leave.
#include "timeline/frame_overlay.h"
#include "timeline/animation_state.h"
#include "timeline/layout.h"

#include "effects/blobs.h"
#include "effects/particles.h"
#include "core/picture.h"
#include "core/random.h"
#include "gl_fixture.h"
#include "timeline/timeline.h"

#include <array>
#include <cmath>
#include <vector>

namespace {

void expectModelview(const GLfloat* expected)
{
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], expected[i]) << "element " << i;
}

class LayoutGl : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        glDisable(GL_TEXTURE_2D);
        state.random.RandomState = 1;
        initParticlePools(state.particles, state.random, 0.0);
    }
    AnimationState state;  // of the passes drawn
    FrameInput frame{.frameDelta = 16.0};
};

} // namespace

TEST_F(GlTest, EveryClipOperationSetsItsRectangleAndLeavesTheScissorOn)
{
    struct Clip {
        void (*set)();
        GLint box[4];
    };
    const Clip clips[] = {
        {clipMainPanel, {227, 16, 546, 571}},  {clipSidePanel1, {27, 482, 100, 105}},
        {clipSidePanel2, {27, 351, 100, 105}}, {clipSidePanel3, {27, 221, 100, 105}},
        {clipSidePanel4, {27, 93, 100, 105}},  {clipMeterStrip, {0, 13, 205, 51}},
        {clipTallStrip, {130, 150, 95, 450}},  // 599 high, cut at the picture's top edge
    };
    for (const Clip& clip : clips) {
        glDisable(GL_SCISSOR_TEST);
        clip.set();
        EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
        GLint box[4];
        glGetIntegerv(GL_SCISSOR_BOX, box);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(box[i], clip.box[i]) << clip.box[0] << "," << clip.box[1];
        clip.set();  // setting again keeps it on
        EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    }
}

// At any drawable size each panel's clip is its 800 x 600 rectangle scaled
// into the picture's area: exactly doubled at 1600 x 1200; at 1920 x 1080
// (scale 1.8, 240 px bars) no edge is more than half a pixel from its scaled
// place and none leaves the picture.
TEST_F(GlTest, ClipPanelsFollowThePictureAtAnySize)
{
    void (*const clips[])() = {clipMainPanel,  clipSidePanel1, clipSidePanel2, clipSidePanel3,
                               clipSidePanel4, clipMeterStrip, clipTallStrip};
    auto boxOf = [](void (*set)()) {
        std::array<GLint, 4> box{};
        set();
        glGetIntegerv(GL_SCISSOR_BOX, box.data());
        return box;
    };
    std::vector<std::array<GLint, 4>> unscaled;
    for (auto clip : clips) unscaled.push_back(boxOf(clip));

    setPictureDrawable(1600, 1200);
    for (std::size_t i = 0; i < std::size(clips); ++i) {
        const std::array<GLint, 4> box = boxOf(clips[i]);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(box[k], 2 * unscaled[i][k]) << "clip " << i << ", value " << k;
    }

    setPictureDrawable(1920, 1080);
    for (std::size_t i = 0; i < std::size(clips); ++i) {
        const std::array<GLint, 4> box = boxOf(clips[i]);
        const std::array<GLint, 4>& u = unscaled[i];
        EXPECT_NEAR(box[0], 240 + 1.8 * u[0], 0.5) << "clip " << i;
        EXPECT_NEAR(box[1], 1.8 * u[1], 0.5) << "clip " << i;
        EXPECT_NEAR(box[0] + box[2], 240 + 1.8 * (u[0] + u[2]), 0.5) << "clip " << i;
        EXPECT_NEAR(box[1] + box[3], 1.8 * (u[1] + u[3]), 0.5) << "clip " << i;
        EXPECT_GE(box[0], 240);
        EXPECT_LE(box[0] + box[2], 1680);
        EXPECT_LE(box[1] + box[3], 1080);
    }
    setPictureDrawable(800, 600);
}

TEST_F(GlTest, OverlayModeRestoresBothMatricesAndTheMode)
{
    glMatrixMode(GL_PROJECTION);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1.0f, 2.0f, -3.0f);
    GLfloat model[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, model);
    const int modelDepth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    const int projectionDepth = stackDepth(GL_PROJECTION_STACK_DEPTH);

    enterOverlay2D();
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat inside[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, inside);
    EXPECT_EQ(inside[12], 0.0f);
    EXPECT_EQ(inside[0], 1.0f);
    leaveOverlay2D();

    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), modelDepth);
    EXPECT_EQ(stackDepth(GL_PROJECTION_STACK_DEPTH), projectionDepth);
    expectModelview(model);
    GLfloat after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], projection[i]) << i;
}

TEST_F(GlTest, OverlayModeMapsTheOriginToTheTopLeftPixel)
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    enterOverlay2D();
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);  // the top-left pixel, (0, 0) to (1, 1)
    glVertex2i(0, 0);
    glVertex2i(0, 1);
    glVertex2i(1, 1);
    glVertex2i(1, 0);
    glEnd();
    glColor3f(0, 1, 0);
    glBegin(GL_QUADS);  // the bottom-right pixel, up to (800, 600)
    glVertex2i(799, 599);
    glVertex2i(799, 600);
    glVertex2i(800, 600);
    glVertex2i(800, 599);
    glEnd();
    leaveOverlay2D();
    EXPECT_EQ(pixelAt(0, 599)[0], 255);
    EXPECT_EQ(pixelAt(0, 0)[0], 0);
    EXPECT_EQ(pixelAt(1, 598)[0], 0);
    EXPECT_EQ(pixelAt(799, 0)[1], 255);
    EXPECT_EQ(pixelAt(799, 599)[1], 0);
}

TEST_F(LayoutGl, FirstPassLeavesTheMatrixAndEndsClippedToTheMainPanel)
{
    glLoadIdentity();
    GLfloat identity[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, identity);
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    drawFirstPanelPass(state, frame);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    expectModelview(identity);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[0], 227);
    EXPECT_EQ(box[1], 16);
    EXPECT_EQ(box[2], 546);
    EXPECT_EQ(box[3], 571);
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "the readout leaves blending on";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LayoutGl, SecondPassPlacesTheCoreBlobsAdvancesThePhaseAndEndsUnclipped)
{
    state.layout.BlobPhase = 1.0f;
    state.blobs.CoreBlobs.blobs[2].position[2] = 0.0f;
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    GLfloat before[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);

    frame.frameDelta = 50.0;
    drawSecondPanelPass(state, frame);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    expectModelview(before);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_FLOAT_EQ(state.layout.BlobPhase, 1.1f);

    // Placed from the phase before the step; z untouched.
    const Blob* b = state.blobs.CoreBlobs.blobs;
    EXPECT_FLOAT_EQ(b[0].position[0], static_cast<float>(0.1 * std::cos(0.5)));
    EXPECT_FLOAT_EQ(b[0].position[1], static_cast<float>(0.1 * std::sin(0.5)));
    EXPECT_FLOAT_EQ(b[1].position[0], static_cast<float>(0.1 * std::sin(0.25)));
    EXPECT_FLOAT_EQ(b[1].position[1], static_cast<float>(0.1 * std::cos(0.25)));
    EXPECT_FLOAT_EQ(b[2].position[0], static_cast<float>(0.1 * std::cos(1.0)));
    EXPECT_FLOAT_EQ(b[2].position[1], static_cast<float>(0.1 * std::cos(1.0)));
    EXPECT_FLOAT_EQ(b[3].position[0], static_cast<float>(0.1 * std::cos(1.0)));
    EXPECT_FLOAT_EQ(b[3].position[1], static_cast<float>(0.1 * std::sin(0.5)));
    EXPECT_EQ(b[2].position[2], 0.0f);
    for (const Blob& blob : state.blobs.CoreBlobs.blobs) EXPECT_EQ(blob.strength, 0.01f);
}

TEST_F(LayoutGl, FrameOverlayMultipliesThenAddsAndLeavesItsState)
{
    // Untextured, the mask multiplies by white (no change) and the artwork adds
    // white, so the quad shows as white wherever it reaches.
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    glEnable(GL_DEPTH_TEST);
    drawFrameOverlay();
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[0], 1.0f);
    EXPECT_EQ(m[12], 0.0f);
    EXPECT_FLOAT_EQ(m[14], -3.05f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_ONE);
    EXPECT_EQ(dst, GL_ONE);

    EXPECT_EQ(pixelAt(400, 300)[0], 255);
    EXPECT_EQ(pixelAt(400, 0)[0], 255) << "1.27 at 3.05 covers the full height";
    EXPECT_EQ(pixelAt(400, 599)[0], 255);
    // Horizontally 1.67 falls short of the view's 1.684: the outermost columns stay.
    EXPECT_EQ(pixelAt(0, 300)[0], 0);
    EXPECT_EQ(pixelAt(799, 300)[0], 0);
    EXPECT_EQ(pixelAt(10, 300)[0], 255);
}
