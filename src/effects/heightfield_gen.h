// The landscape's height field, generated once at set-up.
#pragma once

#include "assets/obj_reader.h"

struct HeightFieldData {
    float heights[256 * 256];      // heights[i][j] at i * 256 + j
    Vector3 normals[256 * 256];    // same indexing, not normalised
};

extern HeightFieldData HeightField;

void buildHeightField();
