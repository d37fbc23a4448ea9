// The texture set: fifteen files read in a fixed order, then one texture per
// slot made in slot order; the same files two and four times as dense in the
// folders 2x and 4x beside them (some files stop at 2x).
#include "assets/texture_set.h"

#include "core/picture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

namespace {

struct SlotFile {
    TextureSlot slot;
    const char* name;    // under Data/Textures and its density folders
    int maxDensity = 4;  // the densest file drawn
};

// The load order; slot 4 has no file. The landscape's ground, the tunnel's
// wall, the credits sheet, the fountain's floor and the scroller's backdrop
// stop at 2x: at 2880 x 2160 their 4x files look much the same (the ground
// and the wall mostly recede, the sheet's letters glow, the floor's lines are
// soft-edged), and sampling four times the texels costs a software renderer
// much of its frame time there. Mipmaps would not help: with them the tunnel
// and the cones drew slower still. The glow and droplet sprites are smooth
// and drawn small: they have no denser files, whose texels only made the
// flames and the spray slower. The crate and the water are loaded with the
// set but drawn by no scene: denser files of them would only take memory.
constexpr SlotFile LoadOrder[] = {
    {TexFont, "Font.tga"},
    {TexTestground, "testground.tga", 2},
    {TexTunnel, "tunnel.tga", 2},
    {TexFrames02, "frames02.tga"},
    {TexPentagram01, "pentagram01.tga"},
    {TexVu02, "vu02.tga"},
    {TexCube, "cube.tga", 1},
    {TexP2, "p2.tga", 1},
    {TexCredits, "credits.tga", 2},
    {TexChrome, "Chrome.tga"},
    {TexWater01, "water01.tga", 1},
    {TexBg, "bg.tga", 2},
    {TexP1, "p1.tga", 1},
    {TexMusix, "musix.tga", 2},
    {TexFrame03, "frame03.tga"},
};

constexpr const char* TextureFolder = "Data/Textures/";

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

namespace {

// Whether every pixel of a 24-bit image is grey (its three components equal).
bool isGrey(const ImageData& image)
{
    if (image.pixelFormat != GL_RGB || image.bitsPerPixel != 24) return false;
    const std::uint8_t* p = image.pixels.data();
    for (std::size_t i = 0; i + 2 < image.pixels.size(); i += 3)
        if (p[i] != p[i + 1] || p[i] != p[i + 2]) return false;
    return true;
}

// Keeps one component of each pixel of a grey image, in place: the texture
// made from it is luminance, one byte a texel where RGB takes four in the
// software renderer, and draws the same colours under every blend and
// texture mode the scenes use (its alpha is 1 as an RGB texture's). The
// denser frame mask and font are grey: 48 MB less for the 4x mask.
void keepLuminance(ImageData& image)
{
    const std::size_t count = image.pixels.size() / 3;
    for (std::size_t i = 0; i < count; ++i) image.pixels[i] = image.pixels[i * 3];
    image.pixels.resize(count);
    image.pixels.shrink_to_fit();
    image.pixelFormat = GL_LUMINANCE;
    image.bitsPerPixel = 8;
}

// Gives the bound texture the image as its level 0 (and the chain below it
// where the mipmap step is needed).
void specifyTexture(const ImageData& image)
{
    if (image.pixels.empty()) {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, 0, 0, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        return;
    }

    // Rows are tightly packed: a 24-bit row need not be a multiple of 4 bytes.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    // The source format is the image's own, so a 32-bit image is read as
    // 4 bytes per pixel; the texture keeps three components either way, but
    // for a grey image kept as luminance.
    const GLenum format = image.pixelFormat == GL_RGBA || image.pixelFormat == GL_LUMINANCE ? image.pixelFormat : GL_RGB;
    const GLint components = format == GL_LUMINANCE ? GL_LUMINANCE8 : 3;
    const auto width = static_cast<GLsizei>(image.width);
    const auto height = static_cast<GLsizei>(image.height);
    glTexImage2D(GL_TEXTURE_2D, 0, components, width, height, 0, format, GL_UNSIGNED_BYTE, image.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // The mipmap step re-specifies level 0 scaled to power-of-two sides within
    // the largest size GL takes, and builds the chain below it. The GL_LINEAR
    // minification filter samples level 0 only, so where level 0 already has
    // such sides the step would upload the same texels again plus a chain that
    // nothing reads: it is left out there.
    if (!keepsLevelZero(width, height)) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, components, width, height, format, GL_UNSIGNED_BYTE, image.pixels.data());
    }

    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

// The file of a slot; nullptr for the spare slot.
const SlotFile* slotFile(int slot)
{
    for (const SlotFile& file : LoadOrder)
        if (file.slot == slot) return &file;
    return nullptr;
}

// Gives each slot's texture its image at the density, in slot order, first
// making the names when makeNames. A denser file is read from disk, uploaded
// and dropped at once: only the written images stay in Assets. Where it is
// missing, damaged or not its written size times the density, the written
// image stands in, and one line on standard error names all such files.
void specifyTextureSet(int density, bool makeNames)
{
    std::string failures;
    int failed = 0;
    for (int slot = 0; slot < TextureSlotCount; ++slot) {
        if (makeNames) glGenTextures(1, &Gl.Textures[slot]);
        glBindTexture(GL_TEXTURE_2D, Gl.Textures[slot]);
        const ImageData& written = Assets.TextureSet[slot];
        const SlotFile* file = slotFile(slot);
        const int slotDensity = file ? std::min(density, file->maxDensity) : 1;
        ImageData dense;
        if (slotDensity == 1) {
            specifyTexture(written);
            continue;
        }
        const std::string name = std::to_string(slotDensity) + "x/" + file->name;
        const char* reason = nullptr;
        const bool read = readTgaImageQuietly(dense, (TextureFolder + name).c_str(), &reason);
        if (read && dense.width == written.width * static_cast<unsigned>(slotDensity) &&
            dense.height == written.height * static_cast<unsigned>(slotDensity)) {
            if (isGrey(dense)) keepLuminance(dense);
            specifyTexture(dense);
            continue;
        }
        if (read) reason = "not the written size times the density";
        failures += std::string(failed++ == 0 ? "" : ", ") + name + " (" + (reason ? reason : "unreadable") + ")";
        specifyTexture(written);
    }
    bool& reported = Assets.DenseGapsReported[density == 2 ? 0 : 1];
    if (failed > 0 && !reported) {
        std::fprintf(stderr, "%s: %d denser files missing or damaged, drawing the written ones instead: %s\n",
                     TextureFolder, failed, failures.c_str());
        reported = true;
    }
}

} // namespace

int textureDensityFor(double pictureScale)
{
    if (pictureScale >= 3.0) return 4;
    if (pictureScale >= 1.5) return 2;
    return 1;
}

unsigned makeTexture(const ImageData& image)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    specifyTexture(image);
    return name;
}

bool loadTextureSet()
{
    for (unsigned& name : Gl.Textures) name = 0;

    if (!Assets.TexturesRead) {
        for (ImageData& slot : Assets.TextureSet) slot = ImageData{};
        for (const SlotFile& file : LoadOrder) {
            const std::string path = std::string(TextureFolder) + file.name;
            if (!readTgaImage(Assets.TextureSet[file.slot], path.c_str())) {
                // No texture is made; the pixels read so far are not needed either.
                for (ImageData& slot : Assets.TextureSet) slot.pixels = {};
                return false;
            }
        }
        Assets.TexturesRead = true;
    }

    const int density = textureDensityFor(Picture.scale);
    specifyTextureSet(density, true);
    Gl.TextureDensity = density;
    return true;
}

void fitTextureSetToPicture()
{
    if (Gl.TextureDensity == 0) return;
    const int density = textureDensityFor(Picture.scale);
    if (density == Gl.TextureDensity) return;
    specifyTextureSet(density, false);
    Gl.TextureDensity = density;
}

void forgetTextureSet()
{
    for (unsigned& name : Gl.Textures) name = 0;
    Gl.TextureDensity = 0;
}

void bindTexture(TextureSlot slot)
{
    glBindTexture(GL_TEXTURE_2D, Gl.Textures[slot]);
}
