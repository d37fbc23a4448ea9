// Bitmap-font text: which font cell each character draws, how far a string
// reaches, and the state PrintText leaves.
#include "assets/texture_set.h"
#include "gl_fixture.h"
#include "text/bitmap_font.h"

#include <cstring>
#include <vector>

namespace {

// A 256 x 256 font texture whose 16 x 16 cells are each one flat colour that
// names the cell: red = cell number, green = 255 - cell, blue = 77. Rows are
// stored bottom first, so cell row 0 lies at the top of the image.
GLuint makeCellCodedTexture()
{
    std::vector<std::uint8_t> texels(256 * 256 * 3);
    for (int y = 0; y < 256; ++y) {
        const int rowFromTop = 15 - y / 16;
        for (int x = 0; x < 256; ++x) {
            const int cell = rowFromTop * 16 + x / 16;
            std::uint8_t* p = &texels[(static_cast<std::size_t>(y) * 256 + x) * 3];
            p[0] = static_cast<std::uint8_t>(cell);
            p[1] = static_cast<std::uint8_t>(255 - cell);
            p[2] = 77;
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    return name;
}

class BitmapFontTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        saved = TextureSet[TexFont];
        TextureSet[TexFont].textureName = makeCellCodedTexture();
        BuildBitmapFont();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(1, 1, 1);
        glEnable(GL_TEXTURE_2D);
    }
    void TearDown() override
    {
        TextureSet[TexFont] = saved;
        GlTest::TearDown();
    }

    // Cell drawn at window pixel (x, y), or -1 when the pixel is not a cell colour.
    static int cellAt(int x, int y)
    {
        const auto p = pixelAt(x, y);
        if (p[2] != 77 || p[0] + p[1] != 255) return -1;
        return p[0];
    }

    ImageData saved;
};

TEST_F(BitmapFontTest, CharactersSelectCellsOfTheirSet)
{
    PrintText(100, 100, "A", 0);
    PrintText(100, 300, "A", 1);
    PrintText(300, 300, "A", 5);  // anything above 1 is set 1
    PrintText(300, 100, " ~", 0);
    // Sample each glyph in the middle of its 16 x 16 quad.
    EXPECT_EQ(cellAt(108, 108), 33);  // column 1, row 2 from the top
    EXPECT_EQ(cellAt(108, 308), 161);
    EXPECT_EQ(cellAt(308, 308), 161);
    EXPECT_EQ(cellAt(304, 104), 0);   // blank is cell 0 in set 0
    EXPECT_EQ(cellAt(315, 104), 94);  // '~' one step right; its quad overlaps the blank's by 6
}

TEST_F(BitmapFontTest, CellIsSampledRightSideUp)
{
    // The whole quad of "A" shows cell 33 only: corners as well as middle.
    PrintText(200, 200, "A", 0);
    for (int dx : {0, 15})
        for (int dy : {0, 15}) EXPECT_EQ(cellAt(200 + dx, 200 + dy), 33) << dx << "," << dy;
    EXPECT_EQ(cellAt(199, 208), -1);
    EXPECT_EQ(cellAt(216, 208), -1);
}

TEST_F(BitmapFontTest, StringCoversTenUnitsPerCharacterPlusSix)
{
    glDisable(GL_TEXTURE_2D);
    const char* text = "ABCDEFG";
    const int n = static_cast<int>(std::strlen(text));
    PrintText(50, 200, text, 0);
    const int right = 50 + 10 * (n - 1) + 16;  // first pixel past the text
    EXPECT_EQ(pixelAt(50, 200)[0], 255);
    EXPECT_EQ(pixelAt(right - 1, 215)[0], 255);
    EXPECT_EQ(pixelAt(right, 208)[0], 0);
    EXPECT_EQ(pixelAt(49, 208)[0], 0);
    EXPECT_EQ(pixelAt(60, 216)[0], 0);
    EXPECT_EQ(pixelAt(60, 199)[0], 0);
}

TEST_F(BitmapFontTest, LeavesMatricesAndTurnsDepthTestOn)
{
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    GLfloat projectionBefore[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);
    const int modelviewDepth = stackDepth(GL_MODELVIEW_STACK_DEPTH);

    PrintText(0, 0, "", 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    glDisable(GL_DEPTH_TEST);
    PrintText(10, 10, "Hello", 1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), modelviewDepth);
    EXPECT_EQ(stackDepth(GL_PROJECTION_STACK_DEPTH), 1);
    GLfloat projectionAfter[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(projectionAfter[i], projectionBefore[i]);
    EXPECT_FLOAT_EQ(modelview[12], 1.0f);
    EXPECT_FLOAT_EQ(modelview[14], 3.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
