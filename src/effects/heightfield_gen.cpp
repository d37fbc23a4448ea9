// The landscape generator: closed-form base shape, roughened with noise and
// smoothed by in-place filter passes over flat neighbour offsets.
#include "effects/heightfield_gen.h"

#include "core/random.h"

#include <cmath>

namespace {

// The eight neighbours by flat offset: the 3 x 3 neighbourhood inside a row,
// shifted into the previous or next row at the left and right edges.
constexpr int NeighbourOffsets[8] = {-257, -256, -255, -1, 1, 255, 256, 257};

float neighbourSum(const float* heights, int flat)
{
    float sum = 0.0f;
    for (int offset : NeighbourOffsets) sum += heights[heightNeighbour(flat, offset)];
    return sum;
}

} // namespace

int heightNeighbour(int flat, int offset)
{
    const int n = flat + offset;
    if (n >= 0 && n < HeightFieldCells) return n;
    // Edge clamp: outside the grid (only above the first or below the last
    // row) the neighbour's row is clamped to the grid, its column kept.
    const int column = ((n % HeightFieldSize) + HeightFieldSize) % HeightFieldSize;
    const int row = n < 0 ? 0 : HeightFieldSize - 1;
    return row * HeightFieldSize + column;
}

void shapeHeightField(HeightFieldData& field)
{
    for (int i = 0; i < HeightFieldSize; ++i) {
        const double x = i;
        // Whole-number quotient: 10, 5, 2, 1, then 0 from i = 4 on.
        const int q = 10 / (i * i + 1);
        for (int j = 0; j < HeightFieldSize; ++j) {
            const double z = j;
            const int k = i * HeightFieldSize + j;
            field.heights[k] = static_cast<float>(10.0 * std::atan(x) - 5.0 * std::cos(z) + 2.0 * std::sin(x));
            field.normals[k] = Vector3{static_cast<float>(2.0 * std::cos(x) + q),
                                       static_cast<float>(5.0 * std::sin(z)), 1.0f};
        }
    }
}

void boxFilterPass(float* heights)
{
    for (int k = 0; k < HeightFieldCells; ++k)
        heights[k] = (heights[k] + neighbourSum(heights, k)) * 0.11111111f;
}

void addHeightNoise(float* heights, RandomGenerator& random)
{
    for (int k = 0; k < HeightFieldCells; ++k)
        heights[k] += static_cast<float>(nextRandom(random) % 4) - 2.5f;
}

void weightedFilterPass(float* heights)
{
    for (int k = 0; k < HeightFieldCells; ++k)
        heights[k] = (4.0f * heights[k] + neighbourSum(heights, k)) * 0.083333336f;
}

void buildHeightField(HeightFieldData& field, RandomGenerator& random)
{
    shapeHeightField(field);
    for (int pass = 0; pass < 3; ++pass) boxFilterPass(field.heights);
    addHeightNoise(field.heights, random);
    for (int pass = 0; pass < 2; ++pass) weightedFilterPass(field.heights);
}
