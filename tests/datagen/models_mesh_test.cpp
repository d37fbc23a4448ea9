// The mesh builders and the OBJ writer behind the models.
#include "datagen/common/mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using datagen::Mesh;
using datagen::Vec3;

TEST(ModelsMesh, LatheIsClosedAndOutwardWhicheverWayTheProfileRuns)
{
    const std::vector<datagen::ProfilePoint> up = {{0, 0}, {1, 0, true}, {1, 2, true}, {0, 2}};
    const std::vector<datagen::ProfilePoint> down(up.rbegin(), up.rend());
    for (const auto& profile : {up, down}) {
        const Mesh m = datagen::lathe(profile, 12);
        const auto r = datagen::inspectMesh(m);
        EXPECT_TRUE(r.closed);
        EXPECT_EQ(r.shells, 1);
        EXPECT_EQ(r.inwardShells, 0);
        EXPECT_GT(r.minTriangleArea, 1e-4f);
        // Bottom fan, side band and top fan of 12 segments.
        EXPECT_EQ(m.triangleCount(), 12 + 24 + 12);
        EXPECT_NEAR(r.boundsMax.y, 2.0f, 1e-6f);
        EXPECT_NEAR(r.boundsMax.x, 1.0f, 1e-6f);
    }
}

TEST(ModelsMesh, LoftWithApexAndCapIsClosedAndOutward)
{
    // A square pyramid: apex first, then a ring turning either way.
    for (bool clockwise : {false, true}) {
        std::vector<Vec3> ring = {{1, 1, 0}, {-1, 1, 0}, {-1, -1, 0}, {1, -1, 0}};
        if (clockwise) std::reverse(ring.begin(), ring.end());
        const Mesh m = datagen::loft({{{0, 0, -2}}, ring});
        const auto r = datagen::inspectMesh(m);
        EXPECT_TRUE(r.closed);
        EXPECT_EQ(r.inwardShells, 0);
        EXPECT_EQ(m.triangleCount(), 4 + 4);
    }
}

TEST(ModelsMesh, InspectionFindsHolesAndInsideOutShells)
{
    Mesh m = datagen::lathe({{0, 0}, {1, 1}, {0, 2}}, 6);
    Mesh flipped = m;
    flipped.flip();
    EXPECT_EQ(datagen::inspectMesh(flipped).inwardShells, 1);
    m.triangles.resize(m.triangles.size() - 3);
    EXPECT_FALSE(datagen::inspectMesh(m).closed);
}

TEST(ModelsMesh, ObjTextStartsItsFirstFaceAtVertexOne)
{
    Mesh m;
    for (Vec3 p : {Vec3{0, 0, 0}, Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{1, 1, 0}}) m.addVertex(p);
    m.addTriangle(1, 3, 2);  // does not use vertex 0
    m.addTriangle(2, 0, 1);
    m.texCoords[2] = {0.25f, 0.75f};
    const std::string text = datagen::objText(m, "quad");
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 2u + 4u + 4u + 2u);
    EXPECT_EQ(lines[0].substr(0, 2), "# ");
    EXPECT_EQ(lines[1], "o quad");
    EXPECT_EQ(lines[2], "v 0.00000 0.00000 0.00000");
    EXPECT_EQ(lines[8], "vt 0.25000 0.75000");
    // The triangle using vertex 0 comes first, rotated to start there, wound as before.
    EXPECT_EQ(lines[10], "f 1/1 2/2 3/3");
    EXPECT_EQ(lines[11], "f 2/2 4/4 3/3");
}

TEST(ModelsMesh, ReflectionCoordinatesFollowTheNormal)
{
    // A flat square facing the viewer reflects straight back: the disc's centre.
    Mesh m;
    for (Vec3 p : {Vec3{-1, -1, 0}, Vec3{1, -1, 0}, Vec3{1, 1, 0}, Vec3{-1, 1, 0}}) m.addVertex(p);
    m.addTriangle(0, 1, 2);
    m.addTriangle(0, 2, 3);
    datagen::bakeReflectionCoords(m, {0, 0, -1});
    for (const auto& t : m.texCoords) {
        EXPECT_NEAR(t.u, 0.5f, 1e-5f);
        EXPECT_NEAR(t.v, 0.5f, 1e-5f);
    }
    // Tilted upwards, it reflects the upper half of the disc.
    for (Vec3& p : m.positions) p = {p.x, p.y, -p.y * 0.5f};
    datagen::bakeReflectionCoords(m, {0, 0, -1});
    EXPECT_GT(m.texCoords[0].v, 0.6f);
}
