// TGA reader: the two signatures, the header rules, the uncompressed and the
// run-length pixel readers, and the file-opening edge.
#include "assets/tga_reader.h"

#include "platform/platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr std::uint32_t GlRgb = 0x1907;
constexpr std::uint32_t GlRgba = 0x1908;

constexpr std::uint8_t UncompressedSignature[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr std::uint8_t RleSignature[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Reads from a whole file held in memory, as a file stream would: a short
// read consumes what is left and reports failure.
struct ByteStream {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;

    bool read(void* out, std::size_t count)
    {
        if (size - pos < count) {
            pos = size;
            return false;
        }
        if (count > 0)
            std::memcpy(out, data + pos, count);
        pos += count;
        return true;
    }
    std::size_t remaining() const { return size - pos; }
};

// The working values of one read.
struct TgaState {
    std::uint8_t signature[12];
    std::uint8_t header[6];
    std::uint32_t bytesPerPixel;
    std::size_t imageSize;        // bytes: bytesPerPixel * height * width
    std::uint32_t height;
    std::uint32_t width;
    std::uint32_t bitsPerPixel;
};

// The file a failure message names: set by readTgaImage for the length of one
// read, empty for bytes that came from elsewhere.
struct TgaSource {
    const char* path = nullptr;
    int fileError = 0;  // errno of a failed open or read, else 0
    bool quiet = false;           // a failure shows nothing and is kept in reason
    const char* reason = nullptr;
};
TgaSource Source;

// The box keeps its fixed text; standard error names the file, and the
// system's reason where opening or reading it failed.
bool fail(ImageData& image, const char* text, const char* caption = "ERROR")
{
    if (Source.quiet) {
        Source.reason = text;
        image.pixels = {};
        return false;
    }
    if (Source.path) {
        if (Source.fileError != 0)
            std::fprintf(stderr, "%s: %s (%s)\n", Source.path, text, std::strerror(Source.fileError));
        else
            std::fprintf(stderr, "%s: %s\n", Source.path, text);
    }
    plat::showMessageBox(text, caption, plat::Buttons::Ok, plat::Icon::Exclamation);
    image.pixels = {};
    return false;
}

// Every packet that stores a pixel takes at least a header and one value and
// stores at most 128 pixels: the most pixel bytes `remaining` file bytes fill.
std::size_t rleBound(std::size_t remaining, std::uint32_t bytesPerPixel)
{
    const std::size_t packets = remaining / (1 + bytesPerPixel);
    const std::size_t limit = SIZE_MAX / 128 / bytesPerPixel;
    return std::min(packets, limit) * 128 * bytesPerPixel;
}

// Header step shared by both readers. The buffer is never larger than what the
// rest of the file can fill: an image the data cannot complete then fails on
// reading with the same message, without reserving its whole claimed size.
bool readInfoHeader(TgaState& tga, ImageData& image, ByteStream& in, bool runLength, std::size_t* capacity)
{
    if (!in.read(tga.header, sizeof tga.header))
        return fail(image, "Could not read info header");

    const std::uint8_t* h = tga.header;
    image.width = tga.width = h[0] + 256u * h[1];
    image.height = tga.height = h[2] + 256u * h[3];
    image.bitsPerPixel = tga.bitsPerPixel = h[4];
    if (image.width == 0 || image.height == 0 || (image.bitsPerPixel != 24 && image.bitsPerPixel != 32))
        return fail(image, "Invalid texture information");

    image.pixelFormat = image.bitsPerPixel == 24 ? GlRgb : GlRgba;
    tga.bytesPerPixel = image.bitsPerPixel / 8;
    tga.imageSize = std::size_t{tga.bytesPerPixel} * image.height * image.width;

    const std::size_t fillable = runLength ? rleBound(in.remaining(), tga.bytesPerPixel) : in.remaining();
    *capacity = std::min(tga.imageSize, fillable);
    try {
        image.pixels.resize(*capacity);
    } catch (const std::bad_alloc&) {
        return fail(image, "Could not allocate memory for image");
    }
    return true;
}

bool readUncompressedTga(TgaState& tga, ImageData& image, ByteStream& in)
{
    std::size_t capacity = 0;
    if (!readInfoHeader(tga, image, in, false, &capacity))
        return false;
    if (capacity < tga.imageSize || !in.read(image.pixels.data(), tga.imageSize))
        return fail(image, "Could not read image data");

    for (std::size_t i = 0; i < tga.imageSize; i += tga.bytesPerPixel)
        std::swap(image.pixels[i], image.pixels[i + 2]);
    return true;
}

bool readRleTga(TgaState& tga, ImageData& image, ByteStream& in)
{
    std::size_t capacity = 0;
    if (!readInfoHeader(tga, image, in, true, &capacity))
        return false;

    const std::uint32_t bpp = tga.bytesPerPixel;
    const std::size_t pixelCount = std::size_t{image.width} * image.height;
    const std::size_t storable = capacity / bpp;
    std::size_t counter = 0;
    std::size_t position = 0;

    // Stores one file pixel swapped to RGB(A); refuses the first surplus pixel.
    auto store = [&](const std::uint8_t* value) {
        if (counter >= pixelCount || counter >= storable)
            return false;
        image.pixels[position + 0] = value[2];
        image.pixels[position + 1] = value[1];
        image.pixels[position + 2] = value[0];
        if (bpp == 4)
            image.pixels[position + 3] = value[3];
        position += bpp;
        ++counter;
        return true;
    };

    do {
        std::uint8_t header = 0;
        if (!in.read(&header, 1))
            return fail(image, "Could not read RLE header");

        std::uint8_t value[4] = {0, 0, 0, 0};
        if (header < 128) {
            for (int i = 0; i <= header; ++i) {
                if (!in.read(value, bpp))
                    return fail(image, "Could not read image data");
                if (!store(value))
                    return fail(image, "Too many pixels read");
            }
        } else {
            if (!in.read(value, bpp))
                return fail(image, "Could not read from file");
            for (int i = 0; i < header - 127; ++i) {
                if (!store(value))
                    return fail(image, "Too many pixels read");
            }
        }
    } while (counter < pixelCount);
    return true;
}

} // namespace

bool readTgaBytes(ImageData& image, const std::uint8_t* data, std::size_t size)
{
    image.pixels = {};
    ByteStream in{data, data ? size : 0, 0};
    TgaState tga{};
    if (!in.read(tga.signature, sizeof tga.signature))
        return fail(image, "Could not read file header");

    if (std::memcmp(tga.signature, UncompressedSignature, sizeof UncompressedSignature) == 0)
        return readUncompressedTga(tga, image, in);
    if (std::memcmp(tga.signature, RleSignature, sizeof RleSignature) == 0)
        return readRleTga(tga, image, in);
    return fail(image, "TGA file be type 2 or type 10 ", "Invalid Image");
}

bool readTgaImageQuietly(ImageData& image, const char* path, const char** reason)
{
    Source.quiet = true;
    Source.reason = nullptr;
    const bool ok = readTgaImage(image, path);
    if (reason) *reason = Source.reason;
    Source.quiet = false;
    Source.reason = nullptr;
    return ok;
}

bool readTgaImage(ImageData& image, const char* path)
{
    Source.path = path;
    Source.fileError = 0;
    errno = 0;
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file) {
        Source.fileError = errno;
        const bool ok = fail(image, "Could not open texture file");
        Source.path = nullptr;
        return ok;
    }

    // The whole file is taken in one go and closed before any decoding, so
    // every path below leaves it closed. A read error (a folder, say) leaves
    // the bytes short, and the reader's own message says where.
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    if (std::ferror(file)) Source.fileError = errno;
    std::fclose(file);

    const bool ok = readTgaBytes(image, bytes.data(), bytes.size());
    Source.path = nullptr;
    Source.fileError = 0;
    return ok;
}
