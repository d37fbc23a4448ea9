// Font.tga: 16 x 16 cells of 16 px. The upper eight rows hold characters 32 to
// 159 in a clean monospaced face, the lower eight the same characters in a
// bold serif; white antialiased glyphs on black, each kept inside the left
// 11 px of its cell so that a 10-unit advance spaces them evenly. A denser
// file has the same grid with every length scaled, so that a glyph keeps its
// place and width in texture coordinates.
#include "datagen/common/glyphs.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr int Cell = 16;
constexpr int GlyphWidth = 11;  // columns 0..10 of a cell may be lit
constexpr int Baseline = 12;    // cell row of the baseline; descenders below

// Draws character c into cell g, squeezing it across when it would be too wide;
// lengths in pixels at density k.
void drawCell(Image& img, int k, int g, unsigned char c, const FontSpec& font, float size)
{
    const int cell = Cell * k, glyphWidth = GlyphWidth * k, baseline = Baseline * k;
    const unsigned cp = codePointOf(c);
    if (cp == 0 || cp == ' ' || cp == 127) return;
    GlyphBitmap glyph;
    if (!renderGlyph(font, size, cp, 1.0f, glyph) || glyph.width == 0) return;
    // Accented capitals reach above the cell: draw them a little smaller.
    if (glyph.top > baseline - k) {
        size *= float(baseline - k) / float(glyph.top);
        if (!renderGlyph(font, size, cp, 1.0f, glyph)) return;
    }
    if (glyph.width > glyphWidth - k) {
        const float squeeze = float(glyphWidth - k) / float(glyph.width + k);
        if (!renderGlyph(font, size, cp, squeeze, glyph)) return;
    }
    const int cellX = (g % 16) * cell, cellY = (g / 16) * cell;
    // Centre the ink in the glyph column; keep the font's vertical placement.
    const int ox = cellX + std::max(0, (glyphWidth - glyph.width) / 2);
    const int oy = cellY + baseline - glyph.top;
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x) {
            const int px = ox + x, py = oy + y;
            if (px >= cellX + glyphWidth || py < cellY + k || py >= cellY + cell - k) continue;
            const float a = float(glyph.coverage[std::size_t(y) * std::size_t(glyph.width) + std::size_t(x)]) / 255.0f;
            Rgb& p = img.at(px, py);
            const float v = std::max(p.r, a);
            p = {v, v, v};
        }
}

} // namespace

Image makeFont(int density)
{
    Image img = Image::inUnits(256, 256, density);
    const FontSpec clean{"DejaVu Sans Mono", "Book"};
    const FontSpec second{"DejaVu Serif", "Bold"};
    for (int c = 32; c < 160; ++c) {
        drawCell(img, density, c - 32, static_cast<unsigned char>(c), clean, 14.0f * float(density));
        drawCell(img, density, c + 96, static_cast<unsigned char>(c), second, 14.0f * float(density));
    }
    return img;
}

} // namespace datagen
