// The generator's picture pieces: the TGA encoder, noise tiling, glyphs.
#include "datagen/common/glyphs.h"
#include "datagen/common/image.h"
#include "datagen/common/noise.h"
#include "textures_files.h"

#include <gtest/gtest.h>

#include <algorithm>

using datagen::Image;
using datagen::Rgb;

namespace {

Rgb grey(int v) { return {float(v) / 255.0f, float(v) / 255.0f, float(v) / 255.0f}; }

} // namespace

TEST(TexturesEncoder, HeaderIsTrueColourBottomLeft)
{
    Image img(300, 2);
    for (bool rle : {false, true}) {
        const auto bytes = datagen::encodeTga(img, rle);
        const std::uint8_t signature[12] = {0, 0, std::uint8_t(rle ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
        ASSERT_GE(bytes.size(), 18u);
        EXPECT_TRUE(std::equal(signature, signature + 12, bytes.begin()));
        EXPECT_EQ(bytes[12] | (bytes[13] << 8), 300);
        EXPECT_EQ(bytes[14] | (bytes[15] << 8), 2);
        EXPECT_EQ(bytes[16], 24);
        EXPECT_EQ(bytes[17] & 0x30, 0) << "origin must be the bottom left";
    }
}

TEST(TexturesEncoder, RunsAndRawPacketsAsExpected)
{
    // One row: A A B C C C (blue-green-red bytes in the file).
    Image img(6, 1);
    const int values[6] = {10, 10, 20, 30, 30, 30};
    for (int x = 0; x < 6; ++x) img.at(x, 0) = grey(values[x]);
    const auto bytes = datagen::encodeTga(img, true);
    const std::vector<std::uint8_t> packets(bytes.begin() + 18, bytes.end());
    const std::vector<std::uint8_t> expected = {0x81, 10, 10, 10, 0x00, 20, 20, 20, 0x82, 30, 30, 30};
    EXPECT_EQ(packets, expected);
}

TEST(TexturesEncoder, LongRowsSplitAtOneHundredTwentyEightAndNeverCrossRows)
{
    Image img(300, 3);
    img.forEach([](int x, int y, Rgb& p) { p = y == 1 ? grey(x % 7) : grey(200); });  // row 1 varies, others flat
    const auto bytes = datagen::encodeTga(img, true);
    const auto decoded = texture_files::decodeTga(bytes);
    ASSERT_TRUE(decoded.complete) << "a packet overran a row or the data";
    // Stored bottom row first: stored row 0 is picture row 2.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(decoded.pixel(x, 2 - y)[0], datagen::toByte(img.at(x, y).r)) << x << "," << y;
    // Each flat row is three run packets (128 + 128 + 44 pixels) of 4 bytes;
    // the varying row three raw packets: 3 headers and 300 pixels.
    EXPECT_EQ(bytes.size(), 18u + 2u * 12u + 3u + 900u);
}

TEST(TexturesEncoder, ColoursAreStoredBlueGreenRed)
{
    Image img(1, 1, {1.0f, 0.5f, 0.0f});
    const auto bytes = datagen::encodeTga(img, false);
    ASSERT_EQ(bytes.size(), 21u);
    EXPECT_EQ(bytes[18], 0);
    EXPECT_EQ(bytes[19], 128);
    EXPECT_EQ(bytes[20], 255);
}

TEST(TexturesNoise, TilesAcrossItsPeriodAndIsDeterministic)
{
    for (float v : {0.1f, 0.37f, 0.8f}) {
        EXPECT_NEAR(datagen::fbm(0.0f, v, 4, 5, 9), datagen::fbm(1.0f, v, 4, 5, 9), 1e-5f);
        EXPECT_NEAR(datagen::fbm(v, 0.0f, 4, 5, 9), datagen::fbm(v, 1.0f, 4, 5, 9), 1e-5f);
        const auto a = datagen::cellular(0.0f, v, 6, 3), b = datagen::cellular(1.0f, v, 6, 3);
        EXPECT_NEAR(a.f1, b.f1, 1e-4f);
        EXPECT_EQ(a.id, b.id);
    }
    EXPECT_EQ(datagen::hash3(1, 2, 3, 4), datagen::hash3(1, 2, 3, 4));
    EXPECT_NE(datagen::hash3(1, 2, 3, 4), datagen::hash3(1, 2, 3, 5));
    // Values stay in range.
    for (int i = 0; i < 200; ++i) {
        const float n = datagen::fbm(float(i) * 0.013f, float(i) * 0.029f, 3, 6, 1);
        EXPECT_GE(n, 0.0f);
        EXPECT_LE(n, 1.0f);
    }
}

TEST(TexturesGlyphs, RendersLettersAndMapsTheHighCodesThroughWindows1252)
{
    ASSERT_TRUE(datagen::fontsAvailable());
    datagen::GlyphBitmap g;
    ASSERT_TRUE(datagen::renderGlyph({"DejaVu Sans Mono", "Book"}, 14, 'A', 1.0f, g));
    EXPECT_GT(g.width, 4);
    EXPECT_GT(g.top, 7);
    EXPECT_NEAR(g.advance, 8.4f, 0.5f);
    datagen::GlyphBitmap narrow;
    ASSERT_TRUE(datagen::renderGlyph({"DejaVu Sans Mono", "Book"}, 14, 'W', 0.5f, narrow));
    datagen::GlyphBitmap wide;
    ASSERT_TRUE(datagen::renderGlyph({"DejaVu Sans Mono", "Book"}, 14, 'W', 1.0f, wide));
    EXPECT_LT(narrow.width, wide.width);
    EXPECT_EQ(datagen::codePointOf(0x80), 0x20ACu);  // euro sign
    EXPECT_EQ(datagen::codePointOf(0x99), 0x2122u);  // trade mark
    EXPECT_EQ(datagen::codePointOf(0x81), 0u);       // none in the code page
    EXPECT_EQ(datagen::codePointOf('A'), unsigned('A'));
}
