// The sixteen texture slots every scene draws with.
#pragma once

#include "assets/loaded_assets.h"
#include "assets/tga_reader.h"
#include "core/gl_resources.h"  // TextureSlot and the texture names


// The texel density the textures are drawn at for a picture scale (drawable
// pixels per picture pixel): the written files below 1.5, the 2x files from
// 1.5, the 4x files from 3 (the 2x ones for the ground, tunnel, credits
// sheet, floor and scroller backdrop, which have no 4x files; the written
// ones for the two sprites, which have neither).
int textureDensityFor(double pictureScale);

// Reads the fifteen files into Assets.TextureSet unless an earlier call read
// them, then makes one texture per slot in the current context into
// Gl.Textures, at the density the picture's scale asks for (the denser files
// are read each time they are needed and not kept). False at the first
// written file that fails (no texture is made then, and the next call reads
// from the start). A denser file that is missing or damaged is not an error:
// its slot gets the written image, and the first time one line on standard
// error names the missing files of that density.
bool loadTextureSet();
// When the picture's scale now asks for another density, gives every slot
// that density's image in place (same names); nothing when no textures are
// made. Leaves GL_TEXTURE_2D's binding changed.
void fitTextureSetToPicture();
// The current context is going away, and its textures with it.
void forgetTextureSet();
// Binds the slot's texture to GL_TEXTURE_2D.
void bindTexture(TextureSlot slot);

// Makes a texture from the image's pixels and returns its name, bound to
// GL_TEXTURE_2D: level 0, GL_LINEAR minification, the mipmap chain below it.
// An image without pixels gets an empty 0 x 0 level.
unsigned makeTexture(const ImageData& image);
