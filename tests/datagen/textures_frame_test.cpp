// The frame textures line up with the clip panels on screen. Positions are
// carried through the demo's projection (gluPerspective(45, 4/3, 0.1, 500),
// 800 x 600 viewport) of the overlay quad at z = -3.05, and the textures are
// sampled the way GL's linear filter samples them.
#include "textures_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

using texture_files::Tga;
using texture_files::loadGenerated;

namespace {

struct Panel {
    const char* name;
    double x, y, w, h;
};
const Panel Panels[] = {
    {"main", 227, 16, 546, 571},  {"side1", 27, 482, 100, 105}, {"side2", 27, 351, 100, 105},
    {"side3", 27, 221, 100, 105}, {"side4", 27, 93, 100, 105},  {"meter", 0, 13, 205, 51},
    {"tall", 130, 150, 95, 599},
};

// Window position of an eye-space point through the perspective matrix.
std::array<double, 2> project(double x, double y, double z)
{
    const double f = 1.0 / std::tan(45.0 * M_PI / 360.0), aspect = 800.0 / 600.0, n = 0.1, far = 500.0;
    const double m[4][4] = {{f / aspect, 0, 0, 0}, {0, f, 0, 0}, {0, 0, (far + n) / (n - far), 2 * far * n / (n - far)}, {0, 0, -1, 0}};
    const double p[4] = {x, y, z, 1};
    double c[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) c[i] += m[i][j] * p[j];
    return {(c[0] / c[3] + 1) * 400.0, (c[1] / c[3] + 1) * 300.0};
}

// Texture coordinate shown at window position (X, Y): the quad lies in a plane
// of constant depth, so s and t are linear between its projected corners.
std::array<double, 2> texCoordAt(double X, double Y)
{
    const auto lo = project(-1.67, -1.27, -3.05), hi = project(1.67, 1.27, -3.05);
    return {(X - lo[0]) / (hi[0] - lo[0]), (Y - lo[1]) / (hi[1] - lo[1])};
}

// GL_LINEAR sample (luma 0..1) at (s, t); the first stored row is t = 0.
float sample(const Tga& t, double s, double tc)
{
    const double u = s * t.width - 0.5, v = tc * t.height - 0.5;
    const int x0 = int(std::floor(u)), y0 = int(std::floor(v));
    const double fx = u - x0, fy = v - y0;
    auto at = [&](int x, int y) {
        x = ((x % t.width) + t.width) % t.width;  // GL_REPEAT
        y = ((y % t.height) + t.height) % t.height;
        return double(t.luma(x, y));
    };
    return float((at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
                 (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy);
}

float screenSample(const Tga& t, double X, double Y)
{
    const auto st = texCoordAt(X, Y);
    return sample(t, st[0], st[1]);
}

bool onScreen(double X, double Y) { return X >= 0 && X <= 800 && Y >= 0 && Y <= 600; }

bool nearAnyPanel(double X, double Y, double margin)
{
    for (const Panel& p : Panels)
        if (X > p.x - margin && X < p.x + p.w + margin && Y > p.y - margin && Y < p.y + p.h + margin) return true;
    return false;
}

// Calls fn(inside point, outside point) at points along every edge of panel p,
// the inside point `in` pixels in and the outside point `out` pixels out.
template <class Fn> void alongEdges(const Panel& p, double in, double out, Fn&& fn)
{
    for (int i = 1; i < 24; ++i) {
        const double a = double(i) / 24.0;
        const double x = p.x + p.w * a, y = p.y + p.h * a;
        fn(std::array{p.x + in, y}, std::array{p.x - out, y});
        fn(std::array{p.x + p.w - in, y}, std::array{p.x + p.w + out, y});
        fn(std::array{x, p.y + in}, std::array{x, p.y - out});
        fn(std::array{x, p.y + p.h - in}, std::array{x, p.y + p.h + out});
    }
}

} // namespace

TEST(TexturesFrame, QuadCoversTheScreenAsExpected)
{
    const auto lo = project(-1.67, -1.27, -3.05), hi = project(1.67, 1.27, -3.05);
    EXPECT_NEAR(lo[0], 3.4, 0.1);
    EXPECT_NEAR(hi[0], 796.6, 0.1);
    EXPECT_NEAR(lo[1], -1.6, 0.1);
    EXPECT_NEAR(hi[1], 601.6, 0.1);
}

TEST(TexturesFrame, MaskIsWhiteInsideAndBlackOutsideEveryPanel)
{
    const Tga mask = loadGenerated("frames02.tga");
    ASSERT_TRUE(mask.complete);
    for (const Panel& p : Panels) {
        SCOPED_TRACE(p.name);
        int checkedOut = 0;
        alongEdges(p, 1, 3, [&](std::array<double, 2> in, std::array<double, 2> out) {
            // Points beyond the quad show nothing of it.
            const auto st = texCoordAt(in[0], in[1]);
            if (onScreen(in[0], in[1]) && st[0] > 0 && st[0] < 1 && st[1] > 0 && st[1] < 1) {
                EXPECT_GT(screenSample(mask, in[0], in[1]), 0.95f) << "inside at " << in[0] << "," << in[1];
            }
            // Outside, unless the point lies in (or by) a neighbouring panel.
            if (onScreen(out[0], out[1]) && !nearAnyPanel(out[0], out[1], 0.5)) {
                EXPECT_LT(screenSample(mask, out[0], out[1]), 0.05f) << "outside at " << out[0] << "," << out[1];
                ++checkedOut;
            }
        });
        EXPECT_GT(checkedOut, 20);
        // The middle of the panel is fully open.
        const double cx = p.x + p.w / 2, cy = std::min(p.y + p.h / 2, 580.0);
        EXPECT_GT(screenSample(mask, cx, cy), 0.99f);
    }
    // The gaps between panels are closed.
    EXPECT_LT(screenSample(mask, 177, 107), 0.01f);
    EXPECT_LT(screenSample(mask, 77, 469), 0.01f);
    EXPECT_LT(screenSample(mask, 786, 300), 0.01f);
}

TEST(TexturesFrame, ArtworkIsBlackInsideThePanelsAndDrawnAroundThem)
{
    const Tga art = loadGenerated("frame03.tga");
    ASSERT_TRUE(art.complete);
    for (const Panel& p : Panels) {
        SCOPED_TRACE(p.name);
        float edgeLight = 0;
        alongEdges(p, 1, 3, [&](std::array<double, 2> in, std::array<double, 2> out) {
            const auto st = texCoordAt(in[0], in[1]);
            if (onScreen(in[0], in[1]) && st[0] > 0 && st[0] < 1 && st[1] > 0 && st[1] < 1) {
                EXPECT_LT(screenSample(art, in[0], in[1]), 0.02f) << "inside at " << in[0] << "," << in[1];
            }
            if (onScreen(out[0], out[1]) && !nearAnyPanel(out[0], out[1], 0.5))
                edgeLight = std::max(edgeLight, screenSample(art, out[0], out[1]));
        });
        EXPECT_GT(edgeLight, 0.25f) << "a lit border around the panel";
        EXPECT_EQ(screenSample(art, p.x + p.w / 2, std::min(p.y + p.h / 2, 580.0)), 0.0f);
    }
    // The title block between the meter, the side panels and the main panel.
    float title = 0;
    for (double x = 135; x < 220; x += 1)
        for (double y = 70; y < 145; y += 1) title = std::max(title, screenSample(art, x, y));
    EXPECT_GT(title, 0.6f);
}
