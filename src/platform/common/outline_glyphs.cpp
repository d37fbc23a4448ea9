// Outline glyphs (not built yet).
#include "platform/platform.h"

namespace plat {
bool buildOutlineGlyphs(const char*, unsigned, int, int, float, float, GlyphMetric*) { return false; }
}
