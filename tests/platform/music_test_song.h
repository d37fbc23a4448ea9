// A tiny MOD or XM song for the music tests, and a temporary folder to put
// song files in.
#pragma once

#include "datagen/songs/module_writer.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace musictest {

// One instrument, a looping 64-frame square wave. Row 0 starts it on
// channel 0 (C-4, full volume) and channel 1 (C-5, half volume); every other
// channel stays silent. A pattern break on the last of `rows` rows ends the
// song, which at speed 6 / 125 BPM lasts rows * 120 ms.
inline std::vector<std::uint8_t> makeTestSong(bool xm = false, int channels = 4, int rows = 8)
{
    datagen::ModuleSong song;
    song.name = "music test";
    song.channels = channels;
    datagen::ModuleSample square;
    square.name = "square";
    for (int i = 0; i < 64; ++i) square.data.push_back(i < 32 ? 16000 : -16000);
    square.loopLength = 64;
    datagen::ModuleInstrument instrument;
    instrument.name = "square";
    instrument.samples.push_back(square);
    song.instruments.push_back(instrument);

    datagen::ModulePattern pattern = datagen::makeEmptyPattern(64, channels);
    pattern.at(0, 0, channels) = {datagen::NoteC4, 1, 0, 0, 0};
    if (xm) pattern.at(0, 1, channels) = {datagen::NoteC4 + 12, 1, datagen::volumeColumn(32), 0, 0};
    else pattern.at(0, 1, channels) = {datagen::NoteC4 + 12, 1, 0, 0xC, 32};
    pattern.at(rows - 1, channels - 1, channels).effect = 0xD;
    song.patterns.push_back(pattern);
    song.orders = {0};

    std::string error;
    std::vector<std::uint8_t> bytes = xm ? datagen::writeXm(song, error) : datagen::writeMod(song, error);
    if (!error.empty()) throw std::runtime_error("test song: " + error);
    return bytes;
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
