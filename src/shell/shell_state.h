// The demo shell's own state: keys, window flags, the song clock, the current
// song and the parameters the keyboard nudges. Part of DemoState.
#pragma once

#include "core/controls.h"
#include "core/frame_clock.h"
#include "platform/platform.h"
#include "shell/demo.h"  // runDemo
#include "timeline/intro.h"  // FrameRequest

struct ShellState {
    FrameClock Clock;           // the song clock, written by drawFrame (see core/frame_clock.h)
    ControlState Controls;      // the song and the key-driven values; the shell is their one writer
    bool KeyState[256] = {};    // by virtual-key code; window events set/clear, the loop clears F1
    // A key pressed since the last key poll, and one released before a poll
    // saw it: its release waits for that poll, so that a tap between two
    // polls counts once instead of being lost.
    bool KeyUnseen[256] = {};
    bool KeyReleaseDeferred[256] = {};
    bool FullScreen = true;     // start question, F1 toggle, window creation
    bool WindowActive = true;   // false only while the window is minimised
    bool QuitPosted = false;    // set by the close handling; the main loop fetches it as the quit message
    int QuitExitCode = 0;
    bool ContextReady = false;  // true between a successful context creation and its release

    bool operator==(const ShellState&) const = default;
};

// Exit codes: 0 after Escape or closing the window, ExitFailure when the demo
// could not start (no display, or a window, context or set-up failure).
constexpr int ExitFailure = 1;

// One pass of the parameter-key table, in its fixed order. A held key nudges
// its value once per step the pass's frame crossed (`steps`), so a value moves
// as fast at any refresh rate; a key pressed since the last poll nudges at
// least once, so that a tap between two steps still counts.
void pollParameterKeys(ShellState& shell, int steps);

// Carries out what a frame asked (see FrameRequest): presents it, pauses, and
// switches from the intro song to the main song, started at volume 0.
void carryOutFrameRequest(ShellState& shell, const FrameRequest& request);
