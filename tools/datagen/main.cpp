// nordglow-datagen DIR: writes DIR/Data with every texture, model and song.
#include "datagen/datagen.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: nordglow-datagen DIR\n");
        return 2;
    }
    const std::string dataDir = std::string(argv[1]) + "/Data";
    const auto start = std::chrono::steady_clock::now();
    bool ok = datagen::writeTextures(dataDir);
    ok = datagen::writeModels(dataDir) && ok;
    ok = datagen::writeSongs(dataDir) && ok;
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "nordglow-datagen: %s in %.0f ms\n", ok ? "wrote Data/" : "FAILED", ms);
    return ok ? 0 : 1;
}
