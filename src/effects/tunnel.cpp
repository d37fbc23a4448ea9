// The tunnel flight: a tube of 13 points by up to 85 slices that snakes with
// a growing phase, shaded darker with depth, and the fighter at its mouth.
#include "effects/tunnel.h"

#include "assets/model.h"
#include "assets/texture_set.h"
#include "core/frame_clock.h"

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cmath>

TunnelState Tunnel;
const float TunnelStep = 3.14159265358979f;

namespace {

constexpr double ShrinkStartMs = 53500.0;

// The count after this frame's loss: the integer part of slices - FrameDelta / 21.
// It never rises (a step back in song time or a NaN step leaves it), and a
// very long step saturates at INT_MIN instead of overflowing.
int shrunkSlices(int slices, double frameDelta)
{
    const double next = std::trunc(static_cast<double>(slices) - frameDelta / 21.0);
    if (!(next < static_cast<double>(slices))) return slices;
    if (next < static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(next);
}

void computeTube(int slices, float s)
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
            Tunnel.TunnelX[r][j] = ringX + 2.0f * std::sin(g * (1.0f / 29.0f)) + std::sin(g * (1.0f / 13.0f)) -
                            2.0f * sinS29 - sinS13;
            Tunnel.TunnelY[r][j] = ringY + 2.0f * std::cos(g * (1.0f / 33.0f)) + std::sin(g * (1.0f / 17.0f)) -
                            2.0f * cosS33 - sinS17;
            Tunnel.TunnelZ[r][j] = -static_cast<float>(j);
        }
    }
}

void tubeVertex(int r, int j, float c, float u, float v)
{
    glColor3f(c, c, c);
    glTexCoord2f(u, v);
    glVertex3f(Tunnel.TunnelX[r][j], Tunnel.TunnelY[r][j], Tunnel.TunnelZ[r][j]);
}

void drawTube(int slices, float s)
{
    for (int j = 0; j + 1 < slices; ++j) {  // slices - 1 could overflow at INT_MIN
        bindTexture(TexTunnel);
        glBegin(GL_QUADS);
        const float fj = static_cast<float>(j);
        const float k = 0.0025f * fj;
        const float q = Tunnel.TunnelShade;
        // Shade falls with depth, 1 at the mouth to 0 near slice 76.
        const float c0 = 1.0f - (fj / (0.1f * q + 64.0f) - k);
        const float c1 = 1.0f - (fj / (q + 64.0f) - k);
        const float c2 = 1.0f - ((fj + 1.0f) / 64.0f - k);
        const float v0 = 2.0f * s;
        const float v1 = 2.0f * s + 1.0f;
        for (int r = 0; r < TunnelPoints - 1; ++r) {
            tubeVertex(r, j, c0, 0.0f, v0);
            tubeVertex(r + 1, j, c1, 1.0f, v0);
            tubeVertex(r + 1, j + 1, c2, 1.0f, v1);
            tubeVertex(r, j + 1, c2, 0.0f, v1);
        }
        glEnd();
        Tunnel.TunnelShade += 0.1f;
        if (Tunnel.TunnelShade >= 1.0f) Tunnel.TunnelShade = 0.0f;
    }
}

} // namespace

void drawTunnelFlight()
{
    glTranslatef(0.5f, 0.0f, -4.0f);
    Tunnel.TunnelPhase = static_cast<float>(Tunnel.TunnelPhase + Clock.FrameDelta * 0.1);
    if (Clock.SongTime > ShrinkStartMs) Tunnel.TunnelSlices = shrunkSlices(Tunnel.TunnelSlices, Clock.FrameDelta);

    // The count never rises above the grid size, so this only guards the grids.
    const int slices = std::min(Tunnel.TunnelSlices, TunnelMaxSlices);
    const float s = Tunnel.TunnelPhase;
    if (slices > 0) computeTube(slices, s);

    // The fighter follows vertex [5][2] at a tenth of its offset; with fewer
    // than three slices that vertex keeps its last computed place.
    glPushMatrix();
    glTranslatef(0.1f * Tunnel.TunnelX[5][2], 0.1f * Tunnel.TunnelY[5][2] - 0.2f, 2.0f);
    glRotatef(Tunnel.FighterRoll, 0.0f, 0.0f, 1.0f);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    drawModel(Assets.fighterModel);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();

    Tunnel.FighterRoll = 50.0f * (std::cos(Tunnel.TunnelX[5][2]) + std::sin(Tunnel.TunnelY[5][2]));

    drawTube(slices, s);
}
