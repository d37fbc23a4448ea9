// The scene set-up as window creation runs it: the GL state the first frame
// finds, the run again in a new context (F1), and its failures.
#include "gl_fixture.h"

#include "effects/heightfield_draw.h"
#include "assets/model.h"
#include "effects/fountain.h"
#include "effects/particles.h"
#include "effects/heightfield_gen.h"
#include "core/random.h"
#include "shell/scene_setup.h"
#include "shell/demo_state.h"
#include "shell/window.h"
#include "text/bitmap_font.h"
#include "text/outline_font.h"
#include "text/volume_meter.h"

#include <filesystem>
#include <set>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using V4 = std::array<float, 4>;

// Each test runs in a scratch folder whose Data/ links to the generated
// files less those it leaves out, with no models read yet.
class SceneSetUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::setQuietMessages(true);
        headless::clearMessageLog();
        home = fs::current_path();
    }
    void TearDown() override
    {
        plat::destroyWindow();
        headless::setFullScreenAvailable(true);
        headless::setFullScreenWindowFails(false);
        plat::showCursor(true);
        fs::current_path(home);
        fs::remove_all(scratch);
    }
    bool createWithout(const std::set<std::string>& leftOut, bool fullScreen = false)
    {
        const fs::path source = fs::absolute(fs::path(testDataRoot()) / "Data");
        for (const char* sub : {"Textures", "Models", "Sounds"}) {
            fs::create_directories(scratch / "Data" / sub);
            std::error_code none;
            for (const auto& f : fs::directory_iterator(source / sub, none))
                if (!leftOut.count(f.path().filename().string()))
                    fs::create_symlink(f.path(), scratch / "Data" / sub / f.path().filename());
        }
        fs::current_path(scratch);
        return CreateMainWindow(demoState().shell, "set-up test", 800, 600, 32, fullScreen);
    }
    static V4 light(GLenum l, GLenum what)
    {
        V4 v{-1, -1, -1, -1};
        glGetLightfv(l, what, v.data());
        return v;
    }
    static V4 floats(GLenum what)
    {
        V4 v{-1, -1, -1, -1};
        glGetFloatv(what, v.data());
        return v;
    }
    // The landscape from the flight's starting camera, (20, 16, 20) heading
    // along +x, as the flight scenes draw it.
    static std::vector<std::uint8_t> landscapeFrame()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
        glTranslatef(-20.0f, -16.1f, -20.0f);
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        drawHeightField(demoState().heightField, 20.0f, 20.0f);
        glDisable(GL_LIGHTING);
        glLoadIdentity();
        std::vector<std::uint8_t> rgb;
        int w = 0, h = 0;
        headless::readFrame(&rgb, &w, &h);
        return rgb;
    }
    // Level 0 of a texture as RGB rows.
    static std::vector<std::uint8_t> texels(GLuint name)
    {
        glBindTexture(GL_TEXTURE_2D, name);
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        if (!rgb.empty())
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }
    static int integer(GLenum what)
    {
        GLint v = -1;
        glGetIntegerv(what, &v);
        return v;
    }
    fs::path home, scratch = fs::temp_directory_path() / ("ng_setup_" + std::to_string(::getpid()));
};

TEST_F(SceneSetUpTest, FirstFrameFindsTheBaseState)
{
    ASSERT_TRUE(createWithout({}));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_NORMALIZE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_LIGHTING) || glIsEnabled(GL_FOG));
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(integer(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(integer(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_EQ(integer(GL_POLYGON_MODE), GL_FILL);
    EXPECT_EQ(floats(GL_COLOR_CLEAR_VALUE), (V4{0, 0, 0, 0.5f}));
    EXPECT_EQ(integer(GL_FOG_MODE), GL_EXP2);
    EXPECT_EQ(floats(GL_FOG_COLOR), (V4{0.6f, 0.5f, 0.05f, 0.5f}));
    EXPECT_EQ(floats(GL_FOG_DENSITY)[0], 0.35f);
    EXPECT_EQ(floats(GL_FOG_START)[0], 0.0f);
    EXPECT_EQ(floats(GL_FOG_END)[0], 10.0f);

    EXPECT_TRUE(glIsEnabled(GL_LIGHT0) && glIsEnabled(GL_LIGHT1));
    EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), (V4{1, 1, 0, 0}));  // given under the identity
    EXPECT_EQ(light(GL_LIGHT0, GL_AMBIENT), (V4{1, 1, 0, 0}));
    EXPECT_EQ(light(GL_LIGHT0, GL_DIFFUSE), (V4{1, 1, 0, 0}));
    EXPECT_EQ(light(GL_LIGHT1, GL_AMBIENT), (V4{1, 1, 0.5f, 0}));
    EXPECT_EQ(light(GL_LIGHT1, GL_DIFFUSE), (V4{1, 1, 0.5f, 0}));
    EXPECT_EQ(light(GL_LIGHT1, GL_POSITION), (V4{0, 0, 1, 0}));
    EXPECT_EQ(light(GL_LIGHT1, GL_CONSTANT_ATTENUATION)[0], 2.0f);
    EXPECT_EQ(light(GL_LIGHT1, GL_LINEAR_ATTENUATION)[0], 1.0f);
    EXPECT_EQ(light(GL_LIGHT1, GL_QUADRATIC_ATTENUATION)[0], 0.5f);

    EXPECT_TRUE(glIsList(Gl.BitmapFont) && glIsList(Gl.BitmapFont + 255) && glIsList(Gl.OutlineFont + 'A'));
    EXPECT_TRUE(Gl.SphereQuadric && Gl.ConeQuadric && Gl.SphereQuadric != Gl.ConeQuadric);
    EXPECT_EQ(Assets.fighterModel.materialCount + Assets.fountainModel.materialCount, 2);
    EXPECT_TRUE(glIsTexture(Gl.ModelTexture));
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_TRUE(headless::messageLog().empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneSetUpTest, RunAgainAfterF1ReinitialisesPoolsFieldMeterAndEye)
{
    ASSERT_TRUE(createWithout({}));
    const std::vector<std::uint8_t> before = landscapeFrame();
    const std::uint32_t drawn = demoState().random.RandomState;
    const int objects = Assets.fighterModel.objectCount;

    // The generator as it stands after the sparks' 200, the flames' 2 x 350
    // and the field's 65,536 draws from here.
    for (int i = 0; i < SparkCount + 2 * FlameCount + HeightFieldCells; ++i) nextRandom(demoState().random);
    const std::uint32_t expected = demoState().random.RandomState;
    demoState().random.RandomState = drawn;

    // What the frames since the first set-up changed.
    demoState().particles.FlamePool[7].life = -3.0f;
    demoState().particles.SparkPool[3].size = 0.03f;
    demoState().particles.SprayPool[5].life = 4.0f;
    demoState().particles.SparkAngle = 1.25f;
    demoState().meter.VolumeLevels[0] = 0.1f;
    demoState().fountain.CameraEye[0] = 17.0f;

    // Data/ is gone by the time of F1: the new context's textures are made
    // from what the first set-up read.
    const std::vector<std::uint8_t> font = texels(Gl.Textures[TexFont]);
    const std::vector<std::uint8_t> material = texels(Gl.ModelTexture);
    ASSERT_FALSE(font.empty() || material.empty());
    fs::remove_all(scratch / "Data");

    // F1: a new window and context, and the set-up again.
    ASSERT_TRUE(CreateMainWindow(demoState().shell, "set-up test", 800, 600, 32, true));
    EXPECT_EQ(texels(Gl.Textures[TexFont]), font);
    EXPECT_EQ(texels(Gl.ModelTexture), material);
    EXPECT_EQ(demoState().random.RandomState, expected);
    EXPECT_EQ(demoState().particles.FlamePool[7].life, 5.0f);
    EXPECT_EQ(demoState().particles.SparkPool[3].size, 0.005f);
    EXPECT_EQ(demoState().particles.SprayPool[5].life, 4.0f) << "the spray pool is left as it is";
    EXPECT_EQ(demoState().particles.SparkAngle, 1.25f);
    EXPECT_EQ(demoState().meter.VolumeLevels[0], 0.5f);
    EXPECT_EQ(demoState().fountain.CameraEye[0], 0.0f);
    EXPECT_NE(landscapeFrame(), before) << "the field is rebuilt with new noise";

    // The models are read once too: no second material, the same geometry.
    EXPECT_EQ(Assets.fighterModel.objectCount, objects);
    EXPECT_EQ(Assets.fighterModel.materialCount + Assets.fountainModel.materialCount, 2);
    EXPECT_TRUE(glIsList(Gl.BitmapFont) && glIsList(Gl.OutlineFont + 'W'));
    EXPECT_TRUE(glIsTexture(Gl.ModelTexture) && glIsEnabled(GL_LIGHT1));
    EXPECT_EQ(light(GL_LIGHT0, GL_POSITION), (V4{1, 1, 0, 0}));
    EXPECT_EQ(integer(GL_FOG_MODE), GL_EXP2);
    EXPECT_TRUE(headless::messageLog().empty());
}

// Full screen is a window at the display's own size with the picture centred
// in it; the fallback question comes only when no such window can be had.
TEST_F(SceneSetUpTest, FullScreenFillsTheDisplayAndFallsBackOnlyWhenItCannot)
{
    headless::setDrawableSize(1920, 1080);
    ASSERT_TRUE(createWithout({}, true));
    EXPECT_TRUE(headless::windowIsFullScreen());
    EXPECT_TRUE(headless::messageLog().empty());
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((V4{float(viewport[0]), float(viewport[1]), float(viewport[2]), float(viewport[3])}),
              (V4{240, 0, 1440, 1080}));

    headless::setFullScreenAvailable(false);
    headless::queueAnswer(plat::Answer::Yes);
    ASSERT_TRUE(CreateMainWindow(demoState().shell, "set-up test", 800, 600, 32, true));
    ASSERT_EQ(headless::messageLog().size(), 1u);
    EXPECT_EQ(headless::messageLog()[0].caption, "Lumo GL");
    EXPECT_FALSE(headless::windowIsFullScreen());

    headless::queueAnswer(plat::Answer::No);
    EXPECT_FALSE(CreateMainWindow(demoState().shell, "set-up test", 800, 600, 32, true));
    ASSERT_EQ(headless::messageLog().size(), 3u);
    EXPECT_EQ(headless::messageLog()[2].text, "Program Will Now Close.");
    headless::setDrawableSize(0, 0);

    // The display's size is known but the full-screen window itself fails:
    // the same question, not the window's own failure.
    headless::setFullScreenAvailable(true);
    headless::setFullScreenWindowFails(true);
    headless::clearMessageLog();
    headless::queueAnswer(plat::Answer::Yes);
    ASSERT_TRUE(CreateMainWindow(demoState().shell, "set-up test", 800, 600, 32, true));
    ASSERT_EQ(headless::messageLog().size(), 1u);
    EXPECT_EQ(headless::messageLog()[0].caption, "Lumo GL");
    EXPECT_TRUE(headless::windowExists());
    EXPECT_FALSE(headless::windowIsFullScreen());
    EXPECT_FALSE(demoState().shell.FullScreen);

    headless::queueAnswer(plat::Answer::No);
    EXPECT_FALSE(CreateMainWindow(demoState().shell, "set-up test", 800, 600, 32, true));
    ASSERT_EQ(headless::messageLog().size(), 3u);
    EXPECT_EQ(headless::messageLog()[1].caption, "Lumo GL");
    EXPECT_EQ(headless::messageLog()[2].text, "Program Will Now Close.");
    EXPECT_FALSE(headless::windowExists());
}

TEST_F(SceneSetUpTest, MissingModelIsReportedOnceAndTheSetUpGoesOn)
{
    ASSERT_TRUE(createWithout({"fighter.obj"}));
    ASSERT_EQ(headless::messageLog().size(), 1u);
    EXPECT_EQ(headless::messageLog()[0].caption, "Error");
    EXPECT_EQ(Assets.fighterModel.objectCount, 0);
    EXPECT_GT(Assets.fountainModel.objectCount, 0);
    EXPECT_TRUE(Gl.ConeQuadric != nullptr && glIsList(Gl.OutlineFont + 'A'));
    EXPECT_EQ(integer(GL_FOG_MODE), GL_EXP2);
}

TEST_F(SceneSetUpTest, MissingTextureEndsWindowCreation)
{
    EXPECT_FALSE(createWithout({"Chrome.tga"}));
    const auto& log = headless::messageLog();
    ASSERT_EQ(log.size(), 2u);  // the reader's box, then the window's
    EXPECT_EQ(log[0].caption, "ERROR");
    EXPECT_EQ(log[1].text, "Initialization Failed.");
    EXPECT_EQ(log[1].caption, "ERROR");
}

} // namespace
