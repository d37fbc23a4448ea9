// The demo's two songs as module descriptions, before they become bytes.
#pragma once

#include "datagen/songs/module_writer.h"

#include <string>
#include <vector>

namespace datagen {

struct SongSectionMark {
    std::string name;
    int order = 0; // first order of the section
};

// The intro song (4-channel MOD, 133 BPM).
bool makeIntroSong(ModuleSong& song, std::vector<SongSectionMark>& sections, std::string& error);
// The main song (XM, 120 BPM, sections on the main part's scene changes).
bool makeMainSong(ModuleSong& song, std::vector<SongSectionMark>& sections, std::string& error);

} // namespace datagen
