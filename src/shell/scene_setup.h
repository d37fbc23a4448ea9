// The one-time preparation that runs inside window creation: textures, fonts,
// effect tables, lights, quadrics, models and fog.
#pragma once

#include <GL/glu.h>

extern GLUquadric* SphereQuadric;  // smooth normals, texture coords: spray and intro spheres
extern GLUquadric* ConeQuadric;    // smooth normals, texture coords: twin cones

// False only when the texture set fails to load.
bool SetUpScene();
