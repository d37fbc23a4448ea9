// Three-bar level meter following mixer channels 4, 6 and 7.
#pragma once

void InitVolumeMeter();
void DrawVolumeMeter();
