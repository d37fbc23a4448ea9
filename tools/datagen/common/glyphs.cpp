// FreeType glyph rasteriser with faces found through fontconfig.
#include "datagen/common/glyphs.h"

#include "platform/common/font_lookup.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace datagen {

namespace {

struct FaceCache {
    FT_Library library = nullptr;
    bool failed = false;
    std::map<std::string, FT_Face> faces;  // "family:style" -> face, null when not found

    ~FaceCache()
    {
        for (auto& [key, face] : faces)
            if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

FaceCache& cache()
{
    static FaceCache c;
    return c;
}

// The faces and FreeType are used by one thread at a time: recipes run on
// several.
std::mutex& faceLock()
{
    static std::mutex m;
    return m;
}

FT_Face faceFor(const FontSpec& font)
{
    FaceCache& c = cache();
    if (!c.library && !c.failed) {
        if (FT_Init_FreeType(&c.library) != 0) {
            std::fprintf(stderr, "datagen: FreeType could not start\n");
            c.failed = true;
        }
    }
    if (c.failed) return nullptr;
    const std::string key = std::string(font.family) + ":" + font.style;
    auto it = c.faces.find(key);
    if (it != c.faces.end()) return it->second;
    FT_Face face = nullptr;
    const std::string file = plat::findOutlineFaceFile(font.family, font.style, nullptr);
    if (file.empty() || FT_New_Face(c.library, file.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "datagen: no font for %s\n", key.c_str());
        face = nullptr;
    } else if (!face->family_name || !face->style_name || std::string(face->family_name) != font.family ||
               std::string(face->style_name) != font.style) {
        // fontconfig offers the nearest face when the one asked for is not
        // installed: the textures would then differ from machine to machine.
        std::fprintf(stderr, "datagen: the font %s is not installed (fontconfig offers %s %s instead)\n",
                     key.c_str(), face->family_name ? face->family_name : "?",
                     face->style_name ? face->style_name : "?");
        FT_Done_Face(face);
        face = nullptr;
    }
    c.faces[key] = face;
    return face;
}

} // namespace

bool renderGlyph(const FontSpec& font, float pixelSize, unsigned cp, float xScale, GlyphBitmap& out)
{
    out = GlyphBitmap{};
    const std::lock_guard<std::mutex> hold(faceLock());
    FT_Face face = faceFor(font);
    if (!face) return false;
    FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(pixelSize * 64.0f)), 72, 72);
    FT_Matrix m{FT_Fixed(std::lround(xScale * 65536.0f)), 0, 0, 0x10000};
    FT_Set_Transform(face, &m, nullptr);
    const FT_UInt index = FT_Get_Char_Index(face, cp);
    const bool loaded = FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_HINTING) == 0 &&
                        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
    FT_Set_Transform(face, nullptr, nullptr);
    if (!loaded) return false;
    const FT_Bitmap& bm = face->glyph->bitmap;
    out.width = int(bm.width);
    out.height = int(bm.rows);
    out.left = face->glyph->bitmap_left;
    out.top = face->glyph->bitmap_top;
    out.advance = float(face->glyph->advance.x) / 64.0f;
    out.coverage.resize(std::size_t(out.width) * std::size_t(out.height));
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.coverage[std::size_t(y) * std::size_t(out.width) + std::size_t(x)] = bm.buffer[y * bm.pitch + x];
    return true;
}

float measureText(const FontSpec& font, float pixelSize, const std::string& text, float tracking)
{
    float w = 0;
    GlyphBitmap g;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (renderGlyph(font, pixelSize, codePointOf(static_cast<unsigned char>(text[i])), 1.0f, g)) w += g.advance;
        if (i + 1 < text.size()) w += tracking;
    }
    return w;
}

namespace {

// Lays a rendered glyph with its pen at (penX, baseline); returns its advance.
float blitGlyph(Image& img, const GlyphBitmap& g, float penX, float baseline, Rgb colour, Blend mode)
{
    const int ox = int(std::lround(penX)) + g.left, oy = int(std::lround(baseline)) - g.top;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            const int px = ox + x, py = oy + y;
            if (!img.inside(px, py)) continue;
            const float a = float(g.coverage[std::size_t(y) * std::size_t(g.width) + std::size_t(x)]) / 255.0f;
            if (a > 0) blendPixel(img.at(px, py), colour, a, mode);
        }
    return g.advance;
}

} // namespace

void drawGlyph(Image& img, const FontSpec& font, float pixelSize, float x, float baseline, unsigned cp, Rgb colour,
               Blend mode)
{
    const float k = float(img.density);
    GlyphBitmap g;
    if (renderGlyph(font, pixelSize * k, cp, 1.0f, g)) blitGlyph(img, g, x * k, baseline * k, colour, mode);
}

void drawText(Image& img, const FontSpec& font, float pixelSize, float x, float baseline, const std::string& text,
              Rgb colour, Blend mode, float tracking)
{
    // Pixels of the picture: the glyphs are rasterised at its density.
    const float k = float(img.density);
    float pen = x * k;
    GlyphBitmap g;
    for (char ch : text) {
        if (!renderGlyph(font, pixelSize * k, codePointOf(static_cast<unsigned char>(ch)), 1.0f, g)) continue;
        pen += blitGlyph(img, g, pen, baseline * k, colour, mode) + tracking * k;
    }
}

void drawTextCentred(Image& img, const FontSpec& font, float pixelSize, float cx, float baseline,
                     const std::string& text, Rgb colour, Blend mode, float tracking)
{
    const float w = measureText(font, pixelSize, text, tracking);
    drawText(img, font, pixelSize, cx - w * 0.5f, baseline, text, colour, mode, tracking);
}

Image textMask(int w, int h, int density, const FontSpec& font, float pixelSize, float x, float baseline,
               const std::string& text, float tracking)
{
    Image mask = Image::inUnits(w, h, density);
    drawText(mask, font, pixelSize, x, baseline, text, {1, 1, 1}, Blend::Max, tracking);
    return mask;
}

bool fontsAvailable()
{
    // Every face the textures use (Debian's fonts-dejavu-core and -extra).
    static const FontSpec used[] = {{"DejaVu Sans", "Book"},      {"DejaVu Sans", "Bold"},
                                    {"DejaVu Sans", "ExtraLight"}, {"DejaVu Sans Mono", "Book"},
                                    {"DejaVu Sans Mono", "Bold"},  {"DejaVu Serif", "Bold"},
                                    {"DejaVu Serif", "Bold Italic"}};
    const std::lock_guard<std::mutex> hold(faceLock());
    bool all = true;
    for (const FontSpec& font : used) all = faceFor(font) != nullptr && all;
    return all;
}

} // namespace datagen
