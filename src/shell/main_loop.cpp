// Program flow: start question, window, music, the message-draining main
// loop with its keys, and shutdown.
#include "shell/shell_state.h"

#include "assets/model.h"
#include "core/frame_clock.h"
#include "core/picture.h"
#include "core/songs.h"
#include "platform/keys.h"
#include "shell/window.h"
#include "text/outline_font.h"
#include "timeline/timeline.h"

#include <algorithm>

ShellState Shell;

namespace {

constexpr const char* Title = "Nordglow 2002";

// Each step is a double constant; the sum is computed in double and stored as float.
void nudge(float& value, double step)
{
    value = static_cast<float>(static_cast<double>(value) + step);
}

// Times a nudge key acts in a pass of `steps` steps.
int nudgesOf(int key, int steps)
{
    if (!Shell.KeyState[key]) return 0;
    return Shell.KeyUnseen[key] ? std::max(steps, 1) : steps;
}

} // namespace

void pollParameterKeys(int steps)
{
    if (Shell.KeyState[plat::vkDigit(1)]) Shell.Controls.SceneOverride = 1;
    if (Shell.KeyState[plat::vkDigit(2)]) Shell.Controls.VuChannel = 2;
    if (Shell.KeyState[plat::vkDigit(3)]) Shell.Controls.VuChannel = 3;
    if (Shell.KeyState[plat::vkDigit(4)]) Shell.Controls.VuChannel = 4;
    if (Shell.KeyState[plat::vkDigit(5)]) Shell.Controls.VuChannel = 5;
    if (Shell.KeyState[plat::vkDigit(6)]) Shell.Controls.VuChannel = 6;
    // Each step runs the table's nudges in their order, as a pass did per frame at 60 fps.
    const int left = nudgesOf(plat::vkLetter('A'), steps), right = nudgesOf(plat::vkLetter('D'), steps);
    const int lower = nudgesOf(plat::vkLetter('W'), steps), raise = nudgesOf(plat::vkLetter('S'), steps);
    const int up = nudgesOf(plat::VkUp, steps), down = nudgesOf(plat::VkDown, steps);
    const int passes = std::max({left, right, lower, raise, up, down});
    for (int pass = 0; pass < passes; ++pass) {
        if (pass < left) nudge(Shell.Controls.CameraRoll, -0.5);
        if (pass < right) nudge(Shell.Controls.CameraRoll, 0.5);
        if (pass < lower) nudge(Shell.Controls.SphereHeight, -0.01);
        if (pass < raise) nudge(Shell.Controls.SphereHeight, 0.01);
        if (pass < up) nudge(Shell.Controls.CameraPitch, -0.05);
        if (pass < down) nudge(Shell.Controls.CameraPitch, 0.05);
    }
}

void carryOutFrameRequest(const FrameRequest& request)
{
    Shell.Controls.CameraRoll = request.cameraRoll;
    if (request.mainSongEnded) Shell.Controls.MainSongActive = false;
    if (request.presentNow) plat::presentFrame();
    if (request.pauseMs > 0) plat::sleepMs(request.pauseMs);
    if (!request.switchToMainSong) return;
    beginMainSong(Shell.Clock);
    Shell.Controls.MainSongActive = true;
    plat::musicClose();
    initMusic();
    Shell.Controls.SongHandle = plat::musicLoadSong(MainSongPath);
    plat::musicPlaySong(Shell.Controls.SongHandle);
    plat::musicSetMasterVolume(Shell.Controls.SongHandle, 0);
}

int runDemo()
{
    // A demo that nobody can see is not run: no display, no question.
    if (!plat::openDisplay()) return ExitFailure;
    if (plat::showMessageBox("Would You Like To Run In Fullscreen Mode?", "Start FullScreen?",
                             plat::Buttons::YesNo, plat::Icon::Question) == plat::Answer::No) {
        Shell.FullScreen = false;
    }
    if (!CreateMainWindow(Title, PictureWidth, PictureHeight, 32, Shell.FullScreen)) return ExitFailure;

    if (!initMusic()) {
        plat::showMessageBox("Error Initializing Music", "SHUTDOWN ERROR", plat::Buttons::Ok,
                             plat::Icon::Asterisk);
    }
    Shell.Controls.SongHandle = plat::musicLoadSong(Shell.Controls.MainSongActive ? MainSongPath : IntroSongPath);
    plat::musicPlaySong(Shell.Controls.SongHandle);

    bool done = false;  // Escape held after a frame
    int exitCode = 0;  // Escape ends with 0 as well
    for (;;) {
        if (Shell.QuitPosted) {
            exitCode = Shell.QuitExitCode;
            break;
        }
        plat::Event event;
        if (plat::pollEvent(&event)) {
            handleWindowEvent(event);
            continue;
        }

        const bool drawn = Shell.WindowActive;
        if (drawn) carryOutFrameRequest(drawFrame(Shell.Clock, Shell.Controls));
        if (Shell.KeyState[plat::VkEscape]) done = true;
        if (!done) plat::presentFrame();

        if (Shell.KeyState[plat::VkF1]) {
            Shell.KeyState[plat::VkF1] = false;
            const int setUpFrom = plat::musicGetTime(Shell.Controls.SongHandle);
            LeaveFullScreen();
            Shell.FullScreen = !Shell.FullScreen;
            if (!CreateMainWindow(Title, PictureWidth, PictureHeight, 32, Shell.FullScreen)) return ExitFailure;
            leaveOutOfFrameClock(Shell.Clock, plat::musicGetTime(Shell.Controls.SongHandle) - setUpFrom);
        }

        pollParameterKeys(drawn ? Shell.Clock.FrameSteps.count : 0);
        finishKeyPoll();
        if (done) break;
    }

    DeleteOutlineFont();
    LeaveFullScreen();
    return exitCode;
}
