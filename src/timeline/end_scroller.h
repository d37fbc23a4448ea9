// The end scroller: 3-D text lines rising over the backdrop.
#pragma once

extern float ScrollOffset;  // GL units; grows 2 per second of song time

// One frame of the last phase: backdrop, all 24 lines, then the scroll step.
void drawEndScroller();

// Lines in the table (all drawn on every frame).
int endScrollerLineCount();
