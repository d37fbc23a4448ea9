// The key table, the window events and the viewport rule.
#include "gl_fixture.h"

#include "core/step_clock.h"
#include "shell/shell_state.h"
#include "shell/window.h"

#include <algorithm>
#include <cmath>
namespace {

void releaseAllKeys(ShellState& shell)
{
    for (bool& k : shell.KeyState) k = false;
}

} // namespace

TEST(KeyTable, DigitsPolledInOrderLeaveTheHigherOne)
{
    ShellState shell;  // every key up
    shell.Controls.VuChannel = 4;
    shell.KeyState['2'] = shell.KeyState['5'] = true;
    pollParameterKeys(shell, 1);
    EXPECT_EQ(shell.Controls.VuChannel, 5);
    shell.KeyState['6'] = true;
    pollParameterKeys(shell, 1);
    EXPECT_EQ(shell.Controls.VuChannel, 6);
    releaseAllKeys(shell);
    shell.KeyState['3'] = true;
    pollParameterKeys(shell, 1);
    EXPECT_EQ(shell.Controls.VuChannel, 3);
    releaseAllKeys(shell);
    shell.Controls.VuChannel = 4;
}

TEST(KeyTable, StepsAreDoubleSumsStoredAsFloat)
{
    ShellState shell;  // every key up
    shell.Controls.CameraRoll = 0.0f;
    shell.Controls.CameraPitch = 0.0f;
    shell.Controls.SphereHeight = 0.18f;
    shell.KeyState['D'] = shell.KeyState['S'] = shell.KeyState[plat::VkDown] = true;
    float pitch = 0.0f, height = 0.18f;
    for (int i = 0; i < 100; ++i) {
        pollParameterKeys(shell, 1);
        pitch = static_cast<float>(static_cast<double>(pitch) + 0.05);
        height = static_cast<float>(static_cast<double>(height) + 0.01);
    }
    EXPECT_EQ(shell.Controls.CameraRoll, 50.0f);
    EXPECT_EQ(shell.Controls.CameraPitch, pitch);
    EXPECT_EQ(shell.Controls.SphereHeight, height);

    // Opposite keys both apply and cancel; nothing is clamped.
    releaseAllKeys(shell);
    shell.KeyState['A'] = shell.KeyState['D'] = true;
    pollParameterKeys(shell, 1);
    EXPECT_EQ(shell.Controls.CameraRoll, 50.0f);
    releaseAllKeys(shell);
    shell.KeyState['A'] = true;
    for (int i = 0; i < 400; ++i) pollParameterKeys(shell, 1);
    EXPECT_EQ(shell.Controls.CameraRoll, -150.0f);
    releaseAllKeys(shell);
    shell.Controls.CameraRoll = shell.Controls.CameraPitch = 0.0f;
    shell.Controls.SphereHeight = 0.18f;
}

TEST(KeyTable, KeyOneTurnsTheOverrideOnForGood)
{
    ShellState shell;  // every key up
    shell.Controls.SceneOverride = 0;
    pollParameterKeys(shell, 1);
    EXPECT_EQ(shell.Controls.SceneOverride, 0);
    shell.KeyState['1'] = true;
    pollParameterKeys(shell, 1);
    releaseAllKeys(shell);
    pollParameterKeys(shell, 1);
    EXPECT_EQ(shell.Controls.SceneOverride, 1);
    shell.Controls.SceneOverride = 0;
}

TEST(WindowEvents, KeysActivationAndClose)
{
    ShellState shell;  // every key up
    handleWindowEvent(shell, {plat::EventType::KeyDown, 0x41, false, 0, 0});
    EXPECT_TRUE(shell.KeyState[0x41]);
    finishKeyPoll(shell);
    handleWindowEvent(shell, {plat::EventType::KeyUp, 0x41, false, 0, 0});
    EXPECT_FALSE(shell.KeyState[0x41]);
    handleWindowEvent(shell, {plat::EventType::KeyDown, 300, false, 0, 0});  // outside the table: ignored

    shell.WindowActive = true;
    handleWindowEvent(shell, {plat::EventType::Activate, 0, true, 0, 0});
    EXPECT_FALSE(shell.WindowActive);
    // Losing activation without being minimised keeps the demo drawing.
    handleWindowEvent(shell, {plat::EventType::Activate, 0, false, 0, 0});
    EXPECT_TRUE(shell.WindowActive);

    shell.QuitPosted = false;
    shell.QuitExitCode = 7;
    handleWindowEvent(shell, {plat::EventType::ScreenSaver, 0, false, 0, 0});
    EXPECT_FALSE(shell.QuitPosted);
    handleWindowEvent(shell, {plat::EventType::Close, 0, false, 0, 0});
    EXPECT_TRUE(shell.QuitPosted);
    EXPECT_EQ(shell.QuitExitCode, 0);
    shell.QuitPosted = false;
}

TEST(WindowEvents, TapBetweenTwoPollsCountsOnceAndAHeldKeyMovesOncePerStep)
{
    ShellState shell;  // every key up
    finishKeyPoll(shell);
    shell.Controls.CameraRoll = 0.0f;
    // Pressed and released while the messages are drained, before a poll, in
    // frames that cross no step (a fast screen between two steps).
    handleWindowEvent(shell, {plat::EventType::KeyDown, 'D', false, 0, 0});
    handleWindowEvent(shell, {plat::EventType::KeyUp, 'D', false, 0, 0});
    handleWindowEvent(shell, {plat::EventType::KeyDown, plat::VkEscape, false, 0, 0});
    handleWindowEvent(shell, {plat::EventType::KeyUp, plat::VkEscape, false, 0, 0});
    EXPECT_TRUE(shell.KeyState['D'] && shell.KeyState[plat::VkEscape]) << "the tap is seen by the next poll";
    for (int pass = 0; pass < 3; ++pass) {
        pollParameterKeys(shell, 0);
        finishKeyPoll(shell);
    }
    EXPECT_EQ(shell.Controls.CameraRoll, 0.5f) << "and counted once, by that poll only";
    EXPECT_FALSE(shell.KeyState['D'] || shell.KeyState[plat::VkEscape]);

    // Held for a second with the system's auto-repeat on (a first repeat
    // after 500 ms, then 30 a second): one nudge per step at any frame rate,
    // the frame of the press counting once even where it crosses no step, and
    // no repeat adding one. The last repeat comes with the release.
    for (int fps : {30, 60, 144, 240}) {
        shell.Controls.CameraRoll = 0.0f;
        handleWindowEvent(shell, {plat::EventType::KeyDown, 'D', false, 0, 0});
        int expected = 0;
        double nextRepeatMs = 500.0;
        for (int k = 1; k <= fps; ++k) {
            const double now = std::floor(k * 1000.0 / fps);
            for (; nextRepeatMs <= now && nextRepeatMs < 1000.0; nextRepeatMs += 1000.0 / 30.0)
                handleWindowEvent(shell, {plat::EventType::KeyRepeat, 'D', false, 0, 0});
            const StepRun run = stepsBetween(std::floor((k - 1) * 1000.0 / fps), now);
            expected += k == 1 ? std::max(run.count, 1) : run.count;
            pollParameterKeys(shell, run.count);
            finishKeyPoll(shell);
        }
        handleWindowEvent(shell, {plat::EventType::KeyRepeat, 'D', false, 0, 0});
        handleWindowEvent(shell, {plat::EventType::KeyUp, 'D', false, 0, 0});
        EXPECT_FALSE(shell.KeyState['D']) << "the release counts at once";
        pollParameterKeys(shell, 1);
        finishKeyPoll(shell);
        EXPECT_EQ(shell.Controls.CameraRoll, 0.5f * static_cast<float>(expected)) << fps << " fps";
        EXPECT_NEAR(shell.Controls.CameraRoll, 30.0f, 0.5f) << fps << " fps: 60 steps in the second";
    }
    shell.Controls.CameraRoll = 0.0f;
}

class ResizeTest : public GlTest {
protected:
    void TearDown() override
    {
        Resize(800, 600);  // the picture transform is process-wide
        GlTest::TearDown();
    }
};

TEST_F(ResizeTest, HeightZeroCountsAsOne)
{
    Resize(800, 0);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[3], 1);
    EXPECT_GE(vp[2], 1);
    EXPECT_LE(vp[0] + vp[2], 800);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    for (float v : m) EXPECT_TRUE(std::isfinite(v));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(ResizeTest, SizeEventsBeforeTheContextChangeNothing)
{
    Resize(800, 600);
    ShellState shell;
    shell.ContextReady = false;
    handleWindowEvent(shell, {plat::EventType::Resize, 0, false, 320, 200});
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], 800);
    EXPECT_EQ(vp[3], 600);
    shell.ContextReady = true;
    handleWindowEvent(shell, {plat::EventType::Resize, 0, false, 320, 200});
    glGetIntegerv(GL_VIEWPORT, vp);
    // The 4:3 picture, 267 x 200, centred in the 320 x 200 drawable.
    EXPECT_EQ(vp[0], 26);
    EXPECT_EQ(vp[1], 0);
    EXPECT_EQ(vp[2], 267);
    EXPECT_EQ(vp[3], 200);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    // 45-degree vertical field: m[5] = 1 / tan(22.5 deg); m[0] = m[5] / aspect, 4:3 whatever the drawable.
    EXPECT_NEAR(m[5], 1.0 / std::tan(22.5 * M_PI / 180.0), 1e-5);
    EXPECT_NEAR(m[0], m[5] / (800.0 / 600.0), 1e-5);
    shell.ContextReady = false;
}
