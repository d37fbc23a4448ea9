// The capture tool's WAV, written while the sound comes: the header it ends
// with, the name it takes only when finished, and outputs that cannot be
// written failing at once.
#include "capture/media.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

std::uint32_t le32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

std::uint16_t le16(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

} // namespace

TEST(CaptureWav, StreamedFileEndsWithTheRightHeaderUnderItsName)
{
    const fs::path dir = fs::temp_directory_path() / ("ng-wav-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path wav = dir / "s.wav";

    // Three blocks of different lengths, as the sound arrives frame by frame.
    std::vector<std::int16_t> all;
    capture::WavWriter writer;
    ASSERT_TRUE(writer.open(wav.string(), 44100)) << writer.error();
    for (std::size_t frames : {735u, 1u, 2048u}) {
        std::vector<std::int16_t> block(frames * 2);
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::int16_t>(all.size() + i - 3000);
        ASSERT_TRUE(writer.write(block.data(), frames, 48000));
        all.insert(all.end(), block.begin(), block.end());
        EXPECT_FALSE(fs::exists(wav)) << "an unfinished WAV must not carry the asked name";
    }
    ASSERT_TRUE(writer.finish()) << writer.error();
    EXPECT_FALSE(fs::exists(dir / "s.wav.partial"));

    const std::string bytes = readAll(wav);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(all.size() * 2);
    ASSERT_EQ(bytes.size(), 44 + dataBytes);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(bytes, 4), 36 + dataBytes);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(bytes, 16), 16u);
    EXPECT_EQ(le16(bytes, 20), 1);       // PCM
    EXPECT_EQ(le16(bytes, 22), 2);       // stereo
    EXPECT_EQ(le32(bytes, 24), 48000u);  // the rate of the sound written, not the one opened with
    EXPECT_EQ(le32(bytes, 28), 48000u * 4);
    EXPECT_EQ(le16(bytes, 32), 4);
    EXPECT_EQ(le16(bytes, 34), 16);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(le32(bytes, 40), dataBytes);
    EXPECT_EQ(std::memcmp(bytes.data() + 44, all.data(), dataBytes), 0);

    // Given up after a failure elsewhere: nothing is left, and a WAV of an
    // earlier run under the name is untouched.
    capture::WavWriter abandoned;
    ASSERT_TRUE(abandoned.open(wav.string(), 44100));
    ASSERT_TRUE(abandoned.write(all.data(), 100, 44100));
    abandoned.abandon();
    EXPECT_FALSE(fs::exists(dir / "s.wav.partial"));
    EXPECT_EQ(readAll(wav), bytes);

    // A device that takes nothing fails on opening, not after the run.
    capture::WavWriter full;
    EXPECT_FALSE(full.open("/dev/full", 44100));
    EXPECT_NE(full.error().find("/dev/full"), std::string::npos) << full.error();
    fs::remove_all(dir);
}
