// A tiny four-channel MOD built byte by byte for the music tests, and a
// temporary folder to put song files in.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace musictest {

// Sample 1 is a looping 64-frame square wave. Row 0 starts it on channel 0
// (period 428, full volume) and channel 1 (period 214, volume 32); channels 2
// and 3 stay silent. A pattern break on the last of `rows` rows ends the song,
// which at speed 6 / 125 BPM lasts rows * 120 ms.
inline std::vector<std::uint8_t> makeTestMod(int rows = 8)
{
    std::vector<std::uint8_t> mod(1084 + 1024, 0);
    const char title[] = "music test";
    for (std::size_t i = 0; i + 1 < sizeof title; ++i) mod[i] = static_cast<std::uint8_t>(title[i]);
    for (int s = 0; s < 31; ++s) {
        std::uint8_t* h = &mod[20 + static_cast<std::size_t>(s) * 30];
        h[29] = 1;   // loop length 1 word: no loop
    }
    std::uint8_t* h = &mod[20];
    h[22] = 0; h[23] = 32;   // length in words
    h[25] = 64;              // volume
    h[26] = 0; h[27] = 0;    // loop start
    h[28] = 0; h[29] = 32;   // loop length
    mod[950] = 1;            // one order
    mod[951] = 127;
    mod[952] = 0;            // pattern 0
    mod[1080] = 'M'; mod[1081] = '.'; mod[1082] = 'K'; mod[1083] = '.';

    auto cell = [&](int row, int channel, int period, int sample, int effect, int param) {
        std::uint8_t* c = &mod[1084 + static_cast<std::size_t>(row * 4 + channel) * 4];
        c[0] = static_cast<std::uint8_t>((sample & 0xF0) | ((period >> 8) & 0x0F));
        c[1] = static_cast<std::uint8_t>(period & 0xFF);
        c[2] = static_cast<std::uint8_t>(((sample & 0x0F) << 4) | (effect & 0x0F));
        c[3] = static_cast<std::uint8_t>(param);
    };
    cell(0, 0, 428, 1, 0, 0);
    cell(0, 1, 214, 1, 0xC, 32);
    cell(rows - 1, 3, 0, 0, 0xD, 0);

    for (int i = 0; i < 64; ++i) mod.push_back(i < 32 ? 64 : static_cast<std::uint8_t>(-64));
    return mod;
}

// A folder under the system's temporary directory, removed with the object.
class TempDir {
public:
    TempDir()
    {
        path_ = std::filesystem::temp_directory_path() /
                ("nordglow-music-" + std::to_string(::getpid()) + "-" + std::to_string(counter()++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        const std::filesystem::path file = path_ / name;
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    static int& counter()
    {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

} // namespace musictest
