// Nine rows of binary patterns re-chosen a few times per second.
#pragma once

#include "core/random.h"

struct TickerState {
    float TickerTimer = 0.0f;                            // += FrameDelta * 0.05; a re-choice at 3 or more
    int TickerChoices[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};  // pattern index (0..4) of each row, top row first

    bool operator==(const TickerState&) const = default;
};

// Draws into side panel 1, whose clip the caller has set; sets colour white
// and blending on (with the blend function in force).
void DrawBinaryTicker(TickerState& ticker, RandomGenerator& random, double frameDelta);

// The pattern of a choice 0..4 ("110101010100" twice, so it comes up twice as often).
const char* tickerPattern(int choice);
