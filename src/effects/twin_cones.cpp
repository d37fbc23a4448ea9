// Twin cones (not built yet).
#include "effects/twin_cones.h"

float ConeSpin = 0.0f;
void drawTwinCones(bool) {}
