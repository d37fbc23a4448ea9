// The landscape draw: the window of cells around the camera and the tint.
#include "effects/heightfield_draw.h"
#include "effects/heightfield_gen.h"
#include "feedback_capture.h"
#include "gl_fixture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

TEST(HeightFieldWindow, CamerasInsideAndAtTheEdges)
{
    const HeightFieldWindow a = heightFieldWindow(20.0f, 20.0f);
    EXPECT_EQ(a.x0, 5);
    EXPECT_EQ(a.x1, 35);
    EXPECT_EQ(a.z0, 5);
    EXPECT_EQ(a.z1, 35);

    const HeightFieldWindow b = heightFieldWindow(3.7f, 100.0f);  // -11.3 truncates to -11, clamps to 0
    EXPECT_EQ(b.x0, 0);
    EXPECT_EQ(b.x1, 18);
    EXPECT_EQ(b.z0, 85);
    EXPECT_EQ(b.z1, 115);

    const HeightFieldWindow c = heightFieldWindow(250.0f, 250.0f);
    EXPECT_EQ(c.x0, 235);
    EXPECT_EQ(c.x1, 255);
    EXPECT_EQ(c.z0, 235);
    EXPECT_EQ(c.z1, 255);

    for (float x : {270.0f, 300.0f, 1e30f, std::numeric_limits<float>::infinity()}) {
        const HeightFieldWindow d = heightFieldWindow(x, 20.0f);
        EXPECT_EQ(d.x0, 255) << x;
        EXPECT_EQ(d.x1, 255) << x;
    }
    const HeightFieldWindow e = heightFieldWindow(-1e30f, std::nanf(""));
    EXPECT_EQ(e.x0, 0);
    EXPECT_EQ(e.x1, 0);
    EXPECT_EQ(e.z1, 0);
}

TEST(HeightFieldTint, WrappingColoursOfTheWorkedHeights)
{
    struct Row { float h; int r, g, b; };
    const Row rows[] = {
        {10.0f, 237, 247, 157}, {-10.0f, 21, 11, 101}, {2.0f, 157, 207, 13},
        {0.5f, 113, 57, 49},    {1000.0f, 0, 0, 0},    {0.0f, 0, 0, 0},
    };
    for (const Row& row : rows) {
        const HeightColour c = heightColour(row.h);
        EXPECT_EQ(c.r, row.r) << "h = " << row.h;
        EXPECT_EQ(c.g, row.g) << "h = " << row.h;
        EXPECT_EQ(c.b, row.b) << "h = " << row.h;
    }
}

TEST(HeightFieldTint, NonFiniteAndOutOfRangeGiveZero)
{
    EXPECT_EQ(heightTint(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(heightTint(-std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(heightTint(std::nanf("")), 0);
    EXPECT_EQ(heightTint(1e19f), 0);    // above 2^63
    EXPECT_EQ(heightTint(9223372036854775808.0f), 0);  // 2^63 itself is out
    EXPECT_EQ(heightTint(-0.9f), 0);    // truncation toward zero
    EXPECT_EQ(heightTint(-1.0f), 255);
    // A tiny height: 1000 / (5h) is far past 2^63.
    EXPECT_EQ(heightColour(1e-30f).r, 0);
}

class HeightFieldDraw : public GlTest {
protected:
    struct Drawn {
        int triangles = 0;
        float minX = 1e9f, maxX = -1e9f;
    };
    const std::unique_ptr<HeightFieldData> field = std::make_unique<HeightFieldData>();
    // Triangles of one draw, under a projection that keeps the whole field in view;
    // window x equals grid x.
    Drawn drawAt(float x, float z)
    {
        useWideOrtho();
        glDisable(GL_LIGHTING);
        Drawn d;
        for (const FeedbackPolygon& p : capturePolygons([this, x, z] { drawHeightField(*field, x, z); })) {
            d.triangles += static_cast<int>(p.size()) - 2;
            for (const FeedbackVertex& v : p) {
                d.minX = std::min(d.minX, v.x);
                d.maxX = std::max(d.maxX, v.x);
            }
        }
        return d;
    }
};

TEST_F(HeightFieldDraw, TwoTrianglesPerCellOfTheWindow)
{
    for (float& h : field->heights) h = 1.0f;
    const Drawn full = drawAt(20.0f, 20.0f);
    EXPECT_EQ(full.triangles, 2 * 30 * 30);
    EXPECT_NEAR(full.minX, 5.0f, 1e-3f);
    EXPECT_NEAR(full.maxX, 35.0f, 1e-3f);

    const Drawn corner = drawAt(250.0f, 250.0f);
    EXPECT_EQ(corner.triangles, 2 * 20 * 20);
    EXPECT_NEAR(corner.maxX, 255.0f, 1e-3f);  // reads row 255, never past it

    EXPECT_EQ(drawAt(270.0f, 20.0f).triangles, 0);
}
