// The intro: credit lines swinging between wireframe spheres, the flash, the
// question, and the switch to the main song.
#pragma once

void runIntroFrame();
