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

} // namespace

std::vector<std::uint8_t> encodePng(const Image& img)
{
    std::vector<std::uint8_t> rows(std::size_t(img.width) * std::size_t(img.height) * 3);
    std::size_t k = 0;
    for (const Rgb& p : img.pixels) {
        rows[k++] = toByte(p.r);
        rows[k++] = toByte(p.g);
        rows[k++] = toByte(p.b);
    }
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
    png_set_IHDR(png, info, png_uint_32(img.width), png_uint_32(img.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < img.height; ++y) png_write_row(png, rows.data() + std::size_t(y) * std::size_t(img.width) * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace datagen
