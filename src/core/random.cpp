// The shared linear congruential generator.
#include "core/random.h"

std::uint32_t RandomState = 1;

int nextRandom()
{
    RandomState = RandomState * 214013u + 2531011u;
    return static_cast<int>((RandomState >> 16) & 0x7FFFu);
}

void resetRandom() { RandomState = 1; }
