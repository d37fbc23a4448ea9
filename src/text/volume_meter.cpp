// The volume meter: three textured strips whose length follows the smoothed
// level of one mixer channel each.
#include "text/volume_meter.h"

#include "assets/texture_set.h"
#include "platform/platform.h"

#include <GL/gl.h>

namespace {
constexpr int MeterChannels[3] = {4, 6, 7};
}

void InitVolumeMeter(VolumeMeterState& meter)
{
    meter.VolumeLevels[0] = 0.5f;
}

float smoothVolumeLevel(float smoothed, float level)
{
    float s = smoothed;
    if (1.3 * s < level) {
        s = level;
    } else {
        s = s - (s - level) * 0.1f;
    }
    if (s > 0.5f) s = 0.5f;
    return s;
}

void DrawVolumeMeter(VolumeMeterState& meter, const StepRun& steps)
{
    glTranslatef(-2.74f, -1.9f, -5.0f);
    float levels[3];
    for (int i = 0; i < 3; ++i) levels[i] = plat::musicGetChannelVU(MeterChannels[i]);
    for (int step = 0; step < steps.count; ++step) {
        for (int i = 0; i < 3; ++i) meter.VolumeLevels[i] = smoothVolumeLevel(meter.VolumeLevels[i], levels[i]);
    }

    bindTexture(TexVu02);
    glPushMatrix();
    for (int i = 0; i < 3; ++i) {
        // The strip shows s = 0..w of the texture over a length of w + 0.1.
        const float y0 = 0.1f * static_cast<float>(i);
        const float y1 = y0 + 0.1f;
        const float w = 2.0f * meter.VolumeLevels[i];
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(w, 1.0f);
        glVertex3f(w + 0.1f, y1, 0.0f);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(0.0f, y1, 0.0f);
        glTexCoord2f(w, 0.0f);
        glVertex3f(w + 0.1f, y0, 0.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(0.0f, y0, 0.0f);
        glEnd();
    }
    glPopMatrix();
}
