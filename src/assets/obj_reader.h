// The model types and the reader of the OBJ subset the models use.
#pragma once

#include "assets/tga_reader.h"
#include "core/vector.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

struct Face {
    std::int32_t vertexIndex[3] = {0, 0, 0};    // 0-based into vertices and normals
    std::int32_t texCoordIndex[3] = {0, 0, 0};  // 0-based into texCoords
};

// Owns its lists: a copy of an object, or of its model, is a separate one.
// The counts are the sizes of the lists as read (normals: one per vertex).
struct MeshObject {
    std::int32_t vertexCount = 0;
    std::int32_t faceCount = 0;
    std::int32_t texCoordCount = 0;
    std::int32_t materialIndex = -1;
    bool hasTexture = false;
    std::vector<Vector3> vertices;
    std::vector<Vector3> normals;
    std::vector<Vector2> texCoords;
    std::vector<Face> faces;
};

struct MaterialInfo {
    char name[255] = {};
    char file[255] = {};
    std::uint8_t colour[3] = {0, 0, 0};
    std::int32_t textureId = 0;
    // The file's image once readMaterialImages has read it; none while unread,
    // for no file, or when the file could not be read.
    std::optional<ImageData> image;
};

struct Model3D {
    std::int32_t objectCount = 0;    // == objects.size()
    std::int32_t materialCount = 0;  // == materials.size()
    std::vector<MaterialInfo> materials;
    std::vector<MeshObject> objects;
};

// Reads one model file; one loader per model, used once at set-up. Between
// loads its pending lists are empty and its flags clear.
class ObjLoader {
public:
    // False without a message for a missing model or path; a file that can't
    // be opened shows "The model could not be loaded" and returns false. A
    // file whose faces could not all be used (damaged) loads what could be,
    // with one line on standard error naming the file.
    bool loadObjModel(Model3D* model, const char* path);
    // The same over a whole file's text already in memory (CR LF or LF lines).
    bool loadObjText(Model3D* model, std::string_view text);

    // Of the last load: faces read, and those dropped for an index outside
    // their object or a corner that is not a usable number.
    std::int64_t facesRead() const { return facesRead_; }
    std::int64_t facesDropped() const { return facesDropped_; }

    void appendMaterial(Model3D* model, const char* name, const char* file, int r, int g, int b);
    void assignObjectMaterial(Model3D* model, int objectIndex, int materialIndex);

private:
    void parseObjLines(Model3D& model, std::string_view text);
    void parseVertexLine(std::string_view line);
    void parseFaceLine(std::string_view line);
    void closeObject(Model3D& model);
    void resetPending();

    std::vector<Vector3> pendingVertices;
    std::vector<Face> pendingFaces;          // indices still as in the file
    std::vector<Vector2> pendingTexCoords;
    bool hasTexCoords = false;   // set by "vt", cleared by "v ": chooses the face syntax
    bool faceSeen = false;       // a face line since the last object was closed
    std::int64_t positionsBefore = 0;   // positions in the objects already closed
    std::int64_t texCoordsBefore = 0;   // texture coordinates in them
    std::int64_t facesRead_ = 0;
    std::int64_t facesDropped_ = 0;
};

// Unit normal per vertex from the faces that use it; zero for a vertex that
// no face uses or whose face vectors cancel.
void buildVertexNormals(MeshObject& object);
