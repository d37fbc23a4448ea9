// Headless music: songs rendered in lockstep with the virtual clock. Each
// advance renders exactly its span of audio (fractions of a sample carried to
// the next one), hands it to the sink and updates the channel levels; a
// song's time is the number of frames rendered since it was played.
#include "platform/common/song_player.h"
#include "platform/common/song_table.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"

#include <cmath>
#include <map>
#include <memory>

namespace {

constexpr int DefaultRate = 44100;

struct HeadlessSong {
    std::unique_ptr<plat::SongPlayer> player;
    std::uint64_t framesPlayed = 0;   // rendered since musicPlaySong
};

struct HeadlessMusic {
    bool deviceAvailable = true;      // what musicInit finds
    bool initialised = false;
    bool muted = false;               // init found no device: render for time and levels only
    int rate = DefaultRate;
    plat::SongTable<HeadlessSong> songs;
    plat::Song playing = 0;
    double pendingFrames = 0.0;       // fraction of a frame owed to the next advance
    std::vector<std::int16_t> block;
    std::function<void(const std::int16_t*, std::size_t, int)> sink;
};

HeadlessMusic hm;

HeadlessSong* findSong(plat::Song song) { return hm.songs.find(song); }

} // namespace

namespace headless {

void setAudioDeviceAvailable(bool available) { hm.deviceAvailable = available; }

void setAudioSink(std::function<void(const std::int16_t*, std::size_t, int)> sink)
{
    hm.sink = std::move(sink);
}

void advanceAudio(double ms)
{
    if (!(ms > 0.0)) return;
    // The small bias keeps 1000/60 ms at 44.1 kHz from landing a hair under
    // 735 frames through rounding.
    hm.pendingFrames += ms * hm.rate / 1000.0;
    const double whole = std::floor(hm.pendingFrames + 1e-6);
    hm.pendingFrames -= whole;
    const auto frames = static_cast<std::size_t>(whole);
    if (frames == 0) return;

    hm.block.assign(frames * 2, 0);
    if (HeadlessSong* song = findSong(hm.playing)) {
        song->player->render(hm.block.data(), frames, hm.rate);
        song->framesPlayed += frames;
        if (hm.muted) hm.block.assign(frames * 2, 0);
    }
    if (hm.sink) hm.sink(hm.block.data(), frames, hm.rate);
}

} // namespace headless

namespace plat {

bool musicInit(int mixRate, int, unsigned)
{
    if (!hm.initialised) {
        hm.rate = mixRate > 0 ? mixRate : DefaultRate;
        hm.initialised = true;
    }
    hm.muted = !hm.deviceAvailable;
    return hm.deviceAvailable;
}

void musicClose()
{
    hm.songs.clear();
    hm.playing = 0;
    hm.initialised = false;
    hm.muted = false;
}

Song musicLoadSong(const char* path)
{
    if (!hm.initialised) return 0;
    return hm.songs.add(SongTable<HeadlessSong>::load(path));
}

void musicPlaySong(Song song)
{
    HeadlessSong* entry = findSong(song);
    if (!entry) return;
    entry->player->restart();
    entry->framesPlayed = 0;
    hm.playing = song;
}

int musicGetTime(Song song)
{
    const HeadlessSong* entry = findSong(song);
    if (!entry) return 0;
    return static_cast<int>(entry->framesPlayed * 1000 / static_cast<std::uint64_t>(hm.rate));
}

void musicSetMasterVolume(Song song, int volume)
{
    if (HeadlessSong* entry = findSong(song)) entry->player->setVolume(volume);
}

float musicGetChannelVU(int channel)
{
    const HeadlessSong* entry = findSong(hm.playing);
    return entry ? entry->player->channelVu(channel) : 0.0f;
}

} // namespace plat

namespace headless {

void resetMusicState() { hm = HeadlessMusic{}; }

} // namespace headless
