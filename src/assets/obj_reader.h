// The model types and the reader of the OBJ subset the models use.
#pragma once

#include <cstdint>
#include <vector>

struct Vector3 { float x = 0, y = 0, z = 0; };
struct Vector2 { float u = 0, v = 0; };

struct Face {
    std::int32_t vertexIndex[3] = {0, 0, 0};
    std::int32_t texCoordIndex[3] = {0, 0, 0};
};

// Arrays are owned by the model; copies of a model share them.
struct MeshObject {
    std::int32_t vertexCount = 0;
    std::int32_t faceCount = 0;
    std::int32_t texCoordCount = 0;
    std::int32_t materialIndex = -1;
    bool hasTexture = false;
    Vector3* vertices = nullptr;
    Vector3* normals = nullptr;
    Vector2* texCoords = nullptr;
    Face* faces = nullptr;
};

struct MaterialInfo {
    char name[255] = {};
    char file[255] = {};
    std::uint8_t colour[3] = {0, 0, 0};
    std::int32_t textureId = 0;
};

struct Model3D {
    std::int32_t objectCount = 0;
    std::int32_t materialCount = 0;
    std::vector<MaterialInfo> materials;
    std::vector<MeshObject> objects;
};
