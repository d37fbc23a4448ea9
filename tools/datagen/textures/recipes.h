// One recipe per texture file: each builds its picture from the shared pieces,
// at its written size times density (1, 2 or 4) across: the same picture,
// sampled finer.
#pragma once

#include "datagen/common/image.h"

#include <string>
#include <vector>

namespace datagen {

Image makeFont(int density);             // Font.tga
Image makeTestground(int density);       // testground.tga
Image makeTunnel(int density);           // tunnel.tga
Image makeFrameMask(int density);        // frames02.tga
Image makeFrameArt(int density);         // frame03.tga
Image makePentagram(int density);        // pentagram01.tga
Image makeMeterBar(int density);         // vu02.tga
Image makeCrate(int density);            // cube.tga
Image makeWater(int density);            // water01.tga
Image makeGlowSprite(int density);       // p1.tga
Image makeDroplet(int density);          // p2.tga
Image makeCreditsSheet(int density);     // credits.tga
Image makeChrome(int density);           // Chrome.tga
Image makeFloorTiles(int density);       // bg.tga
Image makeScrollerBackdrop(int density); // musix.tga

struct TextureRecipe {
    const char* file;  // name under Data/Textures
    Image (*make)(int density);  // pixels per unit of the written size
    // The written file's kind: type 10 (run-length) when true, type 2
    // otherwise. The denser files are all type 10: they are four and sixteen
    // times larger, and the written files already have the demo read both.
    bool rle;
    int maxDensity = 4;  // no denser file is written: the demo draws none
};

// The densities written, each into its folder under Data/Textures.
struct TextureDensity {
    int density;
    const char* folder;  // "" or ending in '/'
};
constexpr TextureDensity TextureDensities[] = {{1, ""}, {2, "2x/"}, {4, "4x/"}};

// All fifteen textures in the order the demo loads them.
const std::vector<TextureRecipe>& textureRecipes();

// Writes the recipe's file of one density into its folder under
// dataDir/Textures, which must exist; false when it cannot be written.
bool writeTexture(const std::string& dataDir, const TextureRecipe& recipe, const TextureDensity& density);

} // namespace datagen
