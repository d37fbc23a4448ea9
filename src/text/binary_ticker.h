// Nine rows of binary patterns re-chosen a few times per second.
#pragma once

extern float TickerTimer;

void DrawBinaryTicker();
