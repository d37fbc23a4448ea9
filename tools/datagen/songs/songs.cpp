// Writes the intro and main songs into Data/Sounds.
#include "datagen/datagen.h"
#include "datagen/songs/songs.h"

#include <cstdio>

namespace datagen {

namespace {

using Maker = bool (*)(ModuleSong&, std::vector<SongSectionMark>&, std::string&);
using Writer = std::vector<std::uint8_t> (*)(const ModuleSong&, std::string&);

bool writeSong(const std::string& path, Maker make, Writer write)
{
    ModuleSong song;
    std::vector<SongSectionMark> sections;
    std::string error;
    std::vector<std::uint8_t> bytes;
    if (make(song, sections, error)) bytes = write(song, error);
    if (bytes.empty()) {
        std::fprintf(stderr, "datagen: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return writeFileBytes(path, bytes);
}

} // namespace

bool writeSongs(const std::string& dataDir)
{
    bool ok = writeSong(dataDir + "/Sounds/zerevovar.mod", makeIntroSong, writeMod);
    ok = writeSong(dataDir + "/Sounds/Ruzezu.xm", makeMainSong, writeXm) && ok;
    return ok;
}

} // namespace datagen
