// The colour panel: corner colours as GL draws them, and the swing of the
// phase with its turns at the ends.
#include "effects/colour_panel.h"

#include "feedback_capture.h"
#include "gl_fixture.h"
#include "timeline/timeline.h"

#include <cmath>

namespace {

class ColourPanelGl : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        glDisable(GL_TEXTURE_2D);
    }
};

} // namespace

TEST_F(ColourPanelGl, CornerColoursAtPhaseZeroAfterClamping)
{
    // An orthographic view that holds the whole quad, so no corner is clipped.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4, 4, -3, 3, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    const auto polygons = capturePolygons([] { drawColourPanel(); });
    ASSERT_FALSE(polygons.empty());

    // Corners in object space after the panel's own translation (-0.9, 0.6, -4).
    struct Corner {
        double x, y;
        float r, g, b;
    };
    const Corner corners[4] = {{-2.9, -1.4, 0.0f, 0.39f, 1.0f},
                               {1.3, -1.4, 1.0f, 0.54f, 0.9f},
                               {1.3, 2.6, 0.0f, 0.55f, 0.0f},
                               {-2.9, 2.6, 0.0f, 0.0f, 0.0f}};
    for (const Corner& c : corners) {
        const double wx = (c.x + 4.0) / 8.0 * 800.0;
        const double wy = (c.y + 3.0) / 6.0 * 600.0;
        bool found = false;
        for (const auto& polygon : polygons) {
            for (const auto& v : polygon) {
                if (std::abs(v.x - wx) > 0.5 || std::abs(v.y - wy) > 0.5) continue;
                found = true;
                EXPECT_NEAR(v.r, c.r, 0.01) << c.x << "," << c.y;
                EXPECT_NEAR(v.g, c.g, 0.01) << c.x << "," << c.y;
                EXPECT_NEAR(v.b, c.b, 0.01) << c.x << "," << c.y;
            }
        }
        EXPECT_TRUE(found) << "corner " << c.x << "," << c.y;
    }
}

TEST_F(ColourPanelGl, TurnsOnTheCallThatReachesAnEnd)
{
    ColourPanel.PanelPhase = 1.0f;
    Clock.FrameDelta = 1000.0;  // +0.5: exactly 1.5
    glPushMatrix();
    drawColourPanel();
    glPopMatrix();
    EXPECT_EQ(ColourPanel.PanelPhase, 1.5f);
    EXPECT_FALSE(ColourPanel.PanelRising);

    glPushMatrix();
    drawColourPanel();
    glPopMatrix();
    EXPECT_EQ(ColourPanel.PanelPhase, 1.0f);

    // Passing an end overshoots by up to a step, then turns.
    ColourPanel.PanelPhase = -1.49f;
    Clock.FrameDelta = 100.0;
    glPushMatrix();
    drawColourPanel();
    glPopMatrix();
    EXPECT_FLOAT_EQ(ColourPanel.PanelPhase, -1.54f);
    EXPECT_TRUE(ColourPanel.PanelRising);
    glPushMatrix();
    drawColourPanel();
    glPopMatrix();
    EXPECT_FLOAT_EQ(ColourPanel.PanelPhase, -1.49f);
}

TEST_F(ColourPanelGl, StandsStillAtZeroFrameDeltaAndTranslatesWithoutSaving)
{
    ColourPanel.PanelPhase = 0.7f;
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    drawColourPanel();
    EXPECT_EQ(ColourPanel.PanelPhase, 0.7f);
    EXPECT_TRUE(ColourPanel.PanelRising);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], -0.9f);
    EXPECT_FLOAT_EQ(m[13], 0.6f);
    EXPECT_FLOAT_EQ(m[14], -4.0f);
}
