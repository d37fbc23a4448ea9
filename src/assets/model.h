// The two models: materials, material textures and immediate-mode drawing.
#pragma once

#include "assets/loaded_assets.h"  // the two models
#include "assets/obj_reader.h"


// Draws every object of the model. Whatever the model holds, it leaves
// texturing on with Gl.ModelTexture bound and the colour white, as a
// textured model ends, and the current normal and texture coordinate as it
// found them: what is drawn after it never depends on the model's contents.
void drawModel(const Model3D& model);

// Reads the image of every material naming a file, once with the model: a
// file that fails shows the reader's message and leaves that material without
// an image.
void readMaterialImages(Model3D& model);

// One GL texture in the current context per material with an image; the last
// one made stays in Gl.ModelTexture, which drawModel binds for every textured
// object.
void createMaterialTextures(const Model3D& model);
