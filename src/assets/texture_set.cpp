// The texture set: fifteen files read in a fixed order, then one texture per
// slot made in slot order.
#include "assets/texture_set.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

struct SlotFile {
    TextureSlot slot;
    const char* path;
};

// The load order; slot 4 has no file.
constexpr SlotFile LoadOrder[] = {
    {TexFont, "Data/Textures/Font.tga"},
    {TexTestground, "Data/Textures/testground.tga"},
    {TexTunnel, "Data/Textures/tunnel.tga"},
    {TexFrames02, "Data/Textures/frames02.tga"},
    {TexPentagram01, "Data/Textures/pentagram01.tga"},
    {TexVu02, "Data/Textures/vu02.tga"},
    {TexCube, "Data/Textures/cube.tga"},
    {TexP2, "Data/Textures/p2.tga"},
    {TexCredits, "Data/Textures/credits.tga"},
    {TexChrome, "Data/Textures/Chrome.tga"},
    {TexWater01, "Data/Textures/water01.tga"},
    {TexBg, "Data/Textures/bg.tga"},
    {TexP1, "Data/Textures/p1.tga"},
    {TexMusix, "Data/Textures/musix.tga"},
    {TexFrame03, "Data/Textures/frame03.tga"},
};

bool isPowerOfTwo(GLsizei n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

// Whether the mipmap step would leave level 0 exactly as uploaded.
bool keepsLevelZero(GLsizei width, GLsizei height)
{
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return isPowerOfTwo(width) && isPowerOfTwo(height) && width <= largest && height <= largest;
}

} // namespace

unsigned makeTexture(const ImageData& image)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);

    if (image.pixels.empty()) {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, 0, 0, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        return name;
    }

    // Rows are tightly packed: a 24-bit row need not be a multiple of 4 bytes.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    // The source format is the image's own, so a 32-bit image is read as
    // 4 bytes per pixel; the texture keeps three components either way.
    const GLenum format = image.pixelFormat == GL_RGBA ? GL_RGBA : GL_RGB;
    const auto width = static_cast<GLsizei>(image.width);
    const auto height = static_cast<GLsizei>(image.height);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, format, GL_UNSIGNED_BYTE, image.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // The mipmap step re-specifies level 0 scaled to power-of-two sides within
    // the largest size GL takes, and builds the chain below it. The GL_LINEAR
    // minification filter samples level 0 only, so where level 0 already has
    // such sides the step would upload the same texels again plus a chain that
    // nothing reads: it is left out there.
    if (!keepsLevelZero(width, height)) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, format, GL_UNSIGNED_BYTE, image.pixels.data());
    }

    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return name;
}

bool loadTextureSet()
{
    for (unsigned& name : Gl.Textures) name = 0;

    if (!Assets.TexturesRead) {
        for (ImageData& slot : Assets.TextureSet) slot = ImageData{};
        for (const SlotFile& file : LoadOrder) {
            if (!readTgaImage(Assets.TextureSet[file.slot], file.path)) {
                // No texture is made; the pixels read so far are not needed either.
                for (ImageData& slot : Assets.TextureSet) slot.pixels = {};
                return false;
            }
        }
        Assets.TexturesRead = true;
    }

    for (int slot = 0; slot < TextureSlotCount; ++slot)
        Gl.Textures[slot] = makeTexture(Assets.TextureSet[slot]);
    return true;
}

void bindTexture(TextureSlot slot)
{
    glBindTexture(GL_TEXTURE_2D, Gl.Textures[slot]);
}
