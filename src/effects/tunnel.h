// The tunnel flight: a winding textured tube with the fighter in front.
#pragma once

extern int TunnelSlices;  // slices in use, 85 at start; falls after 53.5 s

void drawTunnelFlight();
