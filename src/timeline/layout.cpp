// Screen layout (not built yet).
#include "timeline/layout.h"

float BlobPhase = 0.0f;
void clipMainPanel() {}
void clipSidePanel1() {}
void clipSidePanel2() {}
void clipSidePanel3() {}
void clipSidePanel4() {}
void clipMeterStrip() {}
void clipTallStrip() {}
void enterOverlay2D() {}
void leaveOverlay2D() {}
void drawFirstPanelPass() {}
void drawSecondPanelPass() {}
void drawFrameOverlay() {}
