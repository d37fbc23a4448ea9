// Models (not built yet).
#include "datagen/datagen.h"

namespace datagen {
bool writeModels(const std::string&) { return true; }
}
