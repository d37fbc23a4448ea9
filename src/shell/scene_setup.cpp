// Scene set-up (not built yet).
#include "shell/scene_setup.h"

GLUquadric* SphereQuadric = nullptr;
GLUquadric* ConeQuadric = nullptr;
bool SetUpScene() { return true; }
