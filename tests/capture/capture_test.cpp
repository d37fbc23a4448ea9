// nordglow-capture as a user runs it: determinism, statistics, keys, and
// clear refusals, before the run, of arguments and outputs it cannot honour.
#include "capture/frame_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;

using RunResult = CaptureRun;

RunResult runCapture(const std::string& args) { return runCaptureFrames(args); }

std::string readAll(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Peak resident memory in kB of one capture run, through /usr/bin/time.
long peakMemoryKb(const std::string& args)
{
    const fs::path report = fs::temp_directory_path() / ("ng-capture-peak-" + std::to_string(getpid()));
    const std::string cmd = "/usr/bin/time -f %M -o " + report.string() + " " + NG_CAPTURE_BIN + SoftwareRenderer + " --data " +
                            testDataRoot() + " " + args + " >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) return -1;
    long kb = -1;
    std::ifstream(report) >> kb;
    fs::remove(report);
    return kb;
}

// Runs the tool; its exit code, with standard output and error together in *output.
int runCaptureWithMessages(const std::string& args, std::string* output)
{
    const std::string cmd =
        std::string(NG_CAPTURE_BIN) + SoftwareRenderer + " --data " + testDataRoot() + " " + args + " 2>&1";
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) output->append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path freshDir(const std::string& name)
{
    const fs::path d = fs::temp_directory_path() / ("ng-capture-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

} // namespace

TEST(Capture, SameArgumentsGiveByteIdenticalFramesAndSound)
{
    const fs::path a = freshDir("a"), b = freshDir("b");
    const std::string common = " --fps 30 --at 1500 --at 4000 --until 4200";
    const RunResult ra = runCapture("--out " + a.string() + " --audio " + (a / "s.wav").string() + common);
    const RunResult rb = runCapture("--out " + b.string() + " --audio " + (b / "s.wav").string() + common);
    ASSERT_EQ(ra.exitCode, 0);
    ASSERT_EQ(rb.exitCode, 0);
    int pngs = 0;
    for (const auto& entry : fs::directory_iterator(a)) {
        const std::string name = entry.path().filename().string();
        ASSERT_TRUE(fs::exists(b / name)) << name;
        EXPECT_EQ(readAll(entry.path()), readAll(b / name)) << name << " differs between runs";
        pngs += entry.path().extension() == ".png";
    }
    EXPECT_EQ(pngs, 2);
    // 4.2 s of 44.1 kHz stereo 16-bit, give or take a frame, after the 44-byte header.
    const auto wavBytes = fs::file_size(a / "s.wav");
    EXPECT_NEAR(static_cast<double>(wavBytes - 44), 4.2 * 44100 * 4, 44100 * 4 / 30.0 + 8);
    EXPECT_NE(ra.out.find("frame_0001500.png demo_ms=1500 phase=intro song_ms="), std::string::npos) << ra.out;
    fs::remove_all(a);
    fs::remove_all(b);
}

TEST(Capture, StatsPrintOneLinePerSceneShown)
{
    const RunResult r = runCapture("--fps 20 --until 1000 --stats");
    ASSERT_EQ(r.exitCode, 0);
    std::istringstream lines(r.out);
    std::string line;
    int statLines = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("stats ", 0) != 0) continue;
        ++statLines;
        int frames = 0, over2x = -1, stalls = -1;
        double median = 0, p95 = 0, max = 0;
        char scene[32] = {};
        ASSERT_EQ(std::sscanf(line.c_str(),
                              "stats %31s frames=%d median_ms=%lf p95_ms=%lf max_ms=%lf over2x=%d stalls=%d", scene,
                              &frames, &median, &p95, &max, &over2x, &stalls), 7) << line;
        EXPECT_STREQ(scene, "intro");
        EXPECT_EQ(frames, 21);  // 0, 50, ..., 1000 ms
        EXPECT_LE(median, p95);
        EXPECT_LE(p95, max);
        // Stalls lie above the 95th percentile, which of 21 frames is the second
        // largest: at most the largest frame is one.
        EXPECT_LE(over2x, 1) << line;
        EXPECT_EQ(over2x > 0, max > 2 * p95) << line;
    }
    EXPECT_EQ(statLines, 1) << r.out;
}

// The stats of one scene over a window, as "frames=N ... stalls=N"; frames -1
// when the scene has no line.
struct SceneLine {
    int frames = -1;
    double median = 0;
    double p95 = 0;
    double max = 0;
    int over2x = -1;
    int stalls = -1;
};
SceneLine statsOf(const std::string& out, const std::string& scene)
{
    SceneLine s;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("stats " + scene + " ", 0) != 0) continue;
        std::sscanf(line.c_str() + 7 + scene.size(), "frames=%d median_ms=%lf p95_ms=%lf max_ms=%lf over2x=%d stalls=%d",
                    &s.frames, &s.median, &s.p95, &s.max, &s.over2x, &s.stalls);
    }
    return s;
}

TEST(Capture, StatsCountTheFramesOfTheWindowAndTheStallsAViewerSees)
{
    // A window of the intro, reached without drawing what comes before it,
    // each frame counted as costing 20 ms but one: the verdict rests on the
    // counting, not on how fast this machine draws. A stall lies above both
    // twice the scene's p95 (40 ms) and one frame period (200 ms at 5 fps);
    // a frame of 150 ms is only over twice the p95.
    const std::string window = "--fps 5 --from 2000 --until 10000 --stats --frame-cost 20";
    const RunResult stalled = runCapture(window + " --frame-cost 4100:500");
    const RunResult slow = runCapture(window + " --frame-cost 4100:150");
    ASSERT_EQ(stalled.exitCode, 0) << stalled.out;
    ASSERT_EQ(slow.exitCode, 0) << slow.out;
    const SceneLine a = statsOf(stalled.out, "intro"), b = statsOf(slow.out, "intro");
    EXPECT_EQ(a.frames, 41) << stalled.out;  // 2000, 2200, ..., 10000 ms
    EXPECT_EQ(b.frames, 41) << slow.out;
    // The scripted frame is the one presented at 4200 ms: one, not two.
    EXPECT_EQ(a.median, 20.0) << stalled.out;
    EXPECT_EQ(a.p95, 20.0) << stalled.out;
    EXPECT_EQ(a.max, 500.0) << stalled.out;
    EXPECT_EQ(a.over2x, 1) << stalled.out;
    EXPECT_EQ(a.stalls, 1) << stalled.out;
    EXPECT_EQ(b.max, 150.0) << slow.out;
    EXPECT_EQ(b.over2x, 1) << slow.out;
    EXPECT_EQ(b.stalls, 0) << slow.out;
}

TEST(Capture, EscapeKeyEndsTheLoopEarly)
{
    const fs::path d = freshDir("key");
    const RunResult r = runCapture("--fps 10 --every 500 --until 5000 --key 1000:Escape --out " + d.string());
    ASSERT_EQ(r.exitCode, 0);
    // Frames at 0, 500, 1000 are presented; the frame after the key press is drawn but not presented.
    int saved = 0;
    for (const auto& entry : fs::directory_iterator(d)) saved += entry.path().extension() == ".png";
    EXPECT_EQ(saved, 3) << r.out;
    fs::remove_all(d);
}

TEST(Capture, RefusesWhatItCannotFinishBeforeTheRun)
{
    // Each refusal comes with its exit code and message before the demo
    // starts: its start question is never asked.
    const fs::path folder = freshDir("refuse");
    const struct {
        std::string args;
        int code;
        std::string message;
    } cases[] = {
        {"--fps zero", 2, "--fps wants a decimal number"},
        {"--fps 0x10", 2, "--fps wants a decimal number from 1 to 1000, not '0x10'"},
        {"--until 999999999999", 2, "--until wants a time in milliseconds, a decimal number from 0 to 3802000"},
        {"--until 1e4", 2, "--until wants a time in milliseconds"},
        {"--at 5000 --until 4000", 2, "--at 5000 comes after --until 4000"},
        {"--key 100:Q", 2, "unknown key 'Q'"},
        {"--frame-cost 100:slow", 2, "--frame-cost wants COST or MS:COST"},
        {"--renderer fast", 2, "--renderer wants auto, gpu or software, not 'fast'"},
        {"--at", 2, "--at needs a value"},
        {"--frobnicate", 2, "unknown argument '--frobnicate'"},
        {"--size 801x601 --video /dev/null", 2, "--video needs an even width and height"},
        {"--at 0 --out ''", 2, "--out wants a folder, not an empty name"},
        {"--until 100 --audio ''", 2, "--audio wants a file name, not an empty name"},
        {"--until 100 --video ''", 2, "--video wants a file name, not an empty name"},
        {"--until 100 --at 0 --out /proc/no-such-place", 1, "cannot write to the output folder"},
        {"--until 100 --audio /dev/full", 1, "cannot write /dev/full (No space left on device)"},
        {"--until 100 --video /dev/full", 1, "cannot write the video to /dev/full: it is not a regular file"},
        {"--until 100 --video " + folder.string(), 1, "it is a folder"},
    };
    for (const auto& c : cases) {
        std::string output;
        const int code = runCaptureWithMessages(c.args, &output);
        EXPECT_EQ(code, c.code) << c.args << "\n" << output;
        EXPECT_NE(output.find(c.message), std::string::npos) << c.args << "\n" << output;
        EXPECT_EQ(output.find("Start FullScreen?"), std::string::npos) << c.args << " ran the demo";
    }
    for (const char* size : {"79x60", "80x59", "8193x600", "800x8193", "800x", "x600", "800*600", "1e3x600", "-800x600"}) {
        EXPECT_EQ(runCapture(std::string("--size ") + size).exitCode, 2) << "--size " << size;
    }
    EXPECT_EQ(runCapture("--help").exitCode, 0);
    fs::remove_all(folder);
}

// What draws is named, and a GPU asked for where there is none is refused
// before the run. Software is llvmpipe under the tool's GALLIUM_DRIVER.
TEST(Capture, NamesTheRendererAndRefusesAMissingGpu)
{
    std::string version;
    ASSERT_EQ(runCaptureWithMessages("--version --renderer software", &version), 0) << version;
    EXPECT_NE(version.find("\nrenderer: llvmpipe"), std::string::npos) << version;
    EXPECT_NE(version.find("\nOpenGL: "), std::string::npos) << version;
    const RunResult stats = runCapture("--renderer software --fps 20 --until 100 --stats");
    ASSERT_EQ(stats.exitCode, 0);
    EXPECT_NE(stats.out.find("renderer: llvmpipe"), std::string::npos) << stats.out;

    // A GPU is one with a render node; without one EGL has none to offer.
    bool renderNode = false;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev/dri", ec)) {
        renderNode = renderNode || entry.path().filename().string().rfind("renderD", 0) == 0;
    }
    std::string gpu;
    const int code = runCaptureWithMessages("--renderer gpu --until 100", &gpu);
    if (!renderNode) {
        EXPECT_EQ(code, 2) << gpu;
        EXPECT_EQ(gpu.find("Start FullScreen?"), std::string::npos) << "ran the demo without a GPU:\n" << gpu;
        EXPECT_NE(gpu.find("nordglow-capture: --renderer gpu: no GPU"), std::string::npos) << gpu;
    } else if (code == 0) {
        std::string named;
        runCaptureWithMessages("--version --renderer gpu", &named);
        EXPECT_EQ(named.find("renderer: llvmpipe"), std::string::npos) << named;
    } else {
        EXPECT_EQ(code, 2) << gpu;
    }
}

// A disk that fills in the middle of a frame (each file limited to 20 KiB:
// the intro's first frames fit, the next scene's do not): the run fails
// with the frame named, and what is left are the finished frames, whole.
TEST(Capture, AFrameCutShortByAFullDiskLeavesNoFileBehind)
{
    const fs::path d = freshDir("full");
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 20 * 1024;
    // Past the limit a write fails with EFBIG instead of ending the process.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string output;
    const int code = runCaptureWithMessages("--fps 10 --at 0 --at 4000 --at 16000 --until 16000 --out " + d.string(),
                                            &output);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(code, 1) << output;
    EXPECT_NE(output.find("cannot write " + (d / "frame_0016000.png").string()), std::string::npos) << output;
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(d)) {
        left.push_back(entry.path().filename().string());
        FrameImage image;
        EXPECT_TRUE(readPngImage(entry.path().string(), &image)) << entry.path() << " is not a whole PNG";
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"frame_0000000.png", "frame_0004000.png"})) << output;
    fs::remove_all(d);
}

// The smallest and an odd size: the frame has exactly that size, with the
// picture in it and letterbox bars above and below.
TEST(Capture, SmallOddSizeGivesAFrameOfThatSize)
{
    const fs::path d = freshDir("size");
    const RunResult r = runCapture("--fps 10 --size 81x100 --at 4000 --until 4000 --out " + d.string());
    ASSERT_EQ(r.exitCode, 0) << r.out;
    FrameImage image;
    ASSERT_TRUE(readPngImage((d / "frame_0004000.png").string(), &image));
    EXPECT_EQ(image.width, 81);
    EXPECT_EQ(image.height, 100);
    // 81 x 61 picture (scale 0.10125), bars of 19 and 20 rows.
    int topBar = 0, bottomBar = 0, picture = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 81; ++x) {
            const std::uint8_t* p = &image.rgb[(static_cast<std::size_t>(y) * 81 + x) * 3];
            const int v = p[0] + p[1] + p[2];
            (y < 20 ? topBar : y >= 81 ? bottomBar : picture) += v;
        }
    }
    EXPECT_EQ(topBar, 0);
    EXPECT_EQ(bottomBar, 0);
    EXPECT_GT(picture, 0);
    fs::remove_all(d);
}

TEST(Capture, FullScreenToggleRebuildsTheSameDemo)
{
    // F1 releases the window and context and runs the whole set-up again; the
    // intro after the rebuild must look exactly as it does without it.
    const fs::path plain = freshDir("plain"), toggled = freshDir("toggled");
    const RunResult a = runCapture("--fps 30 --at 2500 --until 2600 --out " + plain.string());
    const RunResult b = runCapture("--fps 30 --at 2500 --until 2600 --key 1000:F1 --key 1500:F1 --out " +
                                   toggled.string());
    ASSERT_EQ(a.exitCode, 0);
    ASSERT_EQ(b.exitCode, 0);
    const std::string name = "frame_0002500.png";
    ASSERT_TRUE(fs::exists(plain / name) && fs::exists(toggled / name)) << a.out << b.out;
    EXPECT_EQ(readAll(plain / name), readAll(toggled / name));
    fs::remove_all(plain);
    fs::remove_all(toggled);
}

TEST(Capture, FullScreenTogglesKeepMemoryFlat)
{
    // Every F1 frees a whole context and set-up; the heap must not keep what
    // they freed. The first presses leave some fragmentation behind (the
    // renderer's threads and code come and go), a fixed amount: 200 presses
    // must peak no higher than 50 presses, give or take what the load on the
    // machine shifts. A leak as small as 0.35 MB a press would show.
    auto presses = [](int count) {
        std::string keys;
        for (int i = 1; i <= count; ++i) keys += " --key " + std::to_string(i * 100) + ":F1";
        return keys;
    };
    const long few = peakMemoryKb("--fps 10 --until 20500" + presses(50));
    const long many = peakMemoryKb("--fps 10 --until 20500" + presses(200));
    ASSERT_GT(few, 0) << "needs /usr/bin/time";
    ASSERT_GT(many, 0);
    EXPECT_LE(many, few + 50 * 1024) << "peak " << many / 1024 << " MB after 200 presses of F1, " << few / 1024
                                     << " MB after 50";
}
