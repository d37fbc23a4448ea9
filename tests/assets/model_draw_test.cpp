// Drawing models on an EGL context: material colours, the shared material
// texture, objects that must not be read outside their arrays.
#include "assets/model.h"

#include "assets/asset_test_util.h"
#include "assets/texture_set.h"
#include "gl_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

using namespace assettest;

namespace {

// A triangle over the middle of the screen, 3 units in front of the camera.
const std::string Plain = "v -1 -1 -3\nv 1 -1 -3\nv 0 1 -3\nf 1 2 3\n";
const std::string Textured = "v -1 -1 -3\nv 1 -1 -3\nv 0 1 -3\nvt 0 0\nvt 1 0\nvt 0.5 1\nf 1/1 2/2 3/3\n";

class ModelDrawTest : public GlTest {
protected:
    void load(const std::string& text) { ASSERT_TRUE(loader.loadObjText(&model, text)); }

    // Draws the model on black and returns the colour at the screen's middle.
    std::array<int, 3> drawnCentre()
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        drawModel(model);
        const auto p = pixelAt(400, 300);
        return {p[0], p[1], p[2]};
    }
    static GLuint solidTexture(std::uint8_t r, std::uint8_t g, std::uint8_t b)
    {
        ImageData image;
        const Bytes file = solidTga(8, 8, r, g, b);
        EXPECT_TRUE(readTgaBytes(image, file.data(), file.size()));
        return makeTexture(image);
    }

    ObjLoader loader;
    Model3D model;
};

using Rgb = std::array<int, 3>;

TEST_F(ModelDrawTest, UntexturedObjectsTakeTheirMaterialColour)
{
    load(Plain);
    EXPECT_EQ(drawnCentre(), (Rgb{255, 255, 255}));  // no material at all
    loader.appendMaterial(&model, "Fountain", "", 255, 0, 0);
    EXPECT_EQ(drawnCentre(), (Rgb{255, 255, 255}));  // material index -1

    loader.assignObjectMaterial(&model, 0, 0);
    glEnable(GL_TEXTURE_2D);
    const MeshObject before = model.objects[0];
    EXPECT_EQ(drawnCentre(), (Rgb{255, 0, 0}));
    // Drawn untextured, yet left as a textured model leaves it: what comes
    // after the model keeps its textures whatever the model holds.
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    // The drawn model's lists are as they were.
    ASSERT_EQ(model.objectCount, 1);
    ASSERT_EQ(model.materials.size(), 1u);
    EXPECT_EQ(model.objects[0].vertices, before.vertices);
    EXPECT_EQ(model.objects[0].faceCount, before.faceCount);
    EXPECT_EQ(model.objects[0].materialIndex, 0);

    loader.assignObjectMaterial(&model, 0, 5);  // beyond the materials
    EXPECT_EQ(drawnCentre(), (Rgb{255, 255, 255}));
}

TEST_F(ModelDrawTest, TexturedObjectsUseTheSharedMaterialTexture)
{
    load(Textured);
    loader.appendMaterial(&model, "Fountain", "Data/Textures/unused.tga", 255, 0, 0);
    loader.assignObjectMaterial(&model, 0, 0);

    Gl.ModelTexture = solidTexture(0, 200, 0);
    EXPECT_EQ(drawnCentre(), (Rgb{0, 200, 0}));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    // Whatever Gl.ModelTexture names at the time of the draw.
    Gl.ModelTexture = solidTexture(30, 60, 250);
    EXPECT_EQ(drawnCentre(), (Rgb{30, 60, 250}));
}

TEST_F(ModelDrawTest, TheLastMaterialTextureMadeIsTheOneDrawn)
{
    ScratchDir dir;
    writeFile("Data/Textures/testground.tga", solidTga(4, 4, 250, 0, 0));
    writeFile("Data/Textures/Chrome.tga", solidTga(4, 4, 0, 0, 250));

    Model3D fighter;
    ASSERT_TRUE(loader.loadObjText(&fighter, Textured));
    loader.appendMaterial(&fighter, "Fountain", "Data/Textures/testground.tga", 255, 255, 255);
    loader.assignObjectMaterial(&fighter, 0, 0);
    load(Textured);
    loader.appendMaterial(&model, "Fountain", "Data/Textures/Chrome.tga", 255, 255, 255);
    loader.assignObjectMaterial(&model, 0, 0);

    readMaterialImages(fighter);
    readMaterialImages(model);
    // The textures are made from the images read with the models: the files
    // are no longer needed.
    std::filesystem::remove("Data/Textures/testground.tga");
    std::filesystem::remove("Data/Textures/Chrome.tga");
    createMaterialTextures(fighter);
    const GLuint fighterName = Gl.ModelTexture;
    createMaterialTextures(model);
    EXPECT_NE(Gl.ModelTexture, fighterName);

    // Both models draw with the second texture.
    EXPECT_EQ(drawnCentre(), (Rgb{0, 0, 250}));
    std::swap(model, fighter);
    EXPECT_EQ(drawnCentre(), (Rgb{0, 0, 250}));
    std::swap(model, fighter);

    // A material whose image is missing makes no texture and keeps the last.
    const GLuint before = Gl.ModelTexture;
    Model3D missingOnly;
    loader.appendMaterial(&missingOnly, "Missing", "Data/Textures/none.tga", 0, 0, 0);
    clearMessages();
    readMaterialImages(missingOnly);
    EXPECT_EQ(shownMessages(), std::vector<std::string>{"ERROR: Could not open texture file"});
    createMaterialTextures(missingOnly);
    EXPECT_EQ(Gl.ModelTexture, before);
}

TEST_F(ModelDrawTest, FacesOutsideTheArraysAreNeverDrawn)
{
    // An empty model draws nothing.
    EXPECT_EQ(drawnCentre(), (Rgb{0, 0, 0}));

    // A face put in by hand that points past its object is skipped.
    load(Plain);
    model.objects[0].faces[0].vertexIndex[2] = 3;
    EXPECT_EQ(drawnCentre(), (Rgb{0, 0, 0}));
    model.objects[0].faces[0].vertexIndex[2] = 2;
    EXPECT_EQ(drawnCentre(), (Rgb{255, 255, 255}));

    // Counts that claim more than the lists hold are not trusted.
    model.objects[0].vertexCount = 4;
    model.objects[0].faceCount = 2;
    model.objects[0].faces[0].vertexIndex[2] = 3;
    EXPECT_EQ(drawnCentre(), (Rgb{0, 0, 0}));
}

} // namespace
