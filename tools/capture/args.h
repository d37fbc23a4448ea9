// Command line of nordglow-capture.
#pragma once

#include "platform/headless/headless.h"

#include <optional>
#include <string>
#include <vector>

namespace capture {

// Demo time of the whole demo: intro, main part and the default 45 s of the
// end scroller, after which its last line has gone and nothing new comes.
constexpr double DemoLengthMs = 202000.0;
// No time on the command line lies beyond this: the whole demo plus an hour.
constexpr double LatestDemoMs = DemoLengthMs + 3600000.0;

struct KeyPress {
    double atMs = 0;
    int virtualKey = 0;
};

struct FrameCost {
    double atMs = 0;
    double costMs = 0;
};

struct Options {
    std::string dataDir;           // folder holding Data/; empty: see defaultDataDir
    double fps = 60.0;
    bool answerYes = false;        // the start question's answer
    std::vector<double> at;        // save the first frame at or after each
    double every = 0;              // 0: none
    double from = 0;
    std::optional<double> until;   // default: 45 s after the end scroller begins
    std::vector<KeyPress> keys;
    std::string outDir = ".";
    std::string audioPath;
    std::string videoPath;
    bool smallVideo = false;       // slower encoding for a smaller file
    bool stats = false;
    bool drawAll = false;          // rasterise every frame, also those nothing needs
    // --frame-cost: what --stats counts instead of timing each frame, so that
    // a test knows every frame's cost. A frame's own (the first presented at
    // or after atMs) before the one for all; neither: the frames are timed.
    std::optional<double> frameCostMs;
    std::vector<FrameCost> frameCostAt;
    headless::Renderer renderer = headless::Renderer::Auto;
    bool help = false;
    int width = 800;               // --size: drawable of every frame, video and statistic
    int height = 600;
    bool version = false;
};

// Parses args (without the program name). On failure returns false and sets error.
bool parseArguments(const std::vector<std::string>& args, Options* options, std::string* error);

// Virtual-key code for a key name (Escape, F1, 1-6, A, D, W, S, Up, Down); 0 if unknown.
int keyCodeForName(const std::string& name);

extern const char* const UsageText;

// Where Data/ is looked for without --data: the working directory when it
// holds Data/, else the data installed beside the program
// (BINDIR/../share/nordglow), else the working directory.
std::string defaultDataDir();

// The project version, as CMake gives it.
extern const char* const VersionText;

} // namespace capture
