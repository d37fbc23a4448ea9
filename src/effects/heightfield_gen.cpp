// Height field (not built yet).
#include "effects/heightfield_gen.h"

HeightFieldData HeightField;
void buildHeightField() {}
