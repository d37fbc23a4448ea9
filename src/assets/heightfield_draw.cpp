// Height-field draw (not built yet).
#include "assets/heightfield_draw.h"

void drawHeightField() {}
