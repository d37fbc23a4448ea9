// Extruded 3-D text: one display list per character code of a sans-serif face.
#pragma once

#include "core/gl_resources.h"  // OutlineFont and GlyphMetrics, made by BuildOutlineFont

bool BuildOutlineFont();
void DeleteOutlineFont();
// Formats printf-style (at most 255 characters) and draws at the current
// origin; when centred, first moves left by half the summed advances.
void Print3D(bool centred, const char* format, ...) __attribute__((format(printf, 2, 3)));
