// Helpers shared by the asset tests: TGA bytes built in place, scratch
// folders, and the message boxes the headless backend recorded.
#pragma once

#include "platform/headless/headless.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace assettest {

using Bytes = std::vector<std::uint8_t>;

// An 18-byte TGA header; the signature fields can be set to refused values.
inline Bytes tgaHeader(int type, int width, int height, int depth, int descriptor = 0, int idLength = 0,
                       int colourMapType = 0)
{
    return {static_cast<std::uint8_t>(idLength), static_cast<std::uint8_t>(colourMapType),
            static_cast<std::uint8_t>(type), 0, 0, 0, 0, 0, 0, 0, 0, 0,
            static_cast<std::uint8_t>(width & 0xFF), static_cast<std::uint8_t>(width >> 8),
            static_cast<std::uint8_t>(height & 0xFF), static_cast<std::uint8_t>(height >> 8),
            static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(descriptor)};
}

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A width x height 24-bit image of one colour (r, g, b), uncompressed.
inline Bytes solidTga(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    Bytes file = tgaHeader(2, width, height, 24);
    for (int i = 0; i < width * height; ++i)
        file.insert(file.end(), {b, g, r});
    return file;
}

inline void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
}

// A fresh folder under the system's temporary folder, removed at the end of
// the test, and made the working directory while it lives (the readers take
// paths relative to it).
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ng-assets-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~ScratchDir()
    {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// Texts of the boxes shown since the last clear, as "CAPTION: TEXT".
inline std::vector<std::string> shownMessages()
{
    std::vector<std::string> shown;
    for (const auto& record : headless::messageLog())
        shown.push_back(record.caption + ": " + record.text);
    return shown;
}

inline void clearMessages()
{
    headless::setQuietMessages(true);
    headless::clearMessageLog();
}

} // namespace assettest
