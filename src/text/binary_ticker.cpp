// Binary ticker (not built yet).
#include "text/binary_ticker.h"

float TickerTimer = 0.0f;
void DrawBinaryTicker() {}
