// Particles (not built yet).
#include "effects/particles.h"

void initParticlePools() {}
void drawSparkPool(float, float, float) {}
void drawFlamePool(float, float, float) {}
void drawSprayPool(float, float, float) {}
