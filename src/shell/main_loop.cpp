// Program flow: start question, window, music, the message-draining main
// loop with its keys, and shutdown.
#include "shell/shell_state.h"

#include "assets/model.h"
#include "shell/window.h"
#include "text/outline_font.h"
#include "timeline/timeline.h"

bool KeyState[256] = {};
bool FullScreen = true;
bool WindowActive = true;

namespace {

constexpr const char* Title = "Nordglow 2002";

// Each step is a double constant; the sum is computed in double and stored as float.
void nudge(float& value, double step)
{
    value = static_cast<float>(static_cast<double>(value) + step);
}

} // namespace

void pollParameterKeys()
{
    if (KeyState[0x31]) SceneOverride = 1;
    if (KeyState[0x32]) VuChannel = 2;
    if (KeyState[0x33]) VuChannel = 3;
    if (KeyState[0x34]) VuChannel = 4;
    if (KeyState[0x35]) VuChannel = 5;
    if (KeyState[0x36]) VuChannel = 6;
    if (KeyState[0x41]) nudge(CameraRoll, -0.5);
    if (KeyState[0x44]) nudge(CameraRoll, 0.5);
    if (KeyState[0x57]) nudge(SphereHeight, -0.01);
    if (KeyState[0x53]) nudge(SphereHeight, 0.01);
    if (KeyState[plat::VkUp]) nudge(CameraPitch, -0.05);
    if (KeyState[plat::VkDown]) nudge(CameraPitch, 0.05);
}

int runDemo()
{
    // A demo that nobody can see is not run: no display, no question.
    if (!plat::openDisplay()) return ExitFailure;
    if (plat::showMessageBox("Would You Like To Run In Fullscreen Mode?", "Start FullScreen?",
                             plat::Buttons::YesNo, plat::Icon::Question) == plat::Answer::No) {
        FullScreen = false;
    }
    if (!CreateMainWindow(Title, 800, 600, 32, FullScreen)) return ExitFailure;

    if (!plat::musicInit(44100, 64, 0)) {
        plat::showMessageBox("Error Initializing Music", "SHUTDOWN ERROR", plat::Buttons::Ok,
                             plat::Icon::Asterisk);
    }
    SongHandle = plat::musicLoadSong(MainSongActive ? "Data/Sounds/Ruzezu.xm" : "Data/Sounds/zerevovar.mod");
    plat::musicPlaySong(SongHandle);

    bool done = false;
    int exitCode = 0;  // Escape ends with 0 as well
    for (;;) {
        if (QuitPosted) {
            exitCode = QuitExitCode;
            break;
        }
        plat::Event event;
        if (plat::pollEvent(&event)) {
            handleWindowEvent(event);
            continue;
        }

        if (WindowActive && !drawFrame()) done = true;
        if (!done && KeyState[plat::VkEscape]) done = true;
        if (!done) plat::presentFrame();

        if (KeyState[plat::VkF1]) {
            KeyState[plat::VkF1] = false;
            LeaveFullScreen();
            FullScreen = !FullScreen;
            if (!CreateMainWindow(Title, 800, 600, 32, FullScreen)) return ExitFailure;
        }

        pollParameterKeys();
        finishKeyPoll();
        if (done) break;
    }

    DeleteOutlineFont();
    LeaveFullScreen();
    releaseMeshArrays(fighterModel);
    releaseMeshArrays(fountainModel);  // released as well, so that leak checks see only real leaks
    return exitCode;
}
