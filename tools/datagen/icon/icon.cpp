// The icon's shapes, laid out once per size: the same layout paints the
// pixels and writes the SVG.
#include "datagen/icon/icon.h"

#include "datagen/common/shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace datagen {

namespace {

const Rgb TileTop = hex(0x17305a), TileBottom = hex(0x040914);
const Rgb RingColour = hex(0x52f5c4), RingGlow = hex(0x1aa486);
const Rgb LetterTop = hex(0xffffff), LetterBottom = hex(0x9edcff), LetterGlow = hex(0x2a8cff);

// Pixel positions (x right, y down) of the shapes at one size.
struct IconLayout {
    float size;
    float tileInset, tileRadius;
    float ringRadius, ringHalfWidth;
    // The letter: two stems and the diagonal joining the top of the left
    // stem to the foot of the right one, each a four-cornered polygon.
    float letter[3][4][2];
    float letterTop, letterBottom;
    float glowRadius;
};

IconLayout layoutIcon(int pixels)
{
    const float s = float(pixels);
    IconLayout l{};
    l.size = s;
    l.tileInset = std::max(0.5f, std::round(s * 0.03f));
    l.tileRadius = s * 0.2f;
    // Small icons give the letter more of the tile: the ring moves out to
    // the edge, so that the stems stand apart with the diagonal between.
    const bool small = pixels < 32;
    l.ringRadius = s * (small ? 0.41f : 0.34f);
    l.ringHalfWidth = std::max(0.65f, s * 0.042f);
    // Stems on whole pixels, two at least, mirrored about the centre.
    const float stem = std::max(2.0f, std::round(s * 0.11f));
    const float left = std::round(s * (small ? 0.25f : 0.325f)), right = s - left;
    const float top = std::round(s * (small ? 0.3f : 0.315f)), bottom = s - top;
    const float diagonal = stem * (small ? 1.15f : 1.3f);  // across, measured along a row
    const float shapes[3][4][2] = {
        {{left, top}, {left + stem, top}, {left + stem, bottom}, {left, bottom}},
        {{right - stem, top}, {right, top}, {right, bottom}, {right - stem, bottom}},
        {{left, top}, {left + diagonal, top}, {right, bottom}, {right - diagonal, bottom}},
    };
    std::copy(&shapes[0][0][0], &shapes[0][0][0] + 24, &l.letter[0][0][0]);
    l.letterTop = top;
    l.letterBottom = bottom;
    l.glowRadius = s * 0.045f;
    return l;
}

float letterDistance(const IconLayout& l, float x, float y)
{
    float d = 1e9f;
    for (const auto& quad : l.letter) d = std::min(d, sdPolygon(x, y, quad, 4));
    return d;
}

std::string svgNumber(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", double(v));
    std::string t = text;
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
    return t;
}

std::string svgColour(Rgb c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", toByte(c.r), toByte(c.g), toByte(c.b));
    return text;
}

} // namespace

const std::vector<int>& iconSizes()
{
    static const std::vector<int> sizes = {16, 22, 24, 32, 48, 64, 128, 256};
    return sizes;
}

IconPicture drawIcon(int size)
{
    const IconLayout l = layoutIcon(size);
    const float s = l.size, c = s * 0.5f, half = c - l.tileInset;
    auto tile = [&](float x, float y) { return sdBox(x, y, c, c, half, half, l.tileRadius); };
    auto ring = [&](float x, float y) { return sdRing(x, y, c, c, l.ringRadius, l.ringHalfWidth); };
    auto letter = [&](float x, float y) { return letterDistance(l, x, y); };

    IconPicture icon{Image(size, size), std::vector<float>(std::size_t(size) * std::size_t(size))};
    Image& img = icon.colour;
    img.forEach([&](int, int y, Rgb& p) { p = mix(TileTop, TileBottom, (float(y) + 0.5f) / s); });
    const Rect all{0, 0, size, size};
    // Glows fade out on small icons, where they would only blur the strokes.
    const float glow = 0.35f + 0.55f * smoothstep(16.0f, 64.0f, s);
    paintGlow(img, all, ring, RingGlow * (0.8f * glow), l.glowRadius, s * 0.16f);
    paintGlow(img, all, letter, LetterGlow * (0.7f * glow), l.glowRadius, s * 0.14f);
    paintShape(img, all, ring, RingColour);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float t = clamp01((py - l.letterTop) / (l.letterBottom - l.letterTop));
            blendPixel(img.at(x, y), mix(LetterTop, LetterBottom, t), clamp01(0.5f - letter(px, py)), Blend::Over);
            icon.alpha[std::size_t(y) * std::size_t(size) + std::size_t(x)] = clamp01(0.5f - tile(px, py));
        }
    clampImage(img);
    return icon;
}

std::string iconSvg()
{
    const IconLayout l = layoutIcon(256);
    const float c = l.size * 0.5f, side = l.size - 2 * l.tileInset;
    std::string letterPath;
    for (const auto& quad : l.letter) {
        for (int i = 0; i < 4; ++i) {
            letterPath += (i == 0 ? "M" : " L") + svgNumber(quad[i][0]) + " " + svgNumber(quad[i][1]);
        }
        letterPath += " Z ";
    }
    letterPath.pop_back();
    const std::string tile = "x=\"" + svgNumber(l.tileInset) + "\" y=\"" + svgNumber(l.tileInset) + "\" width=\"" +
                             svgNumber(side) + "\" height=\"" + svgNumber(side) + "\" rx=\"" +
                             svgNumber(l.tileRadius) + "\"";
    const std::string ring = "cx=\"" + svgNumber(c) + "\" cy=\"" + svgNumber(c) + "\" r=\"" +
                             svgNumber(l.ringRadius) + "\" fill=\"none\" stroke-width=\"" +
                             svgNumber(2 * l.ringHalfWidth) + "\"";
    const std::string letterBox = "x1=\"0\" y1=\"" + svgNumber(l.letterTop) + "\" x2=\"0\" y2=\"" +
                                  svgNumber(l.letterBottom) + "\" gradientUnits=\"userSpaceOnUse\"";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
           "  <title>Nordglow 2002</title>\n"
           "  <defs>\n"
           "    <linearGradient id=\"night\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
           "      <stop offset=\"0\" stop-color=\"" + svgColour(TileTop) + "\"/>\n"
           "      <stop offset=\"1\" stop-color=\"" + svgColour(TileBottom) + "\"/>\n"
           "    </linearGradient>\n"
           "    <linearGradient id=\"ice\" " + letterBox + ">\n"
           "      <stop offset=\"0\" stop-color=\"" + svgColour(LetterTop) + "\"/>\n"
           "      <stop offset=\"1\" stop-color=\"" + svgColour(LetterBottom) + "\"/>\n"
           "    </linearGradient>\n"
           "    <filter id=\"glow\" x=\"-20%\" y=\"-20%\" width=\"140%\" height=\"140%\">\n"
           "      <feGaussianBlur stdDeviation=\"" + svgNumber(l.glowRadius) + "\"/>\n"
           "    </filter>\n"
           "    <clipPath id=\"tile\"><rect " + tile + "/></clipPath>\n"
           "  </defs>\n"
           "  <rect " + tile + " fill=\"url(#night)\"/>\n"
           "  <g clip-path=\"url(#tile)\">\n"
           "    <g filter=\"url(#glow)\">\n"
           "      <circle " + ring + " stroke=\"" + svgColour(RingGlow) + "\"/>\n"
           "      <path d=\"" + letterPath + "\" fill=\"" + svgColour(LetterGlow) + "\"/>\n"
           "    </g>\n"
           "    <circle " + ring + " stroke=\"" + svgColour(RingColour) + "\"/>\n"
           "    <path d=\"" + letterPath + "\" fill=\"url(#ice)\"/>\n"
           "  </g>\n"
           "</svg>\n";
}

std::string iconPixelsHeader(int size)
{
    const IconPicture icon = drawIcon(size);
    std::string text = "// Generated by nordglow-datagen: the window's icon, " + std::to_string(size) + " x " +
                       std::to_string(size) + " RGBA, top row first.\n#pragma once\n\n";
    text += "constexpr int WindowIconSize = " + std::to_string(size) + ";\n";
    text += "constexpr unsigned char WindowIconRgba[] = {";
    for (std::size_t i = 0; i < icon.colour.pixels.size(); ++i) {
        const Rgb& p = icon.colour.pixels[i];
        if (i % 4 == 0) text += "\n   ";
        for (std::uint8_t byte : {toByte(p.r), toByte(p.g), toByte(p.b), toByte(icon.alpha[i])}) {
            text += " " + std::to_string(byte) + ",";
        }
    }
    text += "\n};\n";
    return text;
}

} // namespace datagen
