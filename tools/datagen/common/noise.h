// Deterministic, tileable noise: lattice value noise, fractal sums and cells.
// Every function repeats with the given integer period, so textures built from
// them are seamless when a period divides the picture's size.
#pragma once

#include <cmath>
#include <cstdint>

namespace datagen {

// A well-mixed 32-bit hash of three integers and a seed.
std::uint32_t hash3(int x, int y, int z, std::uint32_t seed);
// The hash as a float in 0..1.
float hashUnit(int x, int y, std::uint32_t seed);

// White noise with one value per unit cell (hashUnit of the cell), read at
// (u, v) in units: exactly the cell's value at its centre, and between centres
// interpolated linearly, so that a finer picture shows the same grain as the
// unit-sized one, not a finer one. Repeats every period cells.
float cellNoise(float u, float v, int period, std::uint32_t seed);
// The same reading of any per-cell value: value(i, j) for cell (i, j), the
// indices wrapped into 0..period-1.
template <class Value> float cellInterpolated(float u, float v, int period, Value&& value)
{
    const float x = u - 0.5f, y = v - 0.5f;  // cell centres at whole numbers
    const float xf = std::floor(x), yf = std::floor(y);
    const int x0 = int(xf), y0 = int(yf);
    const float tx = x - xf, ty = y - yf;
    auto at = [&](int i, int j) { return value(((x0 + i) % period + period) % period, ((y0 + j) % period + period) % period); };
    if (tx == 0.0f && ty == 0.0f) return at(0, 0);
    const float a = at(0, 0) + (at(1, 0) - at(0, 0)) * tx;
    const float b = at(0, 1) + (at(1, 1) - at(0, 1)) * tx;
    return a + (b - a) * ty;
}

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
