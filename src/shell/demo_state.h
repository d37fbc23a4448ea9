// The demo's whole state as one value: the animation state of everything the
// timeline draws and the shell's own (keys, window flags, the song clock and
// the controls). The shell owns the one instance, demoState(), and hands each
// function below it the parts it reads or changes. A snapshot is a copy, a
// restore one assignment, program start is DemoState{}:
//     const DemoState saved = demoState();
//     ...
//     demoState() = saved;
// Kept apart, and no part of it: the GL objects of the current context
// (GlResources, made per context by the scene set-up), the models and images
// read from Data/ (LoadedAssets, read once) and the picture transform (the
// window's, core/picture.h).
#pragma once

#include "shell/shell_state.h"
#include "timeline/animation_state.h"

struct DemoState : AnimationState {
    ShellState shell;

    // Floats compare by value.
    bool operator==(const DemoState&) const = default;
};

// The running demo's state: the main loop, the window's event handling, the
// scene set-up and the functions of shell/demo.h work on it. About a
// megabyte (the landscape's heights), so it lives on no stack.
DemoState& demoState();
