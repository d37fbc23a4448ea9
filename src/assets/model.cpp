// Models after reading: materials, the shared material texture and drawing.
#include "assets/model.h"

#include "assets/texture_set.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Copies at most 254 characters and always terminates.
void copyName(char (&out)[255], const char* text)
{
    std::strncpy(out, text, sizeof out - 1);
    out[sizeof out - 1] = '\0';
}

// Indices are checked against the lists themselves, whatever the counts say.
bool faceInside(const MeshObject& object, const Face& face)
{
    const auto inside = [](std::int32_t i, std::int32_t count, std::size_t size) {
        return i >= 0 && i < count && static_cast<std::size_t>(i) < size;
    };
    for (int corner = 0; corner < 3; ++corner) {
        const std::int32_t v = face.vertexIndex[corner];
        if (!inside(v, object.vertexCount, object.vertices.size()))
            return false;
        if (object.hasTexture && !object.texCoords.empty() &&
            !inside(face.texCoordIndex[corner], object.texCoordCount, object.texCoords.size()))
            return false;
    }
    return true;
}

} // namespace

void ObjLoader::appendMaterial(Model3D* model, const char* name, const char* file, int r, int g, int b)
{
    if (!model)
        return;
    MaterialInfo material;
    material.colour[0] = static_cast<std::uint8_t>(r);
    material.colour[1] = static_cast<std::uint8_t>(g);
    material.colour[2] = static_cast<std::uint8_t>(b);
    if (file)
        copyName(material.file, file);
    if (name)
        copyName(material.name, name);
    model->materials.push_back(material);
    ++model->materialCount;
}

void ObjLoader::assignObjectMaterial(Model3D* model, int objectIndex, int materialIndex)
{
    if (!model || objectIndex < 0 || objectIndex >= model->objectCount)
        return;
    model->objects[static_cast<std::size_t>(objectIndex)].materialIndex = materialIndex;
}

void readMaterialImages(Model3D& model)
{
    for (MaterialInfo& material : model.materials) {
        material.image.reset();
        if (material.file[0] == '\0')
            continue;
        ImageData image;
        if (readTgaImage(image, material.file))
            material.image = std::move(image);
    }
}

void createMaterialTextures(const Model3D& model)
{
    for (const MaterialInfo& material : model.materials) {
        if (material.image)
            Gl.ModelTexture = makeTexture(*material.image);
    }
}

// Faces are checked at load; one made by hand with an index outside its
// object is skipped here too.
void drawModel(const Model3D& model)
{
    glPushAttrib(GL_CURRENT_BIT);
    for (const MeshObject& object : model.objects) {
        if (object.hasTexture) {
            glEnable(GL_TEXTURE_2D);
            glColor3f(1, 1, 1);
            glBindTexture(GL_TEXTURE_2D, Gl.ModelTexture);
        } else {
            glDisable(GL_TEXTURE_2D);
            glColor3f(1, 1, 1);
        }
        const bool coloured = !object.hasTexture && model.materialCount > 0 && object.materialIndex >= 0 &&
                              object.materialIndex < model.materialCount &&
                              static_cast<std::size_t>(object.materialIndex) < model.materials.size();
        const std::uint8_t* colour = coloured ? model.materials[static_cast<std::size_t>(object.materialIndex)].colour : nullptr;

        glBegin(GL_TRIANGLES);
        const auto faceCount = std::min<std::size_t>(static_cast<std::size_t>(std::max(object.faceCount, 0)),
                                                     object.faces.size());
        for (std::size_t f = 0; f < faceCount; ++f) {
            const Face& face = object.faces[f];
            if (!faceInside(object, face))
                continue;
            for (int corner = 0; corner < 3; ++corner) {
                const std::int32_t v = face.vertexIndex[corner];
                if (static_cast<std::size_t>(v) < object.normals.size())
                    glNormal3f(object.normals[v].x, object.normals[v].y, object.normals[v].z);
                if (object.hasTexture) {
                    if (!object.texCoords.empty()) {
                        const Vector2& t = object.texCoords[face.texCoordIndex[corner]];
                        glTexCoord2f(t.u, t.v);
                    }
                } else if (colour) {
                    glColor3ub(colour[0], colour[1], colour[2]);
                }
                glVertex3f(object.vertices[v].x, object.vertices[v].y, object.vertices[v].z);
            }
        }
        glEnd();
    }
    glPopAttrib();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, Gl.ModelTexture);
    glColor3f(1, 1, 1);
}
