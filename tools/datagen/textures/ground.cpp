// testground.tga: the landscape's ground, one repeat per cell: grass with
// patches of rock and a faint grid along the cell's edges. Seamless and
// mid-bright so that the landscape's height tints show through.
#include "datagen/common/noise.h"
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <cmath>

namespace datagen {

Image makeTestground(int density)
{
    constexpr int N = 256;
    Image img = Image::inUnits(N, N, density);
    const Gradient grass{{0.0f, hex(0x4f7a2e)}, {0.5f, hex(0x6f9a3c)}, {1.0f, hex(0xa3bf5a)}};
    const Gradient rock{{0.0f, hex(0x7d776c)}, {0.6f, hex(0x9a958a)}, {1.0f, hex(0xc9c3b4)}};
    img.forEachCentre([&](float px, float py, Rgb& p) {
        const float u = px / N, v = py / N;
        const float blades = fbm(u, v, 32, 3, 21) * 0.7f + cellNoise(px, py, N, 22) * 0.3f;
        const float stone = ridged(u, v, 4, 5, 23);
        const float patch = smoothstep(0.52f, 0.62f, fbm(u, v, 3, 4, 24));
        p = mix(grass.at(blades), rock.at(stone), patch);
        // Crevices darken the rock.
        p = p * (1.0f - 0.2f * patch * smoothstep(0.6f, 0.9f, 1.0f - stone));
        // Faint grid on the edges of the cell: the half lines meet the
        // neighbouring cell's halves.
        const float edge = std::min(std::min(px, N - px), std::min(py, N - py));
        p = p * (1.0f - 0.22f * (1.0f - smoothstep(0.0f, 2.0f, edge)));
    });
    return img;
}

} // namespace datagen
