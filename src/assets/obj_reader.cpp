// OBJ reader: lines classified by their first character, objects split where
// a vertex line follows a face line, file indices made object-local, and one
// smoothed normal per vertex.
#include "assets/obj_reader.h"

#include "platform/platform.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace {

// The scanf conversions the format reads, over one NUL-terminated line: each
// skips leading blanks, and a field that does not parse stops the scan.
bool scanFloat(const char*& p, float& out)
{
    char* end = nullptr;
    const float value = std::strtof(p, &end);
    if (end == p)
        return false;
    out = value;
    p = end;
    return true;
}

// Out-of-range values saturate; such an index is dropped with its face.
bool scanInt(const char*& p, std::int32_t& out)
{
    const char* q = p;
    while (std::isspace(static_cast<unsigned char>(*q)))
        ++q;
    bool negative = false;
    if (*q == '+' || *q == '-')
        negative = *q++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*q)))
        return false;
    std::int64_t value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*q)); ++q) {
        if (value <= INT32_MAX)
            value = value * 10 + (*q - '0');
    }
    if (negative)
        value = -value;
    out = static_cast<std::int32_t>(value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : value);
    p = q;
    return true;
}

bool matchChar(const char*& p, char c)
{
    if (*p != c)
        return false;
    ++p;
    return true;
}

void skipBlanks(const char*& p)
{
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
}

// Coordinates beyond this many units (twice the view's far plane) or not
// finite are damage: such a corner would stretch its face across the whole
// picture, or give the rasteriser NaNs.
constexpr float MaxCoordinate = 1000.0f;
// Texture coordinates repeat; only their float precision runs out.
constexpr float MaxTexCoordinate = 1.0e6f;

bool usable(float value, float limit)
{
    return std::isfinite(value) && std::fabs(value) <= limit;
}

bool usable(const Vector3& p)
{
    return usable(p.x, MaxCoordinate) && usable(p.y, MaxCoordinate) && usable(p.z, MaxCoordinate);
}

bool usable(const Vector2& t)
{
    return usable(t.u, MaxTexCoordinate) && usable(t.v, MaxTexCoordinate);
}

Vector3 cross(const Vector3& p, const Vector3& q)
{
    return {p.y * q.z - p.z * q.y, p.z * q.x - p.x * q.z, p.x * q.y - p.y * q.x};
}

Vector3 minus(const Vector3& a, const Vector3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

} // namespace

bool ObjLoader::loadObjModel(Model3D* model, const char* path)
{
    if (!model || !path)
        return false;
    errno = 0;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::fprintf(stderr, "%s: The model could not be loaded (%s)\n", path, std::strerror(errno));
        plat::showMessageBox("The model could not be loaded", "Error", plat::Buttons::Ok, plat::Icon::Exclamation);
        return false;
    }
    std::string text;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    std::fclose(file);
    const bool loaded = loadObjText(model, text);
    if (facesRead_ == 0) {
        std::fprintf(stderr, "%s: damaged model: no face in it, nothing to draw\n", path);
    } else if (facesDropped_ > 0) {
        std::fprintf(stderr, "%s: damaged model: %lld of %lld faces could not be used and are left out\n", path,
                     static_cast<long long>(facesDropped_), static_cast<long long>(facesRead_));
    }
    return loaded;
}

bool ObjLoader::loadObjText(Model3D* model, std::string_view text)
{
    if (!model)
        return false;
    resetPending();
    positionsBefore = 0;
    texCoordsBefore = 0;
    facesRead_ = 0;
    facesDropped_ = 0;

    const std::size_t firstNew = model->objects.size();
    parseObjLines(*model, text);
    for (std::size_t i = firstNew; i < model->objects.size(); ++i)
        buildVertexNormals(model->objects[i]);
    return true;
}

void ObjLoader::resetPending()
{
    pendingVertices.clear();
    pendingFaces.clear();
    pendingTexCoords.clear();
    hasTexCoords = false;
    faceSeen = false;
}

// Each line is taken whole, whatever its length; a CR before the newline is
// part of the line break.
void ObjLoader::parseObjLines(Model3D& model, std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;

        if (line[0] == 'f') {
            parseFaceLine(line.substr(1));
        } else if (line[0] == 'v') {
            if (faceSeen)
                closeObject(model);
            parseVertexLine(line.substr(1));
        }
    }
    closeObject(model);
}

void ObjLoader::parseVertexLine(std::string_view line)
{
    if (line.empty())
        return;
    const std::string rest(line.substr(1));
    const char* p = rest.c_str();
    if (line[0] == ' ') {
        Vector3 position;
        if (scanFloat(p, position.x) && scanFloat(p, position.y))
            scanFloat(p, position.z);
        pendingVertices.push_back(position);
        hasTexCoords = false;
    } else if (line[0] == 't') {
        Vector2 coordinate;
        if (scanFloat(p, coordinate.u))
            scanFloat(p, coordinate.v);
        pendingTexCoords.push_back(coordinate);
        hasTexCoords = true;
    }
}

// Only the first three corners count; the syntax follows the latest "v " or
// "vt" line.
void ObjLoader::parseFaceLine(std::string_view line)
{
    const std::string rest(line);
    const char* p = rest.c_str();
    Face face;
    if (hasTexCoords) {
        for (int corner = 0; corner < 3; ++corner) {
            if (corner > 0)
                skipBlanks(p);
            if (!scanInt(p, face.vertexIndex[corner]) || !matchChar(p, '/') ||
                !scanInt(p, face.texCoordIndex[corner]))
                break;
        }
    } else {
        for (int corner = 0; corner < 3; ++corner) {
            if (!scanInt(p, face.vertexIndex[corner]))
                break;
        }
    }
    pendingFaces.push_back(face);
    faceSeen = true;
}

// Object-local index = file index - 1 - entries of the same kind in the
// objects before. A face with an index outside the object's arrays, or with
// a corner whose numbers are not usable, is dropped, so that drawing never
// reads outside them nor draws from damaged numbers.
void ObjLoader::closeObject(Model3D& model)
{
    MeshObject object;
    object.vertexCount = static_cast<std::int32_t>(pendingVertices.size());
    object.texCoordCount = static_cast<std::int32_t>(pendingTexCoords.size());
    object.hasTexture = object.texCoordCount > 0;
    object.materialIndex = -1;

    const std::int64_t texOffset = object.hasTexture ? texCoordsBefore : 0;
    std::vector<Face> kept;
    kept.reserve(pendingFaces.size());
    for (const Face& fileFace : pendingFaces) {
        Face face;
        bool inside = true;
        for (int corner = 0; corner < 3; ++corner) {
            const std::int64_t v = std::int64_t{fileFace.vertexIndex[corner]} - 1 - positionsBefore;
            const std::int64_t t = std::int64_t{fileFace.texCoordIndex[corner]} - 1 - texOffset;
            inside = inside && v >= 0 && v < object.vertexCount && usable(pendingVertices[static_cast<std::size_t>(v)]);
            if (object.hasTexture)
                inside = inside && t >= 0 && t < object.texCoordCount && usable(pendingTexCoords[static_cast<std::size_t>(t)]);
            face.vertexIndex[corner] = static_cast<std::int32_t>(v);
            face.texCoordIndex[corner] = static_cast<std::int32_t>(t);
        }
        if (inside)
            kept.push_back(face);
    }
    facesRead_ += static_cast<std::int64_t>(pendingFaces.size());
    facesDropped_ += static_cast<std::int64_t>(pendingFaces.size() - kept.size());
    object.faceCount = static_cast<std::int32_t>(kept.size());
    object.faces = std::move(kept);
    object.vertices = pendingVertices;
    object.texCoords = pendingTexCoords;

    model.objects.push_back(std::move(object));
    model.objectCount = static_cast<std::int32_t>(model.objects.size());

    positionsBefore += object.vertexCount;
    texCoordsBefore += object.texCoordCount;
    resetPending();
}

// Face vector = cross(a - c, c - b), unnormalised so that larger triangles
// weigh more; the sum over a vertex's n faces is divided by -n, which turns
// it to the side the counter-clockwise winding faces, then normalised.
void buildVertexNormals(MeshObject& object)
{
    const std::int32_t count = object.vertexCount;
    object.normals.assign(static_cast<std::size_t>(std::max(count, 0)), Vector3{});
    if (count <= 0)
        return;

    std::vector<Vector3> sums(static_cast<std::size_t>(count));
    std::vector<std::int32_t> uses(static_cast<std::size_t>(count), 0);
    for (std::int32_t f = 0; f < object.faceCount; ++f) {
        const std::int32_t* index = object.faces[f].vertexIndex;
        const Vector3& a = object.vertices[index[0]];
        const Vector3& b = object.vertices[index[1]];
        const Vector3& c = object.vertices[index[2]];
        const Vector3 faceVector = cross(minus(a, c), minus(c, b));
        for (int corner = 0; corner < 3; ++corner) {
            const std::int32_t i = index[corner];
            // A vertex named twice by one face counts that face once.
            if ((corner > 0 && i == index[0]) || (corner > 1 && i == index[1]))
                continue;
            sums[i].x += faceVector.x;
            sums[i].y += faceVector.y;
            sums[i].z += faceVector.z;
            ++uses[i];
        }
    }

    for (std::int32_t i = 0; i < count; ++i) {
        Vector3 normal;
        if (uses[i] > 0) {
            const float n = -static_cast<float>(uses[i]);
            const Vector3 v{sums[i].x / n, sums[i].y / n, sums[i].z / n};
            // The length in double stays exact for the tiniest and largest floats.
            const double length = std::sqrt(double{v.x} * v.x + double{v.y} * v.y + double{v.z} * v.z);
            if (length > 0 && std::isfinite(length))
                normal = {static_cast<float>(v.x / length), static_cast<float>(v.y / length),
                          static_cast<float>(v.z / length)};
        }
        object.normals[i] = normal;
    }
}
