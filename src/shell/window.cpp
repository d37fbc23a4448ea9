// The window and its GL context, the full-screen mode, and the handling of
// window events.
#include "shell/window.h"

#include "assets/texture_set.h"
#include "core/picture.h"
#include "shell/scene_setup.h"
#include "shell/shell_state.h"
#include "text/outline_font.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

// Shows a window-creation failure and reports it.
bool fail(const char* text)
{
    plat::showMessageBox(text, "ERROR", plat::Buttons::Ok, plat::Icon::Exclamation);
    return false;
}

// What the user is told when a step of window creation fails.
const char* creationFailureText(plat::WindowResult result)
{
    switch (result) {
    case plat::WindowResult::Ok:
        break;
    case plat::WindowResult::RegisterClassFailed:
        return "Failed To Register The Window Class.";
    case plat::WindowResult::CreateWindowFailed:
        return "Window Creation Error.";
    case plat::WindowResult::GetDeviceFailed:
        return "Can't Create A GL Device Context.";
    case plat::WindowResult::ChoosePixelFormatFailed:
        return "Can't Find A Suitable PixelFormat.";
    case plat::WindowResult::SetPixelFormatFailed:
        return "Can't Set The PixelFormat.";
    case plat::WindowResult::CreateContextFailed:
        return "Can't Create A GL Rendering Context.";
    case plat::WindowResult::MakeCurrentFailed:
        return "Can't Activate The GL Rendering Context.";
    }
    return "Window Creation Error.";
}

// The fallback question when no full-screen window can be had. Yes: go on
// windowed (shell.FullScreen false). No: the program will close.
bool acceptWindowInstead(ShellState& shell)
{
    const plat::Answer answer = plat::showMessageBox(
        "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
        "Lumo GL", plat::Buttons::YesNo, plat::Icon::Exclamation);
    if (answer == plat::Answer::Yes) {
        shell.FullScreen = false;
        return true;
    }
    plat::showMessageBox("Program Will Now Close.", "ERROR", plat::Buttons::Ok, plat::Icon::Stop);
    return false;
}

} // namespace

void LeaveFullScreen(const ShellState& shell)
{
    if (shell.FullScreen) plat::showCursor(true);
}

void Resize(int width, int height)
{
    if (height == 0) height = 1;
    // The picture keeps its 4:3 shape in whatever drawable it gets: scaled,
    // centred, black bars beside it.
    setPictureDrawable(width, height);
    // Letters keep their smoothness in drawable pixels, textures their
    // sharpness.
    FitOutlineFontToPicture();
    fitTextureSetToPicture();
    setPictureViewport();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(PictureWidth) / static_cast<double>(PictureHeight), 0.1f, 500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool CreateMainWindow(ShellState& shell, const char* title, int width, int height, int bits, bool fullScreen)
{
    shell.FullScreen = fullScreen;

    // Full screen is a window over the whole display at its own resolution;
    // the display mode is never changed.
    if (shell.FullScreen && !plat::fullScreenAvailable() && !acceptWindowInstead(shell)) return false;
    plat::showCursor(!shell.FullScreen);

    // A second creation (full-screen toggle) replaces the first window and
    // context; the set-up builds the letters anew in the new one.
    if (shell.ContextReady) {
        DeleteOutlineFont();
        forgetTextureSet();
    }
    shell.ContextReady = false;
    plat::destroyWindow();

    plat::WindowResult result = plat::createWindow({title, width, height, shell.FullScreen});
    if (result != plat::WindowResult::Ok && shell.FullScreen) {
        // The display's size was known but no window covers it: the same
        // question as when the size is not known.
        LeaveFullScreen(shell);
        if (!acceptWindowInstead(shell)) return false;
        result = plat::createWindow({title, width, height, shell.FullScreen});
    }
    if (result != plat::WindowResult::Ok) {
        LeaveFullScreen(shell);
        return fail(creationFailureText(result));
    }
    shell.ContextReady = true;

    plat::raiseWindow();
    // The drawable's own pixel size: the screen's in full screen, and more
    // than the asked client size on a HiDPI display.
    int drawableWidth = 0, drawableHeight = 0;
    plat::getClientSize(&drawableWidth, &drawableHeight);
    Resize(drawableWidth, drawableHeight);

    if (!SetUpScene()) {
        LeaveFullScreen(shell);
        return fail("Initialization Failed.");
    }
    return true;
}

void handleWindowEvent(ShellState& shell, const plat::Event& event)
{
    switch (event.type) {
    case plat::EventType::Activate:
        shell.WindowActive = !event.minimised;
        break;
    case plat::EventType::ScreenSaver:
        break;  // swallowed: no screen saver or monitor power-down while the demo runs
    case plat::EventType::Close:
        shell.QuitPosted = true;
        shell.QuitExitCode = 0;
        break;
    case plat::EventType::KeyDown:
        if (event.key >= 0 && event.key < 256) {
            shell.KeyState[event.key] = true;
            shell.KeyUnseen[event.key] = true;
            shell.KeyReleaseDeferred[event.key] = false;
        }
        break;
    case plat::EventType::KeyRepeat:
        break;  // the key is down since its press, which alone marks it unseen
    case plat::EventType::KeyUp:
        if (event.key >= 0 && event.key < 256) {
            if (shell.KeyUnseen[event.key]) shell.KeyReleaseDeferred[event.key] = true;
            else shell.KeyState[event.key] = false;
        }
        break;
    case plat::EventType::Resize:
        // Size changes before the context exists change nothing; creation sets the real size.
        if (shell.ContextReady) Resize(event.width, event.height);
        break;
    case plat::EventType::None:
        break;
    }
}

void finishKeyPoll(ShellState& shell)
{
    for (int key = 0; key < 256; ++key) {
        shell.KeyUnseen[key] = false;
        if (shell.KeyReleaseDeferred[key]) shell.KeyState[key] = false;
        shell.KeyReleaseDeferred[key] = false;
    }
}
