// The blob field: the band and its edges, the centre singularity, the cores
// variant's lasting strength override and the sprites the walk draws.
#include "effects/blobs.h"

#include "feedback_capture.h"
#include "gl_fixture.h"

#include <cmath>
#include <limits>

namespace {

// Four blobs at unit distance from (px, py, pz), in the z = pz plane.
BlobSet ringAround(double px, double py, double pz, const float strengths[4])
{
    BlobSet set;
    const double offsets[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (int i = 0; i < 4; ++i) {
        set.blobs[i].position[0] = static_cast<float>(px + offsets[i][0]);
        set.blobs[i].position[1] = static_cast<float>(py + offsets[i][1]);
        set.blobs[i].position[2] = static_cast<float>(pz);
        set.blobs[i].strength = strengths[i];
    }
    return set;
}

void expectSameModelview(const GLfloat* before)
{
    GLfloat after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]) << i;
}

} // namespace

TEST(BlobField, BandEdgesAreBothIncluded)
{
    EXPECT_TRUE(inBlobBand(0.6));
    EXPECT_TRUE(inBlobBand(1.0));
    EXPECT_TRUE(inBlobBand(0.8));
    EXPECT_FALSE(inBlobBand(std::nextafter(0.6, 0.0)));
    EXPECT_FALSE(inBlobBand(std::nextafter(1.0, 2.0)));
}

TEST(BlobField, FieldIsAQuarterOfTheSumOfStrengthOverSquaredDistance)
{
    // Four unit strengths at distance 1: exactly 1.0, the upper band edge.
    const float ones[4] = {1, 1, 1, 1};
    const BlobSet upper = ringAround(0.5, -0.25, -1.0, ones);
    EXPECT_EQ(blobField(upper, 0.5, -0.25, -1.0), 1.0);
    EXPECT_TRUE(inBlobBand(blobField(upper, 0.5, -0.25, -1.0)));

    // Strengths that sum to exactly 2.4 (split over floats): exactly 0.6.
    const float hi = static_cast<float>(2.4);
    const float mid = static_cast<float>(2.4 - hi);
    const float lo = static_cast<float>(2.4 - hi - static_cast<double>(mid));
    const float split[4] = {hi, mid, lo, 0.0f};
    const BlobSet lower = ringAround(0.0, 0.0, -2.0, split);
    EXPECT_EQ(blobField(lower, 0.0, 0.0, -2.0), 0.6);
    EXPECT_TRUE(inBlobBand(blobField(lower, 0.0, 0.0, -2.0)));

    // Distance 2 from a lone strength-8 blob (others far off and weak): 8 / 4 / 4.
    BlobSet lone;
    for (Blob& b : lone.blobs) {
        b.position[0] = 1000.0f;
        b.strength = 0.0f;
    }
    lone.blobs[2] = {{0.0f, 0.0f, 0.0f}, 8.0f};
    EXPECT_DOUBLE_EQ(blobField(lone, 0.0, 2.0, 0.0), 0.5);
}

TEST(BlobField, ASampleAtACentreIsNeverInTheBand)
{
    const BlobSet set;
    EXPECT_FALSE(inBlobBand(blobField(set, -1.0, 0.0, 0.0)));
    EXPECT_FALSE(inBlobBand(blobField(set, 0.0, 0.0, 0.0)));
}

class BlobGl : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        // A wide orthographic view that holds every sprite of the walks below.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-12, 12, -9, 9, -20, 20);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

TEST_F(BlobGl, GlowCountOfTheDefaultSetIsStableAndEveryCountedSpriteIsDrawn)
{
    BlobSet set;
    int first = 0;
    const auto polygons = capturePolygons([&] { first = drawBlobGlow(set, 0.09f); });
    ASSERT_GT(first, 0);
    EXPECT_EQ(drawBlobGlow(set, 0.09f), first) << "the glow walk changes nothing in the set";
    for (const Blob& b : set.blobs) EXPECT_EQ(b.strength, 0.5f);

    // Each sprite is one quad: two triangles or one polygon of four.
    int corners = 0;
    for (const auto& polygon : polygons) corners += static_cast<int>(polygon.size()) - 2;
    EXPECT_EQ(corners, 2 * first);
    for (const auto& polygon : polygons) {
        for (const auto& v : polygon) {
            ASSERT_FLOAT_EQ(v.g, 1.0f);
            ASSERT_FLOAT_EQ(v.a, 0.05f);
        }
    }
}

TEST_F(BlobGl, CoresForceStrengthsForGoodAndDrawWhite)
{
    BlobSet fresh;
    const int glowBefore = drawBlobGlow(fresh, 0.09f);

    BlobSet set;
    set.blobs[1].position[0] = 0.1f;  // placed like the side panel's set
    int coresFirst = 0;
    const auto polygons = capturePolygons([&] { coresFirst = drawBlobCores(set, 0.05f); });
    for (const Blob& b : set.blobs) EXPECT_EQ(b.strength, 0.01f);
    ASSERT_GT(coresFirst, 0);
    for (const auto& polygon : polygons)
        for (const auto& v : polygon) ASSERT_EQ(v.r + v.g + v.b + v.a, 4.0f);

    EXPECT_EQ(drawBlobCores(set, 0.05f), coresFirst);

    // The override stays: the glow walk of the same default placement now differs.
    BlobSet overridden;
    drawBlobCores(overridden, 0.05f);
    EXPECT_NE(drawBlobGlow(overridden, 0.09f), glowBefore);
}

TEST_F(BlobGl, WalksLeaveTheMatrixAsFoundAndIgnoreABadStep)
{
    glTranslatef(0.5f, -0.25f, -3.0f);
    GLfloat before[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    BlobSet set;
    drawBlobGlow(set, 0.09f);
    drawBlobCores(set, 0.05f);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    expectSameModelview(before);

    EXPECT_EQ(drawBlobGlow(set, 0.0f), 0);
    EXPECT_EQ(drawBlobGlow(set, -0.1f), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
