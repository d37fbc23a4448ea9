// The landscape's height field, generated once at set-up.
#pragma once

#include "core/random.h"
#include "core/vector.h"

constexpr int HeightFieldSize = 256;                        // points per side
constexpr int HeightFieldCells = HeightFieldSize * HeightFieldSize;

struct HeightFieldData {
    float heights[HeightFieldCells] = {};    // heights[i][j] at i * 256 + j; point (i, j) stands at x = i, z = j
    Vector3 normals[HeightFieldCells] = {};  // same indexing, not normalised

    bool operator==(const HeightFieldData&) const = default;
};

// Base shape, three box passes, one noise draw per cell (65,536 draws of
// nextRandom in flat order), two weighted passes.
void buildHeightField(HeightFieldData& field, RandomGenerator& random);

// The steps of the build, on any field, for the tests.
void shapeHeightField(HeightFieldData& field);
void boxFilterPass(float* heights);       // in place: (self + 8 neighbours) / 9
void addHeightNoise(float* heights, RandomGenerator& random);  // (nextRandom() % 4) - 2.5 per cell
void weightedFilterPass(float* heights);  // in place: (4 self + 8 neighbours) / 12

// Flat index of the neighbour at flat offset `offset` from `flat`. Offsets
// wrap across row ends as flat positions do; a neighbour above the first row
// or below the last one is replaced by the cell of the nearest row (same column).
int heightNeighbour(int flat, int offset);
