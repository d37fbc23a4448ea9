// TGA reader (not built yet).
#include "assets/tga_reader.h"

bool readTgaImage(ImageData&, const char*) { return false; }
