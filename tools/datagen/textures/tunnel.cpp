// tunnel.tga: one plate of the tunnel wall, repeated around and along the
// tube: a riveted tech panel with vents and indicator lights, framed by
// glowing seams on all four edges so that the tiles join into a lit grid.
#include "datagen/common/noise.h"
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <cmath>

namespace datagen {

Image makeTunnel(int density)
{
    constexpr int N = 256;
    Image img = Image::inUnits(N, N, density);
    const Rgb seam = hex(0x35c4ff);
    img.forEachCentre([&](float px, float py, Rgb& p) {
        const float u = px / N, v = py / N;
        const float grime = fbm(u, v, 4, 5, 31);
        p = hex(0x232a33) * (0.75f + 0.5f * grime);
    });
    const float c = N * 0.5f;
    // The inset plate: lit upper-left rim, shaded lower-right rim.
    img.forEachCentre([&](float px, float py, Rgb& p) {
        const float d = sdBox(px, py, c, c, 98, 98, 14);
        if (d < 0) {
            p = p * 1.25f + hex(0x05070a);
            const float rim = 1.0f - smoothstep(0.0f, 4.0f, -d);
            const float side = ((px - c) + (py - c)) < 0 ? 1.0f : -1.0f;
            p = side > 0 ? mix(p, hex(0x8c9aab), rim * 0.7f) : mix(p, hex(0x06080b), rim * 0.8f);
        }
    });
    // Vents: six dark slots with a faint warm light behind them.
    for (int i = 0; i < 6; ++i) {
        const float sy = 150.0f + float(i) * 13.0f;
        paintShape(img, {50, int(sy) - 6, 206, int(sy) + 7}, [&](float x, float y) { return sdBox(x, y, c, sy, 70, 3.5f, 3.5f); },
                   hex(0x07090c));
        paintShape(img, {50, int(sy) - 6, 206, int(sy) + 7}, [&](float x, float y) { return sdBox(x, y, c, sy + 1.5f, 64, 1.0f, 1.0f); },
                   hex(0xff8a2a), Blend::Add, 0.35f);
    }
    // A status strip with lights.
    paintShape(img, {40, 44, 216, 100}, [&](float x, float y) { return sdBox(x, y, c, 72, 82, 22, 6); }, hex(0x0c1016));
    for (int i = 0; i < 7; ++i) {
        const float lx = 64.0f + float(i) * 21.0f;
        const Rgb col = i == 5 ? hex(0xff4a3a) : (i % 3 == 0 ? hex(0x7dff9a) : hex(0x48c8ff));
        paintGlow(img, {int(lx) - 16, 56, int(lx) + 17, 89}, [&](float x, float y) { return sdCircle(x, y, lx, 72, 3.5f); },
                  col * 0.9f, 3.0f, 16);
        paintShape(img, {int(lx) - 5, 66, int(lx) + 6, 78}, [&](float x, float y) { return sdCircle(x, y, lx - 1, 71, 1.3f); },
                   hex(0xffffff), Blend::Over, 0.8f);
    }
    // Rivets just inside the seams.
    for (int i = 0; i < 8; ++i) {
        const float a = 16.0f + float(i) * 32.0f;
        const float spots[4][2] = {{a, 9}, {a, N - 9.0f}, {9, a}, {N - 9.0f, a}};
        for (const auto& s : spots) {
            paintShape(img, {int(s[0]) - 5, int(s[1]) - 5, int(s[0]) + 6, int(s[1]) + 6},
                       [&](float x, float y) { return sdCircle(x, y, s[0], s[1], 2.6f); }, hex(0x5a6674));
            paintShape(img, {int(s[0]) - 5, int(s[1]) - 5, int(s[0]) + 6, int(s[1]) + 6},
                       [&](float x, float y) { return sdCircle(x, y, s[0] - 0.7f, s[1] - 0.7f, 1.0f); }, hex(0xc8d4e0));
        }
    }
    // Glowing seams along all four edges: symmetric, so neighbours meet.
    img.forEachCentre([&](float px, float py, Rgb& p) {
        const float e = std::min(std::min(px, N - px), std::min(py, N - py));
        const float core = 1.0f - smoothstep(0.5f, 2.0f, e);
        const float halo = 1.0f / (1.0f + (e / 3.0f) * (e / 3.0f));
        p = p + seam * (0.8f * halo) + hex(0xe8f8ff) * core;
    });
    return img;
}

} // namespace datagen
