// The shared linear congruential generator.
#include "core/random.h"

RandomGenerator Random;

int nextRandom()
{
    Random.RandomState = Random.RandomState * 214013u + 2531011u;
    return static_cast<int>((Random.RandomState >> 16) & 0x7FFFu);
}
