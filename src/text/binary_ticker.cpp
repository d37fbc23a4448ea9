// The binary readout of side panel 1: nine rows of fixed 12-digit patterns,
// re-chosen from the shared generator every 60 ms of song time or more.
#include "text/binary_ticker.h"

#include "core/random.h"
#include "text/bitmap_font.h"

#include <GL/gl.h>

namespace {
const char* const Patterns[5] = {"100110101010", "001101010101", "011010101010", "110101010100",
                                 "110101010100"};
}

const char* tickerPattern(int choice)
{
    return Patterns[choice];
}

void DrawBinaryTicker(TickerState& ticker, RandomGenerator& random, double frameDelta)
{
    ticker.TickerTimer = static_cast<float>(ticker.TickerTimer + frameDelta * 0.05);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    if (ticker.TickerTimer >= 3.0f) {
        for (int& choice : ticker.TickerChoices) choice = nextRandom(random) % 5;
        ticker.TickerTimer = 0.0f;
    }
    // Rows 10 pixels apart from y = 560 down; the lowest is cut by the clip.
    for (int row = 0; row < 9; ++row) PrintText(32, 560 - 10 * row, Patterns[ticker.TickerChoices[row]], 0);
}
