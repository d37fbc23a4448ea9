// The live music clock on SDL's dummy audio driver (real-time pacing, no
// sound card): monotonic and smooth at a steady frame rate, and still running
// when no device opens; and on a private PulseAudio server with a null sink
// that is killed and started again, or whose only sink goes away for a while
// or for good, in the middle of a song.
#include "platform/platform.h"
#include "platform/music_test_song.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double before, after;   // wall ms since play around the call
    int songMs;
};

// Polls the song's time every `periodMs` for `durationMs` and at least
// `minPolls` times, like a frame loop.
std::vector<Sample> pollSong(plat::Song song, Clock::time_point start, double periodMs, double durationMs,
                             std::size_t minPolls = 0)
{
    std::vector<Sample> out;
    auto next = Clock::now();
    for (;;) {
        std::this_thread::sleep_until(next);
        const double before = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const int t = plat::musicGetTime(song);
        const double after = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        out.push_back({before, after, t});
        if (after >= durationMs && out.size() >= minPolls) break;
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
    const int first = plat::musicGetTime(song);
    const double firstAfter = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    EXPECT_LE(first, firstAfter + 1);

    // 90 polls however late the machine wakes this thread.
    const std::vector<Sample> s = pollSong(song, start, 1000.0 / 60.0, 1500.0, 90);
    int worst = 0;
    std::vector<double> misses;
    std::vector<int> deltas;
    std::vector<double> wallDeltas;
    for (std::size_t i = 1; i < s.size(); ++i) {
        ASSERT_GE(s[i].songMs, s[i - 1].songMs) << "time went back at poll " << i;
        // Never ahead of the wall: the song cannot be heard before it is played.
        ASSERT_LE(s[i].songMs, s[i].after + 1) << "ahead of the wall at poll " << i;
        // Past the device's start-up latency the song advances with the wall.
        if (s[i - 1].songMs == 0) continue;
        // The clock was read somewhere inside each bracket of wall time.
        const int delta = s[i].songMs - s[i - 1].songMs;
        const double shortest = s[i].before - s[i - 1].after;
        const double longest = s[i].after - s[i - 1].before;
        const double miss = std::max({0.0, shortest - delta, delta - longest});
        worst = std::max(worst, static_cast<int>(std::ceil(miss)));
        misses.push_back(miss);
        deltas.push_back(delta);
        wallDeltas.push_back(s[i].after - s[i - 1].after);
    }
    ASSERT_GT(deltas.size(), 45u) << "the song did not start within " << s.back().after << " ms";
    const auto [lo, hi] = std::minmax_element(deltas.begin(), deltas.end());
    const auto [wlo, whi] = std::minmax_element(wallDeltas.begin(), wallDeltas.end());
    std::nth_element(misses.begin(), misses.begin() + misses.size() / 2, misses.end());
    const double medianMiss = misses[misses.size() / 2];
    std::printf("live clock: %zu frames, song deltas %d..%d ms, wall deltas %.1f..%.1f ms, "
                "off the wall: median %.2f ms, worst %d ms\n",
                deltas.size(), *lo, *hi, *wlo, *whi, medianMiss, worst);
    // Smooth: the clock moves with the wall between frames, not in the 23 ms
    // steps of whole device buffers. A loaded machine holding up the audio
    // thread disturbs single frames, which the easing works off gradually;
    // the median frame stays on the wall's step whatever the load, as the
    // main thread's own delays are inside each bracket.
    EXPECT_LE(medianMiss, 3.0) << "worst deviation " << worst << " ms";
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
    const Clock::time_point againStart = Clock::now();
    plat::musicPlaySong(again);
    // It plays: its time moves on, and never ahead of the wall since play.
    std::vector<Sample> t = pollSong(again, againStart, 10.0, 300.0);
    while (t.back().songMs == 0 && t.back().after < 10000.0) {
        const std::vector<Sample> more = pollSong(again, againStart, 10.0, t.back().after + 100.0);
        t.insert(t.end(), more.begin(), more.end());
    }
    EXPECT_GT(t.back().songMs, 0);
    for (const Sample& x : t) ASSERT_LE(x.songMs, x.after + 1);
}

// A PulseAudio server of our own with one null sink, reached through a
// socket in a temporary folder; it works for root as for anyone else. A
// fresh null sink takes its first stream in one block of 2 s, as no sound
// card does: a silent keeper stream takes that block before the server is
// offered under the path the demo looks at.
class PulseServer {
public:
    explicit PulseServer(const std::string& dir) : dir_(dir), socket_(dir + "/native") {}
    ~PulseServer() { kill(); }

    static bool installed()
    {
        return std::system("(command -v pulseaudio && command -v pactl && command -v pacat && command -v parec) >/dev/null") == 0;
    }

    bool start()
    {
        const std::string warming = socket_ + ".new";
        server_ = spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                         "--disable-shm=yes", "-L", "module-null-sink sink_name=null", "-L",
                         "module-native-protocol-unix auth-anonymous=1 socket=" + warming});
        bool up = false;
        for (int i = 0; i < 100 && !up; ++i) {
            up = std::system(("pactl --server=unix:" + warming + " info >/dev/null 2>&1").c_str()) == 0;
            if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!up) return false;
        keeper_ = spawn({"pacat", "--server=unix:" + warming, "-p", "--raw", "--latency-msec=20", "/dev/zero"});
        for (int i = 0; i < 100; ++i) {
            if (sinkLatencyUs(warming) < 100000) return std::rename(warming.c_str(), socket_.c_str()) == 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    void kill()
    {
        for (pid_t* pid : {&keeper_, &server_}) {
            if (*pid <= 0) continue;
            ::kill(*pid, SIGKILL);
            waitpid(*pid, nullptr, 0);
            *pid = -1;
        }
        std::remove(socket_.c_str());
    }
    std::string server() const { return "unix:" + socket_; }

    // Takes the only sink away, as a desktop does when the headphones leave,
    // or brings one back (with a keeper stream, as at start).
    bool unloadSink() const
    {
        return std::system(("pactl --server=" + server() + " unload-module module-null-sink").c_str()) == 0;
    }
    bool loadSink()
    {
        if (std::system(("pactl --server=" + server() + " load-module module-null-sink sink_name=null >/dev/null")
                            .c_str()) != 0)
            return false;
        if (keeper_ > 0) {   // it went with its sink
            ::kill(keeper_, SIGKILL);
            waitpid(keeper_, nullptr, 0);
        }
        keeper_ = spawn({"pacat", "--server=" + server(), "-p", "--raw", "--latency-msec=20", "/dev/zero"});
        return true;
    }

    // Loudest sample heard on the null sink over `ms` milliseconds.
    int peakHeard(int ms) const
    {
        const std::string command = "parec --server=" + server() +
                                    " -d null.monitor --raw --format=s16le --rate=44100 --channels=2 "
                                    "--latency-msec=20 2>/dev/null";
        std::FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return -1;
        std::vector<std::int16_t> samples(static_cast<std::size_t>(44100 * 2 * ms / 1000));
        const std::size_t got = std::fread(samples.data(), sizeof(std::int16_t), samples.size(), pipe);
        pclose(pipe);
        int peak = 0;
        for (std::size_t i = 0; i < got; ++i) peak = std::max(peak, std::abs(int(samples[i])));
        return got == samples.size() ? peak : -1;
    }

private:
    pid_t spawn(const std::vector<std::string>& args) const
    {
        const pid_t pid = fork();
        if (pid != 0) return pid;
        setenv("HOME", dir_.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        setenv("PULSE_RUNTIME_PATH", dir_.c_str(), 1);
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    // The largest sink latency of the streams on the server (-1 unknown: huge).
    static long sinkLatencyUs(const std::string& socket)
    {
        std::FILE* pipe = popen(("pactl --server=unix:" + socket + " list sink-inputs 2>/dev/null").c_str(), "r");
        if (!pipe) return 1L << 40;
        long worst = -1;
        char line[512];
        while (std::fgets(line, sizeof line, pipe)) {
            long us = 0;
            if (std::sscanf(line, " Sink Latency: %ld usec", &us) == 1) worst = std::max(worst, us);
        }
        pclose(pipe);
        return worst < 0 ? 1L << 40 : worst;
    }

    std::string dir_, socket_;
    pid_t server_ = -1, keeper_ = -1;
};

// The clock through a loss: monotonic, each step within `tolerance` ms of the
// wall's, and a steady distance behind the wall, over [fromMs, toMs].
void expectClockFollowsTheWall(const std::vector<Sample>& s, double fromMs, double toMs, const char* what)
{
    int worst = 0;
    double lagMin = 1e9, lagMax = -1e9;
    for (std::size_t i = 1; i < s.size(); ++i) {
        ASSERT_GE(s[i].songMs, s[i - 1].songMs) << what << ": time went back at poll " << i;
        if (s[i - 1].after < fromMs || s[i].before > toMs) continue;
        const int delta = s[i].songMs - s[i - 1].songMs;
        const double shortest = s[i].before - s[i - 1].after;
        const double longest = s[i].after - s[i - 1].before;
        worst = std::max(worst, static_cast<int>(std::ceil(std::max({0.0, shortest - delta, delta - longest}))));
        lagMin = std::min(lagMin, s[i].after - s[i].songMs);
        lagMax = std::max(lagMax, s[i].before - s[i].songMs);
    }
    std::printf("%s: clock steps off the wall's by at most %d ms, the clock %.0f..%.0f ms behind the wall\n", what,
                worst, lagMin, lagMax);
    EXPECT_LE(worst, 30) << what;
    EXPECT_LT(lagMax - lagMin, 100.0) << what;
}

// The only sink goes while the song plays and the server stays: SDL's
// PulseAudio backend must not be started again while there is no sink (it
// crashes on the missing default sink name), nor, under SDL 3, be running when
// the sink goes. With `returnAtMs` > 0 a sink comes back then and the song
// must be heard again; otherwise the song plays on silently to the end of the
// poll and closes cleanly.
void playThroughSinkLoss(const std::string& songPath, const std::string& dir, double returnAtMs)
{
    if (!PulseServer::installed()) GTEST_SKIP() << "pulseaudio or its utilities (pulseaudio-utils) are not installed";
    PulseServer pulse(dir);
    ASSERT_TRUE(pulse.start()) << "the PulseAudio server did not start";
    setenv("PULSE_SERVER", pulse.server().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    ASSERT_TRUE(plat::musicInit(44100, 64, 0));
    const plat::Song song = plat::musicLoadSong(songPath.c_str());
    const Clock::time_point start = Clock::now();
    plat::musicPlaySong(song);

    const auto at = [&](double ms) { return start + std::chrono::microseconds(static_cast<long>(ms * 1000)); };
    const auto sincePlay = [&] { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); };
    int peakBefore = 0;
    bool unloaded = false, reloaded = false;
    double heardAgainMs = -1.0;
    std::thread user([&] {
        std::this_thread::sleep_until(at(300));
        peakBefore = pulse.peakHeard(300);
        std::this_thread::sleep_until(at(1000));
        unloaded = pulse.unloadSink();
        if (returnAtMs <= 0) return;
        std::this_thread::sleep_until(at(returnAtMs));
        reloaded = pulse.loadSink();
        while (reloaded && Clock::now() < at(returnAtMs + 4000)) {
            const double from = sincePlay();
            if (pulse.peakHeard(200) > 4000) {
                heardAgainMs = from;
                break;
            }
        }
    });
    const double pollMs = returnAtMs > 0 ? returnAtMs + 4500 : 4500;
    const std::vector<Sample> s = pollSong(song, start, 1000.0 / 60.0, pollMs);
    user.join();

    EXPECT_GT(peakBefore, 4000) << "the song was not heard before the sink went away";
    ASSERT_TRUE(unloaded) << "the sink could not be unloaded";
    if (returnAtMs > 0) {
        ASSERT_TRUE(reloaded) << "the sink could not be loaded again";
        std::printf("sink back at %.0f ms, song heard again at %.0f ms\n", returnAtMs, heardAgainMs);
        EXPECT_GT(heardAgainMs, 0.0) << "the song was not heard again after its sink came back";
        // Silent and on the wall's pace while the sink is away.
        expectClockFollowsTheWall(s, 900.0, returnAtMs, "sink away");
    } else {
        expectClockFollowsTheWall(s, 900.0, pollMs, "sink gone for good");
    }
    plat::musicClose();
    unsetenv("PULSE_SERVER");
}

TEST_F(LiveMusic, SoundComesBackWhenTheOnlySinkDoes)
{
    playThroughSinkLoss(songPath_, dir_.file(""), 3000.0);
}

TEST_F(LiveMusic, SongPlaysOnSilentlyWhenTheOnlySinkGoesForGood)
{
    playThroughSinkLoss(songPath_, dir_.file(""), 0.0);
}

TEST_F(LiveMusic, SoundComesBackWhenTheServerDoesAndTheClockRunsOn)
{
    if (!PulseServer::installed()) GTEST_SKIP() << "pulseaudio or its utilities (pulseaudio-utils) are not installed";
    PulseServer pulse(dir_.file(""));
    ASSERT_TRUE(pulse.start()) << "the PulseAudio server did not start";
    setenv("PULSE_SERVER", pulse.server().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    ASSERT_TRUE(plat::musicInit(44100, 64, 0));
    const plat::Song song = plat::musicLoadSong(songPath_.c_str());
    const Clock::time_point start = Clock::now();
    plat::musicPlaySong(song);

    // Meanwhile, like a user at the machine: listen, end the server at 1 s,
    // start it again at once, offered from 3 s on, and listen until the song
    // is heard again.
    const auto at = [&](double ms) { return start + std::chrono::microseconds(static_cast<long>(ms * 1000)); };
    const auto sincePlay = [&] { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); };
    int peakBefore = 0;
    double backMs = -1.0, heardAgainMs = -1.0;
    std::thread user([&] {
        std::this_thread::sleep_until(at(300));
        peakBefore = pulse.peakHeard(300);
        std::this_thread::sleep_until(at(1000));
        pulse.kill();
        if (!pulse.start()) return;
        backMs = sincePlay();
        while (Clock::now() < at(backMs + 3000)) {
            const double from = sincePlay();
            if (pulse.peakHeard(200) > 4000) {
                heardAgainMs = from;
                break;
            }
        }
    });
    const std::vector<Sample> s = pollSong(song, start, 1000.0 / 60.0, 5000.0);
    user.join();

    EXPECT_GT(peakBefore, 4000) << "the song was not heard before the server went away";
    ASSERT_GT(backMs, 0.0) << "the PulseAudio server did not start again";
    EXPECT_GT(heardAgainMs, 0.0) << "the song was not heard again";
    EXPECT_LT(heardAgainMs - backMs, 2000.0) << "the song came back later than 2 s after its server";

    // The clock neither jumps nor stands still through the loss and the
    // reopening: each step follows the wall's, and from just before the loss
    // until the new device has played a while it keeps its distance behind
    // the wall (a stall of the song's time would add up). Later it follows
    // the new device's own pace, as it followed the first device's at start.
    int worst = 0;
    double lagMin = 1e9, lagMax = -1e9;
    for (std::size_t i = 1; i < s.size(); ++i) {
        ASSERT_GE(s[i].songMs, s[i - 1].songMs) << "time went back at poll " << i;
        if (s[i - 1].after < 900.0 || s[i].before > heardAgainMs + 300.0) continue;
        const int delta = s[i].songMs - s[i - 1].songMs;
        const double shortest = s[i].before - s[i - 1].after;
        const double longest = s[i].after - s[i - 1].before;
        worst = std::max(worst, static_cast<int>(std::ceil(std::max({0.0, shortest - delta, delta - longest}))));
        lagMin = std::min(lagMin, s[i].after - s[i].songMs);
        lagMax = std::max(lagMax, s[i].before - s[i].songMs);
    }
    std::printf("server restart: back at %.0f ms, heard again at %.0f ms; clock steps off the wall's by at "
                "most %d ms, the clock %.0f..%.0f ms behind the wall\n",
                backMs, heardAgainMs, worst, lagMin, lagMax);
    EXPECT_LE(worst, 30);
    EXPECT_LT(lagMax - lagMin, 100.0);
    if (HasFailure()) {
        std::printf("wall ms:lag ms every 100 ms:");
        double next = 0.0;
        for (const Sample& x : s) {
            if (x.after < next) continue;
            std::printf(" %.0f:%.0f", x.after, x.after - x.songMs);
            next = x.after + 100.0;
        }
        std::printf("\n");
    }

    plat::musicClose();
    unsetenv("PULSE_SERVER");
}

} // namespace
