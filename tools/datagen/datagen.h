// The data generator's three halves, each writing its files under DIR/Data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

// Each writes its files below dataDir (DIR/Data), creating folders as needed,
// and returns false after printing what failed.
bool writeSongs(const std::string& dataDir);
bool writeTextures(const std::string& dataDir);
bool writeModels(const std::string& dataDir);

// Writes the program's icon for the hicolor theme: iconDir/NxN/apps/nordglow.png
// for N = 16, 22, 24, 32, 48, 64, 128 and 256, and iconDir/scalable/apps/nordglow.svg.
bool writeIcons(const std::string& iconDir);

// Pixel size of the icon the live window shows as its own.
constexpr int WindowIconSize = 64;
// Writes that icon as a C++ header of RGBA bytes, for the live backend.
bool writeWindowIcon(const std::string& headerPath);

// Writes bytes to path (creating parent folders); false with a message on failure.
bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool writeFileText(const std::string& path, const std::string& text);

} // namespace datagen
