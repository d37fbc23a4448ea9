// The render-to-texture pass that runs inside the very first frame.
#include "effects/render_to_texture.h"

#include "core/picture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <vector>


void renderSphereTexture(RenderTargetInfo& target, int width, int height)
{
    // The square is taken at the picture's lower-left corner, scaled with it,
    // so the texture holds the same sphere at any drawable size.
    const PictureRect square = mapPictureRect(0, 0, width, height);
    width = square.width;
    height = square.height;

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    {
        const std::vector<std::uint8_t> blank(static_cast<std::size_t>(width) * height * 4, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, blank.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    target.textureName = name;

    Gl.RenderQuadric = gluNewQuadric();
    gluQuadricNormals(Gl.RenderQuadric, GLU_SMOOTH);
    gluQuadricTexture(Gl.RenderQuadric, GL_TRUE);

    // The window's 4:3 perspective squeezed into the square viewport.
    glPushMatrix();
    glViewport(square.x, square.y, width, height);
    glTranslatef(0.0f, 0.0f, -3.0f);
    glEnable(GL_LIGHTING);
    glColor3f(0.0f, 1.0f, 0.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (Gl.RenderQuadric) gluSphere(Gl.RenderQuadric, 2.5, 48, 48);

    glBindTexture(GL_TEXTURE_2D, name);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, square.x, square.y, width, height, 0);

    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    setPictureViewport();
    glDisable(GL_LIGHTING);
    glPopMatrix();
}
