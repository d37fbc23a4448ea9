// The cone scene's angle, turns and fighter; the pentagram and credits sheet
// state; and the matrix stack all three leave.
#include "assets/model.h"
#include "effects/blobs.h"
#include "effects/twin_cones.h"
#include "feedback_capture.h"
#include "gl_fixture.h"
#include "shell/scene_setup.h"
#include "timeline/animation_state.h"
#include "timeline/layout.h"
#include "timeline/middle_scenes.h"
#include "timeline/timeline.h"

#include <cmath>
#include <utility>
#include <vector>

namespace {

// A one-triangle stand-in for the fighter, drawn magenta, at (0,0,0), (1,0,0), (0,1,0).
struct MarkerFighter {
    std::vector<Vector3> vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    Model3D saved;

    MarkerFighter()
    {
        Model3D marker;
        MeshObject object;
        object.vertexCount = 3;
        object.faceCount = 1;
        object.materialIndex = 0;
        object.vertices = vertices;
        object.normals.assign(3, Vector3{0, 0, 1});
        object.faces = {Face{{0, 1, 2}, {0, 0, 0}}};
        marker.objects.push_back(object);
        marker.objectCount = 1;
        MaterialInfo material;
        material.colour[0] = 255;
        material.colour[2] = 255;
        marker.materials.push_back(material);
        marker.materialCount = 1;
        saved = std::exchange(Assets.fighterModel, marker);
    }
    ~MarkerFighter() { Assets.fighterModel = saved; }
};

} // namespace

class MiddleScenes : public GlTest {
protected:
    AnimationState state;  // of the frames drawn
    FrameInput frame;
    void SetUp() override
    {
        GlTest::SetUp();
        savedQuadric = std::exchange(Gl.ConeQuadric, nullptr);  // cones draw nothing here
    }
    void TearDown() override
    {
        Gl.ConeQuadric = savedQuadric;
        GlTest::TearDown();
    }
    GLUquadric* savedQuadric = nullptr;
};

TEST_F(MiddleScenes, ConeAngleRisesFallsAndSlowsAfterReturning)
{
    state.middleScenes = {.ConeAngle = 0.0f, .ConeRising = true, .ConeTopArmed = true, .ConeSlowRise = false};
    frame.frameDelta = 20.0;
    drawConeScene(state, frame);
    EXPECT_FLOAT_EQ(state.middleScenes.ConeAngle, 1.0f);  // 50 degrees per s

    state.middleScenes = {.ConeAngle = 10.0f, .ConeRising = false, .ConeTopArmed = false, .ConeSlowRise = false};
    drawConeScene(state, frame);
    EXPECT_FLOAT_EQ(state.middleScenes.ConeAngle, 9.6f);  // 20 degrees per s
    EXPECT_FALSE(state.middleScenes.ConeRising);

    // Reaching 0: clamped, slow rise set and the direction reversed in the same frame.
    state.middleScenes = {.ConeAngle = 0.3f, .ConeRising = false, .ConeTopArmed = false, .ConeSlowRise = false};
    drawConeScene(state, frame);
    EXPECT_EQ(state.middleScenes.ConeAngle, 0.0f);
    EXPECT_TRUE(state.middleScenes.ConeSlowRise);
    EXPECT_TRUE(state.middleScenes.ConeRising);
    EXPECT_TRUE(state.middleScenes.ConeTopArmed);
    drawConeScene(state, frame);
    EXPECT_FLOAT_EQ(state.middleScenes.ConeAngle, 0.5f);  // 25 degrees per s from now on

    // The top turn happens once, on the frame that reaches 180.
    state.middleScenes = {.ConeAngle = 179.5f, .ConeRising = true, .ConeTopArmed = true, .ConeSlowRise = false};
    drawConeScene(state, frame);
    EXPECT_FALSE(state.middleScenes.ConeRising);
    EXPECT_FALSE(state.middleScenes.ConeTopArmed);
    frame.frameDelta = 0.0;
    drawConeScene(state, frame);
    EXPECT_FALSE(state.middleScenes.ConeRising);  // still at 180.5 but disarmed: no second turn
}

TEST_F(MiddleScenes, FighterFollowsTheAngleAfterTheStep)
{
    MarkerFighter marker;
    state.middleScenes = {.ConeAngle = 10.0f, .ConeRising = false, .ConeTopArmed = false, .ConeSlowRise = false};
    frame.frameDelta = 100.0;  // the angle falls from 10 to 8 in this frame
    glLoadIdentity();
    const auto polygons = capturePolygons([this] { drawConeScene(state, frame); });
    ASSERT_EQ(polygons.size(), 1u);
    const FeedbackPolygon& drawn = polygons[0];
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_NEAR(drawn[0].r, 1.0f, 1e-3f);
    EXPECT_NEAR(drawn[0].g, 0.0f, 1e-3f);

    // Where the marker lands with the advanced angle 8: distance 2 + 8, spin 16 degrees.
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.3f, 0.0f, -2.0f - 8.0f);
    glRotatef(16.0f, 0.0f, 0.0f, 1.0f);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glPopMatrix();
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int k = 0; k < 3; ++k) {
        GLdouble wx, wy, wz;
        gluProject(marker.vertices[k].x, marker.vertices[k].y, marker.vertices[k].z, model, projection, viewport,
                   &wx, &wy, &wz);
        EXPECT_NEAR(drawn[k].x, wx, 0.05) << k;
        EXPECT_NEAR(drawn[k].y, wy, 0.05) << k;
    }
}

TEST_F(MiddleScenes, PentagramAndSheetState)
{
    frame.frameDelta = 50.0;
    state.middleScenes.PentagramAngle = 3.0f;
    glDisable(GL_SCISSOR_TEST);
    drawPentagramScene(state, frame);
    EXPECT_FLOAT_EQ(state.middleScenes.PentagramAngle, 4.0f);
    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(box[0], 227);
    EXPECT_EQ(box[3], 571);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));

    state.middleScenes.SheetPhase = 1.0f;
    state.layout.BlobPhase = 2.0f;
    state.blobs.GlowBlobs.blobs[2].position[2] = 0.75f;
    drawSheetScene(state, frame);
    EXPECT_FLOAT_EQ(state.middleScenes.SheetPhase, 1.05f);
    const float p = 2.0f;
    EXPECT_FLOAT_EQ(state.blobs.GlowBlobs.blobs[0].position[0], 1.5f * std::sin(p / 2));
    EXPECT_FLOAT_EQ(state.blobs.GlowBlobs.blobs[1].position[1], 1.5f * std::cos(p / 4));
    EXPECT_FLOAT_EQ(state.blobs.GlowBlobs.blobs[2].position[0], 1.5f * std::sin(p));
    EXPECT_FLOAT_EQ(state.blobs.GlowBlobs.blobs[3].position[1], 1.1f * std::cos(p / 2));
    EXPECT_EQ(state.blobs.GlowBlobs.blobs[2].position[2], 0.75f);  // z is left as the set holds it
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_SCISSOR_TEST);
}

TEST_F(MiddleScenes, EachSceneLeavesTheModelviewMatrixAsFound)
{
    glPushMatrix();
    glTranslatef(0.25f, -0.5f, 0.125f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    frame.frameDelta = 16.0;
    for (void (*scene)(AnimationState&, const FrameInput&) : {drawConeScene, drawPentagramScene, drawSheetScene}) {
        scene(state, frame);
        EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        for (int k = 0; k < 16; ++k) EXPECT_EQ(after[k], before[k]);
    }
    glPopMatrix();
    glDisable(GL_SCISSOR_TEST);
}
