// The cone scene, the pentagram with flames and the credits sheet.
#pragma once

void drawConeScene();
void drawPentagramScene();
void drawSheetScene();
