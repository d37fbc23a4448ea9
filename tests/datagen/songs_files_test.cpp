// The generated songs as the demo plays them: lengths, section turns, meter levels and mix.
#include "datagen/datagen.h"
#include "datagen/songs/songs.h"
#include "gl_fixture.h"
#include "songs_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <unistd.h>

namespace {

std::string soundPath(const char* name) { return testDataRoot() + "/Data/Sounds/" + name; }

std::unique_ptr<openmpt::module> loadSong(const char* name)
{
    const auto bytes = songtest::readFile(soundPath(name));
    if (bytes.empty()) return nullptr;
    return songtest::loadModule(bytes);
}

// Standard output of a command, or "" when it cannot run.
std::string commandOutput(const std::string& command)
{
    std::string out;
    if (std::FILE* p = popen((command + " 2>&1").c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

// Seconds from "Duration...: 03:00.000" (openmpt123 --info) or "Duration     : 3min00s" (xmp).
double openmpt123Duration(const std::string& path)
{
    std::smatch m;
    const std::string out = commandOutput("openmpt123 --info '" + path + "'");
    if (!std::regex_search(out, m, std::regex(R"(Duration\.*: (\d+):(\d+\.\d+))"))) return -1;
    return std::stod(m[1]) * 60 + std::stod(m[2]);
}

double xmpDuration(const std::string& path)
{
    std::smatch m;
    const std::string out = commandOutput("xmp --load-only '" + path + "'");
    if (!std::regex_search(out, m, std::regex(R"(Duration\s*: (\d+)min(\d+)s)"))) return -1;
    return std::stod(m[1]) * 60 + std::stod(m[2]);
}

struct Mix {
    double peak = 0;
    double rmsDb = -300;
};

// Peak over the whole song and RMS over [from, to) seconds, rendered as openmpt123 does by default.
Mix measureMix(openmpt::module& mod, double from, double to)
{
    Mix mix;
    std::vector<float> buf(2 * 4800);
    double t = 0, sum = 0;
    long count = 0;
    mod.set_position_seconds(0);
    for (;;) {
        const std::size_t frames = mod.read_interleaved_stereo(48000, 4800, buf.data());
        if (frames == 0) break;
        for (std::size_t i = 0; i < frames; ++i) {
            const double time = t + static_cast<double>(i) / 48000;
            for (int c = 0; c < 2; ++c) {
                const double v = buf[2 * i + static_cast<std::size_t>(c)];
                mix.peak = std::max(mix.peak, std::fabs(v));
                if (time >= from && time < to) {
                    sum += v * v;
                    ++count;
                }
            }
        }
        t += static_cast<double>(frames) / 48000;
    }
    if (count) mix.rmsDb = 10 * std::log10(std::max(sum / static_cast<double>(count), 1e-24));
    return mix;
}

// The main part's scene changes, in seconds of song time.
const double SceneTimes[] = {10.0, 26.5, 42.0, 55.0, 70.0, 82.5, 120.0};

} // namespace

TEST(SongsFiles, BothSongsAreGeneratedAndTheBytesAreTheSameEveryRun)
{
    const auto dir = std::filesystem::temp_directory_path() / ("ng_songs_" + std::to_string(::getpid()));
    ASSERT_TRUE(datagen::writeSongs((dir / "a").string()));
    ASSERT_TRUE(datagen::writeSongs((dir / "b").string()));
    for (const char* name : {"zerevovar.mod", "Ruzezu.xm"}) {
        const auto a = songtest::readFile((dir / "a" / "Sounds" / name).string());
        const auto b = songtest::readFile((dir / "b" / "Sounds" / name).string());
        ASSERT_FALSE(a.empty()) << name;
        EXPECT_EQ(a, b) << name;
        EXPECT_EQ(a, songtest::readFile(soundPath(name))) << name << " in the data folder is not what the generator writes";
    }
    std::filesystem::remove_all(dir);
}

TEST(SongsFiles, DurationsAgreeBetweenPlayers)
{
    struct Expect {
        const char* name;
        double low, high;
    };
    for (const Expect& e : {Expect{"zerevovar.mod", 36.0, 44.0}, Expect{"Ruzezu.xm", 170.0, 190.0}}) {
        auto mod = loadSong(e.name);
        ASSERT_TRUE(mod) << soundPath(e.name) << " is missing";
        const double seconds = mod->get_duration_seconds();
        EXPECT_GE(seconds, e.low) << e.name;
        EXPECT_LE(seconds, e.high) << e.name;
        const double byOpenmpt123 = openmpt123Duration(soundPath(e.name));
        const double byXmp = xmpDuration(soundPath(e.name));
        if (byOpenmpt123 < 0 || byXmp < 0) GTEST_SKIP() << "openmpt123 or xmp is not installed";
        EXPECT_NEAR(byOpenmpt123, seconds, 1.0) << e.name;
        EXPECT_NEAR(byXmp, seconds, 1.0) << e.name;
    }
}

TEST(SongsFiles, MainSongSectionsStartOnTheSceneChanges)
{
    auto mod = loadSong("Ruzezu.xm");
    ASSERT_TRUE(mod);
    ASSERT_GE(mod->get_num_channels(), 8);
    std::vector<double> orderStarts;
    for (int o = 0; o < mod->get_num_orders(); ++o) orderStarts.push_back(mod->set_position_order_row(o, 0));

    datagen::ModuleSong song;
    std::vector<datagen::SongSectionMark> sections;
    std::string error;
    ASSERT_TRUE(datagen::makeMainSong(song, sections, error)) << error;
    ASSERT_EQ(sections.size(), std::size(SceneTimes) + 1);
    // Section 0 is the fade-in; each later one starts at its scene's time, to the millisecond.
    for (std::size_t i = 0; i < std::size(SceneTimes); ++i) {
        const int order = sections[i + 1].order;
        ASSERT_LT(order, static_cast<int>(orderStarts.size()));
        EXPECT_NEAR(orderStarts[static_cast<std::size_t>(order)], SceneTimes[i], 0.001) << sections[i + 1].name;
    }
    // And the song goes on for the end scroller well after the last scene change.
    EXPECT_GE(mod->get_duration_seconds() - 120.0, 40.0);
}

TEST(SongsFiles, IntroMarksTheCreditLinesAndTheFlash)
{
    auto mod = loadSong("zerevovar.mod");
    ASSERT_TRUE(mod);
    EXPECT_EQ(mod->get_num_channels(), 4);
    // The first credit line at 6.3 s, then one every 3.6 s (two bars); the flash 31.5 s in.
    EXPECT_NEAR(mod->set_position_order_row(1, 0), 6.3, 0.05);
    const double line = mod->set_position_order_row(1, 32) - mod->set_position_order_row(1, 0);
    EXPECT_NEAR(line, 3.6, 0.02);
    EXPECT_NEAR(mod->set_position_order_row(4, 32), 31.5, 0.1);
    // Something strikes on the flash row.
    const int pattern = mod->get_order_pattern(4);
    int notes = 0;
    for (int ch = 0; ch < 4; ++ch) notes += mod->get_pattern_row_channel_command(pattern, 32, ch, openmpt::module::command_note) != 0;
    EXPECT_GE(notes, 3);
}

TEST(SongsFiles, MeterChannelsPulseThroughTheMainPart)
{
    auto mod = loadSong("Ruzezu.xm");
    ASSERT_TRUE(mod);
    mod->set_position_seconds(0);
    std::vector<float> buf(2 * 960);
    std::array<int, 8> high{}, low{};
    int samples = 0;
    for (double t = 0.0; t < 120.0 - 1e-9;) {
        const std::size_t frames = mod->read_interleaved_stereo(48000, 960, buf.data());
        ASSERT_EQ(frames, 960u);
        t += 0.02;
        if (t < 10.0 - 1e-9) continue;
        ++samples;
        for (int c = 2; c <= 7; ++c) {
            const float vu = std::clamp(mod->get_current_channel_vu_mono(c), 0.0f, 1.0f);
            high[static_cast<std::size_t>(c)] += vu >= 0.2f;
            low[static_cast<std::size_t>(c)] += vu <= 0.1f;
        }
    }
    for (int c = 2; c <= 7; ++c) {
        const double hi = static_cast<double>(high[static_cast<std::size_t>(c)]) / samples;
        const double lo = static_cast<double>(low[static_cast<std::size_t>(c)]) / samples;
        EXPECT_GE(hi, 1.0 / 3.0) << "channel " << c;
        EXPECT_GE(lo, 0.1) << "channel " << c;
        std::printf("channel %d: at or above 0.2 in %.1f%%, at or below 0.1 in %.1f%%\n", c, 100 * hi, 100 * lo);
    }
}

TEST(SongsFiles, MixDoesNotClipAndTheIntroIsQuieter)
{
    auto mainSong = loadSong("Ruzezu.xm");
    auto intro = loadSong("zerevovar.mod");
    ASSERT_TRUE(mainSong && intro);
    const Mix mainMix = measureMix(*mainSong, 10.0, 120.0);
    const Mix introMix = measureMix(*intro, 0.0, 1e9);
    const double limit = std::pow(10.0, -0.3 / 20.0);
    EXPECT_LT(mainMix.peak, limit);
    EXPECT_LT(introMix.peak, limit);
    EXPECT_GE(mainMix.rmsDb, -20.0);
    EXPECT_LE(mainMix.rmsDb, -10.0);
    EXPECT_LT(introMix.rmsDb, mainMix.rmsDb);
    EXPECT_GT(introMix.rmsDb, mainMix.rmsDb - 6.0) << "the intro should be only a little quieter";
    std::printf("main: peak %.2f dBFS, RMS 10-120 s %.2f dBFS; intro: peak %.2f dBFS, RMS %.2f dBFS\n",
                songtest::decibels(mainMix.peak), mainMix.rmsDb, songtest::decibels(introMix.peak), introMix.rmsDb);
}
