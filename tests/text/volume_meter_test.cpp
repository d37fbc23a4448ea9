// The volume meter: the fast-rise, slow-fall rule and the bars it draws.
#include "text/volume_meter.h"

#include "feedback_capture.h"
#include "gl_fixture.h"

#include <algorithm>
#include <cmath>

TEST(VolumeMeterRule, SilenceFallsByATenthPerStepAndNeverReachesZero)
{
    float s = 0.5f;
    s = smoothVolumeLevel(s, 0.0f);
    EXPECT_FLOAT_EQ(s, 0.45f);
    s = smoothVolumeLevel(s, 0.0f);
    EXPECT_FLOAT_EQ(s, 0.405f);
    for (int i = 0; i < 5000; ++i) {
        const float next = smoothVolumeLevel(s, 0.0f);
        ASSERT_LE(next, s);
        ASSERT_GT(next, 0.0f) << "step " << i;
        s = next;
    }
}

TEST(VolumeMeterRule, ARiseOfMoreThanThirtyPercentIsTakenAtOnceAndClamped)
{
    EXPECT_EQ(smoothVolumeLevel(0.0f, 1.0f), 0.5f);
    EXPECT_EQ(smoothVolumeLevel(0.001f, 1.0f), 0.5f);
    EXPECT_EQ(smoothVolumeLevel(0.1f, 0.14f), 0.14f);
    // 30 % or less moves a tenth of the way.
    EXPECT_FLOAT_EQ(smoothVolumeLevel(0.1f, 0.125f), 0.1025f);
    EXPECT_FLOAT_EQ(smoothVolumeLevel(0.4f, 0.3f), 0.39f);
    // Smoothing up past the clamp stops at 0.5.
    EXPECT_EQ(smoothVolumeLevel(0.5f, 0.6f), 0.5f);
    EXPECT_EQ(smoothVolumeLevel(0.0f, 0.0f), 0.0f);
}

namespace {

class VolumeMeterGl : public GlTest {
protected:
    VolumeMeterState meter;  // of the meter drawn
    void SetUp() override
    {
        GlTest::SetUp();
        plat::musicClose();  // no song: every channel reads 0
        glDisable(GL_TEXTURE_2D);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-4, 4, -3, 3, -10, 10);  // one unit = 100 pixels
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(2.74f, 1.9f, 0.0f);  // cancels the meter's own x, y offset
    }
};

// Length of each bar in GL units, bottom to top, from its drawn polygons.
std::vector<double> barLengths(const std::vector<FeedbackPolygon>& polygons)
{
    std::vector<double> right(3, 0.0);
    for (const auto& polygon : polygons) {
        double centreY = 0.0, maxX = 0.0;
        for (const auto& v : polygon) {
            centreY += (v.y - 300.0) / 100.0 / static_cast<double>(polygon.size());
            maxX = std::max(maxX, (v.x - 400.0) / 100.0);
        }
        const int bar = std::clamp(static_cast<int>(centreY / 0.1), 0, 2);
        right[bar] = std::max(right[bar], maxX);
    }
    return right;
}

} // namespace

TEST_F(VolumeMeterGl, BarOneStartsFromHalfAndSilentBarsKeepTheirMinimumLength)
{
    meter.VolumeLevels[1] = 0.0f;
    meter.VolumeLevels[2] = 0.0f;
    InitVolumeMeter(meter);
    EXPECT_EQ(meter.VolumeLevels[0], 0.5f);

    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    glPushMatrix();
    const auto polygons = capturePolygons([this] { DrawVolumeMeter(meter, StepRun{1, 1, 0.0f}); });
    glPopMatrix();
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    EXPECT_FLOAT_EQ(meter.VolumeLevels[0], 0.45f);
    EXPECT_EQ(meter.VolumeLevels[1], 0.0f);

    const auto lengths = barLengths(polygons);
    EXPECT_NEAR(lengths[0], 2 * 0.45 + 0.1, 0.01);
    EXPECT_NEAR(lengths[1], 0.1, 0.01);
    EXPECT_NEAR(lengths[2], 0.1, 0.01);
}

// The fall is smoothed once per step: a second of silence takes a full bar
// down exactly as far at 30 or 144 frames a second as at 60.
TEST_F(VolumeMeterGl, ASecondOfSilenceFallsAsFarAtAnyFrameRate)
{
    auto levelAfterOneSecond = [this](int fps) {
        meter.VolumeLevels[0] = 0.5f;
        for (int k = 1; k <= fps; ++k) {
            const StepRun run = stepsBetween(std::floor((k - 1) * 1000.0 / fps), std::floor(k * 1000.0 / fps));
            glPushMatrix();
            DrawVolumeMeter(meter, run);
            glPopMatrix();
        }
        return meter.VolumeLevels[0];
    };
    const float at60 = levelAfterOneSecond(60);
    EXPECT_LT(at60, 0.001f);
    EXPECT_GT(at60, 0.0f);
    EXPECT_EQ(levelAfterOneSecond(30), at60);
    EXPECT_EQ(levelAfterOneSecond(144), at60);
}
