// The window with its GL context, the full-screen mode, and the handling of
// window events (the window procedure).
#pragma once

#include "platform/platform.h"
#include "shell/shell_state.h"

// Creates the window and context, sets viewport and projection and runs the
// scene set-up. Shows its own failure message and returns false on failure.
bool CreateMainWindow(ShellState& shell, const char* title, int width, int height, int bits, bool fullScreen);
// Shows the cursor again if FullScreen is set (the display mode is never changed).
void LeaveFullScreen(const ShellState& shell);
// Fits the picture transform to a drawable of this size (height 0 counts as
// 1), sets the viewport to the picture and the 45-degree 4:3 perspective.
void Resize(int width, int height);
// The window procedure: feeds KeyState and WindowActive, posts quit on close,
// follows size changes once the context exists.
// A key released before any key poll has seen it stays down until
// finishKeyPoll, so that a tap between two polls is seen exactly once.
void handleWindowEvent(ShellState& shell, const plat::Event& event);
// Ends a pass of the loop's key polls: applies the releases held back for it.
void finishKeyPoll(ShellState& shell);
