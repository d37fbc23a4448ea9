// What the demo reads from Data/: the two models with their material images
// and the texture set's written images, each read once (the 2x and 4x files
// are read when a context needs them, uploaded and not kept). It owns all of it: a copy is
// a separate, equal set. No part of DemoState (the scenes never change it)
// nor of GlResources (it outlives every context; each set-up makes its
// context's textures from it).
#pragma once

#include "assets/obj_reader.h"
#include "assets/tga_reader.h"
#include "core/gl_resources.h"  // TextureSlotCount

struct LoadedAssets {
    // Read by the first scene set-up with their material images; later
    // set-ups (after F1) only make their material textures again.
    Model3D fighterModel;
    Model3D fountainModel;
    bool ModelsRead = false;
    // By TextureSlot; read by the first loadTextureSet, kept for the set-ups
    // after it.
    ImageData TextureSet[TextureSlotCount];
    bool TexturesRead = false;
    // Whether the 2x (index 0) and 4x folders were found to lack files, and
    // said so; their files are read when needed and not kept.
    bool DenseGapsReported[2] = {};
};
extern LoadedAssets Assets;
