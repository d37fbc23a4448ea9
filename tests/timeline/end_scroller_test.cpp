// The end scroller: the scroll step, the state it draws with, and the title
// reaching the middle of the screen when the offset equals its lowering.
#include "timeline/end_scroller.h"

#include "assets/texture_set.h"
#include "gl_fixture.h"
#include "text/outline_font.h"
#include "timeline/timeline.h"

#include <vector>

namespace {

class EndScrollerGl : public GlTest {
protected:
    EndScrollerState scroller;  // of the frames drawn
    double frameDelta = 0.0;
    void SetUp() override
    {
        GlTest::SetUp();
        savedMusix_ = Gl.Textures[TexMusix];
    }
    void TearDown() override
    {
        Gl.Textures[TexMusix] = savedMusix_;
        GlTest::TearDown();
    }

    // A backdrop texture that is black except texel (0, 0), the one the
    // glyphs sample at texture coordinate (1, 0): black backdrop, white text.
    void useDarkBackdrop()
    {
        std::vector<std::uint8_t> texels(64 * 64 * 3, 0);
        texels[0] = texels[1] = texels[2] = 255;
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        Gl.Textures[TexMusix] = name;
    }

    static int litInRows(int fromY, int toY)
    {
        std::vector<std::uint8_t> rgba(800 * 600 * 4);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        int n = 0;
        for (int y = fromY; y < toY; ++y)
            for (int x = 100; x < 700; ++x) n += rgba[(static_cast<std::size_t>(y) * 800 + x) * 4] > 128;
        return n;
    }

    std::uint32_t savedMusix_ = 0;
};

} // namespace

TEST_F(EndScrollerGl, ScrollsTwoUnitsPerSecondAndStandsStillAtZeroFrameDelta)
{
    EXPECT_EQ(endScrollerLineCount(), 24);
    frameDelta = 0.0;
    drawEndScroller(scroller, frameDelta);
    EXPECT_EQ(scroller.ScrollOffset, 0.0f);
    frameDelta = 500.0;
    drawEndScroller(scroller, frameDelta);
    EXPECT_FLOAT_EQ(scroller.ScrollOffset, 1.0f);
    frameDelta = 16.0;
    for (int i = 0; i < 10; ++i) drawEndScroller(scroller, frameDelta);
    EXPECT_NEAR(scroller.ScrollOffset, 1.32f, 1e-5);
}

TEST_F(EndScrollerGl, DrawsWithAdditiveUnlitStateAndLeavesTheMatrix)
{
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glColor3f(0.98f, 0.98f, 0.98f);  // the end transition's last grey
    glTranslatef(0.0f, 0.0f, -1.0f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    drawEndScroller(scroller, frameDelta);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]) << i;
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat colour[4], tex[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, tex);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(tex[0], 1.0f);
    EXPECT_EQ(tex[1], 0.0f);
}

TEST_F(EndScrollerGl, TitleReachesTheMiddleWhenTheOffsetEqualsItsLowering)
{
    if (!BuildOutlineFont()) GTEST_SKIP() << "no outline face installed";
    useDarkBackdrop();
    glClearColor(0, 0, 0, 0);

    // At offset 0 every line is below the screen: only the backdrop shows.
    glClear(GL_COLOR_BUFFER_BIT);
    scroller.ScrollOffset = 0.0f;
    drawEndScroller(scroller, frameDelta);
    EXPECT_EQ(litInRows(0, 600), 0);

    // At offset 5 (2.5 s) the title's baseline is on the middle row.
    glClear(GL_COLOR_BUFFER_BIT);
    scroller.ScrollOffset = 5.0f;
    drawEndScroller(scroller, frameDelta);
    EXPECT_GT(litInRows(300, 400), 500) << "title glyphs just above the middle";
    EXPECT_EQ(litInRows(220, 270), 0) << "a gap between the title and the next line";
    DeleteOutlineFont();
}

TEST_F(EndScrollerGl, TitleReadsBrightOverTheGeneratedBackdrop)
{
    // The letters take the musix texture at (1, 0), the mean of its four
    // corner texels. At 2.5 s into the scroller (the title's baseline on the
    // middle row) a tenth of the title's band must be brighter than 0.6.
    if (!BuildOutlineFont()) GTEST_SKIP() << "no outline face installed";
    ASSERT_TRUE(loadTextureSet());
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    scroller.ScrollOffset = 5.0f;
    drawEndScroller(scroller, frameDelta);
    std::vector<std::uint8_t> rgb;
    int width = 0, height = 0;
    headless::readFrame(&rgb, &width, &height);
    ASSERT_EQ(width * height, 800 * 600);
    int bright = 0, band = 0;
    for (int row = 600 - 400; row < 600 - 280; ++row)  // GL rows 280..400, from the top
        for (int x = 0; x < 800; ++x, ++band) {
            const std::uint8_t* p = &rgb[(static_cast<std::size_t>(row) * 800 + x) * 3];
            bright += 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2] > 0.6 * 255;
        }
    EXPECT_GE(bright * 10, band) << bright << " of " << band << " pixels of the title band are bright";
    DeleteOutlineFont();
}
