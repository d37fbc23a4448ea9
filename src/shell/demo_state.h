// Every process-wide value of the demo, taken and put back as a whole: the
// clock, controls and generator, the effects' pools, phases and tables, the
// scenes' angles and flags, the loaded models and texture slots, the fonts'
// list bases and the shell's flags. GL objects are kept by name only; the
// snapshot neither makes nor deletes them.
#pragma once

#include <any>
#include <vector>

struct DemoStateSnapshot {
    std::vector<std::any> values;  // one entry per value, in a fixed order
};

DemoStateSnapshot captureDemoState();
// Puts back every value captured; the snapshot stays usable.
void restoreDemoState(const DemoStateSnapshot& snapshot);
