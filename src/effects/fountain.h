// The mirrored fountain scene: floor, mirror image, fountain and spray.
#pragma once

extern float MirrorAngle;     // radians; camera angle, also turns the spray spheres
extern float CameraEye[3];    // eye of the current frame

void drawFloor();
void drawFountainGroup();
void drawMirroredFountain();
