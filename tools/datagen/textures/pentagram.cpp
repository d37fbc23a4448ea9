// pentagram01.tga: a glowing pentagram in a double circle on black, drawn
// additively in four layers; kept at moderate brightness for that reason.
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <cmath>

namespace datagen {

Image makePentagram(int density)
{
    constexpr int N = 256;
    constexpr float c = N * 0.5f;
    constexpr float outer = 112, inner = 100;
    Image img = Image::inUnits(N, N, density);
    float px[5], py[5];
    for (int i = 0; i < 5; ++i) {
        const float a = float(-M_PI / 2 + i * 2 * M_PI / 5);
        px[i] = c + inner * std::cos(a);
        py[i] = c + inner * std::sin(a);  // point 0 at the top of the picture
    }
    auto lines = [&](float x, float y) {
        float d = 1e9f;
        for (int i = 0; i < 5; ++i) {
            const int j = (i + 2) % 5;
            d = std::min(d, sdSegment(x, y, px[i], py[i], px[j], py[j], 1.6f));
        }
        return d;
    };
    auto rings = [&](float x, float y) {
        return std::min(sdRing(x, y, c, c, outer, 1.6f), sdRing(x, y, c, c, inner + 2, 1.2f));
    };
    auto marks = [&](float x, float y) {
        float d = 1e9f;
        for (int i = 0; i < 20; ++i) {
            const float a = float(i) * float(M_PI) / 10.0f + float(M_PI) / 20.0f;
            const float r = (outer + inner + 2) * 0.5f;
            const float mx = c + r * std::cos(a), my = c + r * std::sin(a);
            d = std::min(d, i % 2 ? sdCircle(x, y, mx, my, 1.6f)
                                  : sdSegment(x, y, mx - 2 * std::sin(a), my + 2 * std::cos(a), mx + 2 * std::sin(a),
                                              my - 2 * std::cos(a), 0.9f));
        }
        return d;
    };
    const Rect all{0, 0, N, N};
    paintGlow(img, all, [&](float x, float y) { return std::min(lines(x, y), rings(x, y)); }, hex(0xc2300c) * 0.55f, 7.0f, 14);
    paintGlow(img, all, [&](float x, float y) { return std::min(lines(x, y), rings(x, y)); }, hex(0xff8c2a) * 0.45f, 2.0f, 8);
    paintShape(img, all, lines, hex(0xffe2a0), Blend::Over, 0.9f);
    paintShape(img, all, rings, hex(0xffc070), Blend::Over, 0.85f);
    paintShape(img, all, marks, hex(0xff9a40), Blend::Over, 0.8f);
    paintGlow(img, all, [&](float x, float y) { return sdCircle(x, y, c, c, 6); }, hex(0xff6a1a) * 0.35f, 10.0f, 40);
    return img;
}

} // namespace datagen
