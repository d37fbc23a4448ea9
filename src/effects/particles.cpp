// The particle pools: one record layout and one integration step, with
// per-pool birth, colour, drawing and retirement rules.
#include "effects/particles.h"

#include "assets/texture_set.h"
#include "core/random.h"
#include "core/gl_resources.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>

namespace {

void setColour(float* c, float r, float g, float b)
{
    c[0] = r;
    c[1] = g;
    c[2] = b;
}

void setVector(float* v, float x, float y, float z)
{
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

// A square of half edge s about (px, py, pz), facing +z.
void drawSprite(const float* p, float s)
{
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(p[0] + s, p[1] + s, p[2]);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(p[0] - s, p[1] + s, p[2]);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(p[0] + s, p[1] - s, p[2]);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(p[0] - s, p[1] - s, p[2]);
    glEnd();
}

void movePosition(Particle& p)
{
    const float divisor = p.slowdown * 1000.0f;
    for (int i = 0; i < 3; ++i) p.position[i] += p.velocity[i] / divisor;
}

void addGravity(Particle& p)
{
    for (int i = 0; i < 3; ++i) p.velocity[i] += p.gravity[i];
}

float between(float a, float b, float f) { return a + (b - a) * f; }

// A particle as a frame shows it: as it was before the latest step, moved on
// by the frame's fraction of that step. One reborn in that step stays where
// it was until the next step shows it at its new place. At fraction 0 the
// state before the step is drawn untouched.
Particle shownParticle(const Particle& before, const Particle& now, float fraction)
{
    if (!(fraction > 0.0f) || now.life > before.life) return before;
    Particle p = before;
    for (int i = 0; i < 3; ++i) p.position[i] = between(before.position[i], now.position[i], fraction);
    p.size = between(before.size, now.size, fraction);
    p.life = between(before.life, now.life, fraction);
    return p;
}

template <std::size_t N>
void keepBefore(Particle (&before)[N], const Particle (&pool)[N])
{
    std::copy(std::begin(pool), std::end(pool), std::begin(before));
}

// ---- sparks ----------------------------------------------------------------

void initSpark(RandomGenerator& random, Particle& p)
{
    p.fade = static_cast<float>((nextRandom(random) % 100) * 0.01 + 0.003);
    p.life = 1.0f;
    setColour(p.colour, 1.0f, 1.0f, 1.0f);
    setVector(p.velocity, 0.0f, 0.0f, 0.0f);
    setVector(p.gravity, 0.0f, 0.0f, 0.0f);
    p.size = 0.005f;
    p.slowdown = 2.0f;
}

// Re-placed on the turning curve; life 0.1 against a loss of at least 0.27
// per step, so a reborn spark is reborn again on every call.
void rebirthSpark(ParticleState& particles, RandomGenerator& random, Particle& p)
{
    const float a = static_cast<float>(nextRandom(random) % 1000 - 1);
    p.fade = static_cast<float>((nextRandom(random) % 100) * 0.01 + 0.09);
    p.life = 0.1f;
    setColour(p.colour, 1.0f, 1.0f, 1.0f);
    setVector(p.velocity, 0.0f, 0.0f, 0.0f);
    setVector(p.gravity, 0.0f, 0.0f, 0.0f);
    p.size = 0.03f;
    p.slowdown = 2.0f;
    p.position[0] = static_cast<float>(0.25 * std::cos(0.25 * a) * std::sin(static_cast<double>(particles.SparkAngle)));
    p.position[1] = static_cast<float>(0.25 * std::sin(static_cast<double>(a)) * std::cos(static_cast<double>(particles.SparkAngle)));
    p.position[2] = 0.0f;
}

void stepSparks(ParticleState& particles, RandomGenerator& random)
{
    for (Particle& p : particles.SparkPool) {
        movePosition(p);
        addGravity(p);
        p.life -= p.fade * 3.0f;
        if (p.life <= 0.0f) rebirthSpark(particles, random, p);
    }
}

// ---- flames ----------------------------------------------------------------

// Also the rebirth rule; the spread in x scales with the time step (ms), so
// at set-up (FrameDelta 0) every flame starts at x = 2.
void initFlame(RandomGenerator& random, Particle& p, double stepMs)
{
    const float a = static_cast<float>((nextRandom(random) % 200 - 1) * (stepMs * 0.001));
    p.fade = static_cast<float>((nextRandom(random) % 100) * 0.01 + 0.009);
    p.life = 5.0f;
    setColour(p.colour, 1.0f, 0.5f, 0.2f);
    setVector(p.velocity, 0.0f, 0.0f, 0.0f);
    setVector(p.gravity, 0.0f, 0.3f, 0.0f);
    p.size = 0.2f;
    p.slowdown = 2.0f;
    setVector(p.position, 2.0f - a, -1.9f, 0.0f);
}

// One step of stepMs song milliseconds: rise, grow above y = 0, accelerate
// and age by the step's length.
void stepFlames(ParticleState& particles, RandomGenerator& random, double stepMs)
{
    for (Particle& p : particles.FlamePool) {
        movePosition(p);
        p.size += 0.01f * p.position[1];
        p.velocity[0] += p.gravity[0];
        p.velocity[1] = static_cast<float>(p.velocity[1] + p.gravity[1] * stepMs * 0.01);
        p.velocity[2] += p.gravity[2];
        p.life = static_cast<float>(p.life - p.fade * 3.0 * stepMs * 0.05);
        if (p.life <= 0.0f) initFlame(random, p, stepMs);
    }
}

// ---- spray -----------------------------------------------------------------

void rebirthSpray(RandomGenerator& random, Particle& p)
{
    nextRandom(random);  // drawn and discarded; keeps the sequence of the others
    p.fade = static_cast<float>((nextRandom(random) % 100) * 0.001 + 0.0003);
    p.life = 10.0f;
    setColour(p.colour, 1.0f, 1.0f, 1.0f);
    p.velocity[0] = static_cast<float>(nextRandom(random) % 40 - 20);
    p.velocity[1] = static_cast<float>((nextRandom(random) % 100 - 30) * 2);
    p.velocity[2] = static_cast<float>(nextRandom(random) % 40 - 20);
    setVector(p.gravity, 0.0f, -0.5f, 0.0f);
    p.size = 0.05f;
    p.slowdown = 3.0f;
    setVector(p.position, 0.0f, 0.0f, 0.0f);
}

// Rest in the basin, or a damped bounce on the floor, from the new position.
void collideSpray(Particle& p)
{
    const double x = p.position[0];
    const double y = p.position[1];
    const double z = p.position[2];
    if (x * x + y * y + z * z <= 3.7 && y <= -1.2) {
        p.position[1] = -1.2f;
        setVector(p.velocity, 0.0f, 0.0f, 0.0f);
    } else if (y <= -2.84) {
        p.position[1] = -2.84f;
        p.velocity[1] = static_cast<float>(p.velocity[1] * -0.45);
        p.velocity[0] = static_cast<float>(p.velocity[0] * 0.5);
        p.velocity[2] = static_cast<float>(p.velocity[2] * 0.5);
    }
}

// One pool step of a droplet short of its rebirth: false when it is spent.
bool moveSpray(Particle& p)
{
    movePosition(p);
    collideSpray(p);
    addGravity(p);
    p.life -= p.fade * 3.0f;
    return !(p.life <= 0.0f);
}

void stepSpray(ParticleState& particles, RandomGenerator& random)
{
    for (Particle& p : particles.SprayPool) {
        if (!moveSpray(p)) rebirthSpray(random, p);
    }
}

// A droplet as the next pool step will leave it; one that step would rebirth
// stays where it is, as a frame shows a droplet reborn in its latest step.
Particle sprayAhead(const Particle& now)
{
    Particle next = now;
    return moveSpray(next) ? next : now;
}

} // namespace

void initParticlePools(ParticleState& particles, RandomGenerator& random, double frameDelta)
{
    for (Particle& p : particles.SparkPool) initSpark(random, p);
    for (Particle& p : particles.FlamePool) initFlame(random, p, frameDelta);
    keepBefore(particles.SparkPoolBefore, particles.SparkPool);
    keepBefore(particles.FlamePoolBefore, particles.FlamePool);
}

void drawSparkPool(ParticleState& particles, RandomGenerator& random, float x, float y, float z, const FrameInput& in)
{
    const StepRun& steps = in.steps;
    glPushMatrix();
    glTranslatef(x, y, z);
    // Blending (with the function in force) and no depth test for every spark;
    // nothing in the loop changes either, so they are set once.
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    bindTexture(TexP1);
    for (int i = 0; i < steps.count; ++i) {
        keepBefore(particles.SparkPoolBefore, particles.SparkPool);
        stepSparks(particles, random);
    }
    for (const Particle& p : particles.SparkPoolBefore) {
        glColor3f(p.life * p.colour[0] * 10.0f, 0.0f, 0.0f);
        drawSprite(p.position, p.size);
    }
    particles.SparkAngle = static_cast<float>(particles.SparkAngle + in.frameDelta * 0.0005);
    glPopMatrix();
}

void drawFlamePool(ParticleState& particles, RandomGenerator& random, float x, float y, float z, const StepRun& steps)
{
    glPushMatrix();
    glTranslatef(x, y, z);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ONE);
    bindTexture(TexP1);
    for (int i = 0; i < steps.count; ++i) {
        keepBefore(particles.FlamePoolBefore, particles.FlamePool);
        stepFlames(particles, random, stepLengthMs(steps.last - steps.count + 1 + i));
    }
    for (int i = 0; i < FlameCount; ++i) {
        const Particle p = shownParticle(particles.FlamePoolBefore[i], particles.FlamePool[i], steps.fraction);
        // Colour from size and height before the step: orange while low and
        // small, else a grey of size * y (black below y = 0).
        if (p.size < 0.15f && p.position[1] < -0.6f) {
            glColor3f(5.0f * p.life * p.colour[0], 0.3f * p.life * p.colour[1], 0.2f * p.life * p.colour[2]);
        } else {
            const float grey = p.size * p.position[1];
            glColor3f(grey, grey, grey);
        }
        drawSprite(p.position, p.size);
    }
    glPopMatrix();
}

namespace {
constexpr float SprayRadius = 0.05f;  // radius of every reborn droplet
} // namespace

void buildSpraySphere()
{
    // The old context's list went with it; this name belongs to the new one.
    Gl.SpraySphereList = 0;
    if (!Gl.SphereQuadric) return;
    Gl.SpraySphereList = glGenLists(1);
    if (!Gl.SpraySphereList) return;
    glNewList(Gl.SpraySphereList, GL_COMPILE);
    gluSphere(Gl.SphereQuadric, SprayRadius, 5, 5);
    glEndList();
}

void stepSprayPool(ParticleState& particles, RandomGenerator& random, int poolSteps)
{
    for (int i = 0; i < poolSteps; ++i) {
        keepBefore(particles.SprayPoolEarlier, particles.SprayPoolBefore);
        keepBefore(particles.SprayPoolBefore, particles.SprayPool);
        stepSpray(particles, random);
    }
}

void drawSprayPool(const ParticleState& particles, float x, float y, float z, float at, float mirrorAngle)
{
    glPushMatrix();
    glTranslatef(x, y, z);
    bindTexture(TexP2);
    at = std::clamp(at, -2.0f, 1.0f);
    for (int i = 0; i < SprayCount; ++i) {
        // Whole positions draw the kept state itself.
        Particle p;
        if (at < -1.0f) {
            p = shownParticle(particles.SprayPoolEarlier[i], particles.SprayPoolBefore[i], at + 2.0f);
        } else if (at < 0.0f) {
            p = shownParticle(particles.SprayPoolBefore[i], particles.SprayPool[i], at + 1.0f);
        } else {
            p = shownParticle(particles.SprayPool[i], sprayAhead(particles.SprayPool[i]), at);
        }
        // Opaque and depth-tested while life > 1; fading out blended after that.
        if (p.life > 1.0f) {
            glDisable(GL_BLEND);
            glEnable(GL_DEPTH_TEST);
        } else {
            glEnable(GL_BLEND);
            glDisable(GL_DEPTH_TEST);
        }
        glColor3f(p.life, p.life, p.life);
        glPushMatrix();
        glTranslatef(p.position[0], p.position[1], p.position[2]);
        glRotatef(-mirrorAngle, 0.0f, 1.0f, 0.0f);  // the camera's radians, taken as degrees
        if (Gl.SpraySphereList && p.size == SprayRadius) {
            glCallList(Gl.SpraySphereList);
        } else if (Gl.SphereQuadric) {
            gluSphere(Gl.SphereQuadric, p.size, 5, 5);
        }
        glPopMatrix();
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
    }
    glPopMatrix();
}
