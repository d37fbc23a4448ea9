// Deterministic, tileable noise: lattice value noise, fractal sums and cells.
// Every function repeats with the given integer period, so textures built from
// them are seamless when a period divides the picture's size.
#pragma once

#include <cstdint>

namespace datagen {

// A well-mixed 32-bit hash of three integers and a seed.
std::uint32_t hash3(int x, int y, int z, std::uint32_t seed);
// The hash as a float in 0..1.
float hashUnit(int x, int y, std::uint32_t seed);

// Smooth value noise in 0..1 at (x, y) on a lattice that repeats every
// period cells in both directions.
float valueNoise(float x, float y, int period, std::uint32_t seed);

// Fractal sum of octaves of value noise, 0..1; u, v in 0..1 over one tile,
// base: lattice cells across the tile at the first octave.
float fbm(float u, float v, int base, int octaves, std::uint32_t seed, float gain = 0.5f);

// Ridged variant: sharp crests where the noise crosses its middle, 0..1.
float ridged(float u, float v, int base, int octaves, std::uint32_t seed);

// Distances to the nearest and second-nearest feature point of a tileable
// cellular pattern with cells x cells per tile; u, v in 0..1. Distances are in
// cell units; id receives a hash of the nearest cell.
struct CellSample {
    float f1 = 0, f2 = 0;
    std::uint32_t id = 0;
};
CellSample cellular(float u, float v, int cells, std::uint32_t seed);

} // namespace datagen
