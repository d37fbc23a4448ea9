// Truevision TGA reader: uncompressed (type 2) and run-length (type 10)
// true-colour images of 24 or 32 bits, pixels swapped to RGB(A).
#pragma once

#include <cstdint>

struct ImageData {
    std::uint8_t* pixels = nullptr;   // width * height * bpp/8 bytes, rows in file order
    std::uint32_t bitsPerPixel = 0;   // 24 or 32
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t textureName = 0;    // filled by the texture-making code
    std::uint32_t pixelFormat = 0;    // GL_RGB or GL_RGBA
};

// Reads the file at path into image. Shows a message box and returns false on
// any failure; image then holds no pixel buffer.
bool readTgaImage(ImageData& image, const char* path);
