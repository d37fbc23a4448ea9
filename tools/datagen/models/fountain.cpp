// The fountain: one turned stone piece from the floor up: a stepped plinth, a
// baluster pedestal, a raised basin whose inside floor is at y = 1.5 within a
// wall of radius 1.5 and a rolled rim, and a central column carrying a small
// bowl whose lip is at y = 2.6, just under the spray's source at (0, 2.7, 0).
// Droplets settle on the basin floor and bounce on the floor at y = -0.14.
#include "datagen/models/models.h"

namespace datagen {

Mesh makeFountain()
{
    const std::vector<ProfilePoint> profile = {
        {0.0f, -0.18f},
        {1.05f, -0.18f, true},  // plinth
        {1.05f, -0.08f, true},
        {0.90f, -0.08f, true},  // step
        {0.90f, 0.02f, true},
        {0.62f, 0.06f},         // pedestal foot
        {0.44f, 0.18f},
        {0.34f, 0.40f},         // baluster belly and neck
        {0.40f, 0.62f},
        {0.30f, 0.86f, true},
        {0.36f, 0.92f, true},   // collar
        {0.36f, 0.98f, true},
        {0.50f, 1.06f},         // basin underside, flaring out
        {0.95f, 1.18f},
        {1.38f, 1.33f},
        {1.62f, 1.50f},
        {1.68f, 1.62f, true},   // rim: outside, top, inside
        {1.66f, 1.70f},
        {1.60f, 1.75f},
        {1.53f, 1.72f},
        {1.50f, 1.64f, true},
        {1.50f, 1.50f, true},   // inner wall down to the basin floor
        {0.22f, 1.50f, true},   // floor in to the column
        {0.20f, 1.70f},
        {0.17f, 1.95f},
        {0.21f, 2.02f, true},   // ring on the column
        {0.21f, 2.08f, true},
        {0.15f, 2.15f},
        {0.12f, 2.34f},
        {0.22f, 2.44f},         // top bowl
        {0.40f, 2.54f},
        {0.46f, 2.60f, true},   // its lip
        {0.38f, 2.60f, true},
        {0.20f, 2.55f},
        {0.0f, 2.53f},
    };
    Mesh m = lathe(profile, 40);
    // Reflection coordinates for the chrome picture, seen from the circling camera.
    bakeReflectionCoords(m, normalise({0, -0.4f, -1}));
    return m;
}

} // namespace datagen
