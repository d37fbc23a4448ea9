// Texture set (not built yet).
#include "assets/texture_set.h"

ImageData TextureSet[TextureSlotCount];
bool loadTextureSet() { return true; }
void bindTexture(TextureSlot) {}
