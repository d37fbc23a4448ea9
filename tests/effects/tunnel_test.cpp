// The tunnel flight: slice loss after 53.5 s, counts at and below zero, the
// tube's geometry and the state the call leaves.
#include "assets/model.h"
#include "core/step_clock.h"
#include "effects/tunnel.h"

#include "feedback_capture.h"
#include "gl_fixture.h"
#include "timeline/timeline.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

struct Grids {
    float x[TunnelPoints][TunnelMaxSlices], y[TunnelPoints][TunnelMaxSlices], z[TunnelPoints][TunnelMaxSlices];
};

Grids snapshot(const TunnelState& tunnel)
{
    Grids g;
    std::memcpy(g.x, tunnel.TunnelX, sizeof g.x);
    std::memcpy(g.y, tunnel.TunnelY, sizeof g.y);
    std::memcpy(g.z, tunnel.TunnelZ, sizeof g.z);
    return g;
}

bool sameGrids(const Grids& a, const Grids& b)
{
    return std::memcmp(&a, &b, sizeof(Grids)) == 0;
}

} // namespace

class Tunnel : public GlTest {
protected:
    TunnelState tunnel;  // of the frames drawn
    // No model is loaded at the start of a test, so every polygon drawn is the tube's.

    // One frame at song time t after one at t - dt, with the steps between
    // them; returns the quads drawn, counted as triangles / 2.
    int callAt(double t, double dt)
    {
        const FrameInput frame{.songTime = t, .frameDelta = dt, .steps = stepsBetween(t - dt, t)};
        useWideOrtho(-400.0);
        glPushMatrix();
        int triangles = 0;
        for (const FeedbackPolygon& p : capturePolygons([this, &frame] { drawTunnelFlight(tunnel, frame); }))
            triangles += static_cast<int>(p.size()) - 2;
        glPopMatrix();
        return triangles / 2;
    }
};

// After 53.5 s the tube loses one slice per step: one a frame at 60 fps, two
// at 30, none in a fast frame that crosses no step, at most 12 after a stall;
// a count at 0 or below stays. The shade's shimmer walks only with a step.
TEST_F(Tunnel, SlicesFallOnePerStepAfter53500)
{
    struct Case { double t, dt; int start, expected; };
    const Case cases[] = {
        {53500.0, 17.0, 85, 85},  // the step starting at 53 500 exactly loses none
        {53517.0, 17.0, 85, 84},   {53600.0, 16.0, 85, 84}, {53600.0, 33.0, 85, 83},
        {53601.0, 1.0, 85, 85},    {54600.0, 1000.0, 85, 73}, {54600.0, -500.0, 40, 40},
        {53600.0, 33.0, 0, 0},     {53600.0, 33.0, -3, -3},  {42001.0, 500.0, 85, 85},
    };
    for (const Case& c : cases) {
        tunnel.TunnelSlices = c.start;
        tunnel.TunnelShade = 0.3f;
        callAt(c.t, c.dt);
        EXPECT_EQ(tunnel.TunnelSlices, c.expected) << "t " << c.t << " dt " << c.dt << " from " << c.start;
        if (stepsBetween(c.t - c.dt, c.t).count == 0) {
            EXPECT_EQ(tunnel.TunnelShade, 0.3f) << "t " << c.t << " dt " << c.dt;
        }
    }
    tunnel.TunnelSlices = TunnelMaxSlices;
}

// A frame that crosses no step, with the song standing still, draws the
// tube of the latest step again: the same shimmer, not the next step's.
TEST_F(Tunnel, FrameBetweenStepsRedrawsTheLatestStepsShimmer)
{
    auto tubeAt = [this](double dt) {
        const FrameInput frame{.songTime = 45000.0, .frameDelta = dt, .steps = stepsBetween(45000.0 - dt, 45000.0)};
        useWideOrtho(-400.0);
        glPushMatrix();
        auto polygons = capturePolygons([this, &frame] { drawTunnelFlight(tunnel, frame); });
        glPopMatrix();
        return polygons;
    };
    const auto stepped = tubeAt(16.0);
    const float walked = tunnel.TunnelShade;
    const auto between = tubeAt(0.0);
    ASSERT_EQ(stepped.size(), between.size());
    for (std::size_t i = 0; i < stepped.size(); ++i) {
        ASSERT_EQ(stepped[i].size(), between[i].size());
        for (std::size_t k = 0; k < stepped[i].size(); ++k)
            ASSERT_EQ(stepped[i][k].r, between[i][k].r) << "polygon " << i << " vertex " << k;
    }
    EXPECT_EQ(tunnel.TunnelShade, walked) << "the walk of the latest step stays";
}

TEST_F(Tunnel, QuadsPerSliceAndNoneAtOneOrLess)
{
    tunnel.TunnelSlices = 85;
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    EXPECT_EQ(callAt(45000.0, 16.0), 84 * 12);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    // Slice 0 sits on the radius-3 circle; point 12 closes onto point 0.
    EXPECT_NEAR(std::hypot(tunnel.TunnelX[4][0], tunnel.TunnelY[4][0]), 3.0, 1e-5);
    EXPECT_NEAR(tunnel.TunnelX[12][30], tunnel.TunnelX[0][30], 1e-5);
    tunnel.TunnelSlices = 2;
    EXPECT_EQ(callAt(45000.0, 16.0), 12);

    for (int count : {1, 0, -1, -40}) {
        tunnel.TunnelSlices = count;
        EXPECT_EQ(callAt(45000.0, 16.0), 0) << count;
    }
    tunnel.TunnelSlices = TunnelMaxSlices;
}

TEST_F(Tunnel, GridsKeepTheirValuesWhenNoSlicesRemain)
{
    tunnel.TunnelSlices = 85;
    callAt(45000.0, 16.0);
    const Grids full = snapshot(tunnel);
    const float roll = tunnel.FighterRoll;
    for (int count : {0, -7}) {
        tunnel.TunnelSlices = count;
        callAt(45000.0, 16.0);
        EXPECT_TRUE(sameGrids(snapshot(tunnel), full)) << count;
        EXPECT_EQ(tunnel.FighterRoll, roll);  // still follows vertex [5][2] as last computed
    }
    // One slice: only slice 0 is recomputed, the rest stay.
    tunnel.TunnelX[3][0] = tunnel.TunnelX[3][1] = 999.0f;
    tunnel.TunnelSlices = 1;
    callAt(45000.0, 16.0);
    EXPECT_NEAR(tunnel.TunnelX[3][0], 3.0 * std::cos(3 * 3.14159265 / 6), 1e-5);
    EXPECT_EQ(tunnel.TunnelX[3][1], 999.0f);
    EXPECT_EQ(tunnel.TunnelX[5][2], full.x[5][2]);
    tunnel.TunnelSlices = TunnelMaxSlices;
}
