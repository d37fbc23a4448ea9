// The running demo's one state.
#include "shell/demo_state.h"

DemoState& demoState()
{
    static DemoState state;
    return state;
}
