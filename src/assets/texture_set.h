// The sixteen texture slots every scene draws with.
#pragma once

#include "assets/tga_reader.h"

enum TextureSlot {
    TexTunnel = 0,
    TexFrames02 = 1,
    TexFrame03 = 2,
    TexFont = 3,
    TexSpare = 4,
    TexTestground = 5,
    TexP1 = 6,
    TexPentagram01 = 7,
    TexVu02 = 8,
    TexCube = 9,
    TexP2 = 10,
    TexCredits = 11,
    TexChrome = 12,
    TexWater01 = 13,
    TexBg = 14,
    TexMusix = 15,
    TextureSlotCount = 16,
};

extern ImageData TextureSet[TextureSlotCount];

// Reads the fifteen files, then makes one texture per slot. False at the
// first file that fails (no texture is made then).
bool loadTextureSet();
// Binds the slot's texture to GL_TEXTURE_2D.
void bindTexture(TextureSlot slot);
