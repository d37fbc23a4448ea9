// Float RGB pictures for the generator, their blending and the TGA encoder.
// Row 0 is the top of the picture; files are stored bottom row first.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace datagen {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb operator*(float k, Rgb a) { return a * k; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
inline float luma(Rgb c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }
// Colour from 0xRRGGBB.
inline Rgb hex(std::uint32_t v)
{
    return {float((v >> 16) & 255) / 255.0f, float((v >> 8) & 255) / 255.0f, float(v & 255) / 255.0f};
}

inline float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }
inline float smoothstep(float e0, float e1, float x)
{
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

// A picture is laid out in units, its written size; density is how many
// pixels it holds per unit across (1, 2 or 4). Recipes paint in units, so the
// same recipe gives the same picture at any density, only sampled finer.
struct Image {
    int width = 0;   // pixels
    int height = 0;
    int density = 1;          // pixels per unit
    std::vector<Rgb> pixels;  // row-major, row 0 at the top

    Image() = default;
    Image(int w, int h, Rgb fill = {}) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), fill) {}
    // w x h units at the given density: (w * density) x (h * density) pixels.
    static Image inUnits(int w, int h, int density, Rgb fill = {})
    {
        Image img(w * density, h * density, fill);
        img.density = density;
        return img;
    }

    Rgb& at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    const Rgb& at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    // Calls fn(x, y, pixel&) for every pixel, with (x, y) the pixel's integer corner.
    template <class Fn> void forEach(Fn&& fn)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) fn(x, y, at(x, y));
    }
    // Calls fn(u, v, pixel&) for every pixel, with (u, v) the pixel's centre
    // in units (x + 0.5, y + 0.5 at density 1).
    template <class Fn> void forEachCentre(Fn&& fn)
    {
        const float step = 1.0f / float(density);  // exact: density is a power of two
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) fn((float(x) + 0.5f) * step, (float(y) + 0.5f) * step, at(x, y));
    }
};

// How a painted colour meets what is there: coverage a in 0..1.
enum class Blend { Over, Add, Max, Multiply };

inline void blendPixel(Rgb& dst, Rgb src, float a, Blend mode)
{
    switch (mode) {
    case Blend::Over: dst = mix(dst, src, a); break;
    case Blend::Add: dst = dst + src * a; break;
    case Blend::Max:
        dst = {std::max(dst.r, src.r * a), std::max(dst.g, src.g * a), std::max(dst.b, src.b * a)};
        break;
    case Blend::Multiply: dst = mix(dst, dst * src, a); break;
    }
}

// Bilinear sample (u, v in pixels, pixel centres at +0.5), clamped at the edges.
Rgb sampleClamped(const Image& img, float u, float v);

// The picture turned by half a turn.
Image rotateHalfTurn(const Image& img);

// Clamps every channel to 0..1.
void clampImage(Image& img);

// A 24-bit TGA file of the picture, bottom row first (bottom-left origin):
// type 10 (run-length packets, never crossing a row) when rle, else type 2.
std::vector<std::uint8_t> encodeTga(const Image& img, bool rle);

// Channel value 0..1 to a byte, rounded.
inline std::uint8_t toByte(float v) { return std::uint8_t(clamp01(v) * 255.0f + 0.5f); }

} // namespace datagen
