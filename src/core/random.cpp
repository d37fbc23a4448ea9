// The shared linear congruential generator.
#include "core/random.h"

int nextRandom(RandomGenerator& random)
{
    random.RandomState = random.RandomState * 214013u + 2531011u;
    return static_cast<int>((random.RandomState >> 16) & 0x7FFFu);
}
