// The sixteen texture slots every scene draws with.
#pragma once

#include "assets/loaded_assets.h"
#include "assets/tga_reader.h"
#include "core/gl_resources.h"  // TextureSlot and the texture names


// Reads the fifteen files into Assets.TextureSet unless an earlier call read
// them, then makes one texture per slot in the current context into
// Gl.Textures. False at the first file that fails (no texture is made then,
// and the next call reads from the start).
bool loadTextureSet();
// Binds the slot's texture to GL_TEXTURE_2D.
void bindTexture(TextureSlot slot);

// Makes a texture from the image's pixels and returns its name, bound to
// GL_TEXTURE_2D: level 0, GL_LINEAR minification, the mipmap chain below it.
// An image without pixels gets an empty 0 x 0 level.
unsigned makeTexture(const ImageData& image);
