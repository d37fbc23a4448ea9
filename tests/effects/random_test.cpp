// The shared generator: its sequence from the fixed start is part of the
// demo's behaviour (particles, landscape and readout depend on it).
#include "core/random.h"

#include "effects/heightfield_gen.h"
#include "effects/particles.h"
#include "timeline/timeline.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(NextRandom, FirstValuesFromStateOne)
{
    RandomGenerator random;  // state 1
    // state1 = 214013 + 2531011 = 2745024 -> 41; then the recurrence continues.
    EXPECT_EQ(nextRandom(random), 41);
    EXPECT_EQ(nextRandom(random), 18467);
    EXPECT_EQ(nextRandom(random), 6334);
    EXPECT_EQ(nextRandom(random), 26500);
    EXPECT_EQ(nextRandom(random), 19169);
}

TEST(NextRandom, StaysInFifteenBitsAndWrapsState)
{
    RandomGenerator random{0xFFFFFFFFu};
    for (int i = 0; i < 10000; ++i) {
        const int v = nextRandom(random);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
}

// Set-up draws the particle pools first (200 sparks x 1 + 350 flames x 2),
// then the height field (one draw per cell); every later draw depends on it.
TEST(NextRandom, SetUpDrawsParticlePoolsThenTheHeightField)
{
    RandomGenerator random;
    std::vector<int> first;
    for (int i = 0; i < 900; ++i) first.push_back(nextRandom(random));
    for (int i = 0; i < HeightFieldCells; ++i) nextRandom(random);
    const std::uint32_t afterBoth = random.RandomState;

    random.RandomState = 1;
    ParticleState particles;
    const auto field = std::make_unique<HeightFieldData>();
    initParticlePools(particles, random, 0.0);
    EXPECT_FLOAT_EQ(particles.SparkPool[0].fade, static_cast<float>((first[0] % 100) * 0.01 + 0.003));
    EXPECT_FLOAT_EQ(particles.FlamePool[0].fade, static_cast<float>((first[201] % 100) * 0.01 + 0.009));
    EXPECT_FLOAT_EQ(particles.FlamePool[349].fade, static_cast<float>((first[899] % 100) * 0.01 + 0.009));
    buildHeightField(*field, random);
    EXPECT_EQ(random.RandomState, afterBoth);
}
