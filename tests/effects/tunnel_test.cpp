// The tunnel flight: slice loss after 53.5 s, counts at and below zero, the
// tube's geometry and the state the call leaves.
#include "assets/model.h"
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

Grids snapshot()
{
    Grids g;
    std::memcpy(g.x, ::Tunnel.TunnelX, sizeof g.x);
    std::memcpy(g.y, ::Tunnel.TunnelY, sizeof g.y);
    std::memcpy(g.z, ::Tunnel.TunnelZ, sizeof g.z);
    return g;
}

bool sameGrids(const Grids& a, const Grids& b)
{
    return std::memcmp(&a, &b, sizeof(Grids)) == 0;
}

} // namespace

class Tunnel : public GlTest {
protected:
    // No model is loaded at the start of a test, so every polygon drawn is the tube's.

    // One call at song time t with step dt; returns the quads drawn, counted as
    // triangles / 2.
    int callAt(double t, double dt)
    {
        Clock.SongTime = t;
        Clock.FrameDelta = dt;
        useWideOrtho(-400.0);
        glPushMatrix();
        int triangles = 0;
        for (const FeedbackPolygon& p : capturePolygons([] { drawTunnelFlight(); }))
            triangles += static_cast<int>(p.size()) - 2;
        glPopMatrix();
        return triangles / 2;
    }
};

TEST_F(Tunnel, SlicesFallAfter53500ByTheCeilingOfDeltaOver21)
{
    struct Case { double t, dt; int start, expected; };
    const Case cases[] = {
        {53500.0, 16.0, 85, 85},  // not yet at 53 500 exactly
        {53500.5, 0.0, 85, 85},   {53501.0, 1.0, 85, 84}, {53600.0, 21.0, 85, 84},
        {53600.0, 22.0, 85, 83},  {53600.0, 42.0, 85, 83}, {53600.0, 43.0, 85, 82},
        {53600.0, 16.0, 0, 0},    {53600.0, 21.0, 0, -1}, {53600.0, 50.0, 0, -2},
        {53600.0, 16.0, -3, -3},  {53600.0, 30.0, -3, -4}, {42001.0, 500.0, 85, 85},
    };
    for (const Case& c : cases) {
        ::Tunnel.TunnelSlices = c.start;
        callAt(c.t, c.dt);
        EXPECT_EQ(::Tunnel.TunnelSlices, c.expected) << "t " << c.t << " dt " << c.dt << " from " << c.start;
    }
    ::Tunnel.TunnelSlices = TunnelMaxSlices;
}

TEST_F(Tunnel, CountNeverRisesNorOverflows)
{
    ::Tunnel.TunnelSlices = 40;
    callAt(60000.0, -500.0);  // a step back in song time
    EXPECT_EQ(::Tunnel.TunnelSlices, 40);
    callAt(60000.0, std::nan(""));
    EXPECT_EQ(::Tunnel.TunnelSlices, 40);
    ::Tunnel.TunnelPhase = 0.0f;  // the NaN step went into the phase
    ::Tunnel.TunnelSlices = -5;
    callAt(60000.0, 1e15);
    EXPECT_EQ(::Tunnel.TunnelSlices, INT_MIN);
    callAt(60000.0, 1e15);
    EXPECT_EQ(::Tunnel.TunnelSlices, INT_MIN);
    ::Tunnel.TunnelSlices = TunnelMaxSlices;
}

TEST_F(Tunnel, QuadsPerSliceAndNoneAtOneOrLess)
{
    ::Tunnel.TunnelSlices = 85;
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    EXPECT_EQ(callAt(45000.0, 16.0), 84 * 12);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    // Slice 0 sits on the radius-3 circle; point 12 closes onto point 0.
    EXPECT_NEAR(std::hypot(::Tunnel.TunnelX[4][0], ::Tunnel.TunnelY[4][0]), 3.0, 1e-5);
    EXPECT_NEAR(::Tunnel.TunnelX[12][30], ::Tunnel.TunnelX[0][30], 1e-5);
    ::Tunnel.TunnelSlices = 2;
    EXPECT_EQ(callAt(45000.0, 16.0), 12);

    for (int count : {1, 0, -1, -40}) {
        ::Tunnel.TunnelSlices = count;
        EXPECT_EQ(callAt(45000.0, 16.0), 0) << count;
    }
    ::Tunnel.TunnelSlices = TunnelMaxSlices;
}

TEST_F(Tunnel, GridsKeepTheirValuesWhenNoSlicesRemain)
{
    ::Tunnel.TunnelSlices = 85;
    callAt(45000.0, 16.0);
    const Grids full = snapshot();
    const float roll = ::Tunnel.FighterRoll;
    for (int count : {0, -7}) {
        ::Tunnel.TunnelSlices = count;
        callAt(45000.0, 16.0);
        EXPECT_TRUE(sameGrids(snapshot(), full)) << count;
        EXPECT_EQ(::Tunnel.FighterRoll, roll);  // still follows vertex [5][2] as last computed
    }
    // One slice: only slice 0 is recomputed, the rest stay.
    ::Tunnel.TunnelX[3][0] = ::Tunnel.TunnelX[3][1] = 999.0f;
    ::Tunnel.TunnelSlices = 1;
    callAt(45000.0, 16.0);
    EXPECT_NEAR(::Tunnel.TunnelX[3][0], 3.0 * std::cos(3 * 3.14159265 / 6), 1e-5);
    EXPECT_EQ(::Tunnel.TunnelX[3][1], 999.0f);
    EXPECT_EQ(::Tunnel.TunnelX[5][2], full.x[5][2]);
    ::Tunnel.TunnelSlices = TunnelMaxSlices;
}
