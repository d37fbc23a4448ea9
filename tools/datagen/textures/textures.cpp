// Writes every texture of Data/Textures from its recipe.
#include "datagen/datagen.h"
#include "datagen/common/glyphs.h"
#include "datagen/textures/recipes.h"

#include <string>

namespace datagen {

const std::vector<TextureRecipe>& textureRecipes()
{
    // Run-length files are the ones with large flat areas; both kinds occur
    // so that the demo reads both.
    static const std::vector<TextureRecipe> recipes = {
        {"Font.tga", makeFont, true},
        {"testground.tga", makeTestground, false},
        {"tunnel.tga", makeTunnel, false},
        {"frames02.tga", makeFrameMask, true},
        {"pentagram01.tga", makePentagram, true},
        {"vu02.tga", makeMeterBar, false},
        {"cube.tga", makeCrate, false},
        {"p2.tga", makeDroplet, false},
        {"credits.tga", makeCreditsSheet, true},
        {"Chrome.tga", makeChrome, false},
        {"water01.tga", makeWater, false},
        {"bg.tga", makeFloorTiles, false},
        {"p1.tga", makeGlowSprite, true},
        {"musix.tga", makeScrollerBackdrop, false},
        {"frame03.tga", makeFrameArt, true},
    };
    return recipes;
}

bool writeTextures(const std::string& dataDir)
{
    if (!fontsAvailable()) return false;
    bool ok = true;
    for (const TextureRecipe& r : textureRecipes()) {
        Image img = r.make();
        clampImage(img);
        ok = writeFileBytes(dataDir + "/Textures/" + r.file, encodeTga(img, r.rle)) && ok;
    }
    return ok;
}

} // namespace datagen
