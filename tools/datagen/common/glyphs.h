// Text onto pictures: fontconfig finds the face, FreeType rasterises glyphs
// with 8-bit antialiasing. Faces are opened on first use and kept; any thread
// may draw text.
#pragma once

#include "platform/common/font_lookup.h"

#include "datagen/common/image.h"

#include <string>

namespace datagen {

struct FontSpec {
    const char* family;  // "DejaVu Sans Mono"
    const char* style;   // "Book", "Bold", "Bold Oblique", ...
};

// Unicode code point of a byte of text: 128 to 159 through Windows-1252, so
// that they are real characters; 0 where that code page has none.
using plat::codePointOf;

// Coverage of one glyph: w x h bytes, placed at (left, -top) from the pen.
struct GlyphBitmap {
    int width = 0, height = 0;
    int left = 0, top = 0;   // offset of the bitmap's top-left from the pen (y up for top)
    float advance = 0;       // pixels
    std::vector<unsigned char> coverage;
};

// Renders code point cp at a pixel height, optionally squeezed across by
// xScale (1 = as designed). Returns false when the face cannot be loaded.
bool renderGlyph(const FontSpec& font, float pixelSize, unsigned cp, float xScale, GlyphBitmap& out);

// Text metrics and drawing. Text is Latin-1/Windows-1252 bytes; sizes, x,
// baseline and tracking (added between glyphs) in the picture's units (y down);
// glyphs are rasterised at the picture's density. measureText gives units.
float measureText(const FontSpec& font, float pixelSize, const std::string& text, float tracking = 0);
void drawText(Image& img, const FontSpec& font, float pixelSize, float x, float baseline, const std::string& text,
              Rgb colour, Blend mode = Blend::Over, float tracking = 0);
// Draws one code point with its pen at (x, baseline).
void drawGlyph(Image& img, const FontSpec& font, float pixelSize, float x, float baseline, unsigned cp, Rgb colour,
               Blend mode = Blend::Over);
// Draws text centred on cx.
void drawTextCentred(Image& img, const FontSpec& font, float pixelSize, float cx, float baseline,
                     const std::string& text, Rgb colour, Blend mode = Blend::Over, float tracking = 0);

// The text's coverage as a picture of its own (white on black), w x h units
// at the given density, for effects such as glows and shadows built from it.
Image textMask(int w, int h, int density, const FontSpec& font, float pixelSize, float x, float baseline,
               const std::string& text, float tracking = 0);

// False when a face the textures use is not installed, or fontconfig offers
// another in its place (messages already printed).
bool fontsAvailable();

} // namespace datagen
