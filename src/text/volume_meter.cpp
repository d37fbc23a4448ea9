// Volume meter (not built yet).
#include "text/volume_meter.h"

void InitVolumeMeter() {}
void DrawVolumeMeter() {}
