// The shared generator: its sequence from the fixed start is part of the
// demo's behaviour (particles, landscape and readout depend on it).
#include "core/random.h"

#include "effects/heightfield_gen.h"
#include "effects/particles.h"
#include "timeline/timeline.h"

#include <gtest/gtest.h>

#include <vector>

TEST(NextRandom, FirstValuesFromStateOne)
{
    Random.RandomState = 1;
    // state1 = 214013 + 2531011 = 2745024 -> 41; then the recurrence continues.
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
    EXPECT_EQ(nextRandom(), 6334);
    EXPECT_EQ(nextRandom(), 26500);
    EXPECT_EQ(nextRandom(), 19169);
}

TEST(NextRandom, StaysInFifteenBitsAndWrapsState)
{
    Random.RandomState = 0xFFFFFFFFu;
    for (int i = 0; i < 10000; ++i) {
        const int v = nextRandom();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
    Random.RandomState = 1;
}

// Set-up draws the particle pools first (200 sparks x 1 + 350 flames x 2),
// then the height field (one draw per cell); every later draw depends on it.
TEST(NextRandom, SetUpDrawsParticlePoolsThenTheHeightField)
{
    Random.RandomState = 1;
    std::vector<int> first;
    for (int i = 0; i < 900; ++i) first.push_back(nextRandom());
    for (int i = 0; i < HeightFieldCells; ++i) nextRandom();
    const std::uint32_t afterBoth = Random.RandomState;

    Random.RandomState = 1;
    initParticlePools(0.0);
    EXPECT_FLOAT_EQ(Particles.SparkPool[0].fade, static_cast<float>((first[0] % 100) * 0.01 + 0.003));
    EXPECT_FLOAT_EQ(Particles.FlamePool[0].fade, static_cast<float>((first[201] % 100) * 0.01 + 0.009));
    EXPECT_FLOAT_EQ(Particles.FlamePool[349].fade, static_cast<float>((first[899] % 100) * 0.01 + 0.009));
    buildHeightField();
    EXPECT_EQ(Random.RandomState, afterBoth);
    Random.RandomState = 1;
}
