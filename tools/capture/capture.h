// nordglow-capture: runs the demo headless on a virtual clock and saves
// frames, sound, video and frame-cost statistics.
#pragma once

#include <string>
#include <vector>

namespace capture {

// Parses the command line and runs; returns the exit code (2 for bad arguments).
int runCapture(const std::vector<std::string>& args);

} // namespace capture
