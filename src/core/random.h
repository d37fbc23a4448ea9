// The one pseudo-random generator of the demo, shared by particles, height
// field and the binary readout. Never reseeded: the call order fixes what
// each effect gets.
#pragma once

#include <cstdint>

struct RandomGenerator {
    std::uint32_t RandomState = 1;  // 1 at program start; advanced only by nextRandom

    bool operator==(const RandomGenerator&) const = default;
};
// state = state * 214013 + 2531011 (mod 2^32); returns (state >> 16) & 0x7FFF.
int nextRandom(RandomGenerator& random);
