// The one-time preparation inside window creation: textures, GL state,
// fonts, effect tables, lights, quadrics, models, material textures and fog.
#include "shell/scene_setup.h"

#include "assets/model.h"
#include "assets/texture_set.h"
#include "effects/fountain.h"
#include "effects/heightfield_gen.h"
#include "effects/particles.h"
#include "text/bitmap_font.h"
#include "text/outline_font.h"
#include "shell/demo_state.h"
#include "shell/warm_up.h"
#include "text/volume_meter.h"

#include <GL/gl.h>

namespace {

GLUquadric* newSmoothQuadric(GLUquadric* old)
{
    if (old != nullptr) gluDeleteQuadric(old);
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_TRUE);
    return quadric;
}

void setBaseState()
{
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void setLights()
{
    // Light 0 is directional; its position is taken under the identity modelview.
    const GLfloat position0[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    const GLfloat colour0[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, position0);
    glPopMatrix();
    glLightfv(GL_LIGHT0, GL_AMBIENT, colour0);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, colour0);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);

    // Light 1 keeps GL's default position.
    const GLfloat colour1[4] = {1.0f, 1.0f, 0.5f, 0.0f};
    glLightfv(GL_LIGHT1, GL_AMBIENT, colour1);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, colour1);
    glLightf(GL_LIGHT1, GL_CONSTANT_ATTENUATION, 2.0f);
    glLightf(GL_LIGHT1, GL_LINEAR_ATTENUATION, 1.0f);
    glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, 0.5f);
    glEnable(GL_LIGHT1);
}

void loadModels()
{
    ObjLoader fighterLoader;
    ObjLoader fountainLoader;
    fighterLoader.loadObjModel(&Assets.fighterModel, "Data/Models/fighter.obj");
    fighterLoader.appendMaterial(&Assets.fighterModel, "Fountain", "Data/Textures/testground.tga", 255, 255, 255);
    fighterLoader.assignObjectMaterial(&Assets.fighterModel, 0, 0);
    fountainLoader.loadObjModel(&Assets.fountainModel, "Data/Models/fountain.obj");
    fountainLoader.appendMaterial(&Assets.fountainModel, "Fountain", "Data/Textures/Chrome.tga", 255, 255, 255);
    fountainLoader.assignObjectMaterial(&Assets.fountainModel, 0, 0);
    readMaterialImages(Assets.fighterModel);
    readMaterialImages(Assets.fountainModel);
}

void setFog()
{
    // Fog stays off; the scenes that use it switch it on.
    const GLfloat colour[4] = {0.6f, 0.5f, 0.05f, 0.5f};
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogfv(GL_FOG_COLOR, colour);
    glFogf(GL_FOG_DENSITY, 0.35f);
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 10.0f);
}

} // namespace

bool SetUpScene()
{
    DemoState& demo = demoState();
    if (!loadTextureSet()) return false;
    setBaseState();
    BuildBitmapFont();
    // The flames spread by the last frame's FrameDelta: 0 before the first frame.
    initParticlePools(demo.particles, demo.random, demo.shell.Clock.FrameDelta);
    buildHeightField(demo.heightField, demo.random);  // draws from the shared random sequence after the pools
    setLights();
    Gl.SphereQuadric = newSmoothQuadric(Gl.SphereQuadric);
    buildSpraySphere();
    demo.fountain.CameraEye[0] = demo.fountain.CameraEye[1] = demo.fountain.CameraEye[2] = 0.0f;
    InitVolumeMeter(demo.meter);
    BuildOutlineFont();  // on failure 3-D text draws nothing; the set-up goes on
    // Loading again would append a second material to each model: the models
    // read on the first run serve every later one.
    if (!Assets.ModelsRead) loadModels();
    createMaterialTextures(Assets.fighterModel);
    createMaterialTextures(Assets.fountainModel);  // second, so Gl.ModelTexture names the Chrome texture
    Gl.ConeQuadric = newSmoothQuadric(Gl.ConeQuadric);
    setFog();
    warmUpScenes();  // the renderer's first-use work happens now, not in the scenes

    Assets.ModelsRead = true;
    return true;
}
