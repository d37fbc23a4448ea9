// The two landscape flights of the main part's first 26.5 s.
#pragma once

#include "assets/obj_reader.h"

// Camera of both flights (never reset; carries over from the right turn to the left).
extern float CameraYaw;         // degrees, 90 at start; +/- FrameDelta * 0.01 per frame
extern Vector3 CameraPosition;  // GL units, (20, 16, 20) at start; 5 units per s along the heading
extern bool BankRight;          // bank rule: true while the right turn may still roll right

void flyRight();
void flyLeft(double t);  // t: SongTime in ms
