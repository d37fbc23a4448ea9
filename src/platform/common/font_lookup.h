// Font facts both the demo's outline glyphs and the data generator's bitmap
// text need: which installed outline face fontconfig picks for a family, and
// what character a byte of the demo's 8-bit text stands for.
#pragma once

#include <string>

namespace plat {

// Path of the installed outline face that best matches the family (and the
// style, when one is given); empty when none. Sets *faceIndex to the face's
// index in its file when faceIndex is not null.
std::string findOutlineFaceFile(const char* family, const char* style, int* faceIndex);

// The Unicode code point of an 8-bit character code, read as Windows-1252:
// 0x80..0x9F are the typographic characters of that code page (0 for its five
// unassigned bytes); every other byte is Latin-1.
unsigned codePointOf(unsigned char code);

} // namespace plat
