// OBJ reader: objects, local indices, the face syntax, whole lines, dropped
// faces, normals, and the material operations on a model.
#include "assets/model.h"

#include "assets/asset_test_util.h"
#include "gl_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

using namespace assettest;

namespace {

class ObjReaderTest : public ::testing::Test {
protected:
    void SetUp() override { clearMessages(); }

    const MeshObject& load(const std::string& text)
    {
        model = Model3D{};
        EXPECT_TRUE(loader.loadObjText(&model, text));
        EXPECT_GE(model.objectCount, 1);
        EXPECT_EQ(model.objectCount, static_cast<int>(model.objects.size()));
        return model.objects.front();
    }

    static void expectFace(const MeshObject& object, int face, std::array<int, 3> vertex)
    {
        ASSERT_LT(face, object.faceCount);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(object.faces[face].vertexIndex[k], vertex[static_cast<std::size_t>(k)]) << "face " << face;
    }
    static void expectNear(const Vector3& v, float x, float y, float z)
    {
        EXPECT_NEAR(v.x, x, 1e-6f);
        EXPECT_NEAR(v.y, y, 1e-6f);
        EXPECT_NEAR(v.z, z, 1e-6f);
    }

    ObjLoader loader;
    Model3D model;
};

const std::string Triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";

TEST_F(ObjReaderTest, PlainAndTexturedTriangle)
{
    const MeshObject& object = load(Triangle);
    EXPECT_EQ(object.vertexCount, 3);
    EXPECT_FALSE(object.hasTexture);
    EXPECT_TRUE(object.texCoords.empty());
    EXPECT_EQ(object.materialIndex, -1);
    expectFace(object, 0, {0, 1, 2});
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(object.faces[0].texCoordIndex[k], -1);
        expectNear(object.normals[k], 0, 0, 1);
    }

    const MeshObject& textured = load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0.5\nvt 0 1\nf 1/1 2/2 3/3\n");
    EXPECT_TRUE(textured.hasTexture);
    EXPECT_EQ(textured.texCoordCount, 3);
    ASSERT_EQ(textured.faceCount, 1);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(textured.faces[0].texCoordIndex[k], k);
    EXPECT_FLOAT_EQ(textured.texCoords[1].v, 0.5f);
}

TEST_F(ObjReaderTest, ObjectsSplitWhereAVertexLineFollowsAFace)
{
    load(Triangle + "v 0 0 1\nv 1 0 1\nv 0 1 1\nf 4 5 6\n");
    ASSERT_EQ(model.objectCount, 2);
    expectFace(model.objects[1], 0, {0, 1, 2});
    expectNear(model.objects[1].vertices[0], 0, 0, 1);

    // Any "v" line splits, even one that is otherwise ignored; g and o do not.
    load(Triangle + "g second\no second\nvn 0 0 1\nf 1 2 3\n");
    ASSERT_EQ(model.objectCount, 2);
    EXPECT_EQ(model.objects[1].vertexCount, 0);
    EXPECT_EQ(model.objects[1].faceCount, 0);  // its face has nothing to index

    load("");
    EXPECT_EQ(model.objectCount, 1);
    EXPECT_EQ(model.objects[0].vertexCount, 0);
    EXPECT_TRUE(model.objects[0].faces.empty());
    EXPECT_TRUE(model.objects[0].vertices.empty());

    load("v 1 2 3\nv 4 5 6\n");
    EXPECT_EQ(model.objectCount, 1);
    EXPECT_EQ(model.objects[0].vertexCount, 2);
    expectNear(model.objects[0].normals[0], 0, 0, 0);
}

TEST_F(ObjReaderTest, LocalIndicesCountFromTheObjectsOwnFirstVertex)
{
    // The second object's first face does not start with its first vertex (4).
    load(Triangle + "v 0 0 1\nv 1 0 1\nv 0 1 1\nv 1 1 1\nf 5 6 7\nf 4 5 6\n");
    ASSERT_EQ(model.objectCount, 2);
    const MeshObject& second = model.objects[1];
    ASSERT_EQ(second.faceCount, 2);
    expectFace(second, 0, {1, 2, 3});
    expectFace(second, 1, {0, 1, 2});

    // Texture coordinates count the same way.
    load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nf 1/1 2/2 3/3\n"
         "v 0 0 1\nv 1 0 1\nv 0 1 1\nvt 0.5 0\nvt 1 0.5\nvt 0 0.5\nf 5/5 6/6 4/4\n");
    ASSERT_EQ(model.objectCount, 2);
    const MeshObject& textured = model.objects[1];
    ASSERT_EQ(textured.faceCount, 1);
    expectFace(textured, 0, {1, 2, 0});
    EXPECT_EQ(textured.faces[0].texCoordIndex[0], 1);
    EXPECT_EQ(textured.faces[0].texCoordIndex[2], 0);
}

TEST_F(ObjReaderTest, FaceSyntaxFollowsTheLatestVertexKind)
{
    // Object 0 ends on "vt" lines and reads v/t corners; object 1's faces come
    // after "v " lines and read plain numbers.
    load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nf 1/3 2/2 3/1\n"
         "v 0 0 1\nv 1 0 1\nv 0 1 1\nf 4 5 6\n");
    ASSERT_EQ(model.objectCount, 2);
    ASSERT_EQ(model.objects[0].faceCount, 1);
    EXPECT_EQ(model.objects[0].faces[0].texCoordIndex[0], 2);
    ASSERT_EQ(model.objects[1].faceCount, 1);
    expectFace(model.objects[1], 0, {0, 1, 2});
    EXPECT_FALSE(model.objects[1].hasTexture);

    // Only the first three corners of a longer polygon count.
    const MeshObject& quad = load("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
    ASSERT_EQ(quad.faceCount, 1);
    expectFace(quad, 0, {0, 1, 2});
    expectNear(quad.normals[3], 0, 0, 0);
}

TEST_F(ObjReaderTest, LinesAreReadWhole)
{
    // A blank line swallows nothing: the first texture coordinate survives.
    const MeshObject& blank = load("v 0 0 0\nv 1 0 0\nv 0 1 0\n\nvt 0 0\nvt 1 0\nvt 0 1\nf 1/1 2/2 3/3\n");
    EXPECT_EQ(blank.texCoordCount, 3);
    EXPECT_EQ(blank.faceCount, 1);

    // A vertex line with two numbers gets z = 0 and keeps the next line.
    const MeshObject& shortLine = load("v 1 2\nv 3 4 5\nv 6 7\nf 1 2 3\n");
    ASSERT_EQ(shortLine.vertexCount, 3);
    expectNear(shortLine.vertices[0], 1, 2, 0);
    expectNear(shortLine.vertices[1], 3, 4, 5);
    expectNear(shortLine.vertices[2], 6, 7, 0);
    EXPECT_EQ(shortLine.faceCount, 1);

    // Lines of 100 characters and more are one line each.
    const std::string pad(150, ' ');
    const std::string longComment = "#" + std::string(99, 'x') + "v 9 9 9\n";
    const MeshObject& longLines =
        load(longComment + "v 0 0 0" + pad + "junk\nv 1 0 0\nv 0 1 0\nf 1" + pad + "2 3 " + pad + "4 5\n");
    EXPECT_EQ(longLines.vertexCount, 3);
    ASSERT_EQ(longLines.faceCount, 1);
    expectFace(longLines, 0, {0, 1, 2});

    // CR LF line ends and a last line without one.
    const MeshObject& crlf = load("v 0 0 0\r\nv 1 0 0\r\n\r\nv 0 1 0\r\nf 1 2 3");
    EXPECT_EQ(crlf.vertexCount, 3);
    EXPECT_EQ(crlf.faceCount, 1);
}

TEST_F(ObjReaderTest, IgnoredLinesAndNumberForms)
{
    // Comments, g, o, usemtl, s and a "v" followed by a tab add nothing.
    const MeshObject& object = load("# comment\ng group\no name\nusemtl stone\ns 1\nv\t5 5 5\n" + Triangle);
    EXPECT_EQ(model.objectCount, 1);
    EXPECT_EQ(object.vertexCount, 3);
    expectFace(object, 0, {0, 1, 2});
    // Unparsable numbers are 0; scanf-style forms parse.
    const MeshObject& numbers = load("v x y z\nv 1e3 -2.5E-2 +.5\n");
    expectNear(numbers.vertices[0], 0, 0, 0);
    expectNear(numbers.vertices[1], 1000, -0.025f, 0.5f);
}

TEST_F(ObjReaderTest, FacesOutsideTheirObjectAreDropped)
{
    const MeshObject& object = load("v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                    "f 1 2 4\nf 0 1 2\nf -1 -2 -3\nf 2147483647 1 2\nf 99999999999 1 2\nf 3 1 2\n");
    ASSERT_EQ(object.faceCount, 1);
    expectFace(object, 0, {2, 0, 1});

    // A texture index outside the object's coordinates drops the face too.
    const MeshObject& textured = load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nf 1/1 2/2 3/3\nf 1/1 2/2 3/2\n");
    ASSERT_EQ(textured.faceCount, 1);
    EXPECT_EQ(textured.faces[0].texCoordIndex[2], 1);
}

TEST_F(ObjReaderTest, VertexTextureNormalCornersAndQuadsLoadSafely)
{
    const MeshObject& object = load("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                    "vn 0 0 1\nf 1/1/1 2/2/1 3/3/1 4/4/1\nf 1//1 2//1 3//1\n");
    // "vn" closes nothing (no face yet); the corners stop the scan after the
    // first pair, so each face has an index 0 and is dropped.
    ASSERT_EQ(model.objectCount, 1);
    EXPECT_EQ(object.vertexCount, 4);
    EXPECT_EQ(object.texCoordCount, 4);
    EXPECT_EQ(object.faceCount, 0);
    for (int i = 0; i < 4; ++i)
        expectNear(object.normals[i], 0, 0, 0);
}

TEST_F(ObjReaderTest, NormalsAverageTheFacesOfEachVertex)
{
    // Two triangles folded along the 1-3 diagonal.
    const MeshObject& fold = load("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 1\nf 1 2 3\nf 1 3 4\n");
    // Face vectors cross(a - c, c - b): (0, 0, -1) and (-1, 1, -1); the sum
    // over n faces divided by -n, then normalised.
    const float s = 1.0f / std::sqrt(1.5f);
    expectNear(fold.normals[0], 0.5f * s, -0.5f * s, s);
    expectNear(fold.normals[2], 0.5f * s, -0.5f * s, s);
    expectNear(fold.normals[1], 0, 0, 1);
    const float t = 1.0f / std::sqrt(3.0f);
    expectNear(fold.normals[3], t, -t, t);

    // Larger triangles weigh more.
    const MeshObject& weighted = load("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 -3\nf 1 2 3\nf 1 4 2\n");
    const Vector3 n = weighted.normals[0];
    EXPECT_NEAR(n.y / n.z, -3.0f, 1e-5f);

    // Faces that cancel and an unused vertex give a zero normal, never NaN.
    const MeshObject& cancelled = load("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\nf 1 2 3\nf 1 3 2\n");
    for (int i = 0; i < 4; ++i)
        expectNear(cancelled.normals[i], 0, 0, 0);
}

TEST_F(ObjReaderTest, Files)
{
    ScratchDir dir;
    writeFile("Data/Models/a.obj", Bytes(Triangle.begin(), Triangle.end()));
    ASSERT_TRUE(loader.loadObjModel(&model, "Data/Models/a.obj"));
    EXPECT_EQ(model.objectCount, 1);
    EXPECT_FALSE(loader.loadObjModel(nullptr, "Data/Models/a.obj"));
    EXPECT_FALSE(loader.loadObjModel(&model, nullptr));
    EXPECT_TRUE(shownMessages().empty());

    Model3D untouched;
    EXPECT_FALSE(loader.loadObjModel(&untouched, "Data/Models/missing.obj"));
    EXPECT_EQ(shownMessages(), std::vector<std::string>{"Error: The model could not be loaded"});
    EXPECT_TRUE(untouched.objects.empty());
}

TEST_F(ObjReaderTest, GeneratedModelsLoadWithEveryFace)
{
    int loaded = 0;
    for (const char* name : {"fighter.obj", "fountain.obj"}) {
        const auto path = std::filesystem::path(testDataRoot()) / "Data" / "Models" / name;
        if (!std::filesystem::exists(path))
            continue;
        std::ifstream in(path);
        int faceLines = 0;
        for (std::string line; std::getline(in, line);)
            faceLines += !line.empty() && line[0] == 'f';
        model = Model3D{};
        ASSERT_TRUE(loader.loadObjModel(&model, path.c_str()));
        ASSERT_EQ(model.objectCount, 1) << name;
        EXPECT_EQ(model.objects[0].faceCount, faceLines) << name;
        EXPECT_TRUE(model.objects[0].hasTexture) << name;
        ++loaded;
    }
    if (loaded == 0)
        GTEST_SKIP() << "no generated models under " << testDataRoot();
}

TEST_F(ObjReaderTest, MaterialsAndTheirObjects)
{
    load(Triangle);
    const std::string longName(400, 'n');
    loader.appendMaterial(&model, longName.c_str(), "Data/Textures/Chrome.tga", 255, 128, 0);
    ASSERT_EQ(model.materialCount, 1);
    EXPECT_EQ(std::strlen(model.materials[0].name), 254u);
    EXPECT_STREQ(model.materials[0].file, "Data/Textures/Chrome.tga");
    EXPECT_EQ(model.materials[0].colour[1], 128);

    // Object indices outside the model change nothing; the material index is
    // stored unchecked.
    loader.assignObjectMaterial(&model, 1, 0);
    loader.assignObjectMaterial(&model, -1, 0);
    EXPECT_EQ(model.objects[0].materialIndex, -1);
    loader.assignObjectMaterial(&model, 0, 7);
    EXPECT_EQ(model.objects[0].materialIndex, 7);
}

} // namespace
