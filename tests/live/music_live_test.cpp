// The live music clock on SDL's dummy audio driver (real-time pacing, no
// sound card): monotonic and smooth at a steady frame rate, and still running
// when no device opens.
#include "platform/platform.h"
#include "platform/music_test_song.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double before, after;   // wall ms since play around the call
    int songMs;
};

// Polls the song's time every `periodMs` for `durationMs`, like a frame loop.
std::vector<Sample> pollSong(plat::Song song, Clock::time_point start, double periodMs, double durationMs)
{
    std::vector<Sample> out;
    auto next = Clock::now();
    for (;;) {
        std::this_thread::sleep_until(next);
        const double before = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const int t = plat::musicGetTime(song);
        const double after = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        out.push_back({before, after, t});
        if (after >= durationMs) break;
        next += std::chrono::microseconds(static_cast<long>(periodMs * 1000));
    }
    return out;
}

class LiveMusic : public ::testing::Test {
protected:
    void SetUp() override { songPath_ = dir_.write("test.mod", musictest::makeTestSong()); }
    void TearDown() override
    {
        plat::musicClose();
        unsetenv("SDL_AUDIODRIVER");
    }
    musictest::TempDir dir_;
    std::string songPath_;
};

TEST_F(LiveMusic, DummyDeviceClockIsMonotonicSmoothAndOnPace)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(plat::musicInit(44100, 64, 0));
    const plat::Song song = plat::musicLoadSong(songPath_.c_str());
    ASSERT_NE(song, 0);
    const Clock::time_point start = Clock::now();
    plat::musicPlaySong(song);
    EXPECT_LT(plat::musicGetTime(song), 30);

    const std::vector<Sample> s = pollSong(song, start, 1000.0 / 60.0, 1500.0);
    int worst = 0;
    std::size_t rough = 0;
    std::vector<int> deltas;
    std::vector<double> wallDeltas;
    double offSum = 0.0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        ASSERT_GE(s[i].songMs, s[i - 1].songMs) << "time went back at poll " << i;
        // Past the device's start-up latency the song advances with the wall.
        if (s[i - 1].songMs == 0) continue;
        // The clock was read somewhere inside each bracket of wall time.
        const int delta = s[i].songMs - s[i - 1].songMs;
        const double wallDelta = s[i].after - s[i - 1].after;
        const double shortest = s[i].before - s[i - 1].after;
        const double longest = s[i].after - s[i - 1].before;
        const double miss = std::max({0.0, shortest - delta, delta - longest});
        const int off = static_cast<int>(std::ceil(miss));
        worst = std::max(worst, off);
        if (off > 3) ++rough;
        offSum += miss;
        deltas.push_back(delta);
        wallDeltas.push_back(wallDelta);
    }
    ASSERT_GT(deltas.size(), 60u);
    // A loaded machine may hold up the audio thread now and then; allow a few.
    EXPECT_LE(rough, deltas.size() / 10) << "worst deviation " << worst << " ms";
    const auto [lo, hi] = std::minmax_element(deltas.begin(), deltas.end());
    const auto [wlo, whi] = std::minmax_element(wallDeltas.begin(), wallDeltas.end());
    std::printf("live clock: %zu frames, song deltas %d..%d ms, wall deltas %.1f..%.1f ms, "
                "off the wall: mean %.2f ms, worst %d ms\n",
                deltas.size(), *lo, *hi, *wlo, *whi, offSum / double(deltas.size()), worst);

    // Behind the wall by the buffered latency, plus whatever the dummy
    // device's own pacing loses (a few per cent on a busy machine).
    const Sample& last = s.back();
    EXPECT_LE(last.songMs, last.after + 5);
    EXPECT_GE(last.songMs, last.before * 0.9 - 50);
    EXPECT_GE(plat::musicGetChannelVU(0), 0.0f);
    EXPECT_LE(plat::musicGetChannelVU(0), 1.0f);
}

TEST_F(LiveMusic, NoDeviceMeansFailureButASilentRunningClock)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(plat::musicInit(44100, 64, 0));
    const plat::Song song = plat::musicLoadSong(songPath_.c_str());
    ASSERT_NE(song, 0);
    const Clock::time_point start = Clock::now();
    plat::musicPlaySong(song);
    const double playCost = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const std::vector<Sample> s = pollSong(song, start, 1000.0 / 60.0, 300.0);
    for (std::size_t i = 1; i < s.size(); ++i) ASSERT_GE(s[i].songMs, s[i - 1].songMs);
    // The silent clock is the wall clock since play.
    EXPECT_GE(s.back().songMs, s.back().before - playCost - 1);
    EXPECT_LE(s.back().songMs, s.back().after + 1);
    EXPECT_GT(plat::musicGetChannelVU(0), 0.0f);   // rendered on demand

    // Close and init again, now with a device: a new song plays.
    plat::musicClose();
    EXPECT_EQ(plat::musicGetTime(song), 0);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(plat::musicInit(44100, 64, 0));
    const plat::Song again = plat::musicLoadSong(songPath_.c_str());
    ASSERT_NE(again, 0);
    plat::musicPlaySong(again);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int t = plat::musicGetTime(again);
    EXPECT_GT(t, 150);
    EXPECT_LT(t, 400);
}

} // namespace
