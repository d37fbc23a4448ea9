// water01.tga: caustic light on a pool floor, two drifting cell layers of
// bright filaments over deep blue; seamless.
#include "datagen/common/noise.h"
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <cmath>

namespace datagen {

Image makeWater(int density)
{
    constexpr int N = 256;
    Image img = Image::inUnits(N, N, density);
    const Gradient water{{0.0f, hex(0x04264a)}, {0.45f, hex(0x0b5a8c)}, {0.8f, hex(0x5cc4e8)}, {1.0f, hex(0xe6fbff)}};
    img.forEachCentre([&](float px, float py, Rgb& p) {
        const float u = px / N, v = py / N;
        // Warp the cells a little so the filaments curve.
        const float wu = u + (fbm(u, v, 4, 3, 71) - 0.5f) * 0.06f, wv = v + (fbm(u, v, 4, 3, 72) - 0.5f) * 0.06f;
        const CellSample a = cellular(wu, wv, 6, 73), b = cellular(wv, wu, 9, 74);
        const float ca = 1.0f - smoothstep(0.0f, 0.16f, a.f2 - a.f1);
        const float cb = 1.0f - smoothstep(0.0f, 0.12f, b.f2 - b.f1);
        const float light = ca * 0.6f + cb * 0.45f + fbm(u, v, 3, 3, 75) * 0.25f;
        p = water.at(std::min(1.0f, light));
    });
    return img;
}

} // namespace datagen
