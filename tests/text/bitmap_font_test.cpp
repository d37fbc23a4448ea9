// Bitmap-font text: the cell each character draws, the reach of a string,
// and the state PrintText leaves.
#include "assets/texture_set.h"
#include "gl_fixture.h"
#include "text/bitmap_font.h"

#include <vector>

namespace {

// Font texture whose 16 x 16 cells are flat colours naming the cell (red =
// cell, green = 255 - cell, blue = 77); stored bottom row first, cell row 0 on top.
class BitmapFontTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        std::vector<std::uint8_t> texels(256 * 256 * 3);
        for (int i = 0; i < 256 * 256; ++i) {
            const int cell = (15 - i / 256 / 16) * 16 + i % 256 / 16;
            texels[i * 3] = static_cast<std::uint8_t>(cell);
            texels[i * 3 + 1] = static_cast<std::uint8_t>(255 - cell);
            texels[i * 3 + 2] = 77;
        }
        glGenTextures(1, &Gl.Textures[TexFont]);
        glBindTexture(GL_TEXTURE_2D, Gl.Textures[TexFont]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        BuildBitmapFont();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
        glEnable(GL_TEXTURE_2D);
    }
    // Cell shown at window pixel (x, y); -1 for background.
    static int cellAt(int x, int y)
    {
        const auto p = pixelAt(x, y);
        return p[2] == 77 && p[0] + p[1] == 255 ? p[0] : -1;
    }
};

TEST_F(BitmapFontTest, CharactersSelectCellsOfTheirSet)
{
    PrintText(100, 100, "A", 0);
    PrintText(100, 300, "A", 1);
    PrintText(300, 300, "A", 5);  // above 1 counts as 1
    PrintText(300, 100, " ~", 0);
    for (int dx : {0, 8, 15})
        for (int dy : {0, 8, 15}) EXPECT_EQ(cellAt(100 + dx, 100 + dy), 33) << dx << "," << dy;
    EXPECT_EQ(cellAt(108, 308), 161);
    EXPECT_EQ(cellAt(308, 308), 161);
    EXPECT_EQ(cellAt(304, 104), 0);   // blank: cell 0
    EXPECT_EQ(cellAt(315, 104), 94);  // '~' starts 10 to the right, over the blank's last 6
}

TEST_F(BitmapFontTest, StringReachAndStateLeft)
{
    glDisable(GL_DEPTH_TEST);
    glTranslatef(1, 2, 3);
    PrintText(50, 200, "ABCDEFG", 0);
    const int right = 50 + 10 * 6 + 16;  // first column past the text
    EXPECT_NE(cellAt(50, 200), -1);
    EXPECT_NE(cellAt(right - 1, 215), -1);
    EXPECT_EQ(cellAt(right, 208), -1);
    EXPECT_EQ(cellAt(49, 208), -1);
    EXPECT_EQ(cellAt(60, 216), -1);
    EXPECT_EQ(cellAt(60, 199), -1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    glDisable(GL_DEPTH_TEST);
    PrintText(0, 0, "", 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(stackDepth(GL_PROJECTION_STACK_DEPTH), 1);
    GLfloat projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_FLOAT_EQ(projection[11], -1.0f);  // still the perspective projection
    EXPECT_FLOAT_EQ(modelview[14], 3.0f);
}

} // namespace
