// The landscape around the camera: one textured, lit, tinted strip per cell.
#include "effects/heightfield_draw.h"

#include "assets/texture_set.h"
#include "effects/heightfield_gen.h"

#include <GL/gl.h>

namespace {

constexpr float WindowHalf = 15.0f;  // cells each side of the camera

int windowBound(float v)
{
    // Clamping before the conversion keeps it defined for any camera value
    // (a NaN camera draws nothing).
    if (!(v > 0.0f)) return 0;
    if (v > 255.0f) return 255;
    return static_cast<int>(v);
}

} // namespace

HeightFieldWindow heightFieldWindow(float cameraX, float cameraZ)
{
    return {windowBound(cameraX - WindowHalf), windowBound(cameraX + WindowHalf),
            windowBound(cameraZ - WindowHalf), windowBound(cameraZ + WindowHalf)};
}

std::uint8_t heightTint(float v)
{
    // [-2^63, 2^63): both bounds are exact in single precision.
    constexpr float Low = -9223372036854775808.0f;
    constexpr float High = 9223372036854775808.0f;
    if (!(v >= Low && v < High)) return 0;  // also infinities and NaN
    const auto whole = static_cast<std::int64_t>(v);
    return static_cast<std::uint8_t>(static_cast<std::uint64_t>(whole) & 0xFFu);
}

HeightColour heightColour(float h)
{
    return {heightTint(1.0f - 1000.0f / (5.0f * h)), heightTint(1.0f - 1000.0f / (10.0f * h)),
            heightTint(1.0f - 1000.0f / h)};
}

void drawHeightField(const HeightFieldData& field, float cameraX, float cameraZ)
{
    glEnable(GL_LIGHTING);
    const HeightFieldWindow w = heightFieldWindow(cameraX, cameraZ);
    for (int i = w.x0; i < w.x1; ++i) {
        for (int j = w.z0; j < w.z1; ++j) {
            bindTexture(TexTestground);
            glBegin(GL_TRIANGLE_STRIP);
            const int corners[4][2] = {{i, j}, {i, j + 1}, {i + 1, j}, {i + 1, j + 1}};
            for (const auto& c : corners) {
                const int k = c[0] * HeightFieldSize + c[1];
                const float h = field.heights[k];
                const HeightColour colour = heightColour(h);
                const Vector3& n = field.normals[k];
                glColor3ub(colour.r, colour.g, colour.b);
                glNormal3f(n.x, n.y, n.z);
                glTexCoord2f(static_cast<float>(c[0]), static_cast<float>(c[1]));
                glVertex3f(static_cast<float>(c[0]), h, static_cast<float>(c[1]));
            }
            glEnd();
            // The first cell keeps the caller's texturing state; the rest are textured.
            glEnable(GL_TEXTURE_2D);
        }
    }
}
