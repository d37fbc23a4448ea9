// What the demo reads from Data/: the two models and the texture set's
// images. No part of DemoState (the scenes never change it) nor of
// GlResources (it outlives every context).
#pragma once

#include "assets/obj_reader.h"
#include "assets/tga_reader.h"
#include "core/gl_resources.h"  // TextureSlotCount

struct LoadedAssets {
    // Read by the first scene set-up; later set-ups (after F1) keep their
    // geometry and materials and only make their textures again.
    Model3D fighterModel;
    Model3D fountainModel;
    bool ModelsRead = false;
    // By TextureSlot; loadTextureSet reads them in each set-up and releases
    // the pixels once the textures are made, keeping the sizes.
    ImageData TextureSet[TextureSlotCount];
};
extern LoadedAssets Assets;
