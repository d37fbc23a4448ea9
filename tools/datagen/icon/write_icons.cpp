// Writes the icon's files: the hicolor PNGs and SVG, and the window's pixels.
#include "datagen/datagen.h"
#include "datagen/common/png.h"
#include "datagen/icon/icon.h"

#include <cstdio>
#include <string>

namespace datagen {

bool writeIcons(const std::string& iconDir)
{
    bool ok = true;
    for (int size : iconSizes()) {
        const IconPicture icon = drawIcon(size);
        const std::string name = std::to_string(size);
        const std::vector<std::uint8_t> png = encodePng(icon.colour, icon.alpha);
        if (png.empty()) {
            std::fprintf(stderr, "datagen: cannot encode the %s px icon\n", name.c_str());
            ok = false;
            continue;
        }
        ok = writeFileBytes(iconDir + "/" + name + "x" + name + "/apps/nordglow.png", png) && ok;
    }
    return writeFileText(iconDir + "/scalable/apps/nordglow.svg", iconSvg()) && ok;
}

bool writeWindowIcon(const std::string& headerPath)
{
    return writeFileText(headerPath, iconPixelsHeader(WindowIconSize));
}

} // namespace datagen
