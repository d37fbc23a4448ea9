// The landscape generator: base shape, noise draws, filters and their edge rule.
#include "effects/heightfield_gen.h"
#include "core/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

std::unique_ptr<HeightFieldData> shapedField()
{
    auto field = std::make_unique<HeightFieldData>();
    shapeHeightField(*field);
    return field;
}

} // namespace

TEST(HeightFieldGen, BaseShapeAndNormals)
{
    const auto field = shapedField();
    EXPECT_FLOAT_EQ(field->heights[0], -5.0f);
    const Vector3 n0 = field->normals[0];
    EXPECT_FLOAT_EQ(n0.x, 12.0f);
    EXPECT_FLOAT_EQ(n0.y, 0.0f);
    EXPECT_FLOAT_EQ(n0.z, 1.0f);
    // Whole-number term of x: 10 / (i * i + 1) is 5, 2, 1 for i = 1..3 and 0 from 4.
    const int wholeTerms[] = {10, 5, 2, 1, 0, 0};
    for (int i = 0; i < 6; ++i) {
        const Vector3 n = field->normals[i * 256 + 7];
        EXPECT_NEAR(n.x - 2.0 * std::cos(double(i)), wholeTerms[i], 1e-5) << "i = " << i;
        EXPECT_NEAR(n.y, 5.0 * std::sin(7.0), 1e-5);
    }
    EXPECT_NEAR(field->normals[200 * 256 + 3].x, 2.0 * std::cos(200.0), 1e-5);
    // Point (i, j) of the base shape: 10 atan(i) - 5 cos(j) + 2 sin(i).
    EXPECT_NEAR(field->heights[3 * 256 + 100], 10 * std::atan(3.0) - 5 * std::cos(100.0) + 2 * std::sin(3.0), 1e-5);
}

TEST(HeightFieldGen, NoiseDrawsOncePerCellInFlatOrder)
{
    auto field = std::make_unique<HeightFieldData>();
    std::memset(field->heights, 0, sizeof field->heights);
    RandomGenerator random{12345u};
    addHeightNoise(field->heights, random);
    const std::uint32_t after = random.RandomState;

    random.RandomState = 12345u;
    for (int k = 0; k < 65536; ++k) {
        const float expected = static_cast<float>(nextRandom(random) % 4) - 2.5f;
        ASSERT_EQ(field->heights[k], expected) << "cell " << k;
    }
    EXPECT_EQ(random.RandomState, after);  // exactly 65,536 draws
}

TEST(HeightFieldGen, SameFieldFromSameRandomState)
{
    RandomGenerator random{777u};
    const auto field = std::make_unique<HeightFieldData>();
    buildHeightField(*field, random);
    auto first = std::make_unique<HeightFieldData>(*field);
    random.RandomState = 777u;
    buildHeightField(*field, random);
    EXPECT_EQ(std::memcmp(first.get(), field.get(), sizeof(HeightFieldData)), 0);
    // A moved random sequence changes the noise.
    buildHeightField(*field, random);
    EXPECT_NE(std::memcmp(first->heights, field->heights, sizeof first->heights), 0);
}

TEST(HeightFieldGen, NeighboursOutsideTheGridUseTheNearestRow)
{
    // Inside the grid the flat offsets are used as they are, wrapping across rows.
    EXPECT_EQ(heightNeighbour(5 * 256 + 10, -257), 4 * 256 + 9);
    EXPECT_EQ(heightNeighbour(5 * 256 + 0, -1), 4 * 256 + 255);
    EXPECT_EQ(heightNeighbour(5 * 256 + 255, 1), 6 * 256 + 0);
    // Above the first row: same column in row 0.
    EXPECT_EQ(heightNeighbour(10, -256), 10);
    EXPECT_EQ(heightNeighbour(10, -257), 9);
    EXPECT_EQ(heightNeighbour(0, -257), 255);
    EXPECT_EQ(heightNeighbour(0, -1), 0 * 256 + 255);
    // Below the last row: same column in row 255.
    EXPECT_EQ(heightNeighbour(255 * 256 + 10, 256), 255 * 256 + 10);
    EXPECT_EQ(heightNeighbour(65535, 257), 255 * 256 + 0);
    EXPECT_EQ(heightNeighbour(65535, 1), 255 * 256 + 0);
}

TEST(HeightFieldGen, FiltersKeepAFlatFieldFlatUpToTheEdges)
{
    // With the edge clamp the first and last rows average real cells, so a flat
    // field stays flat there too (zero fill would sink the edge rows to 6/9).
    auto field = std::make_unique<HeightFieldData>();
    for (float& h : field->heights) h = 9.0f;
    boxFilterPass(field->heights);
    weightedFilterPass(field->heights);
    for (int k : {0, 17, 255, 256 * 128, 65280, 65535}) EXPECT_NEAR(field->heights[k], 9.0f, 1e-4f) << k;
}

TEST(HeightFieldGen, BoxPassUsesValuesAlreadyUpdated)
{
    auto field = std::make_unique<HeightFieldData>();
    std::memset(field->heights, 0, sizeof field->heights);
    const int p = 128 * 256 + 128;
    field->heights[p] = 9.0f;
    boxFilterPass(field->heights);
    float* h = field->heights;
    EXPECT_EQ(h[p - 258], 0.0f);                          // before the spike's reach
    EXPECT_FLOAT_EQ(h[p - 257], 9.0f * 0.11111111f);      // first cell that sees it
    EXPECT_FLOAT_EQ(h[p - 256], (h[p - 257] + 9.0f) * 0.11111111f);  // sees its left neighbour's new value
    // In place, the cells after the spike see the spread-out new values, so the
    // pass is no longer symmetric (a copying filter would give 1 on both sides).
    EXPECT_NEAR(h[p], 1.4979424f, 1e-5f);
    EXPECT_NEAR(h[p + 257], 0.2782378f, 1e-5f);
}
