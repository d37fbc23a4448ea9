// Fountain (not built yet).
#include "effects/fountain.h"

float MirrorAngle = 0.0f;
float CameraEye[3] = {0, 0, 0};
void drawFloor() {}
void drawFountainGroup() {}
void drawMirroredFountain() {}
