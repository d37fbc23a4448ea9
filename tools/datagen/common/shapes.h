// Antialiased shapes by signed distance (in pixels, negative inside), colour
// ramps, and painters that lay shapes, glows and bevels onto a picture.
#pragma once

#include "datagen/common/image.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

namespace datagen {

// Colour ramp through stops at increasing t.
class Gradient {
public:
    struct Stop {
        float t;
        Rgb colour;
    };
    Gradient(std::initializer_list<Stop> stops) : stops_(stops) {}
    Rgb at(float t) const;

private:
    std::vector<Stop> stops_;
};

// Signed distances (pixel units: x right, y down, pixel centres at +0.5).
inline float sdCircle(float x, float y, float cx, float cy, float r)
{
    return std::hypot(x - cx, y - cy) - r;
}
inline float sdRing(float x, float y, float cx, float cy, float r, float halfWidth)
{
    return std::fabs(std::hypot(x - cx, y - cy) - r) - halfWidth;
}
// Box with centre (cx, cy), half sizes hw, hh and corner radius rad.
inline float sdBox(float x, float y, float cx, float cy, float hw, float hh, float rad = 0)
{
    const float qx = std::fabs(x - cx) - hw + rad, qy = std::fabs(y - cy) - hh + rad;
    const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.0f) - rad;
}
// Stroke from (ax, ay) to (bx, by) with round ends.
inline float sdSegment(float x, float y, float ax, float ay, float bx, float by, float halfWidth)
{
    const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    const float len2 = dx * dx + dy * dy;
    const float h = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - dx * h, py - dy * h) - halfWidth;
}

// Simple polygon of n corners (either winding); exact distance to its edges.
inline float sdPolygon(float x, float y, const float (*v)[2], int n)
{
    float d2 = (x - v[0][0]) * (x - v[0][0]) + (y - v[0][1]) * (y - v[0][1]);
    float sign = 1.0f;
    for (int i = 0, j = n - 1; i < n; j = i, ++i) {
        const float ex = v[j][0] - v[i][0], ey = v[j][1] - v[i][1];
        const float wx = x - v[i][0], wy = y - v[i][1];
        const float len2 = ex * ex + ey * ey;
        const float h = len2 > 0 ? std::clamp((wx * ex + wy * ey) / len2, 0.0f, 1.0f) : 0.0f;
        const float bx = wx - ex * h, by = wy - ey * h;
        d2 = std::min(d2, bx * bx + by * by);
        // Crossings of a ray along +x decide inside from outside.
        const bool a = y >= v[i][1], b = y < v[j][1], c = ex * wy > ey * wx;
        if ((a && b && c) || (!a && !b && !c)) sign = -sign;
    }
    return sign * std::sqrt(d2);
}

// Area bounds for the painters, in the picture's units; clipped to the picture.
struct Rect {
    int x0, y0, x1, y1;  // x1, y1 exclusive
};

// The pixels of r at the picture's density, clipped to the picture, and the
// unit length of one pixel. Calls fn(x, y, u, v) with (u, v) the centre of
// pixel (x, y) in units.
template <class Fn> void forEachPixelIn(Image& img, Rect r, Fn&& fn)
{
    const int k = img.density;
    const float step = 1.0f / float(k);
    const int x0 = std::max(r.x0 * k, 0), y0 = std::max(r.y0 * k, 0);
    const int x1 = std::min(r.x1 * k, img.width), y1 = std::min(r.y1 * k, img.height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) fn(x, y, (float(x) + 0.5f) * step, (float(y) + 0.5f) * step);
}

// Fills the shape sdf(x, y) (units) with colour, antialiased over one pixel.
template <class Sdf> void paintShape(Image& img, Rect r, Sdf&& sdf, Rgb colour, Blend mode = Blend::Over, float alpha = 1)
{
    const float k = float(img.density);
    forEachPixelIn(img, r, [&](int x, int y, float u, float v) {
        const float a = clamp01(0.5f - sdf(u, v) * k) * alpha;
        if (a > 0) blendPixel(img.at(x, y), colour, a, mode);
    });
}

// Adds a glow around the shape: full inside, falling as 1 / (1 + (d / radius)^2)
// outside, and cut to zero smoothly at reach units so the glow has an end.
template <class Sdf> void paintGlow(Image& img, Rect r, Sdf&& sdf, Rgb colour, float radius, float reach)
{
    forEachPixelIn(img, r, [&](int x, int y, float u, float v) {
            const float d = std::max(0.0f, sdf(u, v));
            if (d >= reach) return;
            const float q = d / radius;
            const float a = (1.0f / (1.0f + q * q)) * (1.0f - smoothstep(reach * 0.6f, reach, d));
            img.at(x, y) = img.at(x, y) + colour * a;
    });
}

// Raised bevel along the outside of a box: a band of width w whose face is lit
// from the top left (light) and shaded towards the bottom right (dark).
void paintBevelFrame(Image& img, float cx, float cy, float hw, float hh, float w, Rgb face, Rgb light, Rgb dark);

} // namespace datagen
