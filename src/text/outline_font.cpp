// Outline font (not built yet).
#include "text/outline_font.h"

unsigned OutlineFont = 0;
plat::GlyphMetric GlyphMetrics[256];
bool BuildOutlineFont() { return false; }
void DeleteOutlineFont() {}
void Print3D(bool, const char*, ...) {}
