// The intro: eight credit lines swing in chrome-mapped 3-D letters between
// two wireframe spheres, then a flash of ten steps, the question, a
// three-second pause and the switch to the main song.
#include "timeline/intro.h"

#include "assets/texture_set.h"
#include "core/controls.h"
#include "core/picture.h"
#include "core/quadrics.h"
#include "core/step_clock.h"
#include "text/bitmap_font.h"
#include "text/outline_font.h"
#include "timeline/frame_overlay.h"
#include "timeline/timeline.h"

#include <GL/gl.h>
#include <GL/glu.h>

const char* const CreditLines[8] = {
    "--> velvetOrbits <--",
    "--> presents <--",
    "--> a new demo <--",
    "--> paperLanterns <--",
    "--> code: Pellum <--",
    "--> gfx:  Zandrel <--",
    "--> gfx:  Morvik <--",
    "--> music:  Tessaly <--",
};

bool CreditsRunning = true;
int CreditIndex = 0;
float CreditAngle = 0.0f;
bool CreditSwingUp = true;
bool CreditTopArmed = true;
bool CreditAdvanceArmed = true;
float SphereSpin = 0.0f;
bool IntroEnding = false;
bool FlashOn = true;
int FlashCount = 0;
bool QuestionPending = true;

namespace {

constexpr double SwingRate = 0.1;  // degrees per ms, text and spheres alike
constexpr int FlashSteps = 10;     // steps 1..9 white, the tenth black: 167 ms at any frame rate
constexpr unsigned QuestionPauseMs = 3000;

void drawWireSphere(float y, float spin, float ax, float ay, float az)
{
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, y, -10.0f);
    glRotatef(spin, ax, ay, az);
    gluSphere(SphereQuadric, 0.8, CreditIndex + 3, CreditIndex + 3);
    glPopMatrix();
}

// Moves the swing by one frame step and takes at most one turn. The angle is
// not clamped: it overshoots +-90 by up to one step, and the armed flag keeps
// a swing that stays beyond the limit from turning twice.
void swingCredits()
{
    if (CreditSwingUp)
        CreditAngle = static_cast<float>(CreditAngle + FrameDelta * SwingRate);
    else
        CreditAngle = static_cast<float>(CreditAngle - FrameDelta * SwingRate);

    if (CreditAngle >= 90.0f && CreditTopArmed) {
        CreditSwingUp = !CreditSwingUp;
        CreditTopArmed = false;
    } else if (CreditAngle <= -90.0f && !CreditTopArmed) {
        CreditSwingUp = !CreditSwingUp;
        CreditTopArmed = true;
    } else {
        return;
    }

    // Every line change happens at a bottom turn, with the text edge-on.
    if (CreditAngle <= -90.0f && CreditAdvanceArmed) {
        CreditIndex += 1;
        CreditAdvanceArmed = false;
    }
    if (CreditAngle >= 90.0f) CreditAdvanceArmed = !CreditAdvanceArmed;
    if (CreditAngle <= -90.0f && CreditIndex == 8) {
        IntroEnding = true;
        CreditsRunning = false;
    }
}

void drawCredits()
{
    setPictureScissor(0, 100, 800, 400);
    glEnable(GL_SCISSOR_TEST);

    glPushMatrix();  // the swing transform
    glTranslatef(0.0f, 0.0f, -10.0f);
    glRotatef(CreditAngle, 0.0f, 1.0f, 0.0f);

    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    bindTexture(TexChrome);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLineWidth(scalePictureLength(1.0f));  // one picture pixel wide at every size
    drawWireSphere(1.8f, SphereSpin, 1.0f, 0.5f, 0.0f);
    drawWireSphere(-1.8f, -SphereSpin, 0.1f, 0.1f, 1.0f);
    glLineWidth(1.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    // Texture generation stays on: the letters are chrome-mapped.
    bindTexture(TexChrome);
    glColor3f(1.0f, 1.0f, 1.0f);
    if (CreditIndex >= 0 && CreditIndex < 8) Print3D(true, "%s", CreditLines[CreditIndex]);

    swingCredits();
    glPopMatrix();
}

// The intro song is already silent; after the pause the sound output starts
// afresh with the main song, silent until the main part's fade-in.
void switchToMainSong()
{
    plat::sleepMs(QuestionPauseMs);
    drawIntroQuestion();  // the presented buffer's contents are gone; the loop presents this one
    prepareFrameOverlayCover();  // its texture reads belong in the pause, not in the main part
    MainSongActive = true;
    plat::musicClose();
    plat::musicInit(44100, 64, 0);
    SongTime = 0.0;
    SongHandle = plat::musicLoadSong("Data/Sounds/Ruzezu.xm");
    plat::musicPlaySong(SongHandle);
    plat::musicSetMasterVolume(SongHandle, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

} // namespace

void drawIntroQuestion()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -10.0f);
    PrintText(-2, 0, "IS THIS THE END?", 1);
}

void runIntroFrame()
{
    SongTime = static_cast<double>(plat::musicGetTime(SongHandle));

    if (CreditsRunning) drawCredits();
    SphereSpin = static_cast<float>(SphereSpin + FrameDelta * SwingRate);

    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_SCISSOR_TEST);

    if (!IntroEnding) return;

    if (FlashOn) {
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        FlashCount += FrameSteps.count;
        plat::musicSetMasterVolume(SongHandle, 0);
        if (FlashCount >= FlashSteps) {
            FlashOn = false;
            glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
        }
        glClear(GL_COLOR_BUFFER_BIT);
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
        QuestionPending = false;
        FlashCount += 1;
        // Shown before the pause, so the question is on screen during it.
        drawIntroQuestion();
        plat::presentFrame();
    }

    if (!QuestionPending) switchToMainSong();
}
