// The two models: materials, material textures and immediate-mode drawing.
#pragma once

#include "assets/loaded_assets.h"  // the two models
#include "assets/obj_reader.h"


// Draws every object of the copy (the arrays are shared, not copied).
void drawModel(Model3D model);


// One GL texture per material naming a file; the last one made stays in
// Gl.ModelTexture, which drawModel binds for every textured object.
void createMaterialTextures(Model3D& model);
