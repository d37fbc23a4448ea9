// Extruded 3-D text: the glyph lists come from the platform's outline
// builder; Print3D formats, optionally centres and calls one list per byte.
#include "text/outline_font.h"

#include "core/picture.h"

#include <GL/gl.h>

#include <algorithm>

#include <cstdarg>
#include <cstdio>
#include <cstring>


namespace {

constexpr const char* FaceFamily = "Verdana";
constexpr float ChordDeviation = 0.1f;  // em units, for the picture at its own size
constexpr float ExtrusionDepth = 0.2f;  // em units along -z
// Lists built within this factor of the picture's scale are kept: a window
// dragged to another size rebuilds every quarter or so, not every pixel.
constexpr float RebuildFactor = 1.25f;

// The scale the letters are cut for. Below 1 they keep their 800 x 600
// curves: finer than needed there, never coarser.
float wantedScale()
{
    return static_cast<float>(std::max(1.0, Picture.scale));
}

bool buildLists(float scale)
{
    // Codes 0..254; list 255 stays empty.
    const bool ok = plat::buildOutlineGlyphs(FaceFamily, Gl.OutlineFont, 0, 255, ChordDeviation, scale, ExtrusionDepth,
                                             Gl.GlyphMetrics);
    Gl.OutlineFontScale = scale;
    return ok;
}

} // namespace

bool BuildOutlineFont()
{
    Gl.OutlineFont = glGenLists(256);
    return buildLists(wantedScale());
}

void DeleteOutlineFont()
{
    if (Gl.OutlineFont != 0) glDeleteLists(Gl.OutlineFont, 256);
    Gl.OutlineFontScale = 0.0f;
}

void FitOutlineFontToPicture()
{
    if (Gl.OutlineFont == 0 || Gl.OutlineFontScale <= 0.0f) return;
    const float wanted = wantedScale();
    if (wanted < Gl.OutlineFontScale * RebuildFactor && wanted * RebuildFactor > Gl.OutlineFontScale) return;
    buildLists(wanted);
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
