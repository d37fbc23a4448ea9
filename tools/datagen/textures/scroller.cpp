// musix.tga: the end scroller's backdrop: staves with notes drifting across
// a dark blue gradient and a spectrum rising from the bottom, dim enough for
// white text. The quad shows the texture turned by half a turn, so the
// picture is stored turned too and appears upright on screen. A small gold
// ornament sits in each corner: the scroller's letters carry no texture
// coordinates of their own and take texture coordinate (1, 0), which with
// linear filtering and repeat is the mean of the four corner texels, so the
// corners give the letters their colour.
#include "datagen/common/glyphs.h"
#include "datagen/common/noise.h"
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr int N = 1024;

// Height of staff line k (0..4) of a staff centred on cy, at x.
float staffLineY(float cy, int k, float x, float phase)
{
    return cy + float(k - 2) * 14.0f + 26.0f * std::sin(x * 0.004f + phase);
}

void paintStaff(Image& img, float cy, float phase, Rgb colour, std::uint32_t seed)
{
    auto lines = [&](float x, float y) {
        float d = 1e9f;
        for (int k = 0; k < 5; ++k) d = std::min(d, std::fabs(y - staffLineY(cy, k, x, phase)) - 0.9f);
        return d;
    };
    paintShape(img, {0, int(cy) - 70, N, int(cy) + 70}, lines, colour, Blend::Add);
    // Notes sitting on the staff: heads, stems and the odd beam.
    const FontSpec sans{"DejaVu Sans", "Book"};
    for (int i = 0; i < 14; ++i) {
        const float x = 60.0f + float(i) * 68.0f + 20.0f * hashUnit(i, 0, seed);
        const int step = int(hashUnit(i, 1, seed) * 9.0f);
        const float y = staffLineY(cy, 0, x, phase) + float(step) * 7.0f;
        const float a = -0.35f;
        paintShape(img, {int(x) - 12, int(y) - 10, int(x) + 12, int(y) + 10},
                   [&](float px, float py) {
                       const float dx = px - x, dy = py - y;
                       const float rx = dx * std::cos(a) - dy * std::sin(a), ry = dx * std::sin(a) + dy * std::cos(a);
                       return (std::hypot(rx / 8.0f, ry / 5.5f) - 1.0f) * 5.5f;
                   },
                   colour * 1.4f, Blend::Max);
        paintShape(img, {int(x) + 4, int(y) - 50, int(x) + 11, int(y) + 2},
                   [&](float px, float py) { return sdSegment(px, py, x + 7.2f, y - 2, x + 7.2f, y - 44, 0.9f); },
                   colour * 1.4f, Blend::Max);
        if (i % 4 == 1) drawGlyph(img, sans, 40, x + 18, y - 6, 0x266B, colour * 1.2f, Blend::Max);
    }
}

// Gold of the corner texels, and so of the scroller's letters.
const Rgb CornerGold = hex(0xe0a030);

// A quarter rosette around the picture corner (cx, cy): a solid disc that
// covers the corner texel, a thin ring and a dot on the diagonal.
void paintCornerOrnament(Image& img, float cx, float cy)
{
    const float dx = cx > 0 ? -1.0f : 1.0f, dy = cy > 0 ? -1.0f : 1.0f;
    const Rect box{int(cx) - 48, int(cy) - 48, int(cx) + 48, int(cy) + 48};
    paintShape(img, box, [&](float x, float y) { return sdCircle(x, y, cx, cy, 14.0f); }, CornerGold);
    paintShape(img, box, [&](float x, float y) { return sdRing(x, y, cx, cy, 24.0f, 1.6f); }, CornerGold * 0.8f);
    paintShape(img, box, [&](float x, float y) { return sdCircle(x, y, cx + dx * 24.0f, cy + dy * 24.0f, 3.5f); },
               CornerGold);
}

} // namespace

Image makeScrollerBackdrop(int density)
{
    Image img = Image::inUnits(N, N, density);
    const Gradient sky{{0.0f, hex(0x0a1330)}, {0.6f, hex(0x060a1c)}, {1.0f, hex(0x02030a)}};
    img.forEachCentre([&](float px, float py, Rgb& p) {
        const float u = px / N, v = py / N;
        p = sky.at(v) * (0.85f + 0.3f * fbm(u, v, 4, 5, 111));
        // A faint aurora sweep across the upper half.
        const float band = std::exp(-std::pow((v - 0.22f - 0.06f * std::sin(u * 6.0f)) * 9.0f, 2.0f));
        p = p + hex(0x0d3a3a) * (band * (0.6f + 0.4f * fbm(u, v, 8, 3, 112)));
    });
    paintStaff(img, 260, 0.0f, hex(0x1e3050), 121);
    paintStaff(img, 500, 1.7f, hex(0x1a2a48), 122);
    paintStaff(img, 720, 3.1f, hex(0x16243e), 123);
    // The spectrum: bars rising from the bottom edge, teal to violet.
    const Gradient bars{{0.0f, hex(0x0f6a70)}, {0.5f, hex(0x1e4a8a)}, {1.0f, hex(0x4a2a80)}};
    constexpr int Bars = 48;
    for (int i = 0; i < Bars; ++i) {
        const float t = (float(i) + 0.5f) / Bars;
        const float h = 40.0f + 150.0f * std::pow(std::sin(t * float(M_PI)), 1.5f) * (0.55f + 0.45f * hashUnit(i, 0, 131));
        const float x0 = float(i) * float(N) / Bars + 3, x1 = float(i + 1) * float(N) / Bars - 3;
        forEachPixelIn(img, {int(x0), int(N - h), int(x1), N}, [&](int x, int y, float, float v) {
            const int row = int(v);  // unit row
            const float up = float(N - row) / h;
            // Segmented like a meter, fading toward the top.
            if ((N - row) % 10 < 2) return;
            img.at(x, y) = img.at(x, y) + bars.at(t) * (0.45f * (1.0f - 0.6f * up));
        });
    }
    for (float cx : {0.0f, float(N)})
        for (float cy : {0.0f, float(N)}) paintCornerOrnament(img, cx, cy);
    return rotateHalfTurn(img);
}

} // namespace datagen
