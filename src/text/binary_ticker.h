// Nine rows of binary patterns re-chosen a few times per second.
#pragma once

extern float TickerTimer;     // += FrameDelta * 0.05; a re-choice at 3 or more
extern int TickerChoices[9];  // pattern index (0..4) of each row, top row first

// Draws into side panel 1, whose clip the caller has set; sets colour white
// and blending on (with the blend function in force).
void DrawBinaryTicker();

// The pattern of a choice 0..4 ("110101010100" twice, so it comes up twice as often).
const char* tickerPattern(int choice);
