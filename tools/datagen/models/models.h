// The two models, built in memory; models.cpp writes them as OBJ files.
#pragma once

#include "datagen/common/mesh.h"

namespace datagen {

// A jet fighter: nose towards -z, up +y, centred on the origin, about 0.6
// long and 0.5 across.
Mesh makeFighter();

// A stone fountain: base on y = -0.18, basin floor at y = 1.5 inside a wall
// of radius 1.5, top bowl at y = 2.6 under the spray's source (0, 2.7, 0).
Mesh makeFountain();

} // namespace datagen
