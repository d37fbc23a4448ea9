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

bool OutlineTextMayShow(bool centred, const char* text)
{
    if (text == nullptr || *text == '\0') return false;
    // While a display list is being compiled the matrices it will run with
    // are not known: the text may show.
    GLint compiling = 0;
    glGetIntegerv(GL_LIST_INDEX, &compiling);
    if (compiling != 0) return true;

    // The ink's box in the text's own units: the advances laid end to end,
    // each glyph's ink from its origin, front face at 0, back at -depth.
    float pen = 0.0f, xMin = 0.0f, xMax = 0.0f, yMin = 0.0f, yMax = 0.0f;
    bool any = false;
    for (const char* p = text; *p != '\0'; ++p) {
        const plat::GlyphMetric& m = Gl.GlyphMetrics[static_cast<unsigned char>(*p)];
        if (m.blackBoxX > 0.0f || m.blackBoxY > 0.0f) {
            const float left = pen + m.originX, bottom = m.originY - m.blackBoxY;
            xMin = any ? std::min(xMin, left) : left;
            xMax = any ? std::max(xMax, left + m.blackBoxX) : left + m.blackBoxX;
            yMin = any ? std::min(yMin, bottom) : bottom;
            yMax = any ? std::max(yMax, m.originY) : m.originY;
            any = true;
        }
        pen += m.cellIncX;
    }
    if (!any) return false;  // blanks only: nothing to draw
    if (centred) {
        xMin -= 0.5f * pen;
        xMax -= 0.5f * pen;
    }
    // A margin of a hundredth of an em keeps rounding on the safe side.
    constexpr float Margin = 0.01f;
    const float xs[2] = {xMin - Margin, xMax + Margin}, ys[2] = {yMin - Margin, yMax + Margin},
                zs[2] = {-ExtrusionDepth - Margin, Margin};

    GLfloat modelview[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    float mvp[16];  // column-major, projection * modelview
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += projection[k * 4 + r] * modelview[c * 4 + k];
            mvp[c * 4 + r] = sum;
        }

    // Bits of the planes each corner lies beyond; the box is out of view
    // when one bit is set for all eight.
    unsigned beyondAll = 0x3fu;
    for (float x : xs)
        for (float y : ys)
            for (float z : zs) {
                float clip[4];
                for (int r = 0; r < 4; ++r) clip[r] = mvp[r] * x + mvp[4 + r] * y + mvp[8 + r] * z + mvp[12 + r];
                unsigned beyond = 0;
                for (int axis = 0; axis < 3; ++axis) {
                    if (clip[axis] < -clip[3]) beyond |= 1u << (2 * axis);
                    if (clip[axis] > clip[3]) beyond |= 2u << (2 * axis);
                }
                beyondAll &= beyond;
            }
    return beyondAll == 0;
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
