// Two counter-rotating textured cones sharing the view axis.
#pragma once

extern float ConeSpin;  // cones turn by +/- 2 * ConeSpin degrees

void drawTwinCones(bool rising);
