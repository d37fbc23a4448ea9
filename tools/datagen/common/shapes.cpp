// Colour ramps and the bevelled frame painter.
#include "datagen/common/shapes.h"

#include <algorithm>

namespace datagen {

Rgb Gradient::at(float t) const
{
    if (stops_.empty()) return {};
    if (t <= stops_.front().t) return stops_.front().colour;
    for (std::size_t i = 1; i < stops_.size(); ++i) {
        if (t <= stops_[i].t) {
            const Stop& a = stops_[i - 1];
            const Stop& b = stops_[i];
            return mix(a.colour, b.colour, (t - a.t) / (b.t - a.t));
        }
    }
    return stops_.back().colour;
}

void paintBevelFrame(Image& img, float cx, float cy, float hw, float hh, float w, Rgb face, Rgb light, Rgb dark)
{
    const Rect area{int(cx - hw - w - 2), int(cy - hh - w - 2), int(cx + hw + w + 3), int(cy + hh + w + 3)};
    const float k = float(img.density);
    forEachPixelIn(img, area, [&](int x, int y, float px, float py) {
            const float inner = sdBox(px, py, cx, cy, hw, hh);
            const float outer = sdBox(px, py, cx, cy, hw + w, hh + w, w * 0.5f);
            // Coverage of the band between the panel's edge and the outer edge.
            const float a = clamp01(0.5f + inner * k) * clamp01(0.5f - outer * k);
            if (a <= 0) return;
            // Across the band: 0 at the panel edge, 1 at the outer edge.
            const float across = clamp01(inner / w);
            // Which way the band faces: the nearest side of the box decides.
            const float ex = std::fabs(px - cx) - hw, ey = std::fabs(py - cy) - hh;
            float facing;  // +1 lit (top, left), -1 shaded (bottom, right)
            if (ex > ey)
                facing = px < cx ? 1.0f : -1.0f;
            else
                facing = py < cy ? 1.0f : -1.0f;
            // Profile: a crest in the middle of the band; the outer slope
            // takes the light on lit sides, the inner slope on shaded sides.
            const float slope = across < 0.5f ? -1.0f : 1.0f;
            const float lit = facing * slope;
            const float crest = 1.0f - std::fabs(across - 0.5f) * 2.0f;
            Rgb c = lit > 0 ? mix(face, light, 0.55f + 0.45f * crest) : mix(face, dark, 0.6f * (1.0f - crest));
            blendPixel(img.at(x, y), c, a, Blend::Over);
    });
}

} // namespace datagen
