// TGA reader: decoded bytes, refused files with their exact messages,
// truncations, the run-length overrun, and agreement with ImageMagick.
#include "assets/tga_reader.h"

#include "assets/asset_test_util.h"
#include "gl_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace assettest;

namespace {

class TgaReaderTest : public ::testing::Test {
protected:
    void SetUp() override { clearMessages(); }

    bool read(const Bytes& file) { return readTgaBytes(image, file.data(), file.size()); }
    // Exactly width x height pixels, nothing more.
    Bytes pixels() const
    {
        EXPECT_EQ(image.pixels.size(), std::size_t{image.width} * image.height * (image.bitsPerPixel / 8));
        return image.pixels;
    }
    // The read fails with exactly one box, this one, and keeps no pixels.
    void expectRefused(const Bytes& file, const std::string& shown)
    {
        clearMessages();
        EXPECT_FALSE(read(file));
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(shownMessages(), std::vector<std::string>{shown});
    }

    ImageData image;
};

TEST_F(TgaReaderTest, UncompressedPixelsAreSwappedToRgbInFileOrder)
{
    ASSERT_TRUE(read(tgaHeader(2, 2, 1, 24) + Bytes{0x10, 0x20, 0x30, 0x40, 0x50, 0x60}));
    EXPECT_EQ(pixels(), (Bytes{0x30, 0x20, 0x10, 0x60, 0x50, 0x40}));
    EXPECT_EQ(image.pixelFormat, 0x1907u);
    EXPECT_EQ(image.width, 2u);
    EXPECT_EQ(image.height, 1u);
    EXPECT_EQ(image.bitsPerPixel, 24u);
    EXPECT_TRUE(shownMessages().empty());

    // 32 bits: the alpha byte stays in place.
    ASSERT_TRUE(read(tgaHeader(2, 1, 1, 32, 8) + Bytes{0x10, 0x20, 0x30, 0x80}));
    EXPECT_EQ(pixels(), (Bytes{0x30, 0x20, 0x10, 0x80}));
    EXPECT_EQ(image.pixelFormat, 0x1908u);
}

TEST_F(TgaReaderTest, RowsKeepFileOrderWhateverTheOrigin)
{
    const Bytes data{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_TRUE(read(tgaHeader(2, 2, 2, 24, 0x00) + data));
    const Bytes bottomLeft = pixels();
    ASSERT_TRUE(read(tgaHeader(2, 2, 2, 24, 0x20) + data));
    EXPECT_EQ(pixels(), bottomLeft);
    EXPECT_EQ(bottomLeft, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
}

TEST_F(TgaReaderTest, RunLengthPackets)
{
    // One run packet fills all four pixels.
    ASSERT_TRUE(read(tgaHeader(10, 4, 1, 24) + Bytes{0x83, 1, 2, 3}));
    EXPECT_EQ(pixels(), (Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1}));

    // 0x7F carries 128 raw pixels, 0xFF repeats one value 128 times; packets
    // cross row boundaries (rows of 100 pixels here).
    Bytes file = tgaHeader(10, 100, 3, 24) + Bytes{0x7F};
    for (int i = 0; i < 128; ++i)
        file.insert(file.end(), {static_cast<std::uint8_t>(i), 0, 0xAA});
    ASSERT_TRUE(read(file + Bytes{0xFF, 7, 8, 9} + Bytes{0xAB, 4, 5, 6}));  // 128 + 128 + 44 = 300
    const Bytes got = pixels();
    ASSERT_EQ(got.size(), 900u);
    for (int i = 0; i < 300; ++i) {
        const Bytes want = i < 128 ? Bytes{0xAA, 0, static_cast<std::uint8_t>(i)} : i < 256 ? Bytes{9, 8, 7} : Bytes{6, 5, 4};
        ASSERT_EQ(Bytes(got.begin() + i * 3, got.begin() + i * 3 + 3), want) << i;
    }

    // 32-bit runs keep alpha; bytes after the last needed packet are ignored.
    ASSERT_TRUE(read(tgaHeader(10, 2, 1, 32) + Bytes{0x81, 1, 2, 3, 4, 0xEE, 0xEE}));
    EXPECT_EQ(pixels(), (Bytes{3, 2, 1, 4, 3, 2, 1, 4}));
}

TEST_F(TgaReaderTest, PacketRunningPastTheImageIsRefused)
{
    expectRefused(tgaHeader(10, 3, 1, 24) + Bytes{0x83, 1, 2, 3}, "ERROR: Too many pixels read");
    // A raw packet: its surplus pixel is read, then refused before it is stored.
    expectRefused(tgaHeader(10, 3, 1, 24) + Bytes{0x01, 1, 1, 1, 2, 2, 2, 0x01, 3, 3, 3, 4, 4, 4},
                  "ERROR: Too many pixels read");
}

TEST_F(TgaReaderTest, RefusedSignaturesAndHeaders)
{
    const std::string wrongType = "Invalid Image: TGA file be type 2 or type 10 ";
    expectRefused(tgaHeader(2, 1, 1, 24, 0, 1) + Bytes{'x', 1, 2, 3}, wrongType);    // ID length 1
    expectRefused(tgaHeader(1, 1, 1, 8, 0, 0, 1) + Bytes{0, 0, 0, 0}, wrongType);    // colour-mapped
    expectRefused(tgaHeader(3, 1, 1, 8) + Bytes{0}, wrongType);                      // grey-scale
    expectRefused(tgaHeader(11, 1, 1, 8) + Bytes{0}, wrongType);                     // RLE grey-scale
    Bytes origin = tgaHeader(2, 1, 1, 24) + Bytes{1, 2, 3};
    origin[8] = 1;  // X origin
    expectRefused(origin, wrongType);
    Bytes mapSpec = tgaHeader(2, 1, 1, 24) + Bytes{1, 2, 3};
    mapSpec[5] = 1;
    expectRefused(mapSpec, wrongType);

    expectRefused(tgaHeader(2, 1, 1, 16) + Bytes{0, 0}, "ERROR: Invalid texture information");
    expectRefused(tgaHeader(10, 1, 1, 8) + Bytes{0x80, 0}, "ERROR: Invalid texture information");
    expectRefused(tgaHeader(2, 0, 1, 24), "ERROR: Invalid texture information");
    expectRefused(tgaHeader(2, 1, 0, 24), "ERROR: Invalid texture information");
    // The header values that were read stay visible after the refusal.
    EXPECT_EQ(image.width, 1u);
    EXPECT_EQ(image.height, 0u);
}

TEST_F(TgaReaderTest, TruncatedFiles)
{
    const Bytes full = tgaHeader(2, 2, 2, 24) + Bytes(12, 0x55);
    expectRefused(Bytes{}, "ERROR: Could not read file header");
    expectRefused(Bytes(full.begin(), full.begin() + 11), "ERROR: Could not read file header");
    expectRefused(Bytes(full.begin(), full.begin() + 12), "ERROR: Could not read info header");
    expectRefused(Bytes(full.begin(), full.begin() + 17), "ERROR: Could not read info header");
    expectRefused(Bytes(full.begin(), full.end() - 1), "ERROR: Could not read image data");
    EXPECT_EQ(image.width, 2u);
    EXPECT_EQ(image.pixelFormat, 0x1907u);

    const Bytes rle = tgaHeader(10, 4, 1, 24);
    expectRefused(rle, "ERROR: Could not read RLE header");
    expectRefused(rle + Bytes{0x81, 1, 2, 3}, "ERROR: Could not read RLE header");  // image incomplete
    expectRefused(rle + Bytes{0x83, 1, 2}, "ERROR: Could not read from file");      // run value cut
    expectRefused(rle + Bytes{0x03, 1, 2, 3, 4}, "ERROR: Could not read image data"); // raw pixel cut
}

TEST_F(TgaReaderTest, HugeClaimedSizeWithLittleDataFailsOnReading)
{
    // 65535 x 65535 x 4 bytes is claimed; the few bytes present decide the
    // message as they would for any size.
    expectRefused(tgaHeader(2, 0xFFFF, 0xFFFF, 32) + Bytes(64, 1), "ERROR: Could not read image data");
    expectRefused(tgaHeader(10, 0xFFFF, 0xFFFF, 32) + Bytes{0xFF, 1, 2, 3, 4}, "ERROR: Could not read RLE header");
    expectRefused(tgaHeader(10, 0xFFFF, 0xFFFF, 24) + Bytes{0xFF, 1, 2}, "ERROR: Could not read from file");
}

TEST_F(TgaReaderTest, FilesOnDisk)
{
    ScratchDir dir;
    writeFile("Data/Textures/ok.tga", tgaHeader(10, 2, 1, 24) + Bytes{0x81, 1, 2, 3});
    ASSERT_TRUE(readTgaImage(image, "Data/Textures/ok.tga"));
    EXPECT_EQ(pixels(), (Bytes{3, 2, 1, 3, 2, 1}));

    clearMessages();
    EXPECT_FALSE(readTgaImage(image, "Data/Textures/missing.tga"));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(shownMessages(), std::vector<std::string>{"ERROR: Could not open texture file"});
}

// ImageMagick's RGB(A) of a file, top row first: ImageMagick 6 gives rows in
// stored order and 7 top first, -auto-orient the top first on both.
Bytes magickPixels(const std::filesystem::path& file, bool alpha)
{
    const std::string command =
        "convert '" + file.string() + "' -auto-orient -depth 8 " + (alpha ? "rgba:-" : "rgb:-");
    Bytes out;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    std::uint8_t chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        out.insert(out.end(), chunk, chunk + got);
    pclose(pipe);
    return out;
}

// Our own files of both kinds and origins, then every generated texture.
TEST_F(TgaReaderTest, AgreesWithImageMagick)
{
    if (std::system("command -v convert >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    ScratchDir dir;
    std::vector<std::filesystem::path> files = {dir.path() / "a.tga", dir.path() / "b.tga"};
    Bytes raw;
    for (int i = 0; i < 15; ++i)
        raw.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    writeFile(files[0], tgaHeader(10, 5, 3, 24) + Bytes{0x04} + raw + Bytes{0x89, 9, 8, 7});
    writeFile(files[1], tgaHeader(2, 2, 2, 32, 0x28) + raw + Bytes{1});

    const std::filesystem::path generated = std::filesystem::path(testDataRoot()) / "Data" / "Textures";
    for (const char* name : {"Font", "testground", "tunnel", "frames02", "pentagram01", "vu02", "cube", "p2",
                             "credits", "Chrome", "water01", "bg", "p1", "musix", "frame03"}) {
        // The generator may not have written them yet.
        if (std::filesystem::exists(generated / (std::string(name) + ".tga")))
            files.push_back(generated / (std::string(name) + ".tga"));
    }
    for (const auto& file : files) {
        ASSERT_TRUE(readTgaImage(image, file.c_str())) << file;
        // Our rows are in file order: bottom first unless the header's
        // descriptor (byte 17) has the top-left bit.
        std::ifstream in(file, std::ios::binary);
        char header[18] = {};
        ASSERT_TRUE(in.read(header, sizeof header)) << file;
        Bytes topFirst = pixels();
        if ((static_cast<unsigned char>(header[17]) & 0x20) == 0) {
            const std::size_t row = std::size_t{image.width} * (image.bitsPerPixel / 8);
            for (std::size_t y = 0; y < image.height; ++y)
                std::copy_n(image.pixels.begin() + std::ptrdiff_t((image.height - 1 - y) * row), row,
                            topFirst.begin() + std::ptrdiff_t(y * row));
        }
        EXPECT_EQ(topFirst, magickPixels(file, image.bitsPerPixel == 32)) << file;
    }
}

} // namespace
