// Shared by the texture tests: the generated texture files, each written once
// per test run into a temporary folder when first read, and a plain decoder
// of the TGA kinds the generator writes (rows kept in stored order: the first
// row is GL's t = 0).
#pragma once

#include "datagen/datagen.h"
#include "datagen/common/glyphs.h"
#include "datagen/textures/recipes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace texture_files {

struct Tga {
    int type = 0, width = 0, height = 0, bits = 0, descriptor = 0;
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> rgb;  // width * height * 3, stored row order, R G B
    bool complete = false;          // pixel data decoded exactly, nothing left over

    const std::uint8_t* pixel(int x, int storedRow) const
    {
        return &rgb[(std::size_t(storedRow) * std::size_t(width) + std::size_t(x)) * 3];
    }
    float luma(int x, int storedRow) const
    {
        const std::uint8_t* p = pixel(x, storedRow);
        return (0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2]) / 255.0f;
    }
};

inline std::vector<std::uint8_t> readBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Decodes 24-bit type 2 and type 10 files; run packets may not cross rows.
inline Tga decodeTga(const std::vector<std::uint8_t>& b)
{
    Tga t;
    if (b.size() < 18) return t;
    t.header.assign(b.begin(), b.begin() + 18);
    t.type = b[2];
    t.width = b[12] | (b[13] << 8);
    t.height = b[14] | (b[15] << 8);
    t.bits = b[16];
    t.descriptor = b[17];
    if (t.bits != 24 || (t.type != 2 && t.type != 10)) return t;
    const std::size_t pixels = std::size_t(t.width) * std::size_t(t.height);
    t.rgb.reserve(pixels * 3);
    std::size_t pos = 18 + b[0];
    auto put = [&](std::size_t at) {
        t.rgb.push_back(b[at + 2]);
        t.rgb.push_back(b[at + 1]);
        t.rgb.push_back(b[at]);
    };
    if (t.type == 2) {
        if (b.size() != pos + pixels * 3) return t;
        for (std::size_t i = 0; i < pixels; ++i) put(pos + i * 3);
        t.complete = true;
        return t;
    }
    while (t.rgb.size() < pixels * 3) {
        if (pos >= b.size()) return t;
        const int head = b[pos++];
        const std::size_t count = std::size_t(head & 0x7F) + 1;
        const std::size_t column = (t.rgb.size() / 3) % std::size_t(t.width);
        if (column + count > std::size_t(t.width)) return t;  // packet crosses a row
        if (head & 0x80) {
            if (pos + 3 > b.size()) return t;
            for (std::size_t i = 0; i < count; ++i) put(pos);
            pos += 3;
        } else {
            if (pos + count * 3 > b.size()) return t;
            for (std::size_t i = 0; i < count; ++i) put(pos + i * 3);
            pos += count * 3;
        }
    }
    t.complete = pos == b.size();
    return t;
}

// The folder this test run's generated Data/ is in, removed again when the
// test program ends. Files are written into it as they are first asked for
// (generatedFile), so a test pays for the files it reads and no others.
inline const std::string& generatedDataDir()
{
    struct Folder {
        std::filesystem::path base;
        std::string data;
        Folder()
        {
            base = std::filesystem::temp_directory_path() / ("ng-datagen-test-" + std::to_string(::getpid()));
            std::filesystem::remove_all(base);
            data = (base / "Data").string();
            std::filesystem::create_directories(base / "Data/Textures/2x");
            std::filesystem::create_directories(base / "Data/Textures/4x");
        }
        ~Folder()
        {
            std::error_code ec;
            std::filesystem::remove_all(base, ec);
        }
    };
    static const Folder folder;
    return folder.data;
}

// The path of a generated file under Data/: "Models/NAME" (both models are
// written the first time), "Textures/NAME" or "Textures/2x/NAME" and
// "Textures/4x/NAME" (the recipe at that density, unless above its densest,
// when no file is written, as the generator writes none).
inline std::string generatedFile(const std::string& relative)
{
    const std::string path = generatedDataDir() + "/" + relative;
    if (std::filesystem::exists(path)) return path;
    if (relative.rfind("Models/", 0) == 0) {
        EXPECT_TRUE(datagen::writeModels(generatedDataDir()));
        return path;
    }
    if (!datagen::fontsAvailable()) {
        ADD_FAILURE() << "no fonts for the generator: " << relative;
        return path;
    }
    for (const datagen::TextureDensity& d : datagen::TextureDensities)
        for (const datagen::TextureRecipe& r : datagen::textureRecipes())
            if (relative == std::string("Textures/") + d.folder + r.file && d.density <= r.maxDensity) {
                EXPECT_TRUE(datagen::writeTexture(generatedDataDir(), r, d)) << relative;
            }
    return path;
}

inline Tga loadGenerated(const std::string& file)
{
    return decodeTga(readBytes(generatedFile("Textures/" + file)));
}

} // namespace texture_files
