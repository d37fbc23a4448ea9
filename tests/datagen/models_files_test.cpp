// The generated fighter.obj and fountain.obj, read back as the demo's OBJ
// subset reads them: sizes, counts, closure, normals and, for the fountain,
// where the spray's droplets come to rest.
#include "datagen/common/mesh.h"
#include "textures_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <tuple>
#include <optional>
#include <sstream>

using datagen::Mesh;
using datagen::Vec3;

namespace {

struct ObjFile {
    Mesh mesh;
    std::vector<int> texIndex;  // per face corner
    bool wellFormed = true;
    std::string problem;
};

// Reads positions, then texture coordinates, then "f a/ta b/tb c/tc" faces,
// checking the layout the demo's reader needs.
ObjFile parseObj(const std::string& text)
{
    ObjFile f;
    auto fail = [&](const std::string& why) {
        if (f.wellFormed) f.problem = why;
        f.wellFormed = false;
    };
    std::istringstream in(text);
    int stage = 0;  // 0 header, 1 positions, 2 texture coordinates, 3 faces
    std::size_t texCount = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) fail("blank line");
        if (line.size() >= 99) fail("long line");
        if (line.rfind("v ", 0) == 0) {
            if (stage > 1) fail("position after texture coordinates or faces");
            stage = 1;
            Vec3 p;
            if (std::sscanf(line.c_str(), "v %f %f %f", &p.x, &p.y, &p.z) != 3) fail("bad position: " + line);
            f.mesh.addVertex(p);
        } else if (line.rfind("vt", 0) == 0) {
            if (stage < 1 || stage > 2) fail("texture coordinate out of place");
            stage = 2;
            ++texCount;
        } else if (line.rfind("f", 0) == 0) {
            if (stage < 2) fail("face before texture coordinates");
            stage = 3;
            int v[3], t[3];
            char rest = 0;
            if (std::sscanf(line.c_str(), "f %d/%d %d/%d %d/%d %c", &v[0], &t[0], &v[1], &t[1], &v[2], &t[2], &rest) != 6)
                fail("face not a plain triangle with texture indices: " + line);
            f.mesh.addTriangle(v[0] - 1, v[1] - 1, v[2] - 1);
            for (int k = 0; k < 3; ++k) f.texIndex.push_back(t[k] - 1);
        } else if (line[0] == 'v') {
            fail("other vertex data");
        } else if (stage != 0) {
            fail("extra line inside the object: " + line);
        }
    }
    const int n = int(f.mesh.positions.size());
    for (int i : f.mesh.triangles)
        if (i < 0 || i >= n) fail("position index out of range");
    for (int i : f.texIndex)
        if (i < 0 || i >= int(texCount)) fail("texture index out of range");
    if (f.mesh.triangles.size() < 3 || f.mesh.triangles[0] != 0 || f.texIndex[0] != 0)
        fail("the first face must start with 1/1");
    return f;
}

ObjFile loadModel(const char* name)
{
    const auto bytes = texture_files::readBytes(texture_files::generatedFile(std::string("Models/") + name));
    return parseObj(std::string(bytes.begin(), bytes.end()));
}

// Normals as the demo's reader makes them: per face cross(a - c, c - b),
// summed per vertex and divided by minus the count.
std::vector<Vec3> readerNormals(const Mesh& m)
{
    std::vector<Vec3> sum(m.positions.size());
    std::vector<int> count(m.positions.size(), 0);
    for (std::size_t i = 0; i + 2 < m.triangles.size(); i += 3) {
        const Vec3 a = m.positions[std::size_t(m.triangles[i])], b = m.positions[std::size_t(m.triangles[i + 1])],
                   c = m.positions[std::size_t(m.triangles[i + 2])];
        const Vec3 n = datagen::cross(a - c, c - b);
        for (int k = 0; k < 3; ++k) {
            sum[std::size_t(m.triangles[i + std::size_t(k)])] = sum[std::size_t(m.triangles[i + std::size_t(k)])] + n;
            ++count[std::size_t(m.triangles[i + std::size_t(k)])];
        }
    }
    for (std::size_t i = 0; i < sum.size(); ++i)
        if (count[i] > 0) sum[i] = datagen::normalise(sum[i] * (-1.0f / float(count[i])));
    return sum;
}

// Connected part of every vertex (vertices at the same position joined).
std::vector<int> partOf(const Mesh& m)
{
    std::vector<int> parent(m.positions.size());
    for (std::size_t i = 0; i < parent.size(); ++i) parent[i] = int(i);
    std::function<int(int)> find = [&](int x) { return parent[std::size_t(x)] == x ? x : parent[std::size_t(x)] = find(parent[std::size_t(x)]); };
    std::map<std::tuple<long, long, long>, int> at;
    for (std::size_t i = 0; i < m.positions.size(); ++i) {
        const Vec3 p = m.positions[i];
        const auto key = std::make_tuple(std::lround(p.x * 1e5), std::lround(p.y * 1e5), std::lround(p.z * 1e5));
        const auto found = at.emplace(key, int(i));
        if (!found.second) parent[std::size_t(find(int(i)))] = find(found.first->second);
    }
    for (std::size_t i = 0; i + 2 < m.triangles.size(); i += 3)
        for (int k = 1; k < 3; ++k) parent[std::size_t(find(m.triangles[i + std::size_t(k)]))] = find(m.triangles[i]);
    std::vector<int> part(parent.size());
    for (std::size_t i = 0; i < part.size(); ++i) part[i] = find(int(i));
    return part;
}

// Centroid of the solid enclosed by the triangles of one part.
Vec3 solidCentroid(const Mesh& m, const std::vector<int>& part, int which)
{
    double volume = 0, cx = 0, cy = 0, cz = 0;
    for (std::size_t i = 0; i + 2 < m.triangles.size(); i += 3) {
        if (part[std::size_t(m.triangles[i])] != which) continue;
        const Vec3 a = m.positions[std::size_t(m.triangles[i])], b = m.positions[std::size_t(m.triangles[i + 1])],
                   c = m.positions[std::size_t(m.triangles[i + 2])];
        const double v = double(datagen::dot(a, datagen::cross(b, c))) / 6.0;
        volume += v;
        cx += v * double(a.x + b.x + c.x) / 4.0;
        cy += v * double(a.y + b.y + c.y) / 4.0;
        cz += v * double(a.z + b.z + c.z) / 4.0;
    }
    return {float(cx / volume), float(cy / volume), float(cz / volume)};
}

// Height of the first surface met by a ray falling straight down at (x, z).
std::optional<float> firstHitFromAbove(const Mesh& m, float x, float z)
{
    std::optional<float> best;
    for (std::size_t i = 0; i + 2 < m.triangles.size(); i += 3) {
        const Vec3 a = m.positions[std::size_t(m.triangles[i])], b = m.positions[std::size_t(m.triangles[i + 1])],
                   c = m.positions[std::size_t(m.triangles[i + 2])];
        // Barycentric test in the x-z plane.
        const float d = (b.z - c.z) * (a.x - c.x) + (c.x - b.x) * (a.z - c.z);
        if (std::fabs(d) < 1e-12f) continue;
        const float l1 = ((b.z - c.z) * (x - c.x) + (c.x - b.x) * (z - c.z)) / d;
        const float l2 = ((c.z - a.z) * (x - c.x) + (a.x - c.x) * (z - c.z)) / d;
        const float l3 = 1 - l1 - l2;
        if (l1 < 0 || l2 < 0 || l3 < 0) continue;
        const float y = l1 * a.y + l2 * b.y + l3 * c.y;
        if (!best || y > *best) best = y;
    }
    return best;
}

} // namespace

TEST(ModelsFiles, BothFilesUseTheReadersSubset)
{
    for (const char* name : {"fighter.obj", "fountain.obj"}) {
        const ObjFile f = loadModel(name);
        EXPECT_TRUE(f.wellFormed) << name << ": " << f.problem;
        EXPECT_GT(f.mesh.triangleCount(), 0) << name;
    }
}

TEST(ModelsFiles, FighterSizeAndOrientation)
{
    const ObjFile f = loadModel("fighter.obj");
    const Mesh& m = f.mesh;
    EXPECT_GE(m.triangleCount(), 500);
    EXPECT_LE(m.triangleCount(), 3000);
    const auto r = datagen::inspectMesh(m);
    EXPECT_NEAR(r.boundsMax.z - r.boundsMin.z, 0.6f, 0.05f) << "length";
    EXPECT_NEAR(r.boundsMax.x - r.boundsMin.x, 0.5f, 0.05f) << "span";
    EXPECT_LT(r.boundsMax.y - r.boundsMin.y, 0.25f) << "height";
    for (float c : {r.boundsMin.x + r.boundsMax.x, r.boundsMin.y + r.boundsMax.y, r.boundsMin.z + r.boundsMax.z})
        EXPECT_NEAR(c, 0.0f, 0.01f) << "centred";
    // The nose is the frontmost point, on the centre line; the wing tips and
    // the fins are behind the middle, the fins on top.
    const Vec3* nose = &m.positions[0];
    const Vec3* tip = &m.positions[0];
    const Vec3* top = &m.positions[0];
    for (const Vec3& p : m.positions) {
        if (p.z < nose->z) nose = &p;
        if (std::fabs(p.x) > std::fabs(tip->x)) tip = &p;
        if (p.y > top->y) top = &p;
    }
    EXPECT_NEAR(nose->x, 0.0f, 0.005f);
    EXPECT_LT(nose->z, -0.28f);
    EXPECT_GT(tip->z, 0.0f);
    EXPECT_GT(top->z, 0.0f);
    // Up is +y: the fins rise far above the wing tips, the belly hangs a little below.
    EXPECT_GT(top->y - tip->y, 3.0f * (tip->y - r.boundsMin.y));
    // Symmetric left to right.
    EXPECT_NEAR(r.boundsMin.x, -r.boundsMax.x, 1e-4f);
}

TEST(ModelsFiles, FighterIsClosedAndItsNormalsPointOutwards)
{
    const Mesh m = loadModel("fighter.obj").mesh;
    const auto r = datagen::inspectMesh(m);
    EXPECT_TRUE(r.closed);
    EXPECT_EQ(r.inwardShells, 0);
    EXPECT_GT(r.minTriangleArea, 1e-7f) << "no degenerate triangles";
    EXPECT_GE(r.shells, 8) << "fuselage, canopy, wings, tailplanes, fins, nozzles";
    // Seen from the centroid of the whole solid most normals point away; the
    // fins' inner faces, the nozzles' bores and the canopy's rear cannot.
    const auto normals = readerNormals(m);
    const Vec3 centre = solidCentroid(m, std::vector<int>(m.positions.size(), 0), 0);
    int outward = 0;
    for (std::size_t i = 0; i < normals.size(); ++i)
        if (datagen::dot(normals[i], m.positions[i] - centre) > 0) ++outward;
    EXPECT_GT(float(outward), 0.66f * float(normals.size())) << outward << " of " << normals.size();
    // Seen from the centroid of its own part, nearly every normal points away.
    const std::vector<int> part = partOf(m);
    std::map<int, Vec3> centres;
    int outwardInPart = 0;
    for (std::size_t i = 0; i < normals.size(); ++i) {
        const int p = part[i];
        if (!centres.count(p)) centres[p] = solidCentroid(m, part, p);
        if (datagen::dot(normals[i], m.positions[i] - centres[p]) > 0) ++outwardInPart;
    }
    EXPECT_GT(float(outwardInPart), 0.9f * float(normals.size())) << outwardInPart << " of " << normals.size();
    // Texture coordinates stay on the sphere-map picture.
    for (const auto& t : m.texCoords) {
        EXPECT_GE(t.u, 0.0f);
        EXPECT_LE(t.u, 1.0f);
        EXPECT_GE(t.v, 0.0f);
        EXPECT_LE(t.v, 1.0f);
    }
}

TEST(ModelsFiles, FountainStandsOnTheFloorUnderTheSpray)
{
    const Mesh m = loadModel("fountain.obj").mesh;
    const auto r = datagen::inspectMesh(m);
    EXPECT_TRUE(r.closed);
    EXPECT_EQ(r.inwardShells, 0);
    EXPECT_GT(r.minTriangleArea, 1e-6f);
    EXPECT_GE(m.triangleCount(), 500);
    EXPECT_NEAR(r.boundsMin.y, -0.18f, 1e-4f) << "base on the floor";
    EXPECT_LT(r.boundsMax.y, 2.7f) << "below the spray's source";
    EXPECT_GT(r.boundsMax.y, 2.5f);
    // The top bowl sits just under the source.
    const auto bowl = firstHitFromAbove(m, 0.0f, 0.0f);
    ASSERT_TRUE(bowl.has_value());
    EXPECT_GT(*bowl, 2.45f);
    EXPECT_LT(*bowl, 2.7f);
}

TEST(ModelsFiles, DropletsRestOnTheBasinFloorAndBounceOnTheFloorBeyond)
{
    const Mesh m = loadModel("fountain.obj").mesh;
    const Vec3 source{0, 2.7f, 0};
    // Droplets rest at y = -1.2 relative to the source wherever
    // x^2 + y^2 + z^2 <= 3.7 there: within sqrt(3.7 - 1.44) of the axis.
    const float restY = source.y - 1.2f;
    for (int k = 0; k < 12; ++k) {
        const float a = float(k) * 0.5236f + 0.1f;
        // Between the top bowl's shadow and the inner wall the basin floor is
        // the first surface a falling droplet meets.
        for (float rad : {0.55f, 0.9f, 1.2f, 1.45f}) {
            const auto hit = firstHitFromAbove(m, rad * std::cos(a), rad * std::sin(a));
            ASSERT_TRUE(hit.has_value()) << rad;
            EXPECT_NEAR(*hit, restY, 0.005f) << "basin floor at radius " << rad;
        }
        // The rim stands a little above and outside the resting ring.
        const auto rim = firstHitFromAbove(m, 1.6f * std::cos(a), 1.6f * std::sin(a));
        ASSERT_TRUE(rim.has_value());
        EXPECT_GT(*rim, restY + 0.1f);
        EXPECT_LT(*rim, restY + 0.4f);
        // Beyond the rim nothing stands above the floor where droplets bounce
        // (y = -2.84 relative to the source).
        for (float rad : {1.75f, 2.5f, 4.0f}) {
            const auto floorHit = firstHitFromAbove(m, rad * std::cos(a), rad * std::sin(a));
            EXPECT_FALSE(floorHit.has_value()) << rad;
        }
    }
}
