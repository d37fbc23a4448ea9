// Flat screen text: 256 glyph quads from the Font texture's 16 x 16 grid,
// drawn through an 800 x 600 orthographic projection.
#include "text/bitmap_font.h"

#include "assets/texture_set.h"
#include "core/picture.h"

#include <GL/gl.h>

#include <cstring>


namespace {

constexpr float CellSize = 0.0625f;  // one of 16 cells, in texture coordinates
constexpr int GlyphSize = 16;        // units drawn per glyph
constexpr int GlyphStep = 10;        // units to the next glyph

} // namespace

void BuildBitmapFont()
{
    Gl.BitmapFont = glGenLists(256);
    for (int g = 0; g < 256; ++g) {
        const float s = static_cast<float>(g % 16) * CellSize;                 // left edge
        const float t = 1.0f - static_cast<float>(g / 16) * CellSize;          // top edge; row 0 at the top
        glNewList(Gl.BitmapFont + static_cast<unsigned>(g), GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(s, t - CellSize);
        glVertex2i(0, 0);
        glTexCoord2f(s + CellSize, t - CellSize);
        glVertex2i(GlyphSize, 0);
        glTexCoord2f(s + CellSize, t);
        glVertex2i(GlyphSize, GlyphSize);
        glTexCoord2f(s, t);
        glVertex2i(0, GlyphSize);
        glEnd();
        glTranslated(GlyphStep, 0.0, 0.0);
        glEndList();
    }
}

void PrintText(int x, int y, const char* text, int set)
{
    // Set 0 holds cells 0..127, set 1 cells 128..255.
    if (set > 1) set = 1;
    if (set < 0) set = 0;

    bindTexture(TexFont);
    glDisable(GL_DEPTH_TEST);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, PictureWidth, 0.0, PictureHeight, -100.0, 100.0);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(x, y, 0.0);

    // Character c of set 0 is cell c - 32, of set 1 cell c + 96.
    glListBase(Gl.BitmapFont - 32 + 128 * static_cast<unsigned>(set));
    if (text != nullptr) glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_BYTE, text);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();

    glEnable(GL_DEPTH_TEST);
}
