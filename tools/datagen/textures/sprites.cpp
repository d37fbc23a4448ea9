// p1.tga and p2.tga: the particle sprites. p1 is a soft round glow, white at
// the centre and black at the edge; p2 a watery blue-white droplet.
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <cmath>

namespace datagen {

Image makeGlowSprite(int density)
{
    constexpr int N = 64;
    Image img = Image::inUnits(N, N, density);
    img.forEachCentre([](float px, float py, Rgb& p) {
        const float r = std::hypot(px - N / 2.0f, py - N / 2.0f) / (N / 2.0f - 1.0f);
        if (r >= 1.0f) return;
        const float falloff = std::pow(1.0f - r, 1.6f);
        const float core = std::exp(-r * r * 14.0f);
        const float v = std::min(1.0f, falloff * 0.8f + core * 0.3f);
        p = {v, v, v};
    });
    return img;
}

Image makeDroplet(int density)
{
    constexpr int N = 64;
    Image img = Image::inUnits(N, N, density);
    const Gradient body{{0.0f, hex(0xdff6ff)}, {0.35f, hex(0x7cc8f0)}, {0.75f, hex(0x2a74c0)}, {1.0f, hex(0x0b2e66)}};
    img.forEachCentre([&](float px, float py, Rgb& p) {
        const float dx = (px - N / 2.0f) / (N / 2.0f), dy = (py - N / 2.0f) / (N / 2.0f);
        const float r = std::hypot(dx, dy);
        // Light enters at the top left and gathers again at the lower right.
        const float lit = std::hypot(dx + 0.3f, dy + 0.3f);
        p = body.at(std::min(1.0f, lit * 0.85f));
        p = p + hex(0x9fe4ff) * (0.35f * std::exp(-std::pow(std::hypot(dx - 0.35f, dy - 0.4f) * 3.2f, 2.0f)));
        p = p + hex(0xffffff) * std::exp(-std::pow(std::hypot(dx + 0.32f, dy + 0.36f) * 7.0f, 2.0f));
        p = p * (1.0f - 0.5f * smoothstep(0.85f, 1.0f, r));
    });
    return img;
}

} // namespace datagen
