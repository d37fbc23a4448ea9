// The three particle pools: sparks, flames and the fountain's spray.
#pragma once

void initParticlePools();
void drawSparkPool(float x, float y, float z);
void drawFlamePool(float x, float y, float z);
void drawSprayPool(float x, float y, float z);
