// nordglow-datagen DIR: writes DIR/Data with every texture, model and song.
// nordglow-datagen --icons DIR: writes the program's icons under DIR (hicolor layout).
// nordglow-datagen --window-icon FILE: writes the window's icon as a C++ header.
#include "datagen/datagen.h"

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    const bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    const bool windowIcon = argc == 3 && std::string(argv[1]) == "--window-icon";
    // A lone argument starting with '-' is an option this tool does not
    // know (--help, a typo), not a folder to fill; an empty one would be
    // the root's Data/.
    const bool toFolder = argc == 2 && argv[1][0] != '-' && argv[1][0] != '\0';
    if (!toFolder && !icons && !windowIcon) {
        std::fprintf(stderr, "usage: nordglow-datagen DIR\n       nordglow-datagen --icons DIR\n"
                             "       nordglow-datagen --window-icon FILE\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    bool ok = true;
    if (icons) {
        ok = datagen::writeIcons(argv[2]);
    } else if (windowIcon) {
        ok = datagen::writeWindowIcon(argv[2]);
    } else {
        const std::string dataDir = std::string(argv[1]) + "/Data";
        ok = datagen::writeTextures(dataDir);
        ok = datagen::writeModels(dataDir) && ok;
        ok = datagen::writeSongs(dataDir) && ok;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const char* what = icons || windowIcon ? "wrote the icons" : "wrote Data/";
    std::fprintf(stderr, "nordglow-datagen: %s in %.0f ms\n", ok ? what : "FAILED", ms);
    return ok ? 0 : 1;
}
