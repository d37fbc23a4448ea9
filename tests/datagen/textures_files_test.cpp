// The fifteen generated textures: names, sizes, kinds, storage order, what
// ImageMagick sees in them, and the properties the demo relies on.
#include "datagen/common/image.h"
#include "datagen/textures/recipes.h"
#include "textures_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

using texture_files::Tga;
using texture_files::loadGenerated;

namespace {

struct Expected {
    const char* file;
    int width, height;
};
const Expected Files[] = {
    {"Font.tga", 256, 256},      {"testground.tga", 256, 256}, {"tunnel.tga", 256, 256},   {"frames02.tga", 1024, 1024},
    {"pentagram01.tga", 256, 256}, {"vu02.tga", 256, 64},      {"cube.tga", 128, 128},     {"p2.tga", 64, 64},
    {"credits.tga", 512, 512},   {"Chrome.tga", 256, 256},     {"water01.tga", 256, 256},  {"bg.tga", 512, 512},
    {"p1.tga", 64, 64},          {"musix.tga", 1024, 1024},    {"frame03.tga", 1024, 1024},
};

bool powerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

float meanLuma(const Tga& t, int x0, int r0, int x1, int r1)
{
    double sum = 0;
    for (int r = r0; r < r1; ++r)
        for (int x = x0; x < x1; ++x) sum += t.luma(x, r);
    return float(sum / double((x1 - x0) * (r1 - r0)));
}

float maxLuma(const Tga& t)
{
    float m = 0;
    for (int r = 0; r < t.height; ++r)
        for (int x = 0; x < t.width; ++x) m = std::max(m, t.luma(x, r));
    return m;
}

} // namespace

TEST(TexturesFiles, FifteenFilesOfTheRightSizeAndKind)
{
    std::set<int> types;
    for (const Expected& e : Files) {
        SCOPED_TRACE(e.file);
        const Tga t = loadGenerated(e.file);
        ASSERT_EQ(t.header.size(), 18u);
        EXPECT_EQ(t.header[0], 0) << "no image id";
        EXPECT_EQ(t.header[1], 0) << "no colour map";
        for (int i = 3; i < 12; ++i) EXPECT_EQ(t.header[std::size_t(i)], 0) << "header byte " << i;
        EXPECT_EQ(t.width, e.width);
        EXPECT_EQ(t.height, e.height);
        EXPECT_TRUE(powerOfTwo(t.width) && powerOfTwo(t.height));
        EXPECT_EQ(t.bits, 24);
        EXPECT_EQ(t.descriptor & 0x20, 0) << "rows must be stored bottom first";
        EXPECT_TRUE(t.complete) << "pixel data does not decode exactly";
        types.insert(t.type);
    }
    EXPECT_EQ(types, (std::set<int>{2, 10})) << "both uncompressed and run-length files";
    EXPECT_EQ(datagen::textureRecipes().size(), 15u);
}

TEST(TexturesFiles, StoredBottomRowFirst)
{
    // Each file's first stored row is its picture's bottom row.
    for (const datagen::TextureRecipe& r : datagen::textureRecipes()) {
        SCOPED_TRACE(r.file);
        datagen::Image img = r.make(1);
        datagen::clampImage(img);
        const Tga t = loadGenerated(r.file);
        ASSERT_TRUE(t.complete);
        for (int y = 0; y < img.height; y += 7)
            for (int x = 0; x < img.width; x += 5) {
                const std::uint8_t* p = t.pixel(x, img.height - 1 - y);
                const datagen::Rgb& q = img.at(x, y);
                ASSERT_EQ(p[0], datagen::toByte(q.r)) << x << "," << y;
                ASSERT_EQ(p[1], datagen::toByte(q.g)) << x << "," << y;
                ASSERT_EQ(p[2], datagen::toByte(q.b)) << x << "," << y;
            }
    }
}

TEST(TexturesFiles, ImageMagickReadsTheSamePixels)
{
    if (std::system("command -v convert > /dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick not installed";
    for (const Expected& e : Files) {
        SCOPED_TRACE(e.file);
        const Tga t = loadGenerated(e.file);
        // -auto-orient gives the rows top first as a viewer shows them, on
        // ImageMagick 6 (which keeps stored order) as on 7 (top first).
        const std::string path = texture_files::generatedDataDir() + "/Textures/" + e.file;
        for (const char* order : {"-auto-orient"}) {
            std::FILE* p = popen(("convert '" + path + "' " + order + " -depth 8 rgb:- 2>/dev/null").c_str(), "r");
            ASSERT_NE(p, nullptr);
            std::vector<std::uint8_t> px;
            std::uint8_t buf[65536];
            std::size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) px.insert(px.end(), buf, buf + n);
            pclose(p);
            ASSERT_EQ(px.size(), t.rgb.size()) << order;
            // Viewer row y is stored row height - 1 - y.
            bool same = true;
            for (int y = 0; y < t.height && same; ++y)
                same = std::equal(px.begin() + std::ptrdiff_t(y) * t.width * 3, px.begin() + std::ptrdiff_t(y + 1) * t.width * 3,
                                  t.pixel(0, t.height - 1 - y));
            EXPECT_TRUE(same) << order;
        }
    }
}

// The whole generator, several threads writing the files in no fixed order,
// against each file written alone: the same bytes. Its denser files are the
// written size times the density, run-length encoded, and none is written
// above a recipe's densest.
TEST(TexturesFiles, SameBytesOnEveryRunAndDenserFilesAsTheWrittenOnes)
{
    const auto dir = std::filesystem::temp_directory_path() / ("ng-datagen-again-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    ASSERT_TRUE(datagen::writeTextures((dir / "Data").string()));
    ASSERT_TRUE(datagen::writeModels((dir / "Data").string()));
    for (const datagen::TextureDensity& d : datagen::TextureDensities) {
        for (const Expected& e : Files) {
            const std::string name = std::string(d.folder) + e.file;
            SCOPED_TRACE(name);
            const auto recipe = std::find_if(datagen::textureRecipes().begin(), datagen::textureRecipes().end(),
                                             [&](const datagen::TextureRecipe& r) { return std::string(r.file) == e.file; });
            ASSERT_NE(recipe, datagen::textureRecipes().end());
            const auto bytes = texture_files::readBytes((dir / "Data/Textures" / name).string());
            if (d.density > recipe->maxDensity) {
                EXPECT_FALSE(std::filesystem::exists(dir / "Data/Textures" / name));
                continue;
            }
            EXPECT_EQ(bytes, texture_files::readBytes(texture_files::generatedFile("Textures/" + name)));
            if (d.density == 1) continue;
            const Tga t = texture_files::decodeTga(bytes);
            EXPECT_EQ(t.width, e.width * d.density);
            EXPECT_EQ(t.height, e.height * d.density);
            EXPECT_EQ(t.type, 10);
            EXPECT_TRUE(t.complete) << "pixel data does not decode exactly";
        }
    }
    for (const char* m : {"fighter.obj", "fountain.obj"})
        EXPECT_EQ(texture_files::readBytes((dir / "Data/Models" / m).string()),
                  texture_files::readBytes(texture_files::generatedFile(std::string("Models/") + m)))
            << m;
    std::filesystem::remove_all(dir);
}

// Every density has the same grid with lengths scaled: cell g is column
// g % 16, row g / 16 counted from the top of the picture (the end of the
// stored rows, GL's t = 1), so a glyph keeps its place and width in texture
// coordinates. Lengths below are in written pixels.
TEST(TexturesFiles, FontCellsAsTheBitmapFontReadsThem)
{
    for (const char* folder : {"", "2x/", "4x/"}) {
        SCOPED_TRACE(std::string("density folder '") + folder + "'");
        const Tga t = loadGenerated(std::string(folder) + "Font.tga");
        const int d = t.width / 256;
        ASSERT_EQ(t.height, 256 * d);
        auto ink = [&](int g, int x0, int x1, int y0, int y1) {
            float sum = 0;
            for (int y = y0 * d; y < y1 * d; ++y)
                for (int x = x0 * d; x < x1 * d; ++x) {
                    const int row = t.height - 1 - ((g / 16) * 16 * d + y);
                    const std::uint8_t* p = t.pixel((g % 16) * 16 * d + x, row);
                    EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << "glyphs are grey";
                    sum += float(p[0]) / 255.0f;
                }
            return sum / float(d * d);
        };
        for (int g = 0; g < 256; ++g) {
            EXPECT_EQ(ink(g, 11, 16, 0, 16), 0.0f) << "cell " << g << " has ink right of its 11 px";
            EXPECT_EQ(ink(g, 0, 16, 0, 1), 0.0f) << "cell " << g << " touches its top edge";
        }
        for (int c = 33; c < 127; ++c) {
            EXPECT_GT(ink(c - 32, 0, 11, 0, 16), 1.5f) << "set 0 character " << c;
            EXPECT_GT(ink(c + 96, 0, 11, 0, 16), 1.5f) << "set 1 character " << c;
        }
        EXPECT_EQ(ink(0, 0, 16, 0, 16), 0.0f) << "space";
        EXPECT_EQ(ink(128, 0, 16, 0, 16), 0.0f) << "space in set 1";
        EXPECT_GT(ink(0x80 - 32, 0, 11, 0, 16), 3.0f) << "euro sign in set 0";
        // "A" is cell 33 in set 0 and 161 in set 1, in two different styles.
        EXPECT_NE(ink(33, 0, 11, 0, 16), ink(161, 0, 11, 0, 16));
        // Letters stand on a common baseline: "_" sits low, "^" high.
        EXPECT_GT(ink('_' - 32, 0, 11, 12, 16), ink('_' - 32, 0, 11, 0, 12));
        EXPECT_GT(ink('^' - 32, 0, 11, 0, 8), ink('^' - 32, 0, 11, 8, 16));
    }
}

TEST(TexturesFiles, SpritesFadeToBlackAtTheirEdges)
{
    const Tga glow = loadGenerated("p1.tga");
    EXPECT_GT(glow.luma(31, 31), 0.95f) << "white at the centre";
    float previous = 2;
    for (int x = 32; x < 64; ++x) {
        EXPECT_LE(glow.luma(x, 32), previous) << "falls outwards at x " << x;
        previous = glow.luma(x, 32);
    }
    for (int i = 0; i < 64; ++i)
        for (auto [x, r] : {std::pair{i, 0}, std::pair{i, 63}, std::pair{0, i}, std::pair{63, i}})
            EXPECT_EQ(glow.luma(x, r), 0.0f) << "edge " << x << "," << r;
    const Tga drop = loadGenerated("p2.tga");
    const std::uint8_t* c = drop.pixel(32, 32);
    EXPECT_GT(c[2], c[0]) << "blue";
    EXPECT_GT(maxLuma(drop), 0.9f) << "white highlight";
    const Tga pentagram = loadGenerated("pentagram01.tga");
    for (int i = 0; i < 256; ++i) {
        EXPECT_LT(pentagram.luma(i, 0) + pentagram.luma(i, 255) + pentagram.luma(0, i) + pentagram.luma(255, i), 0.02f);
    }
    EXPECT_GT(maxLuma(pentagram), 0.7f);
    EXPECT_LT(meanLuma(pentagram, 0, 0, 256, 256), 0.25f) << "drawn four times additively";
}

TEST(TexturesFiles, MeterRunsFromGreenThroughYellowToRed)
{
    const Tga t = loadGenerated("vu02.tga");
    auto segment = [&](int x) { return t.pixel(x, 32); };  // middle of the bar, a segment centre
    const std::uint8_t* left = segment(8);
    const std::uint8_t* middle = segment(8 + 16 * 10);
    const std::uint8_t* right = segment(256 - 8);
    EXPECT_GT(left[1], 2 * left[0]) << "green";
    EXPECT_GT(middle[0], 150);
    EXPECT_GT(middle[1], 150) << "yellow";
    EXPECT_GT(right[0], 2 * right[1]) << "red";
    EXPECT_LT(t.luma(16, 32), t.luma(8, 32)) << "dark gaps between segments";
}

TEST(TexturesFiles, DarkGroundsStayDark)
{
    const Tga credits = loadGenerated("credits.tga");
    EXPECT_LT(meanLuma(credits, 0, 0, 512, 512), 0.12f);
    EXPECT_LT(meanLuma(credits, 0, 0, 16, 16), 0.05f) << "corner ground";
    EXPECT_GT(maxLuma(credits), 0.8f) << "bright lettering";
    const Tga musix = loadGenerated("musix.tga");
    EXPECT_LT(meanLuma(musix, 0, 0, 1024, 1024), 0.15f);
    // Dim enough for the letters everywhere but in the corner ornaments,
    // whose gold is the letters' own colour.
    float musixMax = 0;
    for (int r = 64; r < 1024 - 64; ++r)
        for (int x = 64; x < 1024 - 64; ++x) musixMax = std::max(musixMax, musix.luma(x, r));
    EXPECT_LT(musixMax, 0.6f) << "the scroller's letters must read over it";
    for (int r : {0, 1023})
        for (int x : {0, 1023}) {
            const std::uint8_t* gold = musix.pixel(x, r);
            EXPECT_GT(musix.luma(x, r), 0.6f) << "corner " << x << "," << r;
            EXPECT_GT(gold[0], 2 * gold[2]) << "warm: more red than blue";
        }
    const Tga floor = loadGenerated("bg.tga");
    EXPECT_LT(meanLuma(floor, 0, 0, 512, 512), 0.2f);
    const Tga ground = loadGenerated("testground.tga");
    const float g = meanLuma(ground, 0, 0, 256, 256);
    EXPECT_GT(g, 0.35f);
    EXPECT_LT(g, 0.75f) << "mid-bright";
}

TEST(TexturesFiles, RepeatingTexturesAreSeamless)
{
    for (const char* file : {"testground.tga", "tunnel.tga", "water01.tga"}) {
        SCOPED_TRACE(file);
        const Tga t = loadGenerated(file);
        const int n = t.width;
        // The step across the wrap must look like any step inside the picture.
        double across = 0, inside = 0;
        for (int r = 0; r < n; ++r) {
            across += std::fabs(t.luma(n - 1, r) - t.luma(0, r));
            inside += std::fabs(t.luma(n / 2, r) - t.luma(n / 2 + 1, r));
        }
        for (int x = 0; x < n; ++x) {
            across += std::fabs(t.luma(x, n - 1) - t.luma(x, 0));
            inside += std::fabs(t.luma(x, n / 2) - t.luma(x, n / 2 + 1));
        }
        EXPECT_LT(across, 2.0 * inside + 0.02 * n);
    }
    // The tunnel's seams glow on every edge, and match across the wrap.
    const Tga tunnel = loadGenerated("tunnel.tga");
    for (int i = 0; i < 256; i += 16) {
        EXPECT_GT(tunnel.luma(i, 0), 0.7f);
        EXPECT_GT(tunnel.luma(0, i), 0.7f);
        EXPECT_NEAR(tunnel.luma(i, 0), tunnel.luma(i, 255), 0.05f);
    }
}

TEST(TexturesFiles, ScrollerBackdropIsUprightThroughItsTurnedQuad)
{
    // The end scroller's quad puts texture coordinate (1, 1) at the bottom left
    // of the screen and (0, 0) at the top right. The spectrum rises from the
    // bottom of the screen, so it must be where t is near 1 (the last stored
    // rows), brightest at its foot, with dark sky just above its tallest bars.
    const Tga t = loadGenerated("musix.tga");
    const float foot = meanLuma(t, 0, 1024 - 30, 1024, 1024);
    const float aboveBars = meanLuma(t, 0, 1024 - 230, 1024, 1024 - 200);
    EXPECT_GT(foot, 2.0f * aboveBars);
}

TEST(TexturesFiles, ChromeIsASkyOverDarkGround)
{
    const Tga t = loadGenerated("Chrome.tga");
    // Sphere map: the disc's top (t near 1, the last stored rows) reflects the sky.
    const std::uint8_t* sky = t.pixel(128, 230);
    EXPECT_GT(sky[2], sky[0]) << "blue sky";
    EXPECT_GT(t.luma(128, 230), 2.0f * t.luma(128, 25)) << "bright sky over dark ground";
    EXPECT_GT(maxLuma(t), 0.97f) << "highlights";
}
