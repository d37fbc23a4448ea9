// The intro driven frame by frame with a chosen FrameDelta: swing timing,
// turns, the flash's ten steps, the question with its pause, the song switch, and
// the look of a credit frame.
#include "gl_fixture.h"

#include "assets/texture_set.h"
#include "core/step_clock.h"
#include "shell/scene_setup.h"
#include "shell/shell_state.h"
#include "text/bitmap_font.h"
#include "text/outline_font.h"
#include "timeline/intro.h"
#include "timeline/timeline.h"

#include <algorithm>
#include <vector>

namespace {

double IntroClockMs = 0.0;  // song time of the frames the tests draw

// Sets the intro state to its start, or to just above the bottom turn that ends line 7.
// 2 x 2 texture: all white, or left half red and right half blue.
GLuint makeTexture(bool split)
{
    const std::uint8_t white[12] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    const std::uint8_t halves[12] = {255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, split ? halves : white);
    return name;
}

class IntroTest : public GlTest {
protected:
    IntroState intro;  // of the frames drawn
    ShellState shell;  // the main loop's, which carries out the question's request
    void SetUp() override
    {
        GlTest::SetUp();
        Gl.Textures[TexFont] = makeTexture(false);
        Gl.Textures[TexChrome] = makeTexture(false);
        Gl.SphereQuadric = gluNewQuadric();
        gluQuadricTexture(Gl.SphereQuadric, GL_TRUE);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        BuildBitmapFont();
        ASSERT_TRUE(BuildOutlineFont());
        plat::musicInit(44100, 64, 0);
        shell.Controls.SongHandle = plat::musicLoadSong("no-such-intro-song.mod");
        plat::musicPlaySong(shell.Controls.SongHandle);
        IntroClockMs = 0.0;
    }
    void TearDown() override
    {
        headless::setPresentHook(nullptr);
        headless::setFramesPerSecond(60);
        plat::musicClose();
        gluDeleteQuadric(Gl.SphereQuadric);
        GlTest::TearDown();
    }
    // One frame as drawFrame makes it. Runs that only follow the swing leave
    // out the clear and draw into a tiny viewport, to keep them fast.
    FrameRequest frame(double delta, bool clear = true)
    {
        IntroClockMs += delta;
        const FrameInput input{.songTime = IntroClockMs, .frameDelta = delta,
                               .steps = stepsBetween(IntroClockMs - delta, IntroClockMs), .controls = shell.Controls};
        if (clear) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glLoadIdentity();
        return runIntroFrame(intro, input);
    }
    // Frames shown per line until the ending begins; line 8 is never shown.
    std::vector<int> framesPerLine(double delta)
    {
        std::vector<int> frames(8, 0);
        glViewport(0, 0, 4, 4);
        for (int n = 0; n < 20000 && intro.CreditsRunning; ++n, frame(delta, false)) {
            if (intro.CreditIndex > 7) ADD_FAILURE() << "line " << intro.CreditIndex << " shown";
            if (intro.CreditIndex > 7) break;
            ++frames[static_cast<std::size_t>(intro.CreditIndex)];
        }
        glViewport(0, 0, 800, 600);
        return frames;
    }
};

TEST_F(IntroTest, FirstLineSwings630DegreesLaterLines360)
{
    // 50 ms frames move exactly 5 degrees, so each turn lands on +-90.
    const std::vector<int> exact = framesPerLine(50.0);
    EXPECT_EQ(exact, (std::vector<int>{126, 72, 72, 72, 72, 72, 72, 72}));
    // The frame of the turn that reaches index 8 is already the first flash
    // frame: its steps count.
    EXPECT_TRUE(intro.IntroEnding && !intro.CreditsRunning);
    EXPECT_EQ(intro.CreditIndex, 8);
    EXPECT_EQ(intro.FlashCount, 3);  // 50 ms: three steps
    EXPECT_EQ(intro.SphereSpin, 3150.0f);

    // At 30 and 60 fps each turn overshoots by up to one step, which the
    // swing travels back: a line lasts its angle plus at most one step per
    // turn passed on the way in and out (7 for the first line, 4 later).
    for (double fps : {30.0, 60.0}) {
        intro = IntroState{};
        const double step = 100.0 / fps;  // degrees per frame
        const std::vector<int> frames = framesPerLine(1000.0 / fps);
        int total = 0;
        for (int line = 0; line < 8; ++line) {
            const double swing = frames[static_cast<std::size_t>(line)] * step;
            const double nominal = line == 0 ? 630.0 : 360.0;
            EXPECT_GE(swing, nominal - 1e-3) << fps << " fps, line " << line;
            EXPECT_LE(swing, nominal + (line == 0 ? 7 : 4) * step + 1e-3) << fps << " fps, line " << line;
            total += frames[static_cast<std::size_t>(line)];
        }
        EXPECT_LE(total * 1000.0 / fps, 31500.0 + 35 * 1000.0 / fps + 1e-3) << fps;
        EXPECT_TRUE(intro.IntroEnding) << fps;
    }
}

TEST_F(IntroTest, SwingBeyondTheLimitTurnsOnce)
{
    for (float start : {89.95f, -89.95f}) {
        intro.CreditAngle = start;
        intro.CreditSwingUp = start > 0;
        intro.CreditTopArmed = start > 0;
        frame(1.0);  // crosses the limit and turns
        const bool direction = intro.CreditSwingUp, armed = intro.CreditTopArmed, advance = intro.CreditAdvanceArmed;
        EXPECT_NE(direction, start > 0);
        for (int i = 0; i < 40; ++i) frame(i < 20 ? 0.0 : 0.001);  // still beyond the limit
        EXPECT_GE(std::abs(intro.CreditAngle), 90.0f);
        EXPECT_EQ(intro.CreditSwingUp, direction);
        EXPECT_EQ(intro.CreditTopArmed, armed);
        EXPECT_EQ(intro.CreditAdvanceArmed, advance);
        EXPECT_EQ(intro.CreditIndex, 0);
    }
}

TEST_F(IntroTest, TenFlashStepsAtAnyRateThenTheQuestionThroughThePause)
{
    for (double fps : {30.0, 60.0, 144.0, 240.0}) {
        headless::setFramesPerSecond(fps);
        intro = {.CreditIndex = 7, .CreditAngle = -89.9f, .CreditSwingUp = false, .CreditTopArmed = false};  // before the last turn
        IntroClockMs = 0.0;
        // The first frame turns at the bottom and is the first flash frame;
        // white until the frame that completes ten steps, which is black.
        int frames = 0;
        do {
            EXPECT_EQ(frame(1000.0 / fps), FrameRequest{}) << fps << " fps, frame " << frames;
            ++frames;
            const int expected = intro.FlashOn ? 255 : 0;
            EXPECT_EQ(pixelAt(400, 300)[0], expected) << fps << " fps, frame " << frames;
            EXPECT_EQ(pixelAt(3, 597)[2], expected) << fps << " fps, frame " << frames;
            // Only the question's frame, the one after the flash, is followed by the pause.
            EXPECT_EQ(introPauseAfterNextFrameMs(intro), intro.FlashOn ? 0u : 3000u) << fps << " fps, frame " << frames;
        } while (intro.FlashOn && frames < 100);
        EXPECT_TRUE(intro.IntroEnding);
        EXPECT_EQ(intro.FlashCount, 10) << fps << " fps";
        // Ten steps are 167 ms: 10 frames at 60 fps, 5 at 30, 24 at 144, 40 at 240.
        EXPECT_NEAR(frames * 1000.0 / fps, 10 * 1000.0 / 60.0, 1000.0 / fps) << fps << " fps, " << frames << " frames";
        EXPECT_FALSE(shell.Controls.MainSongActive || intro.FlashOn || !intro.QuestionPending);
    }

    // The question frame: shown by its own presentation, then the pause.
    const plat::Song introSong = shell.Controls.SongHandle;
    std::vector<std::uint8_t> shown;
    double shownAt = -1;
    headless::setPresentHook([&] {
        int w = 0, h = 0;
        headless::readFrame(&shown, &w, &h);
        shownAt = headless::virtualTimeMs();
    });
    glColor3f(1, 1, 1);
    const FrameRequest request = frame(1000.0 / 240.0);
    EXPECT_EQ(request, (FrameRequest{.presentNow = true, .pauseMs = 3000, .switchToMainSong = true}));
    EXPECT_LT(shownAt, 0.0);  // the intro itself presents nothing
    carryOutFrameRequest(shell, request);
    headless::setPresentHook(nullptr);
    ASSERT_EQ(shown.size(), 800u * 600u * 3u);
    EXPECT_GE(headless::virtualTimeMs() - shownAt, 3000.0);
    EXPECT_EQ(introPauseAfterNextFrameMs(intro), 0u);
    // Solid 16 x 16 glyphs on the bottom edge from x = -2, ten apart: the
    // sixteenth ends at x = 163. Rows of the shown frame run top first.
    auto lit = [&](int x, int y) { return shown[(static_cast<std::size_t>(599 - y) * 800 + x) * 3] > 128; };
    EXPECT_TRUE(lit(0, 0) && lit(100, 15) && lit(163, 8));
    EXPECT_FALSE(lit(165, 8) || lit(100, 17) || lit(400, 300));
    EXPECT_EQ(pixelAt(100, 15)[0], 255);  // drawn again for the loop's own presentation

    EXPECT_TRUE(shell.Controls.MainSongActive);
    EXPECT_FALSE(intro.QuestionPending);
    EXPECT_EQ(intro.FlashCount, 11);
    EXPECT_EQ(shell.Clock.SongTime, 0.0);
    EXPECT_NE(shell.Controls.SongHandle, introSong);
    EXPECT_EQ(plat::musicGetTime(shell.Controls.SongHandle), 0);
    std::array<float, 4> clear{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
    EXPECT_EQ(clear, (std::array<float, 4>{0, 0, 0, 1}));
}

TEST_F(IntroTest, CreditLineIsCentredAndChromeMappedBetweenWireSpheres)
{
    Gl.Textures[TexChrome] = makeTexture(true);
    frame(0.0);  // angle 0: the text faces the viewer
    // Sphere mapping reflects the left of the view into the texture's left half.
    int left = 800, right = -1, redLeft = 0, blueRight = 0;
    for (int y = 290; y < 380; ++y) {
        for (int x = 0; x < 800; ++x) {
            const auto p = pixelAt(x, y);
            if (p[0] + p[2] < 128) continue;
            left = std::min(left, x), right = std::max(right, x);
            redLeft += x < 300 && p[0] > 128 && p[2] < 64;
            blueRight += x > 500 && p[2] > 128 && p[0] < 64;
        }
    }
    EXPECT_NEAR((left + right) / 2.0, 400.0, 8.0);
    EXPECT_LT(left, 250);
    EXPECT_GT(redLeft, 50);
    EXPECT_GT(blueRight, 50);
    auto litIn = [](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 330; x < 470; ++x) n += pixelAt(x, y)[0] + pixelAt(x, y)[2] > 128;
        return n;
    };
    EXPECT_GT(litIn(390, 480), 20);  // upper sphere: lines, not a filled disc
    EXPECT_LT(litIn(390, 480), 90 * 140 / 2);
    EXPECT_GT(litIn(120, 210), 20);
    EXPECT_EQ(litIn(0, 100) + litIn(500, 600), 0);  // clipped to the band
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S) || glIsEnabled(GL_TEXTURE_GEN_T) || glIsEnabled(GL_SCISSOR_TEST));
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
    EXPECT_EQ(stackDepth(GL_MODELVIEW_STACK_DEPTH), 1);
}

} // namespace
