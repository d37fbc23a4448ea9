// Extruded 3-D text: one display list per character code of a sans-serif face.
#pragma once

#include "platform/platform.h"

extern unsigned OutlineFont;                  // first of the 256 glyph lists
extern plat::GlyphMetric GlyphMetrics[256];   // per-code metrics; cellIncX is the advance

bool BuildOutlineFont();
void DeleteOutlineFont();
// Formats printf-style (at most 255 characters) and draws at the current
// origin; when centred, first moves left by half the summed advances.
void Print3D(bool centred, const char* format, ...) __attribute__((format(printf, 2, 3)));
