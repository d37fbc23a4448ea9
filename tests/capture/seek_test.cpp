// nordglow-capture reaches late demo times by running the frames before them
// without drawing them: the frames it then saves, the sound and the demo's
// state are those of a run that draws every frame. (At 800 x 600 the
// reference frames, recorded from runs that drew every frame, show the same
// across every phase.) And --stats counts the stalls a viewer would see.
#include "capture/capture.h"
#include "capture/frame_images.h"
#include "assets/loaded_assets.h"
#include "core/gl_resources.h"
#include "shell/demo_state.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Runs nordglow-capture in this process (so that the demo's state can be
// read after it) from the program-start state `start`, as a fresh process
// would: no GL objects of an earlier context, nothing read yet.
int runCaptureHere(const DemoState& start, const std::string& args)
{
    headless::resetBackend();
    demoState() = start;
    Gl = GlResources{};
    Assets = LoadedAssets{};
    headless::setQuietMessages(true);
    std::vector<std::string> words;
    std::istringstream in("--data " + fs::absolute(testDataRoot()).string() + " " + args);
    for (std::string w; in >> w;) words.push_back(w);
    // The tool enters the data folder; the tests after this one keep theirs.
    const fs::path folder = fs::current_path();
    const int code = capture::runCapture(words);
    fs::current_path(folder);
    return code;
}

fs::path freshDir(const std::string& name)
{
    const fs::path d = fs::temp_directory_path() / ("ng-seek-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

} // namespace

TEST(Seek, FramesSoundAndStateMatchARunThatDrawsEveryFrame)
{
    // The state is about a megabyte (the landscape's heights): kept off the stack.
    const auto start = std::make_unique<DemoState>(demoState());
    // Intro, the question held over the pause, a flight, the tunnel, the
    // credits sheet, the end transition and the scroller.
    const long times[] = {4000, 33000, 48000, 82000, 110000, 157000, 170000};
    std::string args = " --fps 5 --size 320x240 --until 170100";
    for (long t : times) args += " --at " + std::to_string(t);

    const fs::path full = freshDir("full"), seek = freshDir("fast");
    ASSERT_EQ(runCaptureHere(*start, args + " --draw-all --audio " + (full / "s.wav").string() + " --out " +
                                        full.string()), 0);
    const auto fullState = std::make_unique<DemoState>(demoState());
    ASSERT_EQ(runCaptureHere(*start, args + " --audio " + (seek / "s.wav").string() + " --out " + seek.string()), 0);
    const auto seekState = std::make_unique<DemoState>(demoState());

    int frames = 0;
    for (const auto& entry : fs::directory_iterator(full)) {
        const std::string name = entry.path().filename().string();
        ASSERT_TRUE(fs::exists(seek / name)) << name;
        EXPECT_TRUE(readAll(entry.path()) == readAll(seek / name)) << name << " differs";
        frames += entry.path().extension() == ".png";
    }
    EXPECT_EQ(frames, static_cast<int>(std::size(times)));
    EXPECT_GT(fs::file_size(seek / "s.wav"), 170u * 44100 * 4);

    // Module by module, so that a failure names the one that drifted.
    EXPECT_TRUE(fullState->shell.Clock == seekState->shell.Clock);
    EXPECT_TRUE(fullState->shell.Controls == seekState->shell.Controls);
    EXPECT_TRUE(fullState->random == seekState->random);
    EXPECT_TRUE(fullState->particles == seekState->particles);
    EXPECT_TRUE(fullState->tunnel == seekState->tunnel);
    EXPECT_TRUE(fullState->intro == seekState->intro);
    EXPECT_TRUE(fullState->timeline == seekState->timeline);
    EXPECT_TRUE(*fullState == *seekState) << "the demo's state differs";
    fs::remove_all(full);
    fs::remove_all(seek);
}
