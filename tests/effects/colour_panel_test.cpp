// The colour panel: corner colours as GL draws them, and the swing of the
// phase by steps, with its turns at the ends, the same at any frame rate.
#include "effects/colour_panel.h"

#include "feedback_capture.h"
#include "gl_fixture.h"
#include "timeline/timeline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

class ColourPanelGl : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        glDisable(GL_TEXTURE_2D);
    }
    ColourPanelState colourPanel;  // of the panel drawn
};

} // namespace

TEST_F(ColourPanelGl, CornerColoursAtPhaseZeroAfterClamping)
{
    // An orthographic view that holds the whole quad, so no corner is clipped.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4, 4, -3, 3, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    const auto polygons = capturePolygons([this] { drawColourPanel(colourPanel, 0, StepRun{}); });
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

TEST_F(ColourPanelGl, TurnsOnTheSwingThatReachesAnEnd)
{
    colourPanel.PanelPhase = 1.0f;
    colourPanel.PanelRising = true;
    std::vector<float> phases{colourPanel.PanelPhase};  // swing by swing
    for (std::int64_t k = 1; k <= 40; ++k) {
        swingColourPanel(colourPanel, StepRun{1, k, 0.0f});
        phases.push_back(colourPanel.PanelPhaseShown[1]);
        phases.push_back(colourPanel.PanelPhase);
    }
    const auto top = std::max_element(phases.begin(), phases.end());
    EXPECT_GE(*top, 1.5f);
    EXPECT_LT(*top, 1.5f + 0.0086f) << "overshoots by less than one swing";
    EXPECT_LT(*(top - 1), 1.5f);
    EXPECT_LT(*(top + 1), *top) << "and turns on that swing";
    EXPECT_NEAR(top - phases.begin(), 60, 1) << "0.5 of phase in 60 swings of a step's length";
    EXPECT_FALSE(colourPanel.PanelRising);
    colourPanel.PanelPhase = 0.0f;
    colourPanel.PanelRising = true;
}

// Shown twice a frame as the screen layout does, the swing (turns included)
// ends at the same phase after 12 s at 30, 60, 144 or 240 frames a second,
// and both showings of every frame in between lie on the line through the
// swings of 60 fps, the second one swing after the first.
TEST_F(ColourPanelGl, SwingsAlikeAtAnyFrameRate)
{
    std::vector<float> swings{0.0f};  // the phase swing by swing at 60 fps
    auto phaseAfter = [this, &swings](int fps) {
        colourPanel.PanelPhase = 0.0f;
        colourPanel.PanelRising = true;
        double worst = 0.0;
        for (int k = 1; k <= 12 * fps; ++k) {
            const StepRun run = stepsBetween(std::floor((k - 1) * 1000.0 / fps), std::floor(k * 1000.0 / fps));
            swingColourPanel(colourPanel, run);
            if (fps == 60) {
                swings.push_back(colourPanel.PanelPhaseShown[1]);
                swings.push_back(colourPanel.PanelPhase);
                continue;
            }
            if (run.last < 1) continue;  // before the first step nothing has swung
            for (int showing : {0, 1}) {
                const double at = 2.0 * (static_cast<double>(run.last) - 1.0 + run.fraction) + showing;
                const auto whole = static_cast<std::size_t>(at);
                const double expected = swings[whole] + (swings[whole + 1] - swings[whole]) * (at - static_cast<double>(whole));
                worst = std::max(worst, std::abs(colourPanelPhase(colourPanel, showing, run) - expected));
            }
        }
        EXPECT_LT(worst, 1e-5) << fps << " fps: a showing off the swings' line";
        return std::make_pair(colourPanel.PanelPhase, colourPanel.PanelRising);
    };
    const auto at60 = phaseAfter(60);
    swings.push_back(swings.back());  // room for the look one swing ahead at the end
    for (int fps : {30, 144, 240}) EXPECT_EQ(phaseAfter(fps), at60) << fps << " fps";
    colourPanel.PanelPhase = 0.0f;
    colourPanel.PanelRising = true;
}

TEST_F(ColourPanelGl, DrawingMovesNothingAndTranslatesWithoutSaving)
{
    colourPanel.PanelPhase = 0.7f;
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    drawColourPanel(colourPanel, 1, StepRun{0, 1, 0.5f});
    EXPECT_EQ(colourPanel.PanelPhase, 0.7f);
    EXPECT_TRUE(colourPanel.PanelRising);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], -0.9f);
    EXPECT_FLOAT_EQ(m[13], 0.6f);
    EXPECT_FLOAT_EQ(m[14], -4.0f);
}
