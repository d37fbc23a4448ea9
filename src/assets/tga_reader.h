// Truevision TGA reader: uncompressed (type 2) and run-length (type 10)
// true-colour images of 24 or 32 bits, pixels swapped to RGB(A).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Owns its pixels: a copy is a separate image.
struct ImageData {
    std::vector<std::uint8_t> pixels;  // width * height * bpp/8 bytes, rows in file order
    std::uint32_t bitsPerPixel = 0;   // 24 or 32
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t pixelFormat = 0;    // GL_RGB or GL_RGBA
};

// Reads the file at path into image. Shows a message box and returns false on
// any failure; image then holds no pixels.
bool readTgaImage(ImageData& image, const char* path);

// The same read showing nothing on failure: false, with the reason (a fixed
// text such as "Could not open texture file") in *reason.
bool readTgaImageQuietly(ImageData& image, const char* path, const char** reason);

// The same reader over the bytes of a whole file already in memory: every
// failure shows the same message, and the file-opening failure cannot occur.
bool readTgaBytes(ImageData& image, const std::uint8_t* data, std::size_t size);
