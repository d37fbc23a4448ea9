// Draws the landscape window of at most 30 x 30 cells around the camera.
#pragma once

void drawHeightField();
