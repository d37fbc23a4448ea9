// Program flow: start question, window, music, the message-draining main
// loop with its keys, and shutdown.
#include "shell/shell_state.h"

#include "assets/model.h"
#include "core/frame_clock.h"
#include "core/picture.h"
#include "core/songs.h"
#include "platform/keys.h"
#include "shell/demo_state.h"
#include "shell/window.h"
#include "text/outline_font.h"
#include "timeline/timeline.h"

#include <algorithm>

namespace {

constexpr const char* Title = "Nordglow 2002";

// Each step is a double constant; the sum is computed in double and stored as float.
void nudge(float& value, double step)
{
    value = static_cast<float>(static_cast<double>(value) + step);
}

// Times a nudge key acts in a pass of `steps` steps.
int nudgesOf(const ShellState& shell, int key, int steps)
{
    if (!shell.KeyState[key]) return 0;
    return shell.KeyUnseen[key] ? std::max(steps, 1) : steps;
}

} // namespace

void pollParameterKeys(ShellState& shell, int steps)
{
    if (shell.KeyState[plat::vkDigit(1)]) shell.Controls.SceneOverride = 1;
    if (shell.KeyState[plat::vkDigit(2)]) shell.Controls.VuChannel = 2;
    if (shell.KeyState[plat::vkDigit(3)]) shell.Controls.VuChannel = 3;
    if (shell.KeyState[plat::vkDigit(4)]) shell.Controls.VuChannel = 4;
    if (shell.KeyState[plat::vkDigit(5)]) shell.Controls.VuChannel = 5;
    if (shell.KeyState[plat::vkDigit(6)]) shell.Controls.VuChannel = 6;
    // Each step runs the table's nudges in their order, as a pass did per frame at 60 fps.
    const int left = nudgesOf(shell, plat::vkLetter('A'), steps), right = nudgesOf(shell, plat::vkLetter('D'), steps);
    const int lower = nudgesOf(shell, plat::vkLetter('W'), steps), raise = nudgesOf(shell, plat::vkLetter('S'), steps);
    const int up = nudgesOf(shell, plat::VkUp, steps), down = nudgesOf(shell, plat::VkDown, steps);
    const int passes = std::max({left, right, lower, raise, up, down});
    for (int pass = 0; pass < passes; ++pass) {
        if (pass < left) nudge(shell.Controls.CameraRoll, -0.5);
        if (pass < right) nudge(shell.Controls.CameraRoll, 0.5);
        if (pass < lower) nudge(shell.Controls.SphereHeight, -0.01);
        if (pass < raise) nudge(shell.Controls.SphereHeight, 0.01);
        if (pass < up) nudge(shell.Controls.CameraPitch, -0.05);
        if (pass < down) nudge(shell.Controls.CameraPitch, 0.05);
    }
}

void carryOutFrameRequest(ShellState& shell, const FrameRequest& request)
{
    shell.Controls.CameraRoll = request.cameraRoll;
    if (request.mainSongEnded) shell.Controls.MainSongActive = false;
    if (request.presentNow) plat::presentFrame();
    if (request.pauseMs > 0) plat::sleepMs(request.pauseMs);
    if (!request.switchToMainSong) return;
    beginMainSong(shell.Clock);
    shell.Controls.MainSongActive = true;
    plat::musicClose();
    initMusic();
    shell.Controls.SongHandle = plat::musicLoadSong(MainSongPath);
    plat::musicPlaySong(shell.Controls.SongHandle);
    plat::musicSetMasterVolume(shell.Controls.SongHandle, 0);
}

int runDemo()
{
    DemoState& demo = demoState();
    ShellState& shell = demo.shell;
    // A demo that nobody can see is not run: no display, no question.
    if (!plat::openDisplay()) return ExitFailure;
    if (plat::showMessageBox("Would You Like To Run In Fullscreen Mode?", "Start FullScreen?",
                             plat::Buttons::YesNo, plat::Icon::Question) == plat::Answer::No) {
        shell.FullScreen = false;
    }
    if (!CreateMainWindow(shell, Title, PictureWidth, PictureHeight, 32, shell.FullScreen)) return ExitFailure;

    if (!initMusic()) {
        plat::showMessageBox("Error Initializing Music", "SHUTDOWN ERROR", plat::Buttons::Ok,
                             plat::Icon::Asterisk);
    }
    shell.Controls.SongHandle = plat::musicLoadSong(shell.Controls.MainSongActive ? MainSongPath : IntroSongPath);
    plat::musicPlaySong(shell.Controls.SongHandle);

    bool done = false;  // Escape held after a frame
    int exitCode = 0;  // Escape ends with 0 as well
    for (;;) {
        if (shell.QuitPosted) {
            exitCode = shell.QuitExitCode;
            break;
        }
        plat::Event event;
        if (plat::pollEvent(&event)) {
            handleWindowEvent(shell, event);
            continue;
        }

        const bool drawn = shell.WindowActive;
        if (drawn) carryOutFrameRequest(shell, drawFrame(demo, shell.Clock, shell.Controls));
        if (shell.KeyState[plat::VkEscape]) done = true;
        if (!done) plat::presentFrame();

        if (shell.KeyState[plat::VkF1]) {
            shell.KeyState[plat::VkF1] = false;
            const int setUpFrom = plat::musicGetTime(shell.Controls.SongHandle);
            LeaveFullScreen(shell);
            shell.FullScreen = !shell.FullScreen;
            if (!CreateMainWindow(shell, Title, PictureWidth, PictureHeight, 32, shell.FullScreen)) return ExitFailure;
            leaveOutOfFrameClock(shell.Clock, plat::musicGetTime(shell.Controls.SongHandle) - setUpFrom);
        }

        pollParameterKeys(shell, drawn ? shell.Clock.FrameSteps.count : 0);
        finishKeyPoll(shell);
        if (done) break;
    }

    DeleteOutlineFont();
    LeaveFullScreen(shell);
    return exitCode;
}
