// Textures (not built yet).
#include "datagen/datagen.h"

namespace datagen {
bool writeTextures(const std::string&) { return true; }
}
