// Writes every texture of Data/Textures from its recipe: at its written size,
// and two and four times as dense (up to the recipe's densest) in the folders
// 2x and 4x.
#include "datagen/datagen.h"
#include "datagen/common/glyphs.h"
#include "datagen/textures/recipes.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace datagen {

const std::vector<TextureRecipe>& textureRecipes()
{
    // Run-length files are the ones with large flat areas; both kinds occur
    // so that the demo reads both.
    static const std::vector<TextureRecipe> recipes = {
        {"Font.tga", makeFont, true},
        {"testground.tga", makeTestground, false, 2},
        {"tunnel.tga", makeTunnel, false, 2},
        {"frames02.tga", makeFrameMask, true},
        {"pentagram01.tga", makePentagram, true},
        {"vu02.tga", makeMeterBar, false},
        {"cube.tga", makeCrate, false, 1},
        {"p2.tga", makeDroplet, false, 1},
        {"credits.tga", makeCreditsSheet, true, 2},
        {"Chrome.tga", makeChrome, false},
        {"water01.tga", makeWater, false, 1},
        {"bg.tga", makeFloorTiles, false, 2},
        {"p1.tga", makeGlowSprite, true, 1},
        {"musix.tga", makeScrollerBackdrop, false, 2},
        {"frame03.tga", makeFrameArt, true},
    };
    return recipes;
}

bool writeTexture(const std::string& dataDir, const TextureRecipe& recipe, const TextureDensity& density)
{
    Image img = recipe.make(density.density);
    clampImage(img);
    return writeFileBytes(dataDir + "/Textures/" + density.folder + recipe.file,
                          encodeTga(img, recipe.rle || density.density > 1));
}

bool writeTextures(const std::string& dataDir)
{
    if (!fontsAvailable()) return false;
    struct Job {
        const TextureRecipe* recipe;
        const TextureDensity* density;
    };
    // Densest first, so that the longest jobs do not come last.
    std::vector<Job> jobs;
    for (auto d = std::rbegin(TextureDensities); d != std::rend(TextureDensities); ++d)
        for (const TextureRecipe& r : textureRecipes())
            if (d->density <= r.maxDensity) jobs.push_back({&r, &*d});
    // Each file depends on its recipe alone, so the order of the work does not
    // change a byte. A few threads at most: a 4x picture holds hundreds of MB.
    for (const TextureDensity& d : TextureDensities) {
        std::error_code ec;
        std::filesystem::create_directories(dataDir + "/Textures/" + d.folder, ec);  // before the threads race for it
    }
    std::atomic<std::size_t> next{0};
    std::vector<char> written(jobs.size(), 0);
    auto work = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            written[i] = writeTexture(dataDir, *jobs[i].recipe, *jobs[i].density);
        }
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();
    return std::all_of(written.begin(), written.end(), [](char ok) { return ok != 0; });
}

} // namespace datagen
