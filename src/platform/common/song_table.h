// Songs by handle, as both music backends keep them. Handles count up from 1
// and are never reused, so a handle that musicClose made dead stays dead.
#pragma once

#include "platform/common/song_player.h"
#include "platform/platform.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace plat {

// Entry: a backend's record of one song, with a std::unique_ptr<SongPlayer> player.
template <class Entry>
class SongTable {
public:
    // A new entry whose player holds the module file; a file that cannot be
    // read or decoded plays as silence, and standard error says so.
    static Entry load(const char* path)
    {
        Entry entry;
        entry.player = std::make_unique<SongPlayer>();
        std::string problem;
        if (!entry.player->loadFromFile(path, &problem)) {
            std::fprintf(stderr, "%s: the song %s; it plays as silence\n", path ? path : "(no file)",
                         problem.c_str());
        }
        return entry;
    }
    Song add(Entry entry)
    {
        const Song handle = next_++;
        songs_.emplace(handle, std::move(entry));
        return handle;
    }
    Entry* find(Song song)
    {
        const auto it = songs_.find(song);
        return it == songs_.end() ? nullptr : &it->second;
    }
    void clear() { songs_.clear(); }

private:
    Song next_ = 1;
    std::map<Song, Entry> songs_;
};

} // namespace plat
