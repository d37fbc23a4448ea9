// The three particle pools: set-up draws, stepping by the frame's steps and
// drawing between them, rebirth rules, collisions and the GL state each pool
// leaves.
#include "effects/particles.h"

#include "feedback_capture.h"
#include "core/random.h"
#include "gl_fixture.h"
#include "shell/scene_setup.h"
#include "timeline/timeline.h"

#include <cstring>
#include <iterator>
#include <vector>

namespace {

// The first n values of the shared generator from state 1.
std::vector<int> drawsFromStart(int n)
{
    RandomGenerator generator;
    std::vector<int> values;
    for (int i = 0; i < n; ++i) values.push_back(nextRandom(generator));
    return values;
}

std::uint32_t stateAfterDraws(std::uint32_t start, int n)
{
    RandomGenerator generator{start};
    for (int i = 0; i < n; ++i) nextRandom(generator);
    return generator.RandomState;
}

// One frame that crosses step 1 (16 ms), and one between steps.
constexpr StepRun OneStep{1, 1, 0.0f};

Particle makeParticle(float life, float fade)
{
    Particle p;
    std::memset(&p, 0, sizeof p);
    p.life = life;
    p.fade = fade;
    p.size = 0.05f;
    p.slowdown = 2.0f;
    return p;
}

class ParticlePoolGl : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        glDisable(GL_TEXTURE_2D);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ownQuadric_ = Gl.SphereQuadric == nullptr;
        if (ownQuadric_) Gl.SphereQuadric = gluNewQuadric();
    }
    // The input of the frames drawn: this FrameDelta and the given steps.
    FrameInput input(const StepRun& steps) const { return {.frameDelta = frameDelta, .steps = steps}; }
    double frameDelta = 16.0;
    ParticleState particles;  // the pools drawn
    RandomGenerator random;
    void TearDown() override
    {
        if (ownQuadric_) {
            gluDeleteQuadric(Gl.SphereQuadric);
            Gl.SphereQuadric = nullptr;
        }
        GlTest::TearDown();
    }
    bool ownQuadric_ = false;
};

} // namespace

TEST(ParticleInit, SparksThenFlamesInArrayOrderWithTheWrittenDraws)
{
    const std::vector<int> r = drawsFromStart(900);
    ParticleState particles;
    RandomGenerator random;
    std::memset(particles.SprayPool, 0, sizeof particles.SprayPool);
    random.RandomState = 1;
    initParticlePools(particles, random, 0.0);

    // 200 sparks take one draw each, then 350 flames take two each.
    EXPECT_EQ(random.RandomState, stateAfterDraws(1, 900));
    for (int i : {0, 1, 199}) {
        EXPECT_FLOAT_EQ(particles.SparkPool[i].fade, static_cast<float>((r[i] % 100) * 0.01 + 0.003)) << i;
        EXPECT_EQ(particles.SparkPool[i].life, 1.0f);
        EXPECT_EQ(particles.SparkPool[i].size, 0.005f);
        EXPECT_EQ(particles.SparkPool[i].position[0], 0.0f);
    }
    for (int i : {0, 1, 349}) {
        const int second = r[200 + 2 * i + 1];
        EXPECT_FLOAT_EQ(particles.FlamePool[i].fade, static_cast<float>((second % 100) * 0.01 + 0.009)) << i;
        EXPECT_EQ(particles.FlamePool[i].life, 5.0f);
        EXPECT_EQ(particles.FlamePool[i].position[0], 2.0f) << "FrameDelta 0 at set-up: no spread";
        EXPECT_EQ(particles.FlamePool[i].position[1], -1.9f);
        EXPECT_EQ(particles.FlamePool[i].gravity[1], 0.3f);
    }
    for (const Particle& p : particles.SprayPool) ASSERT_EQ(p.life, 0.0f);
}

TEST_F(ParticlePoolGl, RebornSparksAreRebornOnEveryCallAndDrawnFullRed)
{
    random.RandomState = 1;
    initParticlePools(particles, random, frameDelta);
    // The slowest initial spark (fade 0.003) is used up within 112 calls.
    for (int i = 0; i < 120; ++i) drawSparkPool(particles, random, 0, 0, -5, input(OneStep));
    for (const Particle& p : particles.SparkPool) {
        ASSERT_EQ(p.life, 0.1f);
        ASSERT_EQ(p.size, 0.03f);
        ASSERT_EQ(p.position[2], 0.0f);
    }

    // From now on every spark is reborn on every call: two draws each.
    const std::uint32_t before = random.RandomState;
    const Particle first = particles.SparkPool[0];
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    drawSparkPool(particles, random, 0, 0, -5, input(OneStep));
    EXPECT_EQ(random.RandomState, stateAfterDraws(before, 400));

    // The sprite drawn for spark 0 sits where the previous call placed it.
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glLoadIdentity();
    glTranslatef(0, 0, -5);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx, wy, wz;
    gluProject(first.position[0], first.position[1], first.position[2], model, projection, viewport, &wx, &wy, &wz);
    const auto pixel = pixelAt(static_cast<int>(wx), static_cast<int>(wy));
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_EQ(pixel[2], 0);
}

// Frame rate does not change the motion: one frame that crosses two steps
// leaves every pool, and the shared generator, exactly as two frames of one
// step each. (FrameDelta, which turns the sparks' curve, is held at 0.)
TEST_F(ParticlePoolGl, OneFrameOfTwoStepsEqualsTwoFramesOfOneStep)
{
    random.RandomState = 1;
    initParticlePools(particles, random, frameDelta);
    std::memset(particles.SprayPool, 0, sizeof particles.SprayPool);
    // Past the first calls, so that every pool has living and reborn particles.
    for (std::int64_t k = 1; k <= 150; ++k) {
        const StepRun step{1, k, 0.0f};
        drawSparkPool(particles, random, 0, 0, -5, input(step));
        drawFlamePool(particles, random, 0, 0, -5, step);
        stepSprayPool(particles, random, 1);
    }
    Particle sparks[SparkCount], flames[FlameCount], spray[SprayCount];
    std::memcpy(sparks, particles.SparkPool, sizeof sparks);
    std::memcpy(flames, particles.FlamePool, sizeof flames);
    std::memcpy(spray, particles.SprayPool, sizeof spray);
    const std::uint32_t start = random.RandomState;

    frameDelta = 0.0;
    for (std::int64_t k = 151; k <= 152; ++k) drawSparkPool(particles, random, 0, 0, -5, input(StepRun{1, k, 0.0f}));
    for (std::int64_t k = 151; k <= 152; ++k) drawFlamePool(particles, random, 0, 0, -5, StepRun{1, k, 0.0f});
    stepSprayPool(particles, random, 1);
    stepSprayPool(particles, random, 1);
    std::vector<Particle> twoFrames(std::begin(particles.FlamePool), std::end(particles.FlamePool));
    twoFrames.insert(twoFrames.end(), std::begin(particles.SprayPool), std::end(particles.SprayPool));
    twoFrames.insert(twoFrames.end(), std::begin(particles.SparkPool), std::end(particles.SparkPool));
    const std::uint32_t afterTwoFrames = random.RandomState;
    EXPECT_NE(afterTwoFrames, start) << "the steps drew no rebirths";

    std::memcpy(particles.SparkPool, sparks, sizeof sparks);
    std::memcpy(particles.FlamePool, flames, sizeof flames);
    std::memcpy(particles.SprayPool, spray, sizeof spray);
    random.RandomState = start;
    drawSparkPool(particles, random, 0, 0, -5, input(StepRun{0, 150, 0.5f}));
    drawFlamePool(particles, random, 0, 0, -5, StepRun{0, 150, 0.5f});
    for (float at : {-1.5f, -0.5f, 0.5f}) drawSprayPool(particles, 0, 0, -5, at, 0.0f);
    EXPECT_EQ(random.RandomState, start) << "a frame between steps draws nothing from the generator";
    const StepRun both{2, 152, 0.0f};
    drawSparkPool(particles, random, 0, 0, -5, input(both));
    drawFlamePool(particles, random, 0, 0, -5, both);
    stepSprayPool(particles, random, 2);
    EXPECT_EQ(random.RandomState, afterTwoFrames);
    for (int i = 0; i < FlameCount; ++i) ASSERT_EQ(std::memcmp(&particles.FlamePool[i], &twoFrames[i], sizeof(Particle)), 0) << "flame " << i;
    for (int i = 0; i < SprayCount; ++i) ASSERT_EQ(std::memcmp(&particles.SprayPool[i], &twoFrames[FlameCount + i], sizeof(Particle)), 0) << "spray " << i;
    for (int i = 0; i < SparkCount; ++i) ASSERT_EQ(std::memcmp(&particles.SparkPool[i], &twoFrames[FlameCount + SprayCount + i], sizeof(Particle)), 0) << "spark " << i;
}

// A frame between two steps moves nothing on, and draws a flame that
// has risen part of the way from its place before the latest step to its
// place after it; a reborn one stays where it was.
TEST_F(ParticlePoolGl, AFrameBetweenStepsDrawsFlamesPartWayAndMovesNothing)
{
    for (Particle& p : particles.FlamePool) {
        p = makeParticle(100.0f, 0.0f);
        p.position[1] = -1.0f;  // big and below y = 0: drawn black
        p.size = 0.2f;
    }
    Particle& f = particles.FlamePool[0];
    f = makeParticle(0.5f, 0.0f);
    f.size = 0.1f;
    f.position[1] = -1.5f;
    f.velocity[1] = 200.0f;  // a tenth of a unit per step
    f.colour[0] = 1.0f;
    drawFlamePool(particles, random, 0, 0, -5, OneStep);
    const Particle after = particles.FlamePool[0];
    ASSERT_FLOAT_EQ(after.position[1], -1.4f);

    auto drawnCentreY = [this](float fraction) {
        const std::vector<FeedbackPolygon> polygons =
            capturePolygons([this, fraction] { drawFlamePool(particles, random, 0, 0, -5, StepRun{0, 1, fraction}); });
        double sum = 0.0;
        int n = 0;
        for (const auto& polygon : polygons)
            for (const auto& v : polygon)
                if (v.r > 0.0f) sum += v.y, ++n;
        return n ? sum / n : -1.0;
    };
    // Window y of the flame's centre at fraction 0, 0.5 and just short of 1:
    // evenly spaced, as the flame rises evenly through the step.
    const double y0 = drawnCentreY(0.0f), yHalf = drawnCentreY(0.5f), yEnd = drawnCentreY(0.999f);
    EXPECT_GT(yHalf, y0);
    EXPECT_NEAR(yHalf - y0, (yEnd - y0) / 2.0, 0.01 * (yEnd - y0));
    EXPECT_EQ(std::memcmp(&particles.FlamePool[0], &after, sizeof after), 0) << "drawing between steps moved the flame";

    // Reborn in the latest step: drawn where it was, not on a line to its new place.
    particles.FlamePool[0].life = 0.1f;
    particles.FlamePool[0].fade = 1.0f;
    frameDelta = 16.0;
    drawFlamePool(particles, random, 0, 0, -5, StepRun{1, 2, 0.0f});
    ASSERT_EQ(particles.FlamePool[0].life, 5.0f);
    EXPECT_NEAR(drawnCentreY(0.5f), drawnCentreY(0.0f), 1e-3);
}

TEST_F(ParticlePoolGl, FlameColourUsesSizeAndHeightFromBeforeTheStep)
{
    // Everything but flame 0 is a big sprite below y = 0: a negative grey, black.
    for (Particle& p : particles.FlamePool) {
        p = makeParticle(100.0f, 0.0f);
        p.size = 0.2f;
        p.position[1] = -1.0f;
    }
    Particle& f = particles.FlamePool[0];
    f.size = 0.14f;
    f.position[1] = -0.65f;
    f.velocity[1] = 200.0f;  // one step lifts it to -0.55, out of the orange zone
    f.life = 0.5f;
    f.colour[0] = 1.0f;
    f.colour[1] = 0.5f;
    f.colour[2] = 0.2f;
    auto brightest = [](const std::vector<FeedbackPolygon>& polygons) {
        FeedbackVertex best{0, 0, 0, 0, 0, 0, 0};
        for (const auto& polygon : polygons)
            for (const auto& v : polygon)
                if (v.r > best.r) best = v;
        return best;
    };
    const auto firstCall = brightest(capturePolygons([this] { drawFlamePool(particles, random, 0, 0, -5, OneStep); }));
    EXPECT_EQ(firstCall.r, 1.0f);                     // 5 x 0.5 clamped
    EXPECT_NEAR(firstCall.g, 0.3f * 0.5f * 0.5f, 1e-6);
    EXPECT_NEAR(firstCall.b, 0.2f * 0.5f * 0.2f, 1e-6);

    // The size change used the new height.
    EXPECT_FLOAT_EQ(f.position[1], -0.55f);
    EXPECT_FLOAT_EQ(f.size, 0.14f + 0.01f * -0.55f);

    const auto secondCall = brightest(capturePolygons([this] { drawFlamePool(particles, random, 0, 0, -5, OneStep); }));
    EXPECT_EQ(secondCall.r, 0.0f) << "grey of size x y below y = 0 adds nothing";
}

TEST_F(ParticlePoolGl, LifeExactlyZeroIsUsedUpInAllThreePools)
{
    for (Particle& p : particles.SparkPool) p = makeParticle(100.0f, 0.0f);
    for (Particle& p : particles.FlamePool) p = makeParticle(100.0f, 0.0f);
    for (Particle& p : particles.SprayPool) p = makeParticle(100.0f, 0.0f);
    particles.SparkPool[5] = makeParticle(0.75f, 0.25f);   // 0.75 - 0.25 x 3 = 0
    particles.FlamePool[5] = makeParticle(1.5f, 0.625f);   // 1.5 - 0.625 x 3 x 16 x 0.05 = 0 in a 16 ms step
    particles.SprayPool[5] = makeParticle(0.75f, 0.25f);
    random.RandomState = 1;

    drawSparkPool(particles, random, 0, 0, -5, input(OneStep));
    EXPECT_EQ(particles.SparkPool[5].life, 0.1f);
    EXPECT_EQ(random.RandomState, stateAfterDraws(1, 2));

    random.RandomState = 1;
    drawFlamePool(particles, random, 0, 0, -5, OneStep);
    EXPECT_EQ(particles.FlamePool[5].life, 5.0f);
    EXPECT_EQ(random.RandomState, stateAfterDraws(1, 2));

    random.RandomState = 1;
    stepSprayPool(particles, random, 1);
    EXPECT_EQ(particles.SprayPool[5].life, 10.0f);
    // One draw discarded, the fade and three velocities.
    EXPECT_EQ(random.RandomState, stateAfterDraws(1, 5));
}

TEST_F(ParticlePoolGl, SprayComesToRestInTheBasinAndStaysThere)
{
    for (Particle& p : particles.SprayPool) p = makeParticle(100.0f, 0.0f);
    Particle& p = particles.SprayPool[0];
    p.slowdown = 3.0f;
    p.gravity[1] = -0.5f;
    p.position[0] = 0.5f;
    p.position[1] = -1.19f;
    p.velocity[1] = -60.0f;  // one step takes it to -1.21, inside the basin
    for (int i = 0; i < 50; ++i) {
        stepSprayPool(particles, random, 1);
        ASSERT_EQ(p.position[1], -1.2f) << "call " << i;
        ASSERT_EQ(p.velocity[0], 0.0f);
        ASSERT_EQ(p.velocity[1], -0.5f) << "rest, then gravity";
        ASSERT_EQ(p.position[0], 0.5f);
    }
}

TEST_F(ParticlePoolGl, SprayBouncesOnTheFloorKeepingPartOfItsSpeed)
{
    for (Particle& p : particles.SprayPool) p = makeParticle(100.0f, 0.0f);
    Particle& p = particles.SprayPool[0];
    p.slowdown = 3.0f;
    p.gravity[1] = -0.5f;
    p.position[0] = 2.5f;  // outside the basin
    p.position[1] = -2.83f;
    p.velocity[0] = 10.0f;
    p.velocity[1] = -60.0f;
    p.velocity[2] = 4.0f;
    stepSprayPool(particles, random, 1);
    EXPECT_EQ(p.position[1], -2.84f);
    EXPECT_FLOAT_EQ(p.velocity[1], 60.0f * 0.45f - 0.5f);
    EXPECT_FLOAT_EQ(p.velocity[0], 5.0f);
    EXPECT_FLOAT_EQ(p.velocity[2], 2.0f);
    EXPECT_FLOAT_EQ(p.position[0], 2.5f + 10.0f / 3000.0f);
}

TEST_F(ParticlePoolGl, EachPoolLeavesItsGlStateAndTheMatrixAsFound)
{
    random.RandomState = 1;
    initParticlePools(particles, random, frameDelta);
    std::memset(particles.SprayPool, 0, sizeof particles.SprayPool);
    glLoadIdentity();
    glTranslatef(0.1f, 0.2f, -0.3f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    const int depth = stackDepth(GL_MODELVIEW_STACK_DEPTH);

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    drawSparkPool(particles, random, -2.23f, 0.65f, -5.0f, input(OneStep));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));

    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_ZERO, GL_ZERO);
    drawFlamePool(particles, random, 0.5f, 0.0f, -5.0f, OneStep);
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_ONE);
    EXPECT_EQ(dst, GL_ONE);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));

    stepSprayPool(particles, random, 2);
    drawSprayPool(particles, 0.0f, 2.7f, 0.0f, -2.0f, 0.0f);
    drawSprayPool(particles, 0.0f, 2.7f, 0.0f, 0.5f, 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), depth);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]) << i;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
