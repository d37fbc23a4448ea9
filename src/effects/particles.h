// The three particle pools: sparks, flames and the fountain's spray.
// The sparks' and flames' draw calls advance their pool by the steps their
// frame crossed (one step per 1000/60 ms of song time, whatever the frame
// rate) and draw it as it was before the latest step, moved on by the frame's
// fraction of that step. The spray, shown twice a frame, is advanced once per
// frame and each showing drawn at its own place in the pool's last steps.
#pragma once

#include "core/frame_input.h"
#include "core/random.h"

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
    // Each pool as it was before its latest step: what a frame draws.
    Particle SparkPoolBefore[SparkCount] = {};
    Particle FlamePoolBefore[FlameCount] = {};
    Particle SprayPoolBefore[SprayCount] = {};
    Particle SprayPoolEarlier[SprayCount] = {};  // the spray two pool steps back


    bool operator==(const ParticleState&) const = default;
};

// Sparks first, then flames, each in array order (draws from nextRandom).
// Leaves the spray pool and SparkAngle as they are.
void initParticlePools(ParticleState& particles, RandomGenerator& random, double frameDelta);

// Each pushes the modelview matrix, translates by (x, y, z), steps its pool
// `steps.count` times (the spray: see stepSprayPool) and draws it, and pops. Sparks are drawn as they were
// before the latest step, never in between (each step re-places them at
// random); flames and spray between their last two steps, at
// `steps.fraction`. GL state left:
//   sparks: blending on, depth test off, p1 bound;
//   flames: blending on with (ONE, ONE), depth test off, p1 bound;
//   spray:  depth test on, blending off, p2 bound.
void drawSparkPool(ParticleState& particles, RandomGenerator& random, float x, float y, float z, const FrameInput& in);
// Records the spray's sphere (the reborn radius, 5 x 5) as a display list of
// the current context, so that the 500 spheres per frame replay GLU's exact
// geometry without rebuilding it. Call in every new context once
// SphereQuadric exists; other radii are still drawn by GLU directly.
void buildSpraySphere();
void drawFlamePool(ParticleState& particles, RandomGenerator& random, float x, float y, float z, const StepRun& steps);
// Advances the spray by `poolSteps` of its own steps, keeping the two states
// before the latest (draws from nextRandom for each rebirth).
void stepSprayPool(ParticleState& particles, RandomGenerator& random, int poolSteps);
// Draws the spray as it stands `at` pool steps from its current state: -2 and
// -1 are the two kept states, 0 the current one, between them in proportion,
// and up to 1 toward the next pool step, worked out without taking it (a
// droplet that step would rebirth stays where it is). Moves nothing.
void drawSprayPool(const ParticleState& particles, float x, float y, float z, float at, float mirrorAngle);
