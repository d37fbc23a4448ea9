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

// Written once by loadTextureSet; afterwards only textureName and the sizes
// matter (the pixel buffers are released).
extern ImageData TextureSet[TextureSlotCount];

// Reads the fifteen files, then makes one texture per slot. False at the
// first file that fails (no texture is made then).
bool loadTextureSet();
// Binds the slot's texture to GL_TEXTURE_2D.
void bindTexture(TextureSlot slot);

// Makes a texture from the image's pixels into its textureName, bound to
// GL_TEXTURE_2D: level 0, GL_LINEAR minification, the mipmap chain below it;
// then releases the pixels. An image without pixels gets an empty 0 x 0 level.
void makeTexture(ImageData& image);
