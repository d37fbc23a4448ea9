// Texture set and texture making on an EGL context: names per slot, the
// stop at a missing file, uploads of odd sizes and 32-bit images.
#include "assets/texture_set.h"

#include "assets/asset_test_util.h"
#include "core/picture.h"
#include "gl_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <string>
#include <vector>

using namespace assettest;

namespace {

const char* const FileStems[] = {"Font", "testground", "tunnel", "frames02", "pentagram01", "vu02", "cube", "p2",
                                 "credits", "Chrome", "water01", "bg", "p1", "musix", "frame03"};

// Level 0 of the bound texture as RGB rows, with its size.
Bytes boundLevel0(int* width, int* height)
{
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, height);
    Bytes rgb(static_cast<std::size_t>(*width) * *height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!rgb.empty())
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

class TextureSetTest : public GlTest {
protected:
    // One small file per slot, each its own colour; some run-length, one
    // 32-bit, one with rows that are not a multiple of 4 bytes.
    void writeSet()
    {
        int n = 0;
        for (const char* stem : FileStems) {
            const auto c = static_cast<std::uint8_t>(10 + 15 * n++);
            Bytes file = solidTga(4, 4, c, 255 - c, 100);
            if (std::string(stem) == "p2")
                file = tgaHeader(10, 4, 4, 24) + Bytes{0x8F, 100, static_cast<std::uint8_t>(255 - c), c};
            if (std::string(stem) == "cube")  // 32-bit: B G R A per pixel
                file = tgaHeader(2, 2, 2, 32) + Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
            if (std::string(stem) == "vu02")  // 2 x 2: a red row, then a blue row
                file = tgaHeader(2, 2, 2, 24) + Bytes{0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 0, 0};
            writeFile(std::string("Data/Textures/") + stem + ".tga", file);
        }
    }
};

TEST_F(TextureSetTest, EverySlotGetsItsOwnTexture)
{
    ScratchDir dir;
    writeSet();
    ASSERT_TRUE(loadTextureSet());
    EXPECT_TRUE(shownMessages().empty());
    std::set<std::uint32_t> names;
    for (int slot = 0; slot < TextureSlotCount; ++slot) {
        EXPECT_TRUE(glIsTexture(Gl.Textures[slot]));
        names.insert(Gl.Textures[slot]);
    }
    EXPECT_EQ(names.size(), 16u);

    // Each slot holds its own file (slot table, not load order).
    int width = 0, height = 0;
    bindTexture(TexChrome);
    EXPECT_EQ(boundLevel0(&width, &height).at(0), 10 + 15 * 9);
    bindTexture(TexP2);  // run-length
    EXPECT_EQ(boundLevel0(&width, &height).at(45), 10 + 15 * 7);
    // The spare slot has a name and an empty image.
    bindTexture(TexSpare);
    EXPECT_TRUE(boundLevel0(&width, &height).empty());
    EXPECT_EQ(width, 0);

    // A 32-bit image is read as 4 bytes per pixel.
    bindTexture(TexCube);
    EXPECT_EQ(boundLevel0(&width, &height), (Bytes{3, 2, 1, 7, 6, 5, 11, 10, 9, 15, 14, 13}));
    // Rows of 6 bytes are read tightly packed, and the unpack state is restored.
    bindTexture(TexVu02);
    EXPECT_EQ(boundLevel0(&width, &height), (Bytes{255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255}));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
}

TEST_F(TextureSetTest, MissingFileStopsBeforeAnyTexture)
{
    ScratchDir dir;
    writeSet();
    std::filesystem::remove("Data/Textures/cube.tga");
    EXPECT_FALSE(loadTextureSet());
    EXPECT_EQ(shownMessages(), std::vector<std::string>{"ERROR: Could not open texture file"});

    // The six files before it were read; none after it.
    for (TextureSlot read : {TexFont, TexTestground, TexTunnel, TexFrames02, TexPentagram01, TexVu02})
        EXPECT_NE(Assets.TextureSet[read].width, 0u) << read;
    for (TextureSlot unread : {TexP2, TexCredits, TexChrome, TexWater01, TexBg, TexP1, TexMusix, TexFrame03})
        EXPECT_EQ(Assets.TextureSet[unread].width, 0u) << unread;
    for (int slot = 0; slot < TextureSlotCount; ++slot) {
        EXPECT_EQ(Gl.Textures[slot], 0u);
        EXPECT_TRUE(Assets.TextureSet[slot].pixels.empty());
    }
    // No name was ever generated in this fresh context.
    GLuint next = 0;
    glGenTextures(1, &next);
    EXPECT_EQ(next, 1u);
}

// Width of the slot's level 0 and the red of its first texel.
std::pair<int, int> slotWidthAndRed(TextureSlot slot)
{
    bindTexture(slot);
    int width = 0, height = 0;
    const Bytes level0 = boundLevel0(&width, &height);
    return {width, level0.empty() ? -1 : level0[0]};
}

// The picture's scale picks the density; a resize across a threshold gives
// the same names other texels; a denser file that is missing, damaged or of
// the wrong size leaves its slot the written image, with one line on
// standard error for the folder and no message box.
TEST_F(TextureSetTest, DenserFilesFollowThePictureScaleAndGapsFallBackToTheWritten)
{
    ScratchDir dir;
    writeSet();
    int n = 0;
    for (const char* stem : FileStems) {
        const std::string name = stem;
        const auto c = static_cast<std::uint8_t>(11 + 15 * n++);  // one more red than the written file
        const int side = name == "cube" || name == "vu02" ? 4 : 8;
        Bytes file = solidTga(side, side, c, 0, 0);
        if (name == "tunnel") continue;                                  // missing
        if (name == "Chrome") file.resize(30);                           // cut short
        if (name == "bg") file = solidTga(side / 2, side / 2, c, 0, 0);  // the written size
        writeFile("Data/Textures/2x/" + name + ".tga", file);
    }
    auto stderrLines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };

    setPictureDrawable(1600, 1200);  // scale 2
    testing::internal::CaptureStderr();
    ASSERT_TRUE(loadTextureSet());
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(shownMessages().empty());
    EXPECT_EQ(stderrLines(said), 1) << said;
    for (const char* gap : {"Data/Textures/", "2x/tunnel.tga", "2x/Chrome.tga", "2x/bg.tga"})
        EXPECT_NE(said.find(gap), std::string::npos) << gap << " in: " << said;
    EXPECT_EQ(said.find("Font.tga"), std::string::npos) << said;
    EXPECT_EQ(slotWidthAndRed(TexFont), std::make_pair(8, 11));
    EXPECT_EQ(slotWidthAndRed(TexCube), std::make_pair(2, 3)) << "drawn by no scene: the written file";
    EXPECT_EQ(slotWidthAndRed(TexTunnel), std::make_pair(4, 10 + 15 * 2));
    EXPECT_EQ(slotWidthAndRed(TexChrome), std::make_pair(4, 10 + 15 * 9));
    EXPECT_EQ(slotWidthAndRed(TexBg), std::make_pair(4, 10 + 15 * 11));
    std::vector<unsigned> names(std::begin(Gl.Textures), std::end(Gl.Textures));

    // Back to 800 x 600: the written images under the same names, silently.
    setPictureDrawable(800, 600);
    testing::internal::CaptureStderr();
    fitTextureSetToPicture();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(std::vector<unsigned>(std::begin(Gl.Textures), std::end(Gl.Textures)), names);
    EXPECT_EQ(slotWidthAndRed(TexFont), std::make_pair(4, 10));

    // 4K with no 4x folder at all: the written images, one line (the
    // 2x folder's gaps are not said again on the way back to 1600 x 1200).
    setPictureDrawable(2880, 2160);
    testing::internal::CaptureStderr();
    fitTextureSetToPicture();
    setPictureDrawable(1600, 1200);
    fitTextureSetToPicture();
    said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(stderrLines(said), 1) << said;
    // Six 4x files, and the tunnel's and the floor's 2x files: the ground,
    // the tunnel, the credits sheet, the floor and the backdrop stop at 2x,
    // the two sprites, the crate and the water have no denser files.
    EXPECT_NE(said.find("8 denser files"), std::string::npos) << said;
    EXPECT_NE(said.find("4x/Font.tga"), std::string::npos) << said;
    EXPECT_NE(said.find("2x/tunnel.tga"), std::string::npos) << said;
    EXPECT_EQ(said.find("4x/tunnel.tga"), std::string::npos) << said;
    EXPECT_EQ(slotWidthAndRed(TexFont), std::make_pair(8, 11));
    EXPECT_TRUE(shownMessages().empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureSetTest, OddSizedImageIsUsable)
{
    ImageData image;
    const Bytes file = solidTga(100, 60, 200, 40, 90);
    ASSERT_TRUE(readTgaBytes(image, file.data(), file.size()));
    const unsigned name = makeTexture(image);
    ASSERT_NE(name, 0u);

    // The mipmap step rescales level 0 to power-of-two sides, every texel the
    // image's colour, and builds the chain below it.
    int width = 0, height = 0;
    const Bytes level0 = boundLevel0(&width, &height);
    EXPECT_EQ(width & (width - 1), 0);
    EXPECT_EQ(height & (height - 1), 0);
    for (std::size_t i = 0; i < level0.size(); i += 3)
        ASSERT_EQ(Bytes(level0.begin() + i, level0.begin() + i + 3), (Bytes{200, 40, 90})) << i / 3;
    GLint below = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &below);
    EXPECT_EQ(below, width / 2);
}

} // namespace
