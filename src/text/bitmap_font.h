// Flat screen text from the Font texture: 256 glyph display lists.
#pragma once

#include "core/gl_resources.h"  // BitmapFont: the first of its 256 glyph lists

void BuildBitmapFont();
// (x, y): pixel position of the first glyph corner, origin bottom-left.
// set 0 or 1; anything above 1 counts as 1.
void PrintText(int x, int y, const char* text, int set);
