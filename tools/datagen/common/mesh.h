// Triangle meshes for the models: builders for surfaces of revolution and
// lofted sections, checks of closure and orientation, and the OBJ writer.
// Every vertex carries its own texture coordinate (same index in both lists).
#pragma once

#include <cmath>
#include <string>
#include <vector>

namespace datagen {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
inline Vec3 lerp(Vec3 a, Vec3 b, float t) { return a + (b - a) * t; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalise(Vec3 a)
{
    const float l = length(a);
    return l > 0 ? a * (1.0f / l) : Vec3{};
}

struct Vec2 {
    float u = 0, v = 0;
};

struct Mesh {
    std::vector<Vec3> positions;
    std::vector<Vec2> texCoords;  // one per position
    std::vector<int> triangles;   // three indices per triangle, counter-clockwise seen from outside

    int addVertex(Vec3 p)
    {
        positions.push_back(p);
        texCoords.push_back({});
        return int(positions.size()) - 1;
    }
    void addTriangle(int a, int b, int c)
    {
        triangles.push_back(a);
        triangles.push_back(b);
        triangles.push_back(c);
    }
    int triangleCount() const { return int(triangles.size() / 3); }
    void append(const Mesh& other);
    void transform(Vec3 scale, Vec3 offset);
    void flip();  // reverses the winding of every triangle
};

// One point of a profile turned about the y axis: radius, height, and whether
// the surface bends sharply there (the rings on either side are not shared).
struct ProfilePoint {
    float r, y;
    bool crease = false;
};

// Surface of revolution about the y axis. The profile runs from a point on
// the axis to a point on the axis, so the surface is closed; it is oriented
// outwards whichever way the profile runs.
Mesh lathe(const std::vector<ProfilePoint>& profile, int segments);

// Surface through closed rings of equal size, each ring a loop of points;
// a ring of one point is an apex. Open ends are closed by flat caps with
// their own vertices (a crease). Oriented outwards.
Mesh loft(const std::vector<std::vector<Vec3>>& rings);

// Ring of an airfoil section: from leading edge le to trailing edge te, with
// thickness along side (a unit vector), points per surface = stations.
std::vector<Vec3> airfoilRing(Vec3 le, Vec3 te, Vec3 side, float thickness, int stations);

// Per-vertex normals: area-weighted sums of the counter-clockwise face
// normals, normalised (zero for an unused vertex).
std::vector<Vec3> vertexNormals(const Mesh& mesh);

// Texture coordinates that make a sphere-map picture look like a reflection
// seen from direction eye (a unit vector from the viewer into the scene).
void bakeReflectionCoords(Mesh& mesh, Vec3 eye);

// Checks. Positions closer than 1e-5 count as one point.
struct MeshReport {
    bool closed = false;       // every edge shared by exactly two triangles, in opposite directions
    int shells = 0;            // connected pieces
    int inwardShells = 0;      // pieces whose enclosed volume is negative
    float minTriangleArea = 0;
    Vec3 boundsMin, boundsMax;
};
MeshReport inspectMesh(const Mesh& mesh);

// The mesh as OBJ text: a comment, one object, all positions, then all
// texture coordinates, then the faces as "f a/a b/b c/c". The first face
// starts at vertex 1, no line is blank or longer than 80 characters.
std::string objText(const Mesh& mesh, const char* name);

} // namespace datagen
