// The program's icon: a glowing "N" inside an aurora ring on a night-blue
// tile. Few shapes and strong contrast, so that it reads at 16 pixels; drawn
// for each pixel size (with the strokes on whole pixels) and as SVG.
#pragma once

#include "datagen/common/image.h"

#include <string>
#include <vector>

namespace datagen {

// The icon at size x size pixels: straight colour and coverage (alpha 0..1,
// 0 outside the tile's rounded corners).
struct IconPicture {
    Image colour;
    std::vector<float> alpha;  // row-major like colour
};

IconPicture drawIcon(int size);

// The same icon as a scalable SVG document (a 256-unit square).
std::string iconSvg();

// A C++ header with the icon as 8-bit RGBA rows, top row first, at
// size x size: what the live window shows as its own icon.
std::string iconPixelsHeader(int size);

// The hicolor sizes the icon is drawn at.
const std::vector<int>& iconSizes();

} // namespace datagen
