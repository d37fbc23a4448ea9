// Chrome.tga: a sphere-map environment for chrome: each texel of the disc
// shows what a mirror ball reflects towards a viewer on the +z axis: a blue
// sky brightening to a hard horizon, a dark ground below, a sun and a band of
// bright cloud. Outside the disc the rim colour continues.
#include "datagen/common/noise.h"
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

// What the environment shows in direction (x, y, z), y up.
Rgb environment(float x, float y, float z)
{
    static const Gradient sky{{0.0f, hex(0xf4fbff)}, {0.06f, hex(0xbfe0ff)}, {0.35f, hex(0x5a9be0)}, {1.0f, hex(0x153a86)}};
    static const Gradient ground{{0.0f, hex(0x6a5a48)}, {0.08f, hex(0x3a3028)}, {0.5f, hex(0x16120f)}, {1.0f, hex(0x060506)}};
    const float heading = std::atan2(x, z) / float(2 * M_PI) + 0.5f;
    Rgb c;
    if (y >= 0) {
        c = sky.at(y);
        const float cloud = smoothstep(0.55f, 0.8f, fbm(heading, y * 0.5f, 8, 4, 91)) * (1.0f - smoothstep(0.05f, 0.45f, y));
        c = mix(c, hex(0xffffff), cloud * 0.7f);
    } else {
        const float t = -y;
        c = ground.at(t) * (0.8f + 0.4f * fbm(heading, t * 0.5f, 16, 4, 92));
    }
    // The bright horizon line.
    c = c + hex(0xffffff) * (0.9f * std::exp(-std::pow(y / 0.025f, 2.0f)));
    // The sun, high on the right behind the viewer, and a softer second light.
    const float sun = (x * 0.45f + y * 0.62f + z * 0.64f);
    c = c + hex(0xfff4d8) * (std::pow(std::max(0.0f, sun), 400.0f) * 3.0f + std::pow(std::max(0.0f, sun), 20.0f) * 0.3f);
    const float fill = (-x * 0.7f + y * 0.3f + z * 0.65f);
    c = c + hex(0xd8ecff) * (std::pow(std::max(0.0f, fill), 60.0f) * 0.8f);
    return c;
}

} // namespace

Image makeChrome(int density)
{
    constexpr int N = 256;
    Image img = Image::inUnits(N, N, density);
    img.forEachCentre([](float px, float py, Rgb& p) {
        // Row 0 is the top of the picture, where the sphere map's t is 1.
        float nx = (px / N) * 2.0f - 1.0f;
        float ny = 1.0f - (py / N) * 2.0f;
        const float r = std::hypot(nx, ny);
        if (r > 0.995f) {
            nx *= 0.995f / r;
            ny *= 0.995f / r;
        }
        const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
        // Reflect the view ray (0, 0, -1) about the normal.
        p = environment(2 * nz * nx, 2 * nz * ny, 2 * nz * nz - 1);
    });
    return img;
}

} // namespace datagen
