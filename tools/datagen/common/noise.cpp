// Tileable lattice and cellular noise.
#include "datagen/common/noise.h"

#include <cmath>

namespace datagen {

std::uint32_t hash3(int x, int y, int z, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= std::uint32_t(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= std::uint32_t(y) * 0xC2B2AE35u;
    h = (h << 11) | (h >> 21);
    h ^= std::uint32_t(z) * 0x27D4EB2Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float hashUnit(int x, int y, std::uint32_t seed)
{
    return float(hash3(x, y, 0, seed) >> 8) * (1.0f / 16777216.0f);
}

namespace {

int wrapIndex(int i, int n) { return ((i % n) + n) % n; }
float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

} // namespace

float valueNoise(float x, float y, int period, std::uint32_t seed)
{
    const float xf = std::floor(x), yf = std::floor(y);
    const int x0 = int(xf), y0 = int(yf);
    const float tx = fade(x - xf), ty = fade(y - yf);
    auto corner = [&](int i, int j) {
        return hashUnit(wrapIndex(x0 + i, period), wrapIndex(y0 + j, period), seed);
    };
    const float a = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * tx;
    const float b = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * tx;
    return a + (b - a) * ty;
}

float cellNoise(float u, float v, int period, std::uint32_t seed)
{
    return cellInterpolated(u, v, period, [&](int i, int j) { return hashUnit(i, j, seed); });
}

float fbm(float u, float v, int base, int octaves, std::uint32_t seed, float gain)
{
    float sum = 0, amp = 1, norm = 0;
    int period = base;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoise(u * float(period), v * float(period), period, seed + std::uint32_t(o) * 1013u);
        norm += amp;
        amp *= gain;
        period *= 2;
    }
    return sum / norm;
}

float ridged(float u, float v, int base, int octaves, std::uint32_t seed)
{
    float sum = 0, amp = 1, norm = 0;
    int period = base;
    for (int o = 0; o < octaves; ++o) {
        const float n = valueNoise(u * float(period), v * float(period), period, seed + std::uint32_t(o) * 7919u);
        const float r = 1.0f - std::fabs(n * 2.0f - 1.0f);
        sum += amp * r * r;
        norm += amp;
        amp *= 0.5f;
        period *= 2;
    }
    return sum / norm;
}

CellSample cellular(float u, float v, int cells, std::uint32_t seed)
{
    const float x = u * float(cells), y = v * float(cells);
    const int cx = int(std::floor(x)), cy = int(std::floor(y));
    CellSample s{1e9f, 1e9f, 0};
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const int gx = cx + i, gy = cy + j;
            const int wx = wrapIndex(gx, cells), wy = wrapIndex(gy, cells);
            const float px = float(gx) + hashUnit(wx, wy, seed);
            const float py = float(gy) + hashUnit(wx, wy, seed ^ 0xA5A5A5A5u);
            const float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < s.f1) {
                s.f2 = s.f1;
                s.f1 = d;
                s.id = hash3(wx, wy, 7, seed);
            } else if (d < s.f2) {
                s.f2 = d;
            }
        }
    }
    return s;
}

} // namespace datagen
