// End scroller (not built yet).
#include "timeline/end_scroller.h"

float ScrollOffset = 0.0f;
void drawEndScroller() {}
