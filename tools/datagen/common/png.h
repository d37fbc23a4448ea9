// PNG encoder for the generator's pictures that leave Data/ (the icons).
#pragma once

#include "datagen/common/image.h"

#include <cstdint>
#include <vector>

namespace datagen {

// An 8-bit RGBA PNG of the picture with alpha 0..1 per pixel (row-major like
// img; channels clamped), top row first; no time stamp or other varying
// chunk, so the same picture gives the same bytes. Empty on failure.
std::vector<std::uint8_t> encodePng(const Image& img, const std::vector<float>& alpha);

} // namespace datagen
