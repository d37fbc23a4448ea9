// Fuzz target: the OBJ parser over arbitrary text. Every face index of every
// object must lie inside that object's arrays, every corner a face keeps must
// be finite and within 1000 units (texture coordinates finite), and every
// array is read whole.
#include "assets/obj_reader.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

namespace {

void checkObject(const MeshObject& object)
{
    if (object.vertexCount < 0 || object.faceCount < 0 || object.texCoordCount < 0)
        std::abort();
    if (object.vertices.size() != static_cast<std::size_t>(object.vertexCount) ||
        object.normals.size() != object.vertices.size() ||
        object.faces.size() != static_cast<std::size_t>(object.faceCount) ||
        object.texCoords.size() != static_cast<std::size_t>(object.texCoordCount))
        std::abort();
    if (object.hasTexture != (object.texCoordCount > 0) || object.materialIndex != -1)
        std::abort();
    volatile float sink = 0;
    for (std::int32_t i = 0; i < object.vertexCount; ++i) {
        const Vector3& n = object.normals[i];
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        // Unit or zero, unless the positions themselves were not finite.
        if (std::isfinite(length) && length != 0 && std::fabs(length - 1) > 1e-3f)
            std::abort();
        sink = sink + object.vertices[i].x + n.x;
    }
    for (std::int32_t i = 0; i < object.texCoordCount; ++i)
        sink = sink + object.texCoords[i].u;
    for (std::int32_t f = 0; f < object.faceCount; ++f) {
        for (int corner = 0; corner < 3; ++corner) {
            const std::int32_t v = object.faces[f].vertexIndex[corner];
            if (v < 0 || v >= object.vertexCount)
                std::abort();
            const Vector3& p = object.vertices[v];
            for (float c : {p.x, p.y, p.z}) {
                if (!std::isfinite(c) || std::fabs(c) > 1000.0f)
                    std::abort();
            }
            if (object.hasTexture) {
                const std::int32_t t = object.faces[f].texCoordIndex[corner];
                if (t < 0 || t >= object.texCoordCount)
                    std::abort();
                if (!std::isfinite(object.texCoords[t].u) || !std::isfinite(object.texCoords[t].v))
                    std::abort();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ObjLoader loader;
    Model3D model;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!loader.loadObjText(&model, text) || model.objectCount < 1 ||
        model.objectCount != static_cast<std::int32_t>(model.objects.size()))
        std::abort();
    std::int64_t kept = 0;
    for (const MeshObject& object : model.objects) {
        checkObject(object);
        kept += object.faceCount;
    }
    if (loader.facesDropped() < 0 || loader.facesRead() != kept + loader.facesDropped())
        std::abort();
    return 0;
}
