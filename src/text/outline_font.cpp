// Extruded 3-D text: the glyph lists come from the platform's outline
// builder; Print3D formats, optionally centres and calls one list per byte.
#include "text/outline_font.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>


namespace {

constexpr const char* FaceFamily = "Verdana";
constexpr float ChordDeviation = 0.1f;  // em units
constexpr float ExtrusionDepth = 0.2f;  // em units along -z

} // namespace

bool BuildOutlineFont()
{
    Gl.OutlineFont = glGenLists(256);
    // Codes 0..254; list 255 stays empty.
    return plat::buildOutlineGlyphs(FaceFamily, Gl.OutlineFont, 0, 255, ChordDeviation, ExtrusionDepth,
                                    Gl.GlyphMetrics);
}

void DeleteOutlineFont()
{
    if (Gl.OutlineFont != 0) glDeleteLists(Gl.OutlineFont, 256);
}

void Print3D(bool centred, const char* format, ...)
{
    if (format == nullptr) return;

    char text[256];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (written < 0) return;
    const int length = static_cast<int>(std::strlen(text));

    if (centred) {
        float width = 0.0f;
        for (int i = 0; i < length; ++i) width += Gl.GlyphMetrics[static_cast<unsigned char>(text[i])].cellIncX;
        glTranslatef(-0.5f * width, 0.0f, 0.0f);
    }

    glPushAttrib(GL_LIST_BIT);
    glListBase(Gl.OutlineFont);
    glCallLists(length, GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}
