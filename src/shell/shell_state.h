// Process-wide control values of the demo shell: keys, window flags, the
// current song and the parameters the keyboard nudges.
#pragma once

#include "core/controls.h"
#include "platform/platform.h"

// The song and the key-driven values (MainSongActive, SongHandle, CameraRoll,
// ...) live in core/controls.h, below every layer that reads them.
extern bool KeyState[256];     // by virtual-key code; window events set/clear, the loop clears F1
extern bool FullScreen;        // start question, F1 toggle, window creation
extern bool WindowActive;      // false only while the window is minimised

// Exit codes: 0 after Escape or closing the window, ExitFailure when the demo
// could not start (no display, or a window, context or set-up failure).
constexpr int ExitFailure = 1;

// Entry of the demo: start question, window, music, main loop, shutdown.
// Returns the exit code.
int runDemo();

// One pass of the parameter-key table, in its fixed order.
void pollParameterKeys();
