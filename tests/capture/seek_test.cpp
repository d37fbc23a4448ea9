// nordglow-capture reaches late demo times by running the frames before them
// without drawing them: the frames it then saves, the sound and the demo's
// state are those of a run that draws every frame. (At 800 x 600 the
// reference frames, recorded from runs that drew every frame, show the same
// across every phase.) And --stats counts the stalls a viewer would see.
#include "capture/capture.h"
#include "capture/frame_images.h"
#include "core/quadrics.h"
#include "effects/render_to_texture.h"
#include "shell/demo_state.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <any>
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
// read after it) from the program-start state `start`.
int runCaptureHere(const DemoStateSnapshot& start, const std::string& args)
{
    headless::resetBackend();
    restoreDemoState(start);
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

// Every plain value of the demo's state snapshot as bytes, in the snapshot's
// order; values that are not plain data (the loaded models and their
// readers, read once at set-up) as an empty entry. The quadrics are objects
// of the renderer's context that each run makes anew: left out.
void flatten(const std::any& value, std::vector<std::vector<unsigned char>>* out)
{
    if (const auto* bytes = std::any_cast<std::vector<unsigned char>>(&value)) {
        out->push_back(*bytes);
    } else if (const auto* items = std::any_cast<std::vector<std::any>>(&value)) {
        for (const std::any& item : *items) flatten(item, out);
    } else {
        out->push_back({});
    }
}

std::vector<std::vector<unsigned char>> demoStateBytes()
{
    GLUquadric* const quadrics[] = {SphereQuadric, ConeQuadric, RenderQuadric};
    SphereQuadric = ConeQuadric = RenderQuadric = nullptr;
    const DemoStateSnapshot snapshot = captureDemoState();
    SphereQuadric = quadrics[0];
    ConeQuadric = quadrics[1];
    RenderQuadric = quadrics[2];
    std::vector<std::vector<unsigned char>> bytes;
    for (const std::any& value : snapshot.values) flatten(value, &bytes);
    return bytes;
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
    const DemoStateSnapshot start = captureDemoState();
    // Intro, the question held over the pause, a flight, the tunnel, the
    // credits sheet, the end transition and the scroller.
    const long times[] = {4000, 33000, 48000, 82000, 110000, 157000, 170000};
    std::string args = " --fps 5 --size 320x240 --until 170100";
    for (long t : times) args += " --at " + std::to_string(t);

    const fs::path full = freshDir("full"), seek = freshDir("fast");
    ASSERT_EQ(runCaptureHere(start, args + " --draw-all --audio " + (full / "s.wav").string() + " --out " +
                                        full.string()), 0);
    const auto fullState = demoStateBytes();
    ASSERT_EQ(runCaptureHere(start, args + " --audio " + (seek / "s.wav").string() + " --out " + seek.string()), 0);
    const auto seekState = demoStateBytes();

    int frames = 0;
    for (const auto& entry : fs::directory_iterator(full)) {
        const std::string name = entry.path().filename().string();
        ASSERT_TRUE(fs::exists(seek / name)) << name;
        EXPECT_TRUE(readAll(entry.path()) == readAll(seek / name)) << name << " differs";
        frames += entry.path().extension() == ".png";
    }
    EXPECT_EQ(frames, static_cast<int>(std::size(times)));
    EXPECT_GT(fs::file_size(seek / "s.wav"), 170u * 44100 * 4);

    ASSERT_EQ(fullState.size(), seekState.size());
    for (std::size_t i = 0; i < fullState.size(); ++i) {
        EXPECT_TRUE(fullState[i] == seekState[i]) << "value " << i << " of the demo's state differs";
    }
    fs::remove_all(full);
    fs::remove_all(seek);
}
