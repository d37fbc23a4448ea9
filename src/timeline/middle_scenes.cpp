// Middle scenes (not built yet).
#include "timeline/middle_scenes.h"

void drawConeScene() {}
void drawPentagramScene() {}
void drawSheetScene() {}
