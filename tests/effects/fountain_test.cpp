// The mirrored fountain: floor flash mask, camera, spray steps and GL state.
#include "effects/fountain.h"
#include "effects/particles.h"
#include "gl_fixture.h"
#include "timeline/timeline.h"

#include <algorithm>
#include <cmath>

TEST(FountainFloorFlash, ChannelsFollowTheLevel)
{
    const FloorFlashMask silent = floorFlashMask(0.0f, 0.0f);
    EXPECT_FALSE(silent.green);
    EXPECT_FALSE(silent.blue);
    const FloorFlashMask low = floorFlashMask(0.15f, 0.15f);
    EXPECT_TRUE(low.green);
    EXPECT_FALSE(low.blue);
    const FloorFlashMask loud = floorFlashMask(0.3f, 0.3f);
    EXPECT_TRUE(loud.green);
    EXPECT_TRUE(loud.blue);
    // Green reads the second level, blue the first.
    const FloorFlashMask split = floorFlashMask(0.25f, 0.05f);
    EXPECT_FALSE(split.green);
    EXPECT_TRUE(split.blue);
    EXPECT_FALSE(floorFlashMask(std::nanf(""), std::nanf("")).green);
}

class Fountain : public GlTest {
protected:
    // One frame crossing one step, unless told otherwise.
    FountainState fountain;
    ParticleState particles;
    RandomGenerator random;
    FrameInput frame{.steps = StepRun{1, 1, 0.0f}};
    void drawScene()
    {
        glPushMatrix();
        drawMirroredFountain(fountain, particles, random, frame);
        glPopMatrix();
    }
};

TEST_F(Fountain, CameraCirclesAndNeverGoesBelowTheFloor)
{
    fountain.MirrorAngle = 0.0f;
    frame.frameDelta = 0.0;
    drawScene();
    EXPECT_FLOAT_EQ(fountain.CameraEye[0], 20.0f);
    EXPECT_FLOAT_EQ(fountain.CameraEye[1], 10.0f);
    EXPECT_FLOAT_EQ(fountain.CameraEye[2], 0.0f);
    EXPECT_EQ(fountain.MirrorAngle, 0.0f);  // a standing song time keeps the camera

    frame.frameDelta = 1000.0;
    drawScene();
    EXPECT_FLOAT_EQ(fountain.MirrorAngle, 0.5f);

    float lowest = 100.0f;
    for (float a = 0.0f; a < 64.0f; a += 0.2f) {
        fountain.MirrorAngle = a;
        frame.frameDelta = 0.0;
        drawScene();
        lowest = std::min(lowest, fountain.CameraEye[1]);
        ASSERT_GE(fountain.CameraEye[1], 0.5f) << a;
    }
    EXPECT_EQ(lowest, 0.5f);  // 10 cos(2 sin(0.1 a)) dips below 0.5 and is held there
    fountain.MirrorAngle = 0.0f;
}

TEST_F(Fountain, SprayStepsTwicePerSceneDraw)
{
    for (Particle& p : particles.SprayPool) {
        p = Particle{};
        p.life = 5.0f;
        p.fade = 0.01f;
        p.velocity[1] = 3000.0f;  // 1 unit per step with slowdown 3
        p.slowdown = 3.0f;
        p.size = 0.05f;
    }
    frame.frameDelta = 16.0;
    drawScene();
    for (const Particle& p : particles.SprayPool) {
        ASSERT_FLOAT_EQ(p.position[1], 2.0f);
        ASSERT_FLOAT_EQ(p.life, 5.0f - 2 * 0.03f);
    }
}

TEST_F(Fountain, LeavesMasksClipPlaneAndMatrixStackAsFound)
{
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    frame.frameDelta = 16.0;
    drawScene();
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    GLboolean mask[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    for (GLboolean m : mask) EXPECT_TRUE(m);
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}
