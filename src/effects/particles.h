// The three particle pools: sparks, flames and the fountain's spray.
// Each draw call draws every particle of its pool in array order and then
// advances it by one step; there is no separate update pass.
#pragma once

struct Particle {
    float fade;         // life lost per step, before the pool's own factor
    float life;         // reborn at 0 or less
    float position[3];  // in the pool's local frame
    float velocity[3];  // position advances by velocity / (slowdown * 1000) per step
    float gravity[3];   // added to the velocity per step (flames scale the y term)
    float colour[3];    // base colour, scaled by life when drawn
    float size;         // half edge of a sprite, or sphere radius
    float slowdown;     // divisor of the velocity

    bool operator==(const Particle&) const = default;
};

constexpr int SparkCount = 200;
constexpr int FlameCount = 350;
constexpr int SprayCount = 250;

struct ParticleState {
    Particle SparkPool[SparkCount] = {};  // red sprites in side panel 2
    Particle FlamePool[FlameCount] = {};  // pentagram scene flames
    Particle SprayPool[SprayCount] = {};  // fountain water; starts all zero
    float SparkAngle = 0.0f;              // radians; += FrameDelta * 0.0005 per spark draw

    bool operator==(const ParticleState&) const = default;
};
extern ParticleState Particles;

// Sparks first, then flames, each in array order (draws from nextRandom).
// Leaves the spray pool and SparkAngle as they are.
void initParticlePools();

// Each pushes the modelview matrix, translates by (x, y, z), draws and steps
// its pool, and pops. GL state left:
//   sparks: blending on, depth test off, p1 bound;
//   flames: blending on with (ONE, ONE), depth test off, p1 bound;
//   spray:  depth test on, blending off, p2 bound.
void drawSparkPool(float x, float y, float z);
// Records the spray's sphere (the reborn radius, 5 x 5) as a display list of
// the current context, so that the 500 spheres per frame replay GLU's exact
// geometry without rebuilding it. Call in every new context once
// SphereQuadric exists; other radii are still drawn by GLU directly.
void buildSpraySphere();
void drawFlamePool(float x, float y, float z);
void drawSprayPool(float x, float y, float z);
