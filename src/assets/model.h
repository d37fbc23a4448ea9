// The two models: materials, material textures and immediate-mode drawing.
#pragma once

#include "assets/obj_reader.h"
#include "assets/tga_reader.h"

// Filled once by the scene set-up; only their materials change afterwards.
extern Model3D fighterModel;
extern Model3D fountainModel;
extern ImageData modelTexture;  // textureName: the most recent material texture

// Draws every object of the copy (the arrays are shared, not copied).
void drawModel(Model3D model);

extern ObjLoader fighterLoader;
extern ObjLoader fountainLoader;

// One GL texture per material naming a file; the last one made stays in modelTexture.
void createMaterialTextures(Model3D& model);
