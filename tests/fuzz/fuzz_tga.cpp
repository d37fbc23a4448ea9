// Fuzz target: the TGA reader over arbitrary bytes. A successful read must
// hold exactly width x height pixels, every byte readable; a failed one no
// pixels.
#include "assets/tga_reader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ImageData image;
    const bool ok = readTgaBytes(image, data, size);
    if (!ok) {
        if (!image.pixels.empty())
            std::abort();
        return 0;
    }
    const std::size_t bytes = std::size_t{image.width} * image.height * (image.bitsPerPixel / 8);
    if (bytes == 0 || image.pixels.size() != bytes)
        std::abort();
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        sum += image.pixels[i];
    volatile unsigned sink = sum;
    (void)sink;
    return 0;
}
