// One recipe per texture file: each builds its picture from the shared pieces.
#pragma once

#include "datagen/common/image.h"

#include <vector>

namespace datagen {

Image makeFont();             // Font.tga
Image makeTestground();       // testground.tga
Image makeTunnel();           // tunnel.tga
Image makeFrameMask();        // frames02.tga
Image makeFrameArt();         // frame03.tga
Image makePentagram();        // pentagram01.tga
Image makeMeterBar();         // vu02.tga
Image makeCrate();            // cube.tga
Image makeWater();            // water01.tga
Image makeGlowSprite();       // p1.tga
Image makeDroplet();          // p2.tga
Image makeCreditsSheet();     // credits.tga
Image makeChrome();           // Chrome.tga
Image makeFloorTiles();       // bg.tga
Image makeScrollerBackdrop(); // musix.tga

struct TextureRecipe {
    const char* file;  // name under Data/Textures
    Image (*make)();
    bool rle;          // type 10 when true, type 2 otherwise
};

// All fifteen textures in the order the demo loads them.
const std::vector<TextureRecipe>& textureRecipes();

} // namespace datagen
