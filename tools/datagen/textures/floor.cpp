// bg.tga: the fountain's floor, shown once over the whole floor quad and
// blended over its mirror image: eight by eight polished tiles of dark marble
// with thin light joints.
#include "datagen/common/noise.h"
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <cmath>

namespace datagen {

Image makeFloorTiles(int density)
{
    constexpr int N = 512, Tiles = 8;
    constexpr float T = float(N) / Tiles;
    Image img = Image::inUnits(N, N, density);
    const Gradient marble{{0.0f, hex(0x0c0d12)}, {0.6f, hex(0x181a22)}, {0.9f, hex(0x2c3040)}, {1.0f, hex(0x5a6072)}};
    img.forEachCentre([&](float px, float py, Rgb& p) {
        const float u = px / N, v = py / N;
        const int tx = int(px / T), ty = int(py / T);
        // Veins run continuously, as if the tiles were cut from one slab,
        // but each tile is turned a little in tone.
        const float vein = std::pow(ridged(u + 0.3f * fbm(u, v, 2, 3, 81), v, 3, 5, 82), 4.0f);
        const float cloud = fbm(u, v, 6, 4, 83);
        const float tone = 0.85f + 0.3f * hashUnit(tx, ty, 84);
        p = marble.at(std::min(1.0f, cloud * 0.55f + vein * 0.9f)) * tone;
        // Polish: a soft diagonal sheen on each tile.
        const float lx = (px - float(tx) * T) / T, ly = (py - float(ty) * T) / T;
        p = p + hex(0x2a3040) * (0.35f * std::exp(-std::pow((lx + ly - 0.7f) * 3.0f, 2.0f)));
        // Joints: a thin light line with a dark edge on the lower-right side.
        const float ex = std::min(lx, 1.0f - lx) * T, ey = std::min(ly, 1.0f - ly) * T;
        const float e = std::min(ex, ey);
        p = mix(p, hex(0x4e5666), 1.0f - smoothstep(0.6f, 1.4f, e));
        if (e >= 1.4f && e < 2.6f && (lx > 0.5f || ly > 0.5f)) p = p * 0.6f;
    });
    return img;
}

} // namespace datagen
