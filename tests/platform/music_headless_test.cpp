// The headless music clock: lockstep rendering, looping, volume, levels,
// restart of the output and songs that cannot be read.
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/music_test_song.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

class HeadlessMusic : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedFps_ = headless::framesPerSecond();
        headless::setFramesPerSecond(60.0);
        headless::setAudioDeviceAvailable(true);
        headless::setAudioSink([this](const std::int16_t* s, std::size_t frames, int rate) {
            samples_.insert(samples_.end(), s, s + frames * 2);
            sinkRate_ = rate;
        });
        plat::musicClose();
        ASSERT_TRUE(plat::musicInit(44100, 64, 0));
        songPath_ = dir_.write("test.mod", musictest::makeTestSong());
    }
    void TearDown() override
    {
        plat::musicClose();
        headless::setAudioSink(nullptr);
        headless::setAudioDeviceAvailable(true);
        headless::setFramesPerSecond(savedFps_);
    }
    static void presentFrames(int n)
    {
        for (int i = 0; i < n; ++i) plat::presentFrame();
    }
    std::size_t sinkFrames() const { return samples_.size() / 2; }
    int peak(std::size_t fromFrame) const
    {
        int p = 0;
        for (std::size_t i = fromFrame * 2; i < samples_.size(); ++i) p = std::max(p, std::abs(int(samples_[i])));
        return p;
    }

    musictest::TempDir dir_;
    std::string songPath_;
    std::vector<std::int16_t> samples_;
    int sinkRate_ = 0;
    double savedFps_ = 60.0;
};

TEST_F(HeadlessMusic, TimeAndAudioFollowTheVirtualClockExactly)
{
    const plat::Song song = plat::musicLoadSong(songPath_.c_str());
    ASSERT_NE(song, 0);
    plat::musicPlaySong(song);
    EXPECT_EQ(plat::musicGetTime(song), 0);
    samples_.clear();

    presentFrames(60);
    EXPECT_EQ(plat::musicGetTime(song), 1000);
    EXPECT_EQ(sinkFrames(), 44100u);
    EXPECT_EQ(sinkRate_, 44100);

    plat::sleepMs(7);   // 308.7 frames: the fraction is carried, not lost
    plat::sleepMs(3);
    EXPECT_EQ(plat::musicGetTime(song), 1010);
    EXPECT_EQ(sinkFrames(), 44100u + 441u);

    headless::setFramesPerSecond(24.0);   // 1837.5 frames a frame
    presentFrames(3);
    EXPECT_EQ(sinkFrames(), 44541u + 5512u);
    presentFrames(1);
    EXPECT_EQ(sinkFrames(), 44541u + 7350u);
    EXPECT_EQ(plat::musicGetTime(song), 1176);   // 51891 frames
}

TEST_F(HeadlessMusic, LoopingSongKeepsCountingAndSounding)
{
    // The song ends every 960 ms; three loops later it still plays.
    const plat::Song song = plat::musicLoadSong(songPath_.c_str());
    plat::musicPlaySong(song);
    samples_.clear();
    presentFrames(180);
    EXPECT_EQ(plat::musicGetTime(song), 3000);
    EXPECT_GT(peak(44100 * 29 / 10), 1000) << "audio fell silent after the song's end";

    // Playing again starts over from 0 with the same sound.
    std::vector<std::int16_t> first(samples_.begin(), samples_.begin() + 1470);
    plat::musicPlaySong(song);
    EXPECT_EQ(plat::musicGetTime(song), 0);
    samples_.clear();
    presentFrames(1);
    ASSERT_GE(samples_.size(), first.size());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), samples_.begin()));
}

TEST_F(HeadlessMusic, MasterVolumeScalesTheMix)
{
    const plat::Song song = plat::musicLoadSong(songPath_.c_str());
    plat::musicPlaySong(song);
    samples_.clear();
    presentFrames(30);
    const std::vector<std::int16_t> full = samples_;

    plat::musicPlaySong(song);
    plat::musicSetMasterVolume(song, 128);
    samples_.clear();
    presentFrames(30);
    ASSERT_EQ(samples_.size(), full.size());
    ASSERT_GT(peak(0), 1000);
    for (std::size_t i = 0; i < full.size(); ++i)
        ASSERT_NEAR(samples_[i], full[i] / 2.0, 1.0) << "sample " << i;

    // Silence takes effect within one block; the clock runs on.
    plat::musicSetMasterVolume(song, 0);
    presentFrames(1);
    const std::size_t from = sinkFrames();
    presentFrames(5);
    EXPECT_EQ(peak(from), 0);
    EXPECT_EQ(plat::musicGetTime(song), 600);

    plat::musicSetMasterVolume(song, 999);   // clamped to full
    presentFrames(2);
    EXPECT_GT(peak(sinkFrames() - 735), 1000);
}

TEST_F(HeadlessMusic, ChannelLevelsStayInRangeAndAreZeroForMissingChannels)
{
    EXPECT_EQ(plat::musicGetChannelVU(0), 0.0f);   // nothing plays yet
    const plat::Song song = plat::musicLoadSong(songPath_.c_str());
    plat::musicPlaySong(song);
    presentFrames(10);
    EXPECT_GT(plat::musicGetChannelVU(0), 0.0f);
    EXPECT_GT(plat::musicGetChannelVU(1), 0.0f);
    EXPECT_GT(plat::musicGetChannelVU(0), plat::musicGetChannelVU(1));   // full against half volume
    EXPECT_EQ(plat::musicGetChannelVU(2), 0.0f);
    for (int c : {4, 7, 63, 64, 1000, -1}) EXPECT_EQ(plat::musicGetChannelVU(c), 0.0f) << c;
    for (int c = 0; c < 4; ++c) {
        EXPECT_GE(plat::musicGetChannelVU(c), 0.0f);
        EXPECT_LE(plat::musicGetChannelVU(c), 1.0f);
    }
}

TEST_F(HeadlessMusic, XmSongsPlayAndLoopWithTheirOwnChannelCount)
{
    const std::string path = dir_.write("test.xm", musictest::makeTestSong(true, 8));
    const plat::Song song = plat::musicLoadSong(path.c_str());
    plat::musicPlaySong(song);
    samples_.clear();
    presentFrames(120);   // two loops of 960 ms
    EXPECT_EQ(plat::musicGetTime(song), 2000);
    EXPECT_GT(peak(44100 * 19 / 10), 1000);
    EXPECT_GT(plat::musicGetChannelVU(0), plat::musicGetChannelVU(1));
    EXPECT_GT(plat::musicGetChannelVU(1), 0.0f);
    for (int c : {2, 6, 7, 8}) EXPECT_EQ(plat::musicGetChannelVU(c), 0.0f) << c;
}

TEST_F(HeadlessMusic, CloseKillsHandlesAndInitAgainPlaysNewSongs)
{
    const plat::Song first = plat::musicLoadSong(songPath_.c_str());
    plat::musicPlaySong(first);
    presentFrames(20);
    plat::musicClose();
    EXPECT_EQ(plat::musicGetTime(first), 0);
    EXPECT_EQ(plat::musicGetChannelVU(0), 0.0f);
    EXPECT_EQ(plat::musicLoadSong(songPath_.c_str()), 0);   // no output open

    ASSERT_TRUE(plat::musicInit(44100, 64, 0));
    const plat::Song second = plat::musicLoadSong(songPath_.c_str());
    ASSERT_NE(second, 0);
    EXPECT_NE(second, first);
    plat::musicPlaySong(first);   // dead handle: ignored
    plat::musicPlaySong(second);
    presentFrames(30);
    EXPECT_EQ(plat::musicGetTime(second), 500);
    EXPECT_GT(plat::musicGetChannelVU(0), 0.0f);
}

TEST_F(HeadlessMusic, UnreadableSongsPlayAsSilenceThatKeepsTime)
{
    const std::string garbage = dir_.write("garbage.xm", {'n', 'o', 't', ' ', 'a', ' ', 's', 'o', 'n', 'g'});
    const auto whole = musictest::makeTestSong();
    const std::string cut = dir_.write("cut.mod", std::vector<std::uint8_t>(whole.begin(), whole.begin() + 600));
    const std::string empty = dir_.write("empty.xm", {});
    for (const std::string& path : {dir_.file("missing.mod"), garbage, empty, cut}) {
        testing::internal::CaptureStderr();
        const plat::Song song = plat::musicLoadSong(path.c_str());
        plat::musicPlaySong(song);
        samples_.clear();
        presentFrames(45);
        const int ms = plat::musicGetTime(song);
        const std::string said = testing::internal::GetCapturedStderr();
        ASSERT_NE(song, 0) << path;
        EXPECT_EQ(ms, 750) << path;
        EXPECT_EQ(sinkFrames(), 33075u) << path;
        // One line, once, names the file that plays as silence (a cut song may still decode).
        if (path != cut) {
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
            EXPECT_EQ(said.rfind(path + ": the song ", 0), 0u) << said;
            EXPECT_NE(said.find("plays as silence"), std::string::npos) << said;
        }
        if (path == empty) {
            EXPECT_NE(said.find("is empty"), std::string::npos) << said;
        }
        if (path != cut) {
            EXPECT_EQ(peak(0), 0) << path;
            EXPECT_EQ(plat::musicGetChannelVU(0), 0.0f) << path;
        }
    }
}

TEST_F(HeadlessMusic, WithoutADeviceInitFailsButSongsKeepTimeAndLevels)
{
    plat::musicClose();
    headless::setAudioDeviceAvailable(false);
    EXPECT_FALSE(plat::musicInit(44100, 64, 0));
    const plat::Song song = plat::musicLoadSong(songPath_.c_str());
    ASSERT_NE(song, 0);
    plat::musicPlaySong(song);
    samples_.clear();
    presentFrames(60);
    EXPECT_EQ(plat::musicGetTime(song), 1000);
    EXPECT_EQ(sinkFrames(), 44100u);
    EXPECT_EQ(peak(0), 0);
    EXPECT_GT(plat::musicGetChannelVU(0), 0.0f);
}

} // namespace
