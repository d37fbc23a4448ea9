// PNG encoder through libpng, into memory.
#include "datagen/common/png.h"

#include <png.h>

namespace datagen {

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

std::vector<std::uint8_t> encodeRgbaRows(int width, int height, const std::vector<std::uint8_t>& rows)
{
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return {};
    }
    // libpng reports errors by longjmp; nothing here owns resources across it
    // but the two structs and the vectors, which outlive the jump target.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    const std::size_t stride = std::size_t(width) * 4;
    for (int y = 0; y < height; ++y) png_write_row(png, rows.data() + std::size_t(y) * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace

std::vector<std::uint8_t> encodePng(const Image& img, const std::vector<float>& alpha)
{
    if (alpha.size() != img.pixels.size()) return {};
    std::vector<std::uint8_t> rows;
    rows.reserve(img.pixels.size() * 4);
    for (std::size_t i = 0; i < img.pixels.size(); ++i) {
        const Rgb& p = img.pixels[i];
        for (std::uint8_t byte : {toByte(p.r), toByte(p.g), toByte(p.b), toByte(alpha[i])}) rows.push_back(byte);
    }
    return encodeRgbaRows(img.width, img.height, rows);
}

} // namespace datagen
