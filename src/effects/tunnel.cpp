// Tunnel (not built yet).
#include "effects/tunnel.h"

int TunnelSlices = 85;
void drawTunnelFlight() {}
