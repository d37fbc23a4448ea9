// The video's frame from the renderer's picture: RGBA to BT.709 4:2:0.
// Written as plain loops over 32-bit pixels with 16-bit operands, which the
// compiler turns into vector code (this file is built with -O3 for it).
#include "capture/media.h"

#include <cstring>

namespace capture {

namespace {

// BT.709 in studio range, in 1/65536: Y = 16 + 219 (Kr R + Kg G + Kb B) / 255,
// Cb and Cr 128 + 224 (B - Y') / (2 (1 - Kb)) / 255 and likewise for R.
constexpr std::uint16_t YR = 11966, YG = 40254, YB = 4064;
constexpr std::int16_t UR = -6596, UG = -22189, UB = 28784;
constexpr std::int16_t VR = 28784, VG = -26145, VB = -2639;
// Rounding, and Cb and Cr's offset of 128, for sums of four pixels (/ 4 more).
constexpr std::uint32_t LumaRound = 1u << 15;
constexpr std::int32_t ChromaOffset = 128 * 4 * 65536 + 2 * (1 << 15);

// One row of luma from n pixels (R, G, B, A bytes in each word, in memory order).
void convertLumaRow(const std::uint8_t* __restrict row, std::uint8_t* __restrict luma, int n)
{
    for (int x = 0; x < n; ++x) {
        const std::uint16_t r = row[4 * x], g = row[4 * x + 1], b = row[4 * x + 2];
        const std::uint32_t sum = std::uint32_t{r} * YR + std::uint32_t{g} * YG + std::uint32_t{b} * YB + LumaRound;
        luma[x] = static_cast<std::uint8_t>((sum >> 16) + 16);
    }
}

// Cb and Cr of n 2 x 2 blocks from two rows: the chroma of each block's mean colour.
void convertChromaRow(const std::uint8_t* __restrict top, const std::uint8_t* __restrict bottom,
                      std::uint8_t* __restrict cb, std::uint8_t* __restrict cr, int n)
{
    for (int x = 0; x < n; ++x) {
        const std::uint8_t* a = top + 8 * x;
        const std::uint8_t* b = bottom + 8 * x;
        const auto r = static_cast<std::int16_t>(a[0] + a[4] + b[0] + b[4]);
        const auto g = static_cast<std::int16_t>(a[1] + a[5] + b[1] + b[5]);
        const auto bl = static_cast<std::int16_t>(a[2] + a[6] + b[2] + b[6]);
        // Never negative: the offset outweighs the most negative sum.
        const std::int32_t u = std::int32_t{r} * UR + std::int32_t{g} * UG + std::int32_t{bl} * UB + ChromaOffset;
        const std::int32_t v = std::int32_t{r} * VR + std::int32_t{g} * VG + std::int32_t{bl} * VB + ChromaOffset;
        cb[x] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(u) >> 18);
        cr[x] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> 18);
    }
}

} // namespace

void convertToVideoFrame(const std::uint8_t* rgba, int width, int height, std::vector<std::uint8_t>* yuv)
{
    const std::size_t lumaSize = static_cast<std::size_t>(width) * height;
    const int chromaWidth = width / 2;
    const std::size_t chromaSize = static_cast<std::size_t>(chromaWidth) * (height / 2);
    yuv->resize(lumaSize + 2 * chromaSize);
    std::uint8_t* const luma = yuv->data();
    std::uint8_t* const cb = luma + lumaSize;
    std::uint8_t* const cr = cb + chromaSize;
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    // Two rows at a time, while they are in the cache for their chroma.
    for (int y = 0; y < height; y += 2) {
        // Rows y and y + 1 from the top are the renderer's height-1-y and height-2-y.
        const std::uint8_t* top = rgba + static_cast<std::size_t>(height - 1 - y) * stride;
        const std::uint8_t* bottom = top - stride;
        convertLumaRow(top, luma + static_cast<std::size_t>(y) * width, width);
        convertLumaRow(bottom, luma + static_cast<std::size_t>(y + 1) * width, width);
        convertChromaRow(top, bottom, cb + static_cast<std::size_t>(y / 2) * chromaWidth,
                         cr + static_cast<std::size_t>(y / 2) * chromaWidth, chromaWidth);
    }
}

} // namespace capture
