// frames02.tga and frame03.tga: the frame mask multiplied over the main-part
// screen and the frame artwork added on top. Both are laid out in screen
// pixels and carried to texels through the overlay quad's projection, so the
// panels line up on screen whatever the quad's slight overscan. A denser file
// has density times the texels across, taken from a canvas painted that much
// finer.
#include "datagen/common/glyphs.h"
#include "datagen/common/noise.h"
#include "datagen/common/shapes.h"
#include "datagen/textures/recipes.h"
#include "datagen/textures/screen_frame.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr int Size = 1024;
constexpr float Scale = 2;  // canvas units per screen pixel for the artwork

// Screen rectangle covered by texel (i, row) of a file size texels across,
// rows counted from the top of the picture.
void texelScreenRect(int size, int i, int row, double& x0, double& y0, double& x1, double& y1)
{
    x0 = overlayScreenX(double(i) / size);
    x1 = overlayScreenX(double(i + 1) / size);
    y0 = overlayScreenY(1.0 - double(row + 1) / size);
    y1 = overlayScreenY(1.0 - double(row) / size);
}

// A panel on the canvas: centre and half sizes in canvas pixels (y down).
struct CanvasBox {
    float cx, cy, hw, hh;
};
CanvasBox canvasBox(const ClipPanel& p)
{
    return {(float(p.x) + float(p.width) * 0.5f) * Scale, (600.0f - float(p.y) - float(p.height) * 0.5f) * Scale,
            float(p.width) * 0.5f * Scale, float(p.height) * 0.5f * Scale};
}

// Brushed dark steel with a faint diagonal weave.
void paintPlate(Image& canvas)
{
    const Gradient base{{0.0f, hex(0x101823)}, {0.5f, hex(0x0b121b)}, {1.0f, hex(0x070b11)}};
    const float height = float(canvas.height / canvas.density);
    canvas.forEachCentre([&](float cu, float cv, Rgb& p) {
        const float u = cu - 0.5f, v = cv - 0.5f;
        const float streak = valueNoise(u / 180.0f, v / 1.3f, 4096, 11) * 0.6f + valueNoise(u / 40.0f, v / 0.7f, 4096, 12) * 0.4f;
        const float weave = (int(std::floor((u + v) / 12.0f)) & 1) ? 1.0f : 0.0f;
        p = base.at(v / height) * (0.8f + 0.4f * streak) + hex(0x0a1018) * (0.25f * weave);
    });
}

void paintPanelBorders(Image& canvas)
{
    for (const ClipPanel& p : ClipPanels) {
        const CanvasBox b = canvasBox(p);
        // Soft shadow under the bevel, then the bevel, then a cold rim light.
        paintGlow(canvas, {int(b.cx - b.hw - 40), int(b.cy - b.hh - 40), int(b.cx + b.hw + 40), int(b.cy + b.hh + 40)},
                  [&](float x, float y) { return sdBox(x, y, b.cx, b.cy, b.hw + 6, b.hh + 6, 6); },
                  hex(0x03050a) * -1.0f, 6, 20);
        paintBevelFrame(canvas, b.cx, b.cy, b.hw, b.hh, 12, hex(0x2a3846), hex(0xa8c8e0), hex(0x030508));
        paintGlow(canvas, {int(b.cx - b.hw - 24), int(b.cy - b.hh - 24), int(b.cx + b.hw + 24), int(b.cy + b.hh + 24)},
                  [&](float x, float y) { return std::fabs(sdBox(x, y, b.cx, b.cy, b.hw + 1.5f, b.hh + 1.5f)) - 0.6f; },
                  hex(0x1c7fd0) * 0.35f, 1.5f, 10);
        // Rivets at the corners of the bevel.
        for (int corner = 0; corner < 4; ++corner) {
            const float rx = b.cx + (corner & 1 ? 1.0f : -1.0f) * (b.hw + 6.0f);
            const float ry = b.cy + (corner & 2 ? 1.0f : -1.0f) * (b.hh + 6.0f);
            paintShape(canvas, {int(rx) - 6, int(ry) - 6, int(rx) + 7, int(ry) + 7},
                       [&](float x, float y) { return sdCircle(x, y, rx, ry, 3.2f); }, hex(0x5d7285));
            paintShape(canvas, {int(rx) - 6, int(ry) - 6, int(rx) + 7, int(ry) + 7},
                       [&](float x, float y) { return sdCircle(x, y, rx - 0.8f, ry - 0.8f, 1.4f); }, hex(0xd8e8f4));
        }
    }
}

// A small label with a dim glow; x, y are screen pixels (origin bottom left)
// of the label's left end on its baseline.
void paintLabel(Image& canvas, float x, float y, const std::string& text, float size, Rgb colour)
{
    const FontSpec mono{"DejaVu Sans Mono", "Bold"};
    const int d = canvas.density;
    const float cx = x * Scale, cy = (600.0f - y) * Scale;
    const int x0 = int(cx) - 8, x1 = int(cx + measureText(mono, size * Scale, text, 1.0f)) + 8;
    const int y0 = int(cy - size * Scale) - 8, y1 = int(cy) + 8;
    // The text's coverage over the label's box and the halo's reach around it;
    // (mx, my) is the mask's corner on the canvas, in units.
    const int mx = x0 - 3, my = y0 - 3;
    const Image mask = textMask(x1 - x0 + 6, y1 - y0 + 6, d, mono, size * Scale, cx - float(mx), cy - float(my), text, 1.0f);
    forEachPixelIn(canvas, {x0, y0, x1, y1}, [&](int px, int py, float, float) {
        const int ix = px - mx * d, iy = py - my * d;
        // A box of 7 x 7 taps one unit apart.
        float halo = 0;
        for (int k = -3; k <= 3; ++k)
            for (int l = -3; l <= 3; ++l)
                if (mask.inside(ix + l * d, iy + k * d)) halo += mask.at(ix + l * d, iy + k * d).r;
        Rgb& c = canvas.at(px, py);
        c = c + colour * (halo / 49.0f * 0.5f);
        c = mix(c, colour, mask.at(ix, iy).r);
    });
}

// Title block in the free square between the meter strip, the fourth side
// panel, the tall strip and the main panel.
void paintTitle(Image& canvas)
{
    const FontSpec bold{"DejaVu Sans", "Bold"};
    const FontSpec light{"DejaVu Sans", "ExtraLight"};
    const float cx = 177 * Scale;  // centre of the free square, screen x 127..227
    // An aurora band behind the title.
    paintGlow(canvas, {int(130 * Scale), int(450 * Scale), int(225 * Scale), int(535 * Scale)},
              [&](float x, float y) {
                  const float wave = 6.0f * std::sin(x * 0.05f);
                  return std::fabs(y - (490 * Scale + wave)) - 2.0f;
              },
              hex(0x0f5a48), 10, 60);
    // The block and the halo's reach around it, in canvas units; the masks
    // cover just that.
    const Rect block{int(128 * Scale), int(440 * Scale), int(226 * Scale), int(536 * Scale)};
    const int mx = block.x0 - 6, my = block.y0 - 6, mw = block.x1 - block.x0 + 12, mh = block.y1 - block.y0 + 12;
    const int d = canvas.density;
    const Image word = textMask(mw, mh, d, bold, 17 * Scale, cx - measureText(bold, 17 * Scale, "Nordglow") * 0.5f - float(mx),
                                (600 - 104) * Scale - float(my), "Nordglow");
    const Image year = textMask(mw, mh, d, light, 24 * Scale, cx - measureText(light, 24 * Scale, "2002", 6) * 0.5f - float(mx),
                                (600 - 78) * Scale - float(my), "2002", 6);
    const Gradient ice{{0.0f, hex(0xeaf8ff)}, {0.6f, hex(0x8fd8ff)}, {1.0f, hex(0x3d9be0)}};
    forEachPixelIn(canvas, block, [&](int x, int y, float, float v) {
        const int ix = x - mx * d, iy = y - my * d;
        // 7 x 7 taps two units apart.
        float halo = 0;
        for (int k = -6; k <= 6; k += 2)
            for (int l = -6; l <= 6; l += 2) halo += word.at(ix + l * d, iy + k * d).r + year.at(ix + l * d, iy + k * d).r;
        Rgb& c = canvas.at(x, y);
        c = c + hex(0x2aa0ff) * (halo / 49.0f * 0.6f);
        const float wy = clamp01((v - 0.5f - 478 * Scale) / (20 * Scale));
        c = mix(c, ice.at(wy), word.at(ix, iy).r);
        c = mix(c, hex(0x9ff0d8), year.at(ix, iy).r);
    });
}

Image paintArtCanvas(int density)
{
    Image canvas = Image::inUnits(int(800 * Scale), int(600 * Scale), density);
    paintPlate(canvas);
    paintPanelBorders(canvas);
    const Rgb label = hex(0x7fc8ff);
    paintLabel(canvas, 29, 463, "01 BINARY", 8, label);
    paintLabel(canvas, 29, 333, "02 SPARKS", 8, label);
    paintLabel(canvas, 29, 204, "03 CORES", 8, label);
    paintLabel(canvas, 29, 73, "04 PANEL", 8, label);
    paintLabel(canvas, 8, 3, "VU 4.6.7", 7, label);
    paintLabel(canvas, 232, 4, "MAIN VIEW", 7, label * 0.8f);
    paintLabel(canvas, 700, 4, "800x600", 7, label * 0.8f);
    // Tick marks down the right margin.
    for (int i = 0; i < 40; ++i) {
        const float y = (600.0f - 20.0f - float(i) * 14.0f) * Scale;
        const float len = (i % 5 == 0 ? 12.0f : 6.0f) * Scale;
        paintShape(canvas, {int(782 * Scale - len - 4), int(y - 4), int(782 * Scale + 4), int(y + 4)},
                   [&](float x, float yy) { return sdSegment(x, yy, 782 * Scale - len, y, 782 * Scale, y, 1.0f); },
                   hex(0x3f86b8));
    }
    paintTitle(canvas);
    return canvas;
}

} // namespace

Image makeFrameMask(int density)
{
    Image img(Size * density, Size * density);
    img.forEach([&](int i, int row, Rgb& p) {
        double x0, y0, x1, y1;
        texelScreenRect(img.width, i, row, x0, y0, x1, y1);
        const float v = float(panelCoverage(x0, y0, x1, y1));
        p = {v, v, v};
    });
    return img;
}

Image makeFrameArt(int density)
{
    const Image canvas = paintArtCanvas(density);
    const double pixelsPerScreenPixel = Scale * density;
    Image img(Size * density, Size * density);
    img.forEach([&](int i, int row, Rgb& p) {
        double x0, y0, x1, y1;
        texelScreenRect(img.width, i, row, x0, y0, x1, y1);
        // Four samples across the texel's footprint on screen.
        Rgb sum;
        for (int k = 0; k < 2; ++k)
            for (int l = 0; l < 2; ++l) {
                const double sx = x0 + (x1 - x0) * (0.25 + 0.5 * l);
                const double sy = y0 + (y1 - y0) * (0.25 + 0.5 * k);
                sum = sum + sampleClamped(canvas, float(sx * pixelsPerScreenPixel), float((600.0 - sy) * pixelsPerScreenPixel));
            }
        // Nothing may be added inside a panel.
        p = sum * (0.25f * float(1.0 - panelCoverage(x0, y0, x1, y1)));
    });
    return img;
}

} // namespace datagen
