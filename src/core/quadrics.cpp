#include "core/quadrics.h"

GLUquadric* SphereQuadric = nullptr;
GLUquadric* ConeQuadric = nullptr;
