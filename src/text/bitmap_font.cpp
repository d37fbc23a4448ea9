// Bitmap font (not built yet).
#include "text/bitmap_font.h"

unsigned BitmapFont = 0;
void BuildBitmapFont() {}
void PrintText(int, int, const char*, int) {}
