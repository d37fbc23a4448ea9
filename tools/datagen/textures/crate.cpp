// cube.tga: a wooden crate face: a frame of boards, a diagonal brace and
// vertical planks with grain, held by nails.
#include "datagen/common/noise.h"
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

// Wood along the direction (dx, dy): fine grain lines with knots of noise.
Rgb wood(float u, float v, float dx, float dy, std::uint32_t seed)
{
    static const Gradient tones{{0.0f, hex(0x6b4423)}, {0.5f, hex(0xa0703c)}, {1.0f, hex(0xc99a5c)}};
    const float along = u * dx + v * dy, across = -u * dy + v * dx;
    const float warp = fbm(u, v, 4, 3, seed) * 0.08f;
    const float grain = 0.5f + 0.5f * std::sin((across + warp) * 180.0f + std::sin(along * 9.0f) * 0.8f);
    return tones.at(0.25f + 0.5f * grain * (0.6f + 0.4f * fbm(u, v, 8, 3, seed + 1)));
}

} // namespace

Image makeCrate(int density)
{
    constexpr int N = 128;
    constexpr float B = 16;  // frame board width
    Image img = Image::inUnits(N, N, density);
    img.forEachCentre([&](float px, float py, Rgb& p) {
        const float u = px / N, v = py / N;
        // Vertical planks behind everything, 4 across.
        const int plank = int(px / (N / 4.0f));
        p = wood(u, v, 0, 1, 40 + std::uint32_t(plank)) * (0.72f + 0.06f * float(plank % 2));
        const float gap = std::fabs(std::fmod(px, N / 4.0f));
        if (gap < 1.0f) p = p * 0.35f;
        // The diagonal brace from bottom-left to top-right.
        const float diag = std::fabs((px - py * -1.0f - N) / std::sqrt(2.0f));
        if (diag < 11.0f) p = wood(u, v, 0.707f, -0.707f, 50) * (diag > 9.5f ? 0.45f : 0.92f);
        // The frame boards on top.
        const bool side = px < B || px > N - B, topBottom = py < B || py > N - B;
        if (side || topBottom) {
            p = topBottom ? wood(u, v, 1, 0, 60) : wood(u, v, 0, 1, 61);
            const float e = std::min(std::min(px, N - px), std::min(py, N - py));
            const float inner = std::min(std::fabs(px - B), std::fabs(px - (N - B)));
            const float innerY = std::min(std::fabs(py - B), std::fabs(py - (N - B)));
            if (e < 1.5f || (side && !topBottom && inner < 1.2f) || (topBottom && innerY < 1.2f && px > B && px < N - B))
                p = p * 0.4f;
        }
    });
    // Nails at the frame's corners and ends of the brace.
    const float nails[][2] = {{8, 8}, {N - 8.0f, 8}, {8, N - 8.0f}, {N - 8.0f, N - 8.0f}, {24, N - 24.0f}, {N - 24.0f, 24}};
    for (const auto& n : nails) {
        paintShape(img, {int(n[0]) - 4, int(n[1]) - 4, int(n[0]) + 5, int(n[1]) + 5},
                   [&](float x, float y) { return sdCircle(x, y, n[0], n[1], 2.2f); }, hex(0x3a3b3e));
        paintShape(img, {int(n[0]) - 4, int(n[1]) - 4, int(n[0]) + 5, int(n[1]) + 5},
                   [&](float x, float y) { return sdCircle(x, y, n[0] - 0.6f, n[1] - 0.6f, 0.9f); }, hex(0xa8abb0));
    }
    return img;
}

} // namespace datagen
