// The frame overlay drawn through its cover gives the same colours as the
// whole quad drawn twice, for masks and artwork with detail anywhere,
// including texels that the filter reaches across the texture's edges.
#include "timeline/frame_overlay.h"

#include "assets/texture_set.h"
#include "core/picture.h"
#include "gl_fixture.h"

#include <vector>

namespace {

GLuint makeTexture(int size, const std::vector<std::uint8_t>& rgb)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    return name;
}

void setTexel(std::vector<std::uint8_t>& rgb, int size, int u, int v, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    std::uint8_t* p = &rgb[(static_cast<std::size_t>(v) * size + u) * 3];
    p[0] = r;
    p[1] = g;
    p[2] = b;
}

class FrameOverlayGl : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        savedMask_ = Gl.Textures[TexFrames02];
        savedArt_ = Gl.Textures[TexFrame03];
        forgetFrameOverlayCover();
        glEnable(GL_TEXTURE_2D);
    }
    void TearDown() override
    {
        Gl.Textures[TexFrames02] = savedMask_;
        Gl.Textures[TexFrame03] = savedArt_;
        forgetFrameOverlayCover();
        GlTest::TearDown();
    }

    // A busy picture under the overlay: a colour gradient over the whole screen.
    static void drawPicture()
    {
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glBindTexture(GL_TEXTURE_2D, 0);
        glPushMatrix();
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -2.0f);
        glBegin(GL_QUADS);
        glColor3f(0.9f, 0.2f, 0.4f);
        glVertex3f(-2, -2, 0);
        glColor3f(0.1f, 0.8f, 0.3f);
        glVertex3f(2, -2, 0);
        glColor3f(0.5f, 0.5f, 1.0f);
        glVertex3f(2, 2, 0);
        glColor3f(1.0f, 1.0f, 0.0f);
        glVertex3f(-2, 2, 0);
        glEnd();
        glPopMatrix();
    }

    static std::vector<std::uint8_t> overlaid(bool whole)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        drawPicture();
        if (whole) {
            // A scissor test already on makes the overlay draw its quad whole.
            glEnable(GL_SCISSOR_TEST);
            glScissor(0, 0, 800, 600);
        } else {
            prepareFrameOverlayCover();  // as the demo does before the main part
        }
        drawFrameOverlay();
        glDisable(GL_SCISSOR_TEST);
        std::vector<std::uint8_t> rgb(800 * 600 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }

    std::uint32_t savedMask_ = 0;
    std::uint32_t savedArt_ = 0;
};

} // namespace

TEST_F(FrameOverlayGl, CoverGivesTheColoursOfTheWholeQuad)
{
    const int size = 256;
    std::vector<std::uint8_t> mask(size * size * 3, 255);
    std::vector<std::uint8_t> art(size * size * 3, 0);
    // Mask: a dark border and a dark bar; artwork: a glow line inside the hole,
    // a lone texel, and texels on the edges that the filter reaches by wrapping.
    for (int i = 0; i < size; ++i) {
        for (int k = 0; k < 6; ++k) {
            setTexel(mask, size, i, k, 20, 20, 20);
            setTexel(mask, size, k + 100, i, 0, 0, 0);
        }
        setTexel(art, size, i, 40, 10, 90, 200);
    }
    setTexel(art, size, 170, 200, 255, 255, 255);
    setTexel(art, size, 0, 128, 200, 100, 0);
    setTexel(art, size, 128, size - 1, 0, 100, 200);
    setTexel(mask, size, size - 1, 60, 128, 128, 128);
    Gl.Textures[TexFrames02] = makeTexture(size, mask);
    Gl.Textures[TexFrame03] = makeTexture(size, art);

    const auto whole = overlaid(true);
    EXPECT_EQ(frameOverlayCoverRects(), 0);
    const auto covered = overlaid(false);
    const int rects = frameOverlayCoverRects();
    EXPECT_GT(rects, 0) << "most of this mask is white and most of this artwork black";
    int differing = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) differing += whole[i] != covered[i];
    EXPECT_EQ(differing, 0);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));

    // The lone artwork texel and the wrapped edge texels did change the picture.
    const auto plain = [] {
        glClear(GL_COLOR_BUFFER_BIT);
        drawPicture();
        std::vector<std::uint8_t> rgb(800 * 600 * 3);
        glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }();
    auto changedNear = [&](int x, int y) {
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) {
                const std::size_t i = (static_cast<std::size_t>(y + dy) * 800 + x + dx) * 3;
                if (plain[i] != covered[i] || plain[i + 1] != covered[i + 1] || plain[i + 2] != covered[i + 2])
                    return true;
            }
        return false;
    };
    // Texel (u, v) of 256 lands at about x = 400 + (u / 256 * 2 - 1) * 396.6, y = v / 256 * 600.
    EXPECT_TRUE(changedNear(static_cast<int>(400 + (170.5 / 256 * 2 - 1) * 396.6), static_cast<int>(200.5 / 256 * 600)));
    EXPECT_TRUE(changedNear(796, static_cast<int>(128.5 / 256 * 600)));

    // Another picture size: the cover is worked out afresh for the smaller
    // picture at its place and still gives the whole quad's colours.
    setPictureDrawable(640, 600);  // a 640 x 480 picture, 60 px bars above and below
    setPictureViewport();
    const auto wholeSmall = overlaid(true);
    const auto coveredSmall = overlaid(false);
    EXPECT_GT(frameOverlayCoverRects(), 0);
    differing = 0;
    for (std::size_t i = 0; i < wholeSmall.size(); ++i) differing += wholeSmall[i] != coveredSmall[i];
    EXPECT_EQ(differing, 0);
    EXPECT_NE(wholeSmall, whole);
    setPictureDrawable(800, 600);
    setPictureViewport();

    // The same grey mask as a luminance texture, as the texture set makes the
    // denser grey files: the same cover, the same colours.
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(size) * size);
    for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = mask[i * 3];
    GLuint luminance = 0;
    glGenTextures(1, &luminance);
    glBindTexture(GL_TEXTURE_2D, luminance);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE8, size, size, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, grey.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    Gl.Textures[TexFrames02] = luminance;
    EXPECT_EQ(overlaid(false), whole);
    EXPECT_EQ(frameOverlayCoverRects(), rects);
}
