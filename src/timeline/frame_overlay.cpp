// The decorative frame over the main part: the picture multiplied by the
// frame mask, then the frame artwork added, drawn only where the two
// textures can change the picture.
#include "timeline/frame_overlay.h"

#include "assets/texture_set.h"
#include "core/gl_resources.h"
#include "core/picture.h"
#include "timeline/overlay_quad.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Most of the frame mask is pure white and most of the artwork pure black:
// there the two overlay passes leave the picture's colour exactly as it was
// (x 1, then + 0). The cover is a set of disjoint window rectangles outside
// which both textures are inert; the overlay quad is then drawn once per
// rectangle under the scissor test. The quad itself is unchanged, so every
// pixel inside the cover gets exactly the value a single full draw gives.
// Only the colour channels are equal outside the cover: the additive pass
// would have set alpha to 1 there, and nothing reads that alpha.

constexpr int CoverTile = 8;  // pixels; the cover is made of whole tiles

struct TexelGrid {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> inert;  // 1 where the texel leaves the picture unchanged
};

// Reads the texture's level 0 and marks texels equal to `value` in all three
// channels. One channel is read at a time (a 4x artwork's RGB would be 48 MB
// at once), and a luminance texture's one channel as such: read as RGB it
// would give green and blue 0.
TexelGrid readInertTexels(GLuint name, std::uint8_t value)
{
    TexelGrid grid;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &grid.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &grid.height);
    if (grid.width <= 0 || grid.height <= 0) return grid;
    GLint luminanceBits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_LUMINANCE_SIZE, &luminanceBits);
    const std::vector<GLenum> channels =
        luminanceBits > 0 ? std::vector<GLenum>{GL_LUMINANCE} : std::vector<GLenum>{GL_RED, GL_GREEN, GL_BLUE};
    const std::size_t count = static_cast<std::size_t>(grid.width) * grid.height;
    std::vector<std::uint8_t> texels(count);
    grid.inert.assign(count, 1);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (const GLenum channel : channels) {
        glGetTexImage(GL_TEXTURE_2D, 0, channel, GL_UNSIGNED_BYTE, texels.data());
        for (std::size_t i = 0; i < count; ++i) grid.inert[i] &= texels[i] == value;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    return grid;
}

// Whether every texel the linear filter may read for coordinates s0..s1,
// t0..t1 is inert, under repeat or clamp wrapping, with a two-texel margin.
bool texelsInert(const TexelGrid& g, double s0, double s1, double t0, double t1)
{
    if (g.inert.empty()) return false;
    const int margin = 2;
    const int u0 = static_cast<int>(std::floor(s0 * g.width - 0.5)) - margin;
    const int u1 = static_cast<int>(std::floor(s1 * g.width - 0.5)) + 1 + margin;
    const int v0 = static_cast<int>(std::floor(t0 * g.height - 0.5)) - margin;
    const int v1 = static_cast<int>(std::floor(t1 * g.height - 0.5)) + 1 + margin;
    if (u1 - u0 >= 2 * g.width || v1 - v0 >= 2 * g.height) return false;
    auto wrap = [](int i, int n) { return ((i % n) + n) % n; };
    auto clamp = [](int i, int n) { return i < 0 ? 0 : (i >= n ? n - 1 : i); };
    for (int v = v0; v <= v1; ++v) {
        for (int u = u0; u <= u1; ++u) {
            const std::size_t repeated = static_cast<std::size_t>(wrap(v, g.height)) * g.width + wrap(u, g.width);
            const std::size_t clamped = static_cast<std::size_t>(clamp(v, g.height)) * g.width + clamp(u, g.width);
            if (!g.inert[repeated] || !g.inert[clamped]) return false;
        }
    }
    return true;
}

// The overlay quad's window rectangle: the 45-degree 4:3 perspective that
// Resize sets (its two scale terms in single precision, as GL keeps them) and
// the picture's viewport. x at s = 0, x at s = 1, y at t = 0, y at t = 1.
void overlayWindowRect(double window[4])
{
    const double radians = 45.0 / 2.0 * 3.14159265358979323846 / 180.0;
    const double cotangent = std::cos(radians) / std::sin(radians);
    const double px = static_cast<float>(cotangent / (static_cast<double>(PictureWidth) / PictureHeight));
    const double py = static_cast<float>(cotangent);
    const double w = -static_cast<double>(OverlayDistance);
    const PictureRect& v = Picture.area;
    auto windowX = [&](double x) { return v.x + ((px * x / w) + 1.0) * 0.5 * v.width; };
    auto windowY = [&](double y) { return v.y + ((py * y / w) + 1.0) * 0.5 * v.height; };
    window[0] = windowX(-OverlayHalfWidth);
    window[1] = windowX(OverlayHalfWidth);
    window[2] = windowY(-OverlayHalfHeight);
    window[3] = windowY(OverlayHalfHeight);
}

// Works out c.rects for c's textures and the current picture transform.
void computeCover(OverlayCover& c)
{
    c.rects.clear();
    c.useful = false;
    const TexelGrid mask = readInertTexels(c.mask, 255);
    const TexelGrid art = readInertTexels(c.art, 0);
    if (mask.inert.empty() || art.inert.empty()) return;

    const int vx = Picture.area.x, vy = Picture.area.y, vw = Picture.area.width, vh = Picture.area.height;
    double window[4];
    overlayWindowRect(window);
    const int cols = (vw + CoverTile - 1) / CoverTile;
    const int rows = (vh + CoverTile - 1) / CoverTile;
    const double sx = 1.0 / (window[1] - window[0]);
    const double sy = 1.0 / (window[3] - window[2]);
    std::vector<std::uint8_t> active(static_cast<std::size_t>(cols) * rows, 0);
    int activeTiles = 0;
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            const double x0 = vx + col * CoverTile + 0.5;
            const double x1 = vx + std::min((col + 1) * CoverTile, vw) - 0.5;
            const double y0 = vy + row * CoverTile + 0.5;
            const double y1 = vy + std::min((row + 1) * CoverTile, vh) - 0.5;
            double s0 = (x0 - window[0]) * sx, s1 = (x1 - window[0]) * sx;
            double t0 = (y0 - window[2]) * sy, t1 = (y1 - window[2]) * sy;
            if (s0 > s1) std::swap(s0, s1);
            if (t0 > t1) std::swap(t0, t1);
            const bool inert = texelsInert(mask, s0, s1, t0, t1) && texelsInert(art, s0, s1, t0, t1);
            active[static_cast<std::size_t>(row) * cols + col] = !inert;
            activeTiles += !inert;
        }
    }
    // Not worth the extra draws when little can be left out.
    if (activeTiles * 10 > cols * rows * 8) return;

    // Runs of active tiles per row; a run continues a rectangle from the row
    // below when both span the same columns.
    std::vector<std::array<int, 4>> open;  // in tiles: col, row, cols, rows
    for (int row = 0; row <= rows; ++row) {
        std::vector<std::array<int, 4>> runs;
        for (int col = 0; row < rows && col < cols;) {
            if (!active[static_cast<std::size_t>(row) * cols + col]) {
                ++col;
                continue;
            }
            int end = col;
            while (end < cols && active[static_cast<std::size_t>(row) * cols + end]) ++end;
            runs.push_back({col, row, end - col, 1});
            col = end;
        }
        std::vector<std::array<int, 4>> next;
        for (auto& run : runs) {
            bool extended = false;
            for (auto& r : open) {
                if (r[3] > 0 && r[0] == run[0] && r[2] == run[2] && r[1] + r[3] == row) {
                    ++r[3];
                    next.push_back(r);
                    r[3] = 0;  // moved
                    extended = true;
                    break;
                }
            }
            if (!extended) next.push_back(run);
        }
        for (const auto& r : open) {
            if (r[3] == 0) continue;
            const int x = vx + r[0] * CoverTile;
            const int y = vy + r[1] * CoverTile;
            c.rects.push_back({x, y, std::min(r[2] * CoverTile, vx + vw - x), std::min(r[3] * CoverTile, vy + vh - y)});
        }
        open = next;
    }
    c.useful = true;
}

// Brings the cover up to date: worked out again only for other texture
// names or another picture transform.
void updateCover()
{
    const GLuint mask = Gl.Textures[TexFrames02];
    const GLuint art = Gl.Textures[TexFrame03];
    if (Gl.FrameOverlayCover.computed && Gl.FrameOverlayCover.mask == mask && Gl.FrameOverlayCover.art == art && Gl.FrameOverlayCover.generation == Picture.generation) return;
    Gl.FrameOverlayCover.computed = true;
    Gl.FrameOverlayCover.mask = mask;
    Gl.FrameOverlayCover.art = art;
    Gl.FrameOverlayCover.generation = Picture.generation;
    computeCover(Gl.FrameOverlayCover);
}

// The cover to draw the overlay in, or null when the overlay is drawn whole:
// before the cover is prepared, or with a scissor test on (the caller's).
const std::vector<std::array<int, 4>>* frameOverlayCover()
{
    if (!Gl.FrameOverlayCover.wanted || glIsEnabled(GL_SCISSOR_TEST)) return nullptr;
    updateCover();
    return Gl.FrameOverlayCover.useful ? &Gl.FrameOverlayCover.rects : nullptr;
}

void drawOverlayQuadIn(const std::vector<std::array<int, 4>>* cover)
{
    if (!cover) {
        drawOverlayQuad(OverlayTexture::Upright);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    for (const auto& r : *cover) {
        glScissor(r[0], r[1], r[2], r[3]);
        drawOverlayQuad(OverlayTexture::Upright);
    }
}

} // namespace

void forgetFrameOverlayCover()
{
    Gl.FrameOverlayCover = OverlayCover{};
}

void prepareFrameOverlayCover()
{
    Gl.FrameOverlayCover.wanted = true;
    updateCover();
}

int frameOverlayCoverRects()
{
    return Gl.FrameOverlayCover.useful ? static_cast<int>(Gl.FrameOverlayCover.rects.size()) : 0;
}

void drawFrameOverlay()
{
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, OverlayDistance);

    // Multiply the picture by the mask, then add the artwork.
    const std::vector<std::array<int, 4>>* cover = frameOverlayCover();
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    bindTexture(TexFrames02);
    drawOverlayQuadIn(cover);

    glBlendFunc(GL_ONE, GL_ONE);
    bindTexture(TexFrame03);
    drawOverlayQuadIn(cover);
    if (cover) glDisable(GL_SCISSOR_TEST);
}
