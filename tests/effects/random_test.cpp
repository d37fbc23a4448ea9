// The shared generator: its sequence from the fixed start is part of the
// demo's behaviour (particles, landscape and readout depend on it).
#include "effects/random.h"

#include <gtest/gtest.h>

TEST(NextRandom, FirstValuesFromStateOne)
{
    RandomState = 1;
    // state1 = 214013 + 2531011 = 2745024 -> 41; then the recurrence continues.
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
    EXPECT_EQ(nextRandom(), 6334);
    EXPECT_EQ(nextRandom(), 26500);
    EXPECT_EQ(nextRandom(), 19169);
}

TEST(NextRandom, StaysInFifteenBitsAndWrapsState)
{
    RandomState = 0xFFFFFFFFu;
    for (int i = 0; i < 10000; ++i) {
        const int v = nextRandom();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
    RandomState = 1;
}
