// Picture helpers and the TGA encoder.
#include "datagen/common/image.h"

#include <algorithm>
#include <cmath>

namespace datagen {

Rgb sampleClamped(const Image& img, float u, float v)
{
    const float fx = std::clamp(u - 0.5f, 0.0f, float(img.width - 1));
    const float fy = std::clamp(v - 0.5f, 0.0f, float(img.height - 1));
    const int x0 = int(fx), y0 = int(fy);
    const int x1 = std::min(x0 + 1, img.width - 1), y1 = std::min(y0 + 1, img.height - 1);
    const float tx = fx - float(x0), ty = fy - float(y0);
    return mix(mix(img.at(x0, y0), img.at(x1, y0), tx), mix(img.at(x0, y1), img.at(x1, y1), tx), ty);
}

Image rotateHalfTurn(const Image& img)
{
    Image out(img.width, img.height);
    out.density = img.density;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) out.at(img.width - 1 - x, img.height - 1 - y) = img.at(x, y);
    return out;
}

void clampImage(Image& img)
{
    for (Rgb& p : img.pixels) p = {clamp01(p.r), clamp01(p.g), clamp01(p.b)};
}

namespace {

void putPixel(std::vector<std::uint8_t>& out, const Rgb& p)
{
    out.push_back(toByte(p.b));
    out.push_back(toByte(p.g));
    out.push_back(toByte(p.r));
}

bool sameBytes(const Rgb& a, const Rgb& b)
{
    return toByte(a.r) == toByte(b.r) && toByte(a.g) == toByte(b.g) && toByte(a.b) == toByte(b.b);
}

// One row as run-length packets: runs of two or more equal pixels become run
// packets, everything else raw packets; at most 128 pixels per packet.
void encodeRow(std::vector<std::uint8_t>& out, const Image& img, int y)
{
    const int w = img.width;
    int x = 0;
    while (x < w) {
        int run = 1;
        while (x + run < w && run < 128 && sameBytes(img.at(x + run, y), img.at(x, y))) ++run;
        if (run >= 2) {
            out.push_back(std::uint8_t(0x80 | (run - 1)));
            putPixel(out, img.at(x, y));
            x += run;
            continue;
        }
        int raw = 1;
        while (x + raw < w && raw < 128 &&
               !(x + raw + 1 < w && sameBytes(img.at(x + raw, y), img.at(x + raw + 1, y))))
            ++raw;
        out.push_back(std::uint8_t(raw - 1));
        for (int i = 0; i < raw; ++i) putPixel(out, img.at(x + i, y));
        x += raw;
    }
}

} // namespace

std::vector<std::uint8_t> encodeTga(const Image& img, bool rle)
{
    const std::uint8_t header[18] = {
        0, 0, std::uint8_t(rle ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0,
        std::uint8_t(img.width & 255), std::uint8_t(img.width >> 8),
        std::uint8_t(img.height & 255), std::uint8_t(img.height >> 8),
        24, 0};  // descriptor 0: no alpha bits, origin at the bottom left
    std::vector<std::uint8_t> out(header, header + 18);
    out.reserve(18 + std::size_t(img.width) * std::size_t(img.height) * 3);
    for (int y = img.height - 1; y >= 0; --y) {
        if (rle) {
            encodeRow(out, img, y);
        } else {
            for (int x = 0; x < img.width; ++x) putPixel(out, img.at(x, y));
        }
    }
    return out;
}

} // namespace datagen
