// The end scroller: 3-D text lines rising over the backdrop.
#pragma once

extern float ScrollOffset;  // GL units; grows 2 per second of song time

void drawEndScroller();
