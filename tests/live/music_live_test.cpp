// The live music clock on SDL's dummy audio driver (real-time pacing, no
// sound card): monotonic and smooth at a steady frame rate, and still running
// when no device opens.
#include "platform/platform.h"
#include "platform/music_test_song.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double wallMs;   // since play
    int songMs;
};

// Polls the song's time every `periodMs` for `durationMs`, like a frame loop.
std::vector<Sample> pollSong(plat::Song song, Clock::time_point start, double periodMs, double durationMs)
{
    std::vector<Sample> out;
    auto next = Clock::now();
    for (;;) {
        std::this_thread::sleep_until(next);
        const int t = plat::musicGetTime(song);
        const double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        out.push_back({wall, t});
        if (wall >= durationMs) break;
        next += std::chrono::microseconds(static_cast<long>(periodMs * 1000));
    }
    return out;
}

class LiveMusic : public ::testing::Test {
protected:
    void SetUp() override { songPath_ = dir_.write("test.mod", musictest::makeTestMod()); }
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
        const int delta = s[i].songMs - s[i - 1].songMs;
        const double wallDelta = s[i].wallMs - s[i - 1].wallMs;
        const int off = static_cast<int>(std::abs(delta - wallDelta) + 0.5);
        worst = std::max(worst, off);
        if (off > 3) ++rough;
        offSum += std::abs(delta - wallDelta);
        deltas.push_back(delta);
        wallDeltas.push_back(wallDelta);
    }
    ASSERT_GT(deltas.size(), 60u);
    // A loaded machine may delay the audio thread now and then; allow a few.
    EXPECT_LE(rough, deltas.size() / 20) << "worst deviation " << worst << " ms";
    const auto [lo, hi] = std::minmax_element(deltas.begin(), deltas.end());
    const auto [wlo, whi] = std::minmax_element(wallDeltas.begin(), wallDeltas.end());
    std::printf("live clock: %zu frames, song deltas %d..%d ms, wall deltas %.1f..%.1f ms, "
                "song minus wall: mean %.2f ms, worst %d ms\n",
                deltas.size(), *lo, *hi, *wlo, *whi, offSum / double(deltas.size()), worst);

    // Behind the wall by no more than the buffered latency plus slack.
    const Sample& last = s.back();
    EXPECT_LE(last.songMs, last.wallMs + 5);
    EXPECT_GE(last.songMs, last.wallMs - 120);
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
    const std::vector<Sample> s = pollSong(song, start, 1000.0 / 60.0, 300.0);
    for (std::size_t i = 1; i < s.size(); ++i) ASSERT_GE(s[i].songMs, s[i - 1].songMs);
    EXPECT_NEAR(s.back().songMs, s.back().wallMs, 20.0);
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

TEST_F(LiveMusic, DamagedSongOnADeviceKeepsTime)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(plat::musicInit(44100, 64, 0));
    const plat::Song song = plat::musicLoadSong(dir_.write("bad.xm", {1, 2, 3, 4}).c_str());
    ASSERT_NE(song, 0);
    plat::musicPlaySong(song);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_GT(plat::musicGetTime(song), 150);
    EXPECT_EQ(plat::musicGetChannelVU(0), 0.0f);
}

} // namespace
