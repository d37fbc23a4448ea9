// The twin cones: spin direction, redraws at a standing song time, GL state.
#include "assets/texture_set.h"
#include "effects/twin_cones.h"
#include "gl_fixture.h"
#include "shell/scene_setup.h"
#include "timeline/timeline.h"

#include <utility>
#include <vector>

class TwinCones : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        quadric = gluNewQuadric();
        gluQuadricNormals(quadric, GLU_SMOOTH);
        gluQuadricTexture(quadric, GL_TRUE);
        saved = std::exchange(Gl.ConeQuadric, quadric);
        // A striped texture, so that a turn about the cones' own axis shows.
        std::uint8_t stripes[8 * 8 * 3];
        for (int i = 0; i < 8 * 8 * 3; ++i) stripes[i] = ((i / 3) % 8) < 4 ? 255 : 40;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 8, 8, 0, GL_RGB, GL_UNSIGNED_BYTE, stripes);
        savedTexture = std::exchange(Gl.Textures[TexCredits], texture);
        // The fog the scene set-up configures.
        const GLfloat fogColour[4] = {0.6f, 0.5f, 0.05f, 0.5f};
        glFogi(GL_FOG_MODE, GL_EXP2);
        glFogfv(GL_FOG_COLOR, fogColour);
        glFogf(GL_FOG_DENSITY, 0.35f);
    }
    void TearDown() override
    {
        Gl.ConeQuadric = saved;
        Gl.Textures[TexCredits] = savedTexture;
        gluDeleteQuadric(quadric);
        GlTest::TearDown();
    }
    std::vector<std::uint8_t> drawOnce(bool rising)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glBlendFunc(GL_ONE, GL_ONE);
        drawTwinCones(twinCones, rising, frameDelta);
        std::vector<std::uint8_t> pixels(800 * 600 * 4);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    TwinConeState twinCones;  // of the frames drawOnce draws
    double frameDelta = 0.0;
    GLUquadric* quadric = nullptr;
    GLUquadric* saved = nullptr;
    GLuint texture = 0;
    std::uint32_t savedTexture = 0;
};

TEST_F(TwinCones, SpinFollowsTheFlag)
{
    twinCones.ConeSpin = 0.0f;
    frameDelta = 20.0;
    drawOnce(true);
    EXPECT_FLOAT_EQ(twinCones.ConeSpin, 2.0f);
    drawOnce(false);
    drawOnce(false);
    EXPECT_FLOAT_EQ(twinCones.ConeSpin, -2.0f);  // may go negative
    drawOnce(true);
    EXPECT_FLOAT_EQ(twinCones.ConeSpin, 0.0f);
}

TEST_F(TwinCones, StandingSongTimeDrawsTheSamePictureAndLeavesState)
{
    // Light 0 as the scene set-up gives it: directional from (1, 1, 0), yellow.
    const GLfloat position[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    const GLfloat yellow[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, yellow);
    glLightfv(GL_LIGHT0, GL_AMBIENT, yellow);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    twinCones.ConeSpin = 7.0f;
    frameDelta = 0.0;
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    const auto first = drawOnce(true);
    const auto second = drawOnce(false);
    EXPECT_EQ(first, second);
    EXPECT_EQ(twinCones.ConeSpin, 7.0f);
    int covered = 0;
    for (std::size_t i = 0; i < first.size(); i += 4) covered += first[i] > 0;
    EXPECT_GT(covered, 1000);  // the viewer sits inside both cones

    frameDelta = 50.0;
    EXPECT_EQ(drawOnce(true), first);  // drawn with the spin from before the step
    frameDelta = 0.0;
    EXPECT_NE(drawOnce(true), first);  // now turned by 2 x 5 degrees each way

    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_LIGHT0);
}
