// The intro: eight credit lines swing in chrome-mapped 3-D letters between
// two wireframe spheres, then a flash of ten steps, the question, a
// three-second pause and the switch to the main song.
#include "timeline/intro.h"

#include "assets/texture_set.h"
#include "core/picture.h"
#include "core/gl_resources.h"
#include "text/bitmap_font.h"
#include "text/outline_font.h"
#include "timeline/frame_overlay.h"

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

namespace {

constexpr double SwingRate = 0.1;  // degrees per ms, text and spheres alike
constexpr int FlashSteps = 10;     // steps 1..9 white, the tenth black: 167 ms at any frame rate
constexpr unsigned QuestionPauseMs = 3000;

void drawWireSphere(IntroState& intro, float y, float spin, float ax, float ay, float az)
{
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, y, -10.0f);
    glRotatef(spin, ax, ay, az);
    gluSphere(Gl.SphereQuadric, 0.8, intro.CreditIndex + 3, intro.CreditIndex + 3);
    glPopMatrix();
}

// Moves the swing by one frame step and takes at most one turn. The angle is
// not clamped: it overshoots +-90 by up to one step, and the armed flag keeps
// a swing that stays beyond the limit from turning twice.
void swingCredits(IntroState& intro, double frameDelta)
{
    if (intro.CreditSwingUp)
        intro.CreditAngle = static_cast<float>(intro.CreditAngle + frameDelta * SwingRate);
    else
        intro.CreditAngle = static_cast<float>(intro.CreditAngle - frameDelta * SwingRate);

    if (intro.CreditAngle >= 90.0f && intro.CreditTopArmed) {
        intro.CreditSwingUp = !intro.CreditSwingUp;
        intro.CreditTopArmed = false;
    } else if (intro.CreditAngle <= -90.0f && !intro.CreditTopArmed) {
        intro.CreditSwingUp = !intro.CreditSwingUp;
        intro.CreditTopArmed = true;
    } else {
        return;
    }

    // Every line change happens at a bottom turn, with the text edge-on.
    if (intro.CreditAngle <= -90.0f && intro.CreditAdvanceArmed) {
        intro.CreditIndex += 1;
        intro.CreditAdvanceArmed = false;
    }
    if (intro.CreditAngle >= 90.0f) intro.CreditAdvanceArmed = !intro.CreditAdvanceArmed;
    if (intro.CreditAngle <= -90.0f && intro.CreditIndex == 8) {
        intro.IntroEnding = true;
        intro.CreditsRunning = false;
    }
}

void drawCredits(IntroState& intro, double frameDelta)
{
    setPictureScissor(0, 100, PictureWidth, 400);
    glEnable(GL_SCISSOR_TEST);

    glPushMatrix();  // the swing transform
    glTranslatef(0.0f, 0.0f, -10.0f);
    glRotatef(intro.CreditAngle, 0.0f, 1.0f, 0.0f);

    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    bindTexture(TexChrome);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLineWidth(scalePictureLength(1.0f));  // one picture pixel wide at every size
    drawWireSphere(intro, 1.8f, intro.SphereSpin, 1.0f, 0.5f, 0.0f);
    drawWireSphere(intro, -1.8f, -intro.SphereSpin, 0.1f, 0.1f, 1.0f);
    glLineWidth(1.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    // Texture generation stays on: the letters are chrome-mapped.
    bindTexture(TexChrome);
    glColor3f(1.0f, 1.0f, 1.0f);
    if (intro.CreditIndex >= 0 && intro.CreditIndex < 8) Print3D(true, "%s", CreditLines[intro.CreditIndex]);

    swingCredits(intro, frameDelta);
    glPopMatrix();
}

} // namespace

void finishIntro()
{
    drawIntroQuestion();  // the presented buffer's contents are gone; the loop presents this one
    prepareFrameOverlayCover();  // its texture reads belong in the pause, not in the main part
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

unsigned introPauseAfterNextFrameMs(const IntroState& intro)
{
    // The frame after the flash's last step presents the question, then sleeps.
    return intro.IntroEnding && !intro.FlashOn && intro.QuestionPending ? QuestionPauseMs : 0;
}

void drawIntroQuestion()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -10.0f);
    PrintText(-2, 0, "IS THIS THE END?", 1);
}

FrameRequest runIntroFrame(IntroState& intro, const FrameInput& in)
{
    if (intro.CreditsRunning) drawCredits(intro, in.frameDelta);
    intro.SphereSpin = static_cast<float>(intro.SphereSpin + in.frameDelta * SwingRate);

    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_SCISSOR_TEST);

    if (!intro.IntroEnding) return {};

    if (intro.FlashOn) {
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        intro.FlashCount += in.steps.count;
        plat::musicSetMasterVolume(in.controls.SongHandle, 0);
        if (intro.FlashCount >= FlashSteps) {
            intro.FlashOn = false;
            glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
        }
        glClear(GL_COLOR_BUFFER_BIT);
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
        intro.QuestionPending = false;
        intro.FlashCount += 1;
        // Presented before the pause, so the question is on screen during it;
        // the intro song is already silent, and after the pause the sound
        // output starts afresh with the main song, silent until the fade-in.
        drawIntroQuestion();
        return {.presentNow = true, .pauseMs = QuestionPauseMs, .switchToMainSong = true};
    }
    return {};
}
