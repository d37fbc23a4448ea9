// The cone scene, the pentagram with flames and the credits sheet.
#pragma once

// Cone scene (26.5 s to 42 s), never reset.
extern float ConeAngle;     // degrees: the cones' turn about the view axis, the fighter's distance and spin
extern bool ConeRising;     // direction of ConeAngle; handed to the twin cones
extern bool ConeTopArmed;   // true: the next turn is at the top (180), false: at the bottom (0)
extern bool ConeSlowRise;   // set when ConeAngle first falls back to 0; halves the rise speed

extern float PentagramAngle;  // degrees about y; 20 per s
extern float SheetPhase;      // radians; the credits sheet's wobble, 1 per s

// One frame of each scene; each starts from the modelview matrix it finds
// and leaves it as found.
void drawConeScene();
void drawPentagramScene();
void drawSheetScene();
