// Colour panel (not built yet).
#include "effects/colour_panel.h"

float PanelPhase = 0.0f;
bool PanelRising = true;
void drawColourPanel() {}
