// The tunnel flight: a tube of 13 points by up to 85 slices that snakes with
// a growing phase, shaded darker with depth, and the fighter at its mouth.
#include "effects/tunnel.h"

#include "assets/model.h"
#include "assets/texture_set.h"

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

const float TunnelStep = 3.14159265358979f;

namespace {

constexpr double ShrinkStartMs = 53500.0;

// The count after one step's loss: the integer part of slices - step ms / 21.
// It never rises (a step back in song time or a NaN step leaves it), and a
// very long step saturates at INT_MIN instead of overflowing.
int shrunkSlices(int slices, double stepMs)
{
    const double next = std::trunc(static_cast<double>(slices) - stepMs / 21.0);
    if (!(next < static_cast<double>(slices))) return slices;
    if (next < static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(next);
}

void computeTube(TunnelState& tunnel, int slices, float s)
{
    const float sinS29 = std::sin(s * (1.0f / 29.0f));
    const float sinS13 = std::sin(s * (1.0f / 13.0f));
    const float cosS33 = std::cos(s * (1.0f / 33.0f));
    const float sinS17 = std::sin(s * (1.0f / 17.0f));
    for (int r = 0; r < TunnelPoints; ++r) {
        const float a = static_cast<float>(r) * TunnelStep * (1.0f / 6.0f);
        const float ringX = 3.0f * std::cos(a);
        const float ringY = 3.0f * std::sin(a);
        for (int j = 0; j < slices; ++j) {
            const float g = s + 2.0f * static_cast<float>(j);
            tunnel.TunnelX[r][j] = ringX + 2.0f * std::sin(g * (1.0f / 29.0f)) + std::sin(g * (1.0f / 13.0f)) -
                            2.0f * sinS29 - sinS13;
            tunnel.TunnelY[r][j] = ringY + 2.0f * std::cos(g * (1.0f / 33.0f)) + std::sin(g * (1.0f / 17.0f)) -
                            2.0f * cosS33 - sinS17;
            tunnel.TunnelZ[r][j] = -static_cast<float>(j);
        }
    }
}

void tubeVertex(TunnelState& tunnel, int r, int j, float c, float u, float v)
{
    glColor3f(c, c, c);
    glTexCoord2f(u, v);
    glVertex3f(tunnel.TunnelX[r][j], tunnel.TunnelY[r][j], tunnel.TunnelZ[r][j]);
}

// A vertex `part` of the way from slice j to slice j + 1.
void tubeVertexBetween(TunnelState& tunnel, int r, int j, float part, float c, float u, float v)
{
    glColor3f(c, c, c);
    glTexCoord2f(u, v);
    glVertex3f(tunnel.TunnelX[r][j] + (tunnel.TunnelX[r][j + 1] - tunnel.TunnelX[r][j]) * part,
               tunnel.TunnelY[r][j] + (tunnel.TunnelY[r][j + 1] - tunnel.TunnelY[r][j]) * part,
               tunnel.TunnelZ[r][j] + (tunnel.TunnelZ[r][j + 1] - tunnel.TunnelZ[r][j]) * part);
}

void advanceShade(TunnelState& tunnel)
{
    tunnel.TunnelShade += 0.1f;
    if (tunnel.TunnelShade >= 1.0f) tunnel.TunnelShade = 0.0f;
}

// The shade's walk through a tube of `slices` slices, as drawing it walks.
void walkShade(TunnelState& tunnel, int slices)
{
    for (int j = 0; j + 1 < slices; ++j) advanceShade(tunnel);
}

// The tube's rows of quads; the last row reaches `farEnd` (0..1] of the way to
// the last slice, so that a tube losing its far slice loses it smoothly.
void drawTube(TunnelState& tunnel, int slices, float s, float farEnd)
{
    for (int j = 0; j + 1 < slices; ++j) {  // slices - 1 could overflow at INT_MIN
        bindTexture(TexTunnel);
        glBegin(GL_QUADS);
        const float fj = static_cast<float>(j);
        const float k = 0.0025f * fj;
        const float q = tunnel.TunnelShade;
        // Shade falls with depth, 1 at the mouth to 0 near slice 76.
        const float c0 = 1.0f - (fj / (0.1f * q + 64.0f) - k);
        const float c1 = 1.0f - (fj / (q + 64.0f) - k);
        const float v0 = 2.0f * s;
        if (j + 2 == slices && farEnd < 1.0f) {
            const float c2 = 1.0f - ((fj + farEnd) / 64.0f - k);
            const float v1 = 2.0f * s + farEnd;
            for (int r = 0; r < TunnelPoints - 1; ++r) {
                tubeVertex(tunnel, r, j, c0, 0.0f, v0);
                tubeVertex(tunnel, r + 1, j, c1, 1.0f, v0);
                tubeVertexBetween(tunnel, r + 1, j, farEnd, c2, 1.0f, v1);
                tubeVertexBetween(tunnel, r, j, farEnd, c2, 0.0f, v1);
            }
        } else {
            const float c2 = 1.0f - ((fj + 1.0f) / 64.0f - k);
            const float v1 = 2.0f * s + 1.0f;
            for (int r = 0; r < TunnelPoints - 1; ++r) {
                tubeVertex(tunnel, r, j, c0, 0.0f, v0);
                tubeVertex(tunnel, r + 1, j, c1, 1.0f, v0);
                tubeVertex(tunnel, r + 1, j + 1, c2, 1.0f, v1);
                tubeVertex(tunnel, r, j + 1, c2, 0.0f, v1);
            }
        }
        glEnd();
        advanceShade(tunnel);
    }
}

// Slices lost in step `index` start falling with the first step that starts
// after 53.5 s.
int slicesAfterStep(int slices, std::int64_t index)
{
    if (static_cast<double>(stepStartMs(index)) <= ShrinkStartMs) return slices;
    return shrunkSlices(slices, stepLengthMs(index));
}

} // namespace

void drawTunnelFlight(TunnelState& tunnel, const FrameInput& in)
{
    const StepRun& steps = in.steps;
    glTranslatef(0.5f, 0.0f, -4.0f);
    tunnel.TunnelPhase = static_cast<float>(tunnel.TunnelPhase + in.frameDelta * 0.1);
    // Each step loses its slices and walks the shade through the tube; the
    // frame's last step walks it while the tube is drawn below.
    const std::int64_t first = steps.last - steps.count + 1;
    for (int i = 0; i < steps.count; ++i) {
        tunnel.TunnelSlices = slicesAfterStep(tunnel.TunnelSlices, first + i);
        if (i + 1 < steps.count) walkShade(tunnel, std::min(tunnel.TunnelSlices, TunnelMaxSlices));
    }

    // The count never rises above the grid size, so this only guards the grids.
    const int slices = std::min(tunnel.TunnelSlices, TunnelMaxSlices);
    const float s = tunnel.TunnelPhase;
    if (slices > 0) computeTube(tunnel, slices, s);

    // The fighter follows vertex [5][2] at a tenth of its offset; with fewer
    // than three slices that vertex keeps its last computed place.
    glPushMatrix();
    glTranslatef(0.1f * tunnel.TunnelX[5][2], 0.1f * tunnel.TunnelY[5][2] - 0.2f, 2.0f);
    glRotatef(tunnel.FighterRoll, 0.0f, 0.0f, 1.0f);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    drawModel(Assets.fighterModel);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();

    tunnel.FighterRoll = 50.0f * (std::cos(tunnel.TunnelX[5][2]) + std::sin(tunnel.TunnelY[5][2]));

    // Between steps the far end recedes toward the next step's count.
    float farEnd = 1.0f;
    if (steps.fraction > 0.0f && slices >= 2 && slicesAfterStep(slices, steps.last + 1) == slices - 1)
        farEnd = 1.0f - steps.fraction;
    // A frame between steps draws the shimmer of the latest step again, and
    // leaves the shade where that step's walk left it.
    const float walked = tunnel.TunnelShade;
    if (steps.count == 0) tunnel.TunnelShade = tunnel.TunnelShadeShown;
    else tunnel.TunnelShadeShown = tunnel.TunnelShade;
    drawTube(tunnel, slices, s, farEnd);
    if (steps.count == 0) tunnel.TunnelShade = walked;
}
