// The two GLU quadrics the scenes share. The scene set-up creates them anew
// in each GL context; the intro, the spray and the cones draw with them.
#pragma once

#include <GL/glu.h>

extern GLUquadric* SphereQuadric;  // smooth normals, texture coords: spray and intro spheres
extern GLUquadric* ConeQuadric;    // smooth normals, texture coords: twin cones
