// A textured quad whose corner colours swing with one phase.
#pragma once

extern float PanelPhase;   // kept between about -1.5 and 1.5
extern bool PanelRising;

void drawColourPanel();
