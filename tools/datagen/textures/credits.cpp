// credits.tga: the credits sheet: the group, the demo and the intro's credit
// lines typeset on a dark ground. It is also laid additively over cones and
// sprites, so the ground stays near black.
#include "datagen/common/glyphs.h"
#include "datagen/common/noise.h"
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr int N = 512;

// Text with a soft halo of its own colour.
void glowText(Image& img, const FontSpec& font, float size, float cx, float baseline, const std::string& text, Rgb core,
              Rgb halo, float tracking = 0)
{
    const float w = measureText(font, size, text, tracking);
    const float x = cx - w * 0.5f;
    const int d = img.density;
    const Image mask = textMask(N, N, d, font, size, x, baseline, text, tracking);
    const int x0 = std::max(0, int(x) - 14), x1 = std::min(N, int(x + w) + 14);
    const int y0 = std::max(0, int(baseline - size * 1.1f) - 14), y1 = std::min(N, int(baseline + size * 0.35f) + 14);
    // The halo's taps lie a fixed number of units apart at any density.
    forEachPixelIn(img, {x0, y0, x1, y1}, [&](int xx, int y, float, float) {
            float sum = 0;
            for (int k = -8; k <= 8; k += 2)
                for (int l = -8; l <= 8; l += 2)
                    if (mask.inside(xx + l * d, y + k * d))
                        sum += mask.at(xx + l * d, y + k * d).r * std::exp(-float(k * k + l * l) / 24.0f);
            Rgb& p = img.at(xx, y);
            p = p + halo * (sum * 0.09f);
            p = mix(p, core, mask.at(xx, y).r);
    });
}

} // namespace

Image makeCreditsSheet(int density)
{
    Image img = Image::inUnits(N, N, density);
    img.forEachCentre([](float px, float py, Rgb& p) {
        const float u = px / N, v = py / N;
        const float vignette = 1.0f - std::hypot(u - 0.5f, v - 0.45f) * 1.2f;
        p = hex(0x0a0914) * std::max(0.2f, vignette) + hex(0x0b0a1a) * (0.5f * fbm(u, v, 4, 4, 101));
        // A faint scatter of stars, one unit cell each.
        const float star = cellInterpolated(px, py, N, [](int i, int j) {
            return hashUnit(i, j, 102) > 0.9985f ? 0.4f * hashUnit(i, j, 103) : 0.0f;
        });
        if (star > 0.0f) p = p + hex(0x8090c0) * star;
    });
    // Thin double rule around the sheet.
    paintShape(img, {0, 0, N, N}, [](float x, float y) { return std::fabs(sdBox(x, y, N / 2.0f, N / 2.0f, 236, 236, 10)) - 0.8f; },
               hex(0x6a5630), Blend::Add, 0.8f);
    paintShape(img, {0, 0, N, N}, [](float x, float y) { return std::fabs(sdBox(x, y, N / 2.0f, N / 2.0f, 229, 229, 7)) - 0.5f; },
               hex(0x40324a), Blend::Add, 0.8f);

    const FontSpec heavy{"DejaVu Sans", "Bold"};
    const FontSpec serif{"DejaVu Serif", "Bold Italic"};
    const FontSpec light{"DejaVu Sans", "ExtraLight"};
    const FontSpec mono{"DejaVu Sans Mono", "Book"};
    const float cx = N / 2.0f;
    glowText(img, heavy, 50, cx, 96, "velvetOrbits", hex(0xdfe9ff), hex(0x3a6cff));
    glowText(img, light, 20, cx, 134, "presents", hex(0x9aa6c8), hex(0x202848), 6);
    glowText(img, serif, 54, cx, 204, "paperLanterns", hex(0xffd890), hex(0xff7a20));
    // A lantern-light rule under the title.
    paintGlow(img, {40, 216, N - 40, 244}, [&](float x, float y) { return sdSegment(x, y, 110, 230, N - 110.0f, 230, 0.6f); },
              hex(0xff9a3a) * 0.5f, 2.0f, 12);

    const char* roles[] = {"code", "gfx", "gfx", "music"};
    const char* names[] = {"Pellum", "Zandrel", "Morvik", "Tessaly"};
    for (int i = 0; i < 4; ++i) {
        const float baseline = 290.0f + float(i) * 42.0f;
        const std::string role = std::string(roles[i]) + ":";
        drawText(img, mono, 20, cx - 16 - measureText(mono, 20, role), baseline, role, hex(0x7f8fb8));
        glowText(img, heavy, 26, cx + 16 + measureText(heavy, 26, names[i]) * 0.5f, baseline, names[i], hex(0xf4f0ff),
                 hex(0x7a4aff));
    }
    drawTextCentred(img, light, 14, cx, 474, "Nordglow 2002", hex(0x6a7698), Blend::Over, 4);
    return img;
}

} // namespace datagen
