// The step clock against the clocks the demo meets: a whole-millisecond song
// time sampled at 30, 60, 144 and 240 frames a second for ten minutes, and
// the stalls and song switches of a real run.
#include "core/step_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Song time of frame k at `fps`: the whole milliseconds the backends report.
double frameTime(std::int64_t k, int fps) { return std::floor(static_cast<double>(k) * 1000.0 / fps); }

struct RunTotals {
    std::int64_t steps = 0;
    std::vector<int> counts;       // steps per frame
    std::vector<float> fractions;  // fraction per frame
};

RunTotals runFrames(int fps, double seconds)
{
    RunTotals totals;
    const auto frames = static_cast<std::int64_t>(seconds * fps);
    for (std::int64_t k = 1; k <= frames; ++k) {
        const StepRun run = stepsBetween(frameTime(k - 1, fps), frameTime(k, fps));
        totals.steps += run.count;
        totals.counts.push_back(run.count);
        totals.fractions.push_back(run.fraction);
    }
    return totals;
}

constexpr double TenMinutes = 600.0;

} // namespace

TEST(StepClock, SixtyFramesASecondCrossExactlyOneStepEveryFrameForTenMinutes)
{
    const RunTotals run = runFrames(60, TenMinutes);
    for (std::size_t k = 0; k < run.counts.size(); ++k) {
        ASSERT_EQ(run.counts[k], 1) << "frame " << k + 1 << " at " << frameTime(k + 1, 60) << " ms";
        ASSERT_EQ(run.fractions[k], 0.0f) << "frame " << k + 1;
    }
    EXPECT_EQ(run.steps, 36000);
    EXPECT_EQ(stepIndexAt(600000.0), 36000);
}

TEST(StepClock, ThirtyFramesTakeTwoStepsAndFastScreensZeroOrOne)
{
    const RunTotals slow = runFrames(30, TenMinutes);
    for (std::size_t k = 0; k < slow.counts.size(); ++k) {
        ASSERT_EQ(slow.counts[k], 2) << "frame " << k + 1;
        ASSERT_EQ(slow.fractions[k], 0.0f) << "frame " << k + 1;
    }
    EXPECT_EQ(slow.steps, 36000);

    for (int fps : {144, 240}) {
        const RunTotals fast = runFrames(fps, TenMinutes);
        EXPECT_EQ(fast.steps, 36000) << fps << " fps drifted";
        for (std::size_t k = 0; k < fast.counts.size(); ++k) {
            ASSERT_TRUE(fast.counts[k] == 0 || fast.counts[k] == 1) << fps << " fps, frame " << k + 1;
            ASSERT_GE(fast.fractions[k], 0.0f);
            ASSERT_LT(fast.fractions[k], 1.0f);
            // Between two steps the frame moves on through the step.
            if (k > 0 && fast.counts[k] == 0) {
                ASSERT_GT(fast.fractions[k], fast.fractions[k - 1]) << fps << " fps, frame " << k + 1;
            }
        }
        // Steps are spread out, never two in one frame and never more than
        // ceil(fps / 60) frames apart.
        int sinceStep = 0, longestGap = 0;
        for (int c : fast.counts) {
            sinceStep = c ? 0 : sinceStep + 1;
            longestGap = std::max(longestGap, sinceStep);
        }
        EXPECT_LE(longestGap, (fps + 59) / 60 - 1) << fps << " fps";
    }
}

TEST(StepClock, AStallIsCappedAndASongSwitchOrAStandstillCrossesNoStep)
{
    // A two-second stall (a window rebuild) runs 12 steps, not 120.
    const StepRun stall = stepsBetween(10000.0, 12000.0);
    EXPECT_EQ(stall.count, MaxFrameSteps);
    EXPECT_EQ(stall.last, stepIndexAt(12000.0));
    EXPECT_EQ(MaxFrameSteps * 1000 / 60, 200);

    // The same time twice, or a clock that went back, crosses none.
    EXPECT_EQ(stepsBetween(5000.0, 5000.0).count, 0);
    EXPECT_EQ(stepsBetween(5000.0, 4000.0).count, 0);
    // A new song starts counting from its own time 0: its first frame at 60
    // fps crosses one step.
    EXPECT_EQ(stepsBetween(0.0, 16.0).count, 1);
    EXPECT_EQ(stepsBetween(0.0, 15.0).count, 0);
    // The very first frame of the demo, long after the song started, is capped too.
    EXPECT_EQ(stepsBetween(0.0, 400.0).count, MaxFrameSteps);
    EXPECT_EQ(stepsBetween(-5.0, std::nan("")).count, 0);

    // Steps cover the song without gaps, 16 or 17 ms each, 1000 ms in 60.
    double covered = 0.0;
    for (std::int64_t k = 1; k <= 60; ++k) {
        const double length = stepLengthMs(k);
        EXPECT_TRUE(length == 16.0 || length == 17.0) << "step " << k;
        covered += length;
    }
    EXPECT_EQ(covered, 1000.0);
}
