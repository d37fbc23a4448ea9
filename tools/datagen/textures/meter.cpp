// vu02.tga: the level meter's bar, lit segments from green through yellow to
// red, left to right; the meter shows its left part stretched over each bar.
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"

namespace datagen {

Image makeMeterBar(int density)
{
    constexpr int W = 256, H = 64, Segments = 16;
    Image img = Image::inUnits(W, H, density, hex(0x040604));
    const Gradient levels{{0.0f, hex(0x22e04a)}, {0.55f, hex(0xb8f03a)}, {0.72f, hex(0xffd52a)}, {0.86f, hex(0xff8a1e)},
                          {1.0f, hex(0xff2a1a)}};
    constexpr float pitch = float(W) / Segments;
    for (int i = 0; i < Segments; ++i) {
        const float cx = (float(i) + 0.5f) * pitch;
        const Rgb col = levels.at((float(i) + 0.5f) / Segments);
        const Rect r{int(cx - pitch), 0, int(cx + pitch), H};
        paintGlow(img, r, [&](float x, float y) { return sdBox(x, y, cx, H * 0.5f, pitch * 0.5f - 3, H * 0.5f - 8, 3); },
                  col * 0.25f, 2.0f, 6);
        paintShape(img, r, [&](float x, float y) { return sdBox(x, y, cx, H * 0.5f, pitch * 0.5f - 2.5f, H * 0.5f - 7, 3); },
                   col * 0.8f);
        // Upper highlight of each segment.
        paintShape(img, r, [&](float x, float y) { return sdBox(x, y, cx, H * 0.5f - 12, pitch * 0.5f - 4.5f, 6, 3); },
                   mix(col, hex(0xffffff), 0.5f), Blend::Over, 0.6f);
    }
    return img;
}

} // namespace datagen
