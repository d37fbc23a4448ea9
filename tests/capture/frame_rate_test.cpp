// The same motion at any frame rate: nordglow-capture at 30, 144 and 240
// frames a second shows what it shows at 60 where the motion is stepped: the
// intro's flash, the spark panel's shimmer, the tunnel losing its slices and
// the pentagram's flames; at 2 frames a second, where every frame takes some
// 30 steps, the tunnel's end and the flames still match. Captured small (160 x 120): the statistics are
// coarse and survive it. (The spray, too small at this size to tell apart,
// is compared step for step in the particle pools' tests.)
#include "capture/frame_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int Width = 160, Height = 120;  // a fifth of 800 x 600

// The intro's swing turns a frame-rate dependent overshoot past each end, so
// its flash, and the main part after it, come up to half a second earlier
// or later at other rates: main-part moments are chosen by song time, from
// frames saved every 25 ms around them.
constexpr long IntroFrom = 31200, IntroUntil = 32800;  // demo ms: the flash at any rate
constexpr long SparksFrom = 43000, SparksUntil = 43100; // demo ms, past the fade-in
constexpr long MainAt60 = 35117;                        // demo ms of song time 0 at 60 fps
constexpr long TunnelEnd = 54300;                       // song ms: 48 of 85 slices lost
constexpr long PentagramTimes[] = {59900, 61900, 63900};
constexpr long Spread = 50;  // means are taken over frames at t - 50, t, t + 50 ms of song time
constexpr long Around = 1000, Every = 25;

// A rectangle in 800 x 600 picture pixels, origin bottom-left (as glScissor).
struct Region {
    int x, y, w, h;
};
constexpr Region MainPanel{227, 16, 546, 571};
constexpr Region SidePanel2{27, 351, 100, 105};

struct Frame {
    long songMs = 0;
    bool main = false;
    FrameImage image;
};
struct Capture {
    std::map<long, Frame> frames;  // by demo ms presented
};

// The pixel rows [y0, y1) and columns [x0, x1) of a region, top row first.
struct Pixels {
    int x0, x1, y0, y1;
};
Pixels pixelsOf(const FrameImage& f, Region r)
{
    const double s = f.width / 800.0;
    auto at = [s](int v) { return static_cast<int>(std::lround(v * s)); };
    return {at(r.x), std::min(f.width, at(r.x + r.w)), std::max(0, f.height - at(r.y + r.h)), f.height - at(r.y)};
}

// Mean level 0..1 of the channels in `channels` (bit 0 red, 1 green, 2 blue) over a region.
double regionMean(const FrameImage& f, Region r, unsigned channels = 7)
{
    const Pixels p = pixelsOf(f, r);
    double sum = 0.0;
    long n = 0;
    for (int y = p.y0; y < p.y1; ++y) {
        for (int x = p.x0; x < p.x1; ++x) {
            for (int c = 0; c < 3; ++c) {
                if (!(channels & (1u << c))) continue;
                sum += f.rgb[(static_cast<std::size_t>(y) * f.width + x) * 3 + c];
                ++n;
            }
        }
    }
    return n ? sum / (255.0 * n) : 0.0;
}

bool sameRegion(const FrameImage& a, const FrameImage& b, Region r)
{
    const Pixels p = pixelsOf(a, r);
    for (int y = p.y0; y < p.y1; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * a.width * 3;
        if (!std::equal(a.rgb.begin() + row + p.x0 * 3, a.rgb.begin() + row + p.x1 * 3, b.rgb.begin() + row + p.x0 * 3))
            return false;
    }
    return true;
}

// The first main-part frame at or after song time t.
const FrameImage& frameAt(const Capture& c, long songMs)
{
    for (const auto& [demoMs, f] : c.frames) {
        if (f.main && f.songMs >= songMs) return f.image;
    }
    static const FrameImage none;
    ADD_FAILURE() << "no main-part frame at or after song time " << songMs;
    return none;
}

// The main-part frame whose song time lies nearest t, no further than `within` ms.
const Frame& frameNear(const Capture& c, long songMs, long within)
{
    const Frame* best = nullptr;
    for (const auto& [demoMs, f] : c.frames) {
        if (f.main && (!best || std::labs(f.songMs - songMs) < std::labs(best->songMs - songMs))) best = &f;
    }
    static const Frame none;
    if (!best || std::labs(best->songMs - songMs) > within) {
        ADD_FAILURE() << "no main-part frame within " << within << " ms of song time " << songMs;
        return none;
    }
    return *best;
}

double meanAround(const Capture& c, long songMs, Region r, unsigned channels = 7)
{
    return (regionMean(frameAt(c, songMs - Spread), r, channels) + regionMean(frameAt(c, songMs), r, channels) +
            regionMean(frameAt(c, songMs + Spread), r, channels)) / 3.0;
}

// Demo ms from the first white frame of the flash to the first frame after it that is not white.
double flashLength(const Capture& c)
{
    long firstWhite = -1;
    for (const auto& [t, f] : c.frames) {
        if (t < IntroFrom || t > IntroUntil || f.main) continue;
        const bool white = regionMean(f.image, Region{0, 0, 800, 600}) > 0.99;
        if (white && firstWhite < 0) firstWhite = t;
        if (!white && firstWhite >= 0) return static_cast<double>(t - firstWhite);
    }
    return -1.0;
}

// Share of the frames in the sparks' window whose spark panel differs from the frame before.
double sparkChangeShare(const Capture& c)
{
    const FrameImage* previous = nullptr;
    int frames = 0, changed = 0;
    for (const auto& [t, f] : c.frames) {
        if (t < SparksFrom || t >= SparksUntil) continue;
        if (previous) {
            ++frames;
            changed += !sameRegion(*previous, f.image, SidePanel2);
        }
        previous = &f.image;
    }
    return frames ? static_cast<double>(changed) / frames : -1.0;
}

Capture captureAt(int fps)
{
    const fs::path out = fs::temp_directory_path() / ("ng-frame-rate-" + std::to_string(fps) + "-" + std::to_string(getpid()));
    fs::remove_all(out);
    fs::create_directories(out);
    std::string args = "--fps " + std::to_string(fps) + " --size " + std::to_string(Width) + "x" + std::to_string(Height) +
                       " --out " + out.string();
    // Every frame of the flash's and the sparks' windows; frames every 25 ms
    // around each main-part moment.
    for (long t = IntroFrom; t <= IntroUntil; ++t) args += " --at " + std::to_string(t);
    for (long t = SparksFrom; t < SparksUntil; ++t) args += " --at " + std::to_string(t);
    for (long songMs : {TunnelEnd, PentagramTimes[0], PentagramTimes[1], PentagramTimes[2]}) {
        for (long t = MainAt60 + songMs - Around; t <= MainAt60 + songMs + Around; t += Every)
            args += " --at " + std::to_string(t);
    }
    // A slow clock's frames lie far apart: every one from the tunnel's end on
    if (fps < 10) args += " --every 1 --from " + std::to_string(MainAt60 + TunnelEnd - 2 * Around);
    // (whose main part starts up to five seconds later).
    args += " --until " + std::to_string(MainAt60 + PentagramTimes[2] + Around + (fps < 10 ? 5000 : 0));
    const CaptureRun run = runCaptureFrames(args);
    EXPECT_EQ(run.exitCode, 0);
    Capture c;
    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line)) {
        char path[4096] = {}, phase[16] = {};
        long demoMs = 0, songMs = 0;
        if (std::sscanf(line.c_str(), "%4095s demo_ms=%ld phase=%15s song_ms=%ld", path, &demoMs, phase, &songMs) != 4)
            continue;
        Frame& f = c.frames[demoMs];
        f.songMs = songMs;
        f.main = std::string(phase) == "main";
        EXPECT_TRUE(readPngImage(path, &f.image)) << path;
    }
    fs::remove_all(out);
    return c;
}

} // namespace

TEST(Capture, FromTwoTo240FramesASecondShowTheMotionOf60)
{
    const Capture at60 = captureAt(60);
    ASSERT_FALSE(at60.frames.empty());
    const double flash60 = flashLength(at60);
    EXPECT_NEAR(flash60, 150.0, 1.0) << "nine white frames at 60 fps";
    EXPECT_EQ(sparkChangeShare(at60), 1.0) << "one step, new sparks, every frame";

    for (int fps : {30, 144, 240}) {
        const Capture c = captureAt(fps);
        ASSERT_FALSE(c.frames.empty()) << fps;
        const double frameMs = 1000.0 / fps;

        // The flash lasts ten steps, give or take a frame of either rate.
        const double flash = flashLength(c);
        std::printf("%3d fps: flash %.0f ms (60 fps: %.0f)\n", fps, flash, flash60);
        EXPECT_NEAR(flash, flash60, frameMs + 1000.0 / 60.0 + 1.0) << fps << " fps";

        // Sparks are placed anew on each step, not on each frame.
        const double share = sparkChangeShare(c);
        std::printf("%3d fps: spark panel changed in %.2f of the frames (steps per frame %.2f)\n", fps, share,
                    std::min(1.0, 60.0 / fps));
        EXPECT_NEAR(share, std::min(1.0, 60.0 / fps), 0.1) << fps << " fps";

        // The tunnel's end and the flames: the main panel as bright as at 60 fps.
        for (long t : {TunnelEnd, PentagramTimes[0], PentagramTimes[1], PentagramTimes[2]}) {
            const double m = meanAround(c, t, MainPanel), m60 = meanAround(at60, t, MainPanel);
            std::printf("%3d fps: main panel at song %ld ms %.3f (60 fps: %.3f, %+.1f %%)\n", fps, t, m, m60,
                        100.0 * (m - m60) / m60);
            EXPECT_NEAR(m, m60, 0.1 * m60) << fps << " fps at " << t << " ms";
        }
    }

    // Two frames a second: compared at the slow frames' own song times, three
    // frames (a second) around each moment; the tunnel's a little earlier, so
    // that none of them falls past the tunnel's scene at 55 s.
    const Capture slow = captureAt(2);
    for (long t : {TunnelEnd - 250, PentagramTimes[0], PentagramTimes[1], PentagramTimes[2]}) {
        const long at = frameNear(slow, t, 250).songMs;
        double m = 0.0, m60 = 0.0;
        for (long songMs : {at - 500, at, at + 500}) {
            m += regionMean(frameNear(slow, songMs, 1).image, MainPanel) / 3.0;
            m60 += regionMean(frameNear(at60, songMs, Every / 2 + 1000 / 60).image, MainPanel) / 3.0;
        }
        std::printf("  2 fps: main panel at song %ld ms %.3f (60 fps: %.3f, %+.1f %%)\n", at, m, m60, 100.0 * (m - m60) / m60);
        EXPECT_NEAR(m, m60, 0.1 * m60) << "2 fps at " << at << " ms";
    }
}

namespace {

// A continuous motion seen frame by frame: a window of demo time and the
// picture region it moves in.
struct Motion {
    const char* name;
    long fromMs;  // demo ms
    Region region;
};
constexpr long MotionWindow = 200;  // ms captured from each start
constexpr Motion Motions[] = {
    {"spray", 130000, {530, 410, 140, 180}},       // the column above the basin
    {"reflection", 130000, {520, 20, 130, 140}},   // the spray in the floor
    {"flames", 97000, MainPanel},
    {"tunnel's slices", 88800, MainPanel},         // the tube losing its far end
    {"scroller", 160000, MainPanel},
};

// Mean absolute change (0..255) per pixel and channel of a region between two frames.
double regionChange(const FrameImage& a, const FrameImage& b, Region r)
{
    const Pixels p = pixelsOf(a, r);
    double sum = 0.0;
    for (int y = p.y0; y < p.y1; ++y) {
        for (int x = p.x0; x < p.x1; ++x) {
            for (int c = 0; c < 3; ++c) {
                const std::size_t i = (static_cast<std::size_t>(y) * a.width + x) * 3 + c;
                sum += std::abs(static_cast<int>(a.rgb[i]) - static_cast<int>(b.rgb[i]));
            }
        }
    }
    return sum / (3.0 * (p.x1 - p.x0) * (p.y1 - p.y0));
}

// Every frame of each motion's window at `fps`, by demo ms.
std::map<long, FrameImage> captureMotions(int fps)
{
    const fs::path out = fs::temp_directory_path() / ("ng-judder-" + std::to_string(fps) + "-" + std::to_string(getpid()));
    fs::remove_all(out);
    fs::create_directories(out);
    std::string args = "--fps " + std::to_string(fps) + " --size 320x240 --out " + out.string();
    long until = 0;
    for (const Motion& m : Motions) {
        for (long t = m.fromMs; t <= m.fromMs + MotionWindow; ++t) args += " --at " + std::to_string(t);
        until = std::max(until, m.fromMs + MotionWindow);
    }
    args += " --until " + std::to_string(until + 50);
    const CaptureRun run = runCaptureFrames(args);
    EXPECT_EQ(run.exitCode, 0);
    std::map<long, FrameImage> frames;
    for (const auto& [demoMs, path] : run.framePaths) EXPECT_TRUE(readPngImage(path, &frames[demoMs])) << path;
    fs::remove_all(out);
    return frames;
}

} // namespace

// Smooth motion at a fast refresh rate: each frame's change in a moving
// region is in proportion to its time step (the steps of 144 fps alternate
// 6 and 7 ms), so that the change per millisecond is steady from frame to
// frame. A motion drawn at the wrong place between steps shows up as a
// change that swings from frame to frame: the spray's once swung by 0.75 of
// its mean at 144 fps and by 1.1 at 240, its reflection by 0.43 at 144, where
// the steady motions swing by 0.25 or less (the scroller's text, a pixel at
// a time, the most). The median swing leaves out the few frames where the
// fountain's floor flashes with the music.
TEST(Capture, ContinuousMotionsMoveInProportionToEachFramesTimeStep)
{
    constexpr double MaxSwing = 0.3;  // median change between consecutive rates, over their mean
    for (int fps : {144, 240}) {
        const std::map<long, FrameImage> frames = captureMotions(fps);
        for (const Motion& m : Motions) {
            std::vector<double> rates;  // change per ms, frame by frame
            const FrameImage* previous = nullptr;
            long previousMs = 0;
            for (const auto& [t, f] : frames) {
                if (t < m.fromMs || t > m.fromMs + MotionWindow) continue;
                if (previous) rates.push_back(regionChange(*previous, f, m.region) / static_cast<double>(t - previousMs));
                previous = &f;
                previousMs = t;
            }
            ASSERT_GT(rates.size(), 20u) << m.name << " at " << fps << " fps";
            double mean = 0.0;
            for (double r : rates) mean += r / static_cast<double>(rates.size());
            std::vector<double> swings;
            for (std::size_t i = 1; i < rates.size(); ++i) swings.push_back(std::abs(rates[i] - rates[i - 1]));
            std::nth_element(swings.begin(), swings.begin() + swings.size() / 2, swings.end());
            const double swing = swings[swings.size() / 2] / mean;
            std::printf("%3d fps: %-16s change %.3f per ms, median swing %.2f\n", fps, m.name, mean, swing);
            EXPECT_GT(mean, 0.01) << m.name << " at " << fps << " fps: nothing moves";
            EXPECT_LE(swing, MaxSwing) << m.name << " at " << fps << " fps";
        }
    }
}
