// The generated songs at the demo's paths decode and give lively channel
// levels where the volume meter and the mirror scene read them.
#include "platform/common/song_player.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string songPath(const char* name)
{
    const char* dir = std::getenv("NG_DATA_DIR");
    return std::string(dir ? dir : ".") + "/Data/Sounds/" + name;
}

// Fraction of 60 fps frames, over `seconds`, in which each channel's level passes 0.05.
std::vector<double> activity(plat::SongPlayer& player, int seconds)
{
    std::vector<double> active(static_cast<std::size_t>(player.channelCount()), 0.0);
    std::array<std::int16_t, 735 * 2> block{};
    const int frames = seconds * 60;
    for (int f = 0; f < frames; ++f) {
        player.render(block.data(), 735, 44100);
        for (int c = 0; c < player.channelCount(); ++c) {
            const float vu = player.channelVu(c);
            EXPECT_LE(vu, 1.0f);
            if (vu > 0.05f) active[static_cast<std::size_t>(c)] += 1.0 / frames;
        }
    }
    return active;
}

TEST(MusicSongFiles, GeneratedSongsKeepTheMeterChannelsBusy)
{
    const std::string intro = songPath("zerevovar.mod");
    const std::string main = songPath("Ruzezu.xm");
    if (!std::filesystem::exists(intro) || !std::filesystem::exists(main))
        GTEST_SKIP() << "generated songs not found under NG_DATA_DIR";

    plat::SongPlayer introSong;
    ASSERT_TRUE(introSong.loadFromFile(intro.c_str()));
    EXPECT_EQ(introSong.channelCount(), 4);
    const std::vector<double> introActive = activity(introSong, 10);
    for (int c = 0; c < 4; ++c) EXPECT_GT(introActive[static_cast<std::size_t>(c)], 0.1) << "channel " << c;

    plat::SongPlayer mainSong;
    ASSERT_TRUE(mainSong.loadFromFile(main.c_str()));
    ASSERT_GE(mainSong.channelCount(), 8);
    const std::vector<double> mainActive = activity(mainSong, 30);
    for (int c = 2; c <= 7; ++c) EXPECT_GT(mainActive[static_cast<std::size_t>(c)], 0.2) << "channel " << c;
}

} // namespace
