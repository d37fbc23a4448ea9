// The one-time render-to-texture pass: the texture it makes and the state it leaves.
#include "effects/render_to_texture.h"

#include "gl_fixture.h"

TEST_F(GlTest, RenderSphereTextureMakesALuminanceTargetAndClearsTheFrame)
{
    // Something drawn before the pass in the same frame.
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);

    RenderTargetInfo target;
    renderSphereTexture(target, 64, 64);

    ASSERT_NE(target.textureName, 0u);
    EXPECT_TRUE(glIsTexture(target.textureName));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<unsigned>(bound), target.textureName);
    GLint w = 0, h = 0, format = 0, minFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 64);
    EXPECT_TRUE(format == GL_LUMINANCE || format == GL_LUMINANCE8) << format;
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_NE(Gl.RenderQuadric, nullptr);

    // Cleared to (0, 0, 0, 0.5) everywhere, including the sphere's corner.
    for (auto [x, y] : {std::pair{10, 10}, std::pair{400, 300}, std::pair{799, 599}}) {
        const auto p = pixelAt(x, y);
        EXPECT_EQ(p[0], 0);
        EXPECT_EQ(p[1], 0);
        EXPECT_EQ(p[2], 0);
        EXPECT_NEAR(p[3], 128, 1);
    }
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[3], 0.5f);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[14], 0.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
