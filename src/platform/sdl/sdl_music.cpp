// Live music: songs mixed by libopenmpt in SDL's audio callback. A song's time
// follows what is heard: the frames handed to the device, less one buffer
// still waiting to play, interpolated with the monotonic clock since the last
// callback and then eased on the main thread so that it moves at wall-clock
// pace without the steps of whole buffers. When no device opens, songs play
// silently on the monotonic clock and are rendered on demand, so time and
// channel levels keep working. A device that goes away while playing (the
// sound server ended, the headphones left) hands the song over to that silent
// clock, and a helper thread opens a new one each second; once it opens, the
// song plays on from where the clock stands. SDL's PulseAudio backend is
// started only while the server has a sink (see sound_server_probe.cpp), and
// under SDL 3 a PulseAudio server is reached through SDL's ALSA driver.
#include "platform/common/song_player.h"
#include "platform/common/song_table.h"
#include "platform/platform.h"
#include "platform/sdl/sound_server_probe.h"

#include <SDL.h>

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int DefaultRate = 44100;
constexpr int RequestedBufferFrames = 1024;   // 23.2 ms at 44.1 kHz
// Smoothing of the heard position: errors larger than SnapMs are taken at
// once; smaller ones are worked off over about SettleMs of wall time.
constexpr double SnapMs = 150.0;
constexpr double SettleMs = 250.0;
constexpr std::size_t VuHistory = 8;          // buffers of levels kept
constexpr auto ReopenPeriod = std::chrono::seconds(1);
constexpr int ProbeTimeoutMs = 500;           // the sound server's answer, at most
// A playing device whose callback has not run for StallLimit, seen by checks
// of the main thread never further apart than CheckGapLimit, is taken as lost.
constexpr auto StallLimit = std::chrono::seconds(1);
constexpr auto CheckGapLimit = std::chrono::milliseconds(250);

struct LiveSong {
    std::unique_ptr<plat::SongPlayer> player;
    bool started = false;
    // Device mode: the device frame where this song's first frame was handed
    // out (before 0 for a song that a reopened device took over).
    std::int64_t startFrame = 0;
    // Silent mode: wall time of play and frames rendered since.
    Clock::time_point startWall{};
    std::uint64_t silentFrames = 0;
    // Main thread only: the eased clock.
    bool primed = false;
    double smoothMs = 0.0;
    Clock::time_point lastQuery{};
    int reportedMs = 0;
};

struct VuSnapshot {
    std::uint64_t endFrame = 0;   // device frame at the end of the buffer
    std::array<float, plat::SongPlayer::MaxChannels> levels{};
};

struct LiveMusic {
    bool initialised = false;
    bool audioStarted = false;       // SDL audio subsystem is up
    SDL_AudioDeviceID device = 0;    // 0: silent mode
    int rate = DefaultRate;
    int bufferFrames = RequestedBufferFrames;

    // Shared with the audio callback; everything below is guarded by `lock`.
    // The song table itself only changes on the main thread (under the lock),
    // so the main thread may read it without locking.
    std::mutex lock;
    plat::SongTable<LiveSong> songs;
    plat::Song playing = 0;
    std::uint64_t framesOut = 0;     // frames handed to the device since open
    Clock::time_point lastCallback{};
    std::array<VuSnapshot, VuHistory> vu{};
    std::size_t vuCount = 0;
    std::size_t vuNext = 0;

    std::vector<std::int16_t> silentBlock;   // discard buffer of silent mode

    // Reopening. Set once a device has opened in this process: from then on a
    // missing device is looked for again rather than taken as the machine's state.
    bool deviceEverOpened = false;
    std::thread reopener;
    std::mutex reopenLock;
    std::condition_variable reopenWake;
    bool reopenCancel = false;                      // under reopenLock
    std::atomic<SDL_AudioDeviceID> reopened{0};     // a paused new device, for the main thread to take
    int reopenedSamples = RequestedBufferFrames;    // under reopenLock
};

LiveMusic lm;

LiveSong* findSong(plat::Song song) { return lm.songs.find(song); }

double msSince(Clock::time_point then, Clock::time_point now)
{
    return std::chrono::duration<double, std::milli>(now - then).count();
}

void audioCallback(void*, Uint8* stream, int len)
{
    const Clock::time_point now = Clock::now();
    const auto frames = static_cast<std::size_t>(len) / (2 * sizeof(std::int16_t));
    auto* out = reinterpret_cast<std::int16_t*>(stream);

    std::lock_guard<std::mutex> guard(lm.lock);
    LiveSong* song = findSong(lm.playing);
    if (song && frames > 0) {
        song->player->render(out, frames, lm.rate);
    } else {
        std::memset(stream, 0, static_cast<std::size_t>(len));
    }
    lm.framesOut += frames;
    lm.lastCallback = now;
    if (song) {
        VuSnapshot& snap = lm.vu[lm.vuNext];
        snap.endFrame = lm.framesOut;
        snap.levels = song->player->levels();
        lm.vuNext = (lm.vuNext + 1) % VuHistory;
        lm.vuCount = std::min(lm.vuCount + 1, VuHistory);
    }
}

// Device frame being heard now (under the lock). The device holds one buffer
// ahead of what plays; between callbacks the position runs on with the
// monotonic clock, but never past what was handed out.
double heardFrame(Clock::time_point now)
{
    const double out = static_cast<double>(lm.framesOut);
    const double estimate = out - lm.bufferFrames + msSince(lm.lastCallback, now) * lm.rate / 1000.0;
    return std::min(estimate, out);
}

// Silent mode: renders the playing song up to the wall clock, for its levels.
void catchUpSilent(LiveSong& song, Clock::time_point now)
{
    const double elapsed = std::max(0.0, msSince(song.startWall, now));
    const auto due = static_cast<std::uint64_t>(elapsed * lm.rate / 1000.0);
    constexpr std::size_t Chunk = 4096;
    lm.silentBlock.resize(Chunk * 2);
    while (song.silentFrames < due) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(Chunk, due - song.silentFrames));
        song.player->render(lm.silentBlock.data(), n, lm.rate);
        song.silentFrames += n;
    }
}

// Raw song position in ms as the device plays it; negative until it is heard.
double rawSongMs(LiveSong& song, Clock::time_point now)
{
    if (!lm.device) {
        catchUpSilent(song, now);
        return msSince(song.startWall, now);
    }
    std::lock_guard<std::mutex> guard(lm.lock);
    return (heardFrame(now) - static_cast<double>(song.startFrame)) * 1000.0 / lm.rate;
}

// Whether the SDL 2 API here is sdl2-compat over SDL 3, which it loads with
// itself.
bool overSdl3()
{
    static const bool loaded = [] {
        void* sdl3 = dlopen("libSDL3.so.0", RTLD_NOW | RTLD_NOLOAD);
        if (sdl3) dlclose(sdl3);
        return sdl3 != nullptr;
    }();
    return loaded;
}

// The ALSA driver chosen in place of SDL 3's PulseAudio one (see audioMayStart).
std::atomic<bool> alsaForPulse{false};

// The audio driver asked for: ours in place of the PulseAudio one, else the
// environment's, which SDL reads when its audio starts and which overrides a
// hint (sdl2-compat's SDL_GetHint can still show the environment of an
// earlier start), else a hint set in this process.
const char* askedDriver()
{
    if (alsaForPulse) return "alsa";
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    return driver && *driver ? driver : SDL_GetHint(SDL_HINT_AUDIODRIVER);
}

// False while the sound server SDL would talk to answers that it has no
// output: SDL 2's PulseAudio backend crashes when started then. Any other
// driver asked for by name, or no server answering, leaves it to SDL.
// SDL 3's PulseAudio backend asks for the default sink again whenever the
// server changes, on its own thread, and crashes when the last sink of a
// PulseAudio server goes (a NULL name again) whatever the program does; so
// under SDL 3 the sound goes through SDL's ALSA driver, which the server's
// ALSA plugin (a dependency of PulseAudio's Debian package) routes to the
// same server, and which reports a lost sink as a lost device. PipeWire's
// service names a placeholder sink instead, and keeps SDL's own choice.
bool audioMayStart()
{
    const char* driver = askedDriver();
    if (driver && *driver && !std::strstr(driver, "pulseaudio")) return true;
    bool pipeWire = false;
    const plat::SoundServer server = plat::probeSoundServer(ProbeTimeoutMs, &pipeWire);
    if (server == plat::SoundServer::NoOutput) return false;
    if (server == plat::SoundServer::HasOutput && !pipeWire && overSdl3() &&
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "alsa", SDL_HINT_OVERRIDE))
        alsaForPulse = true;
    return true;
}

// Gives up the ALSA driver chosen in place of the PulseAudio one, for the
// driver asked for before (in the environment, or SDL's own choice).
void dropAlsaForPulse()
{
    if (alsaForPulse.exchange(false)) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
}

SDL_AudioSpec wantedSpec()
{
    SDL_AudioSpec want{};
    want.freq = lm.rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = RequestedBufferFrames;
    want.callback = audioCallback;
    return want;
}

// The helper thread: closes the lost device (which can take a buffer's time
// or more) and opens a new one each second until one opens or it is called
// off. A device from here keeps the mixing rate, so that the songs' frame
// counts still hold; SDL converts where the device differs.
void reopenLoop(SDL_AudioDeviceID lost, bool audioStarted)
{
    if (lost) SDL_CloseAudioDevice(lost);
    // Quit and init stay paired: an extra quit would take the event
    // subsystem, which the window shares, down with it.
    if (audioStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    const SDL_AudioSpec want = wantedSpec();
    std::unique_lock<std::mutex> guard(lm.reopenLock);
    while (!lm.reopenCancel) {
        guard.unlock();
        SDL_AudioSpec have{};
        SDL_AudioDeviceID device = 0;
        if (audioMayStart() && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
            if (device == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        guard.lock();
        if (device != 0) {
            lm.reopenedSamples = have.samples > 0 ? have.samples : RequestedBufferFrames;
            lm.reopened = device;
            return;
        }
        lm.reopenWake.wait_for(guard, ReopenPeriod, [] { return lm.reopenCancel; });
    }
}

void startReopening(SDL_AudioDeviceID lost)
{
    lm.reopenCancel = false;
    lm.reopened = 0;
    lm.reopener = std::thread(reopenLoop, lost, lm.audioStarted);
    lm.audioStarted = false;   // the helper owns the audio subsystem now
}

// Calls the helper off; a device it opened meanwhile is closed.
void stopReopening()
{
    if (!lm.reopener.joinable()) return;
    {
        std::lock_guard<std::mutex> guard(lm.reopenLock);
        lm.reopenCancel = true;
    }
    lm.reopenWake.notify_all();
    lm.reopener.join();
    if (const SDL_AudioDeviceID device = lm.reopened.exchange(0)) {
        SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

// Whether the open device stopped asking for sound without saying so: SDL 3's
// PipeWire driver keeps a device whose server went away "playing", with no
// event, and never calls back again. The main thread must have watched the
// stall all along: a process held up as a whole (stopped, swapped out) sees
// one long gap between its checks and starts over, and its callbacks resume
// as soon as it runs again. Only that driver is watched: others say when
// they lose a device, and SDL 3's ALSA driver through PulseAudio's plugin
// waits longer than the limit after a stopped process runs again, then plays
// on by itself.
struct StallWatch {
    std::uint64_t frames = 0;
    Clock::time_point since{}, lastCheck{};
};
StallWatch stall;

bool callbacksStalled()
{
    const char* driver = SDL_GetCurrentAudioDriver();
    if (!overSdl3() || !driver || std::strcmp(driver, "pipewire") != 0) return false;
    const Clock::time_point now = Clock::now();
    std::uint64_t frames = 0;
    {
        std::lock_guard<std::mutex> guard(lm.lock);
        frames = lm.framesOut;
    }
    const bool watched = now - stall.lastCheck <= CheckGapLimit;
    stall.lastCheck = now;
    if (!watched || frames != stall.frames) {
        stall.frames = frames;
        stall.since = now;
        return false;
    }
    return now - stall.since >= StallLimit;
}

// The device stopped for good: the playing song goes on on the silent clock
// from where its time stands, with what the device already mixed counted as
// rendered, and the helper starts looking for a new device.
void loseDevice()
{
    const Clock::time_point now = Clock::now();
    SDL_PauseAudioDevice(lm.device, 1);   // no callback runs from here on
    {
        std::lock_guard<std::mutex> guard(lm.lock);
        if (LiveSong* song = findSong(lm.playing)) {
            // On from where the clock stands, not from the device's last
            // position, which stopped a moment before the loss was seen.
            const double heardMs = song->primed ? song->smoothMs + std::max(0.0, msSince(song->lastQuery, now))
                                                : (heardFrame(now) - static_cast<double>(song->startFrame)) *
                                                      1000.0 / lm.rate;
            song->startWall = now - std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double, std::milli>(heardMs));
            const std::int64_t mixed = static_cast<std::int64_t>(lm.framesOut) - song->startFrame;
            song->silentFrames = static_cast<std::uint64_t>(std::max<std::int64_t>(0, mixed));
        }
        lm.vuCount = 0;
    }
    // Look again with the driver that worked, not with every driver there is.
    if (const char* driver = SDL_GetCurrentAudioDriver()) SDL_SetHint(SDL_HINT_AUDIODRIVER, driver);
    std::fprintf(stderr, "nordglow: the sound device went away; the demo plays on silently and "
                         "looks for it again every second\n");
    const SDL_AudioDeviceID lost = lm.device;
    lm.device = 0;
    stall = StallWatch{};   // the next device is watched afresh
    startReopening(lost);
}

// Removal of an output device, as SDL's events tell it. The SDL2 API over
// SDL3 keeps a device whose sound server went away "playing", its callback
// running on nothing, and says so only with this event: for the device
// opened, or with id 0 and no output device left.
std::atomic<bool> outputRemoved{false};
std::atomic<Uint32> removedId{0};

int SDLCALL noticeRemoval(void*, SDL_Event* event)
{
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0) {
        removedId = event->adevice.which;
        outputRemoved = true;
    }
    return 0;
}

// Whether the open device went away without stopping (see noticeRemoval).
// The events come in when they are pumped, which without a window nothing
// else does.
bool removedWhilePlaying()
{
    SDL_PumpEvents();
    if (!outputRemoved.exchange(false)) return false;
    return removedId == lm.device || (removedId == 0 && SDL_GetNumAudioDevices(0) <= 0);
}

// (Again) watches for removals: a quit of SDL's event subsystem, which the
// audio one takes down with it without a window, drops the watch.
void watchRemovals()
{
    SDL_DelEventWatch(noticeRemoval, nullptr);
    SDL_AddEventWatch(noticeRemoval, nullptr);
    outputRemoved = false;
}

// The helper's new device takes the playing song over where the silent clock
// stands: its first buffer is heard one buffer from now, and until then the
// position runs on, so the song's time neither jumps nor stands still.
void adoptReopenedDevice()
{
    lm.reopener.join();
    const SDL_AudioDeviceID device = lm.reopened.exchange(0);
    lm.audioStarted = true;
    lm.bufferFrames = lm.reopenedSamples;
    const Clock::time_point now = Clock::now();
    {
        std::lock_guard<std::mutex> guard(lm.lock);
        if (LiveSong* song = findSong(lm.playing)) {
            catchUpSilent(*song, now);
            const auto heard = static_cast<std::int64_t>(std::llround(msSince(song->startWall, now) * lm.rate / 1000.0));
            song->startFrame = static_cast<std::int64_t>(lm.framesOut) - lm.bufferFrames - heard;
        }
        lm.lastCallback = now;
        lm.vuCount = 0;
    }
    lm.device = device;
    watchRemovals();
    SDL_PauseAudioDevice(device, 0);
    std::fprintf(stderr, "nordglow: the sound device is back\n");
}

// Once a frame: notices a lost device and takes a reopened one.
void watchDevice()
{
    if (lm.device != 0) {
        if (SDL_GetAudioDeviceStatus(lm.device) == SDL_AUDIO_STOPPED || removedWhilePlaying() ||
            callbacksStalled())
            loseDevice();
    } else if (lm.reopened.load() != 0) {
        adoptReopenedDevice();
    }
}

// False with a message when no device opens; *serverWithoutOutput tells
// whether a sound server is there that only lacks an output for now.
bool openDevice(bool* serverWithoutOutput)
{
    *serverWithoutOutput = !audioMayStart();
    if (*serverWithoutOutput) {
        std::fprintf(stderr, "nordglow: the sound server has no output; the demo plays silently and "
                             "looks for one every second\n");
        return false;
    }
    const SDL_AudioSpec want = wantedSpec();
    SDL_AudioSpec have{};
    SDL_AudioDeviceID device = 0;
    // Twice at most: an ALSA without the server's plugin falls back to the
    // driver asked for.
    for (int attempt = 0; attempt < 2 && device == 0; ++attempt) {
        if (attempt == 1) {
            if (!alsaForPulse) break;
            std::fprintf(stderr, "SDL audio: %s; trying the driver asked for\n", SDL_GetError());
            dropAlsaForPulse();
        }
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) continue;
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                     SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
        if (device == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    if (device == 0) {
        std::fprintf(stderr, "SDL audio: %s\n", SDL_GetError());
        return false;
    }
    lm.audioStarted = true;
    lm.rate = have.freq > 0 ? have.freq : lm.rate;
    lm.bufferFrames = have.samples > 0 ? have.samples : RequestedBufferFrames;
    {
        std::lock_guard<std::mutex> guard(lm.lock);
        lm.framesOut = 0;
        lm.lastCallback = Clock::now();
        lm.vuCount = 0;
    }
    lm.device = device;
    lm.deviceEverOpened = true;
    stall = StallWatch{};
    watchRemovals();
    SDL_PauseAudioDevice(device, 0);
    return true;
}

// The demo never closes the sound at its end; the audio thread must still be
// stopped before the song table and its lock are destroyed with the process's
// statics. Registered after `lm` was built, this runs before its destructor.
void closeDeviceAtExit()
{
    stopReopening();
    if (lm.device) SDL_CloseAudioDevice(lm.device);
    lm.device = 0;
}

} // namespace

namespace plat {

bool musicInit(int mixRate, int, unsigned)
{
    static const bool exitHook = std::atexit(closeDeviceAtExit) == 0;
    (void)exitHook;
    if (lm.initialised) return lm.device != 0;
    lm.initialised = true;
    lm.rate = mixRate > 0 ? mixRate : DefaultRate;
    lm.bufferFrames = RequestedBufferFrames;
    bool serverWithoutOutput = false;
    if (openDevice(&serverWithoutOutput)) return true;
    // Sound worked earlier in this run, or its server is there without an
    // output: it is only away for now.
    if (lm.deviceEverOpened || serverWithoutOutput) startReopening(0);
    return false;
}

void musicClose()
{
    if (!lm.initialised) return;
    stopReopening();
    // Closing the device waits for a running callback to finish.
    if (lm.device) SDL_CloseAudioDevice(lm.device);
    lm.device = 0;
    if (lm.audioStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    lm.audioStarted = false;
    dropAlsaForPulse();
    std::lock_guard<std::mutex> guard(lm.lock);
    lm.songs.clear();
    lm.playing = 0;
    lm.vuCount = 0;
    lm.initialised = false;
}

Song musicLoadSong(const char* path)
{
    if (!lm.initialised) return 0;
    LiveSong entry = SongTable<LiveSong>::load(path);
    std::lock_guard<std::mutex> guard(lm.lock);
    return lm.songs.add(std::move(entry));
}

void musicPlaySong(Song song)
{
    LiveSong* entry = findSong(song);
    if (!entry) return;
    {
        // The callback leaves a player alone once it is not the playing one,
        // so the decode (milliseconds) runs without holding the mixer up.
        std::lock_guard<std::mutex> guard(lm.lock);
        if (lm.playing == song) lm.playing = 0;
    }
    entry->player->restart();
    {
        std::lock_guard<std::mutex> guard(lm.lock);
        entry->started = true;
        entry->startFrame = static_cast<std::int64_t>(lm.framesOut);
        entry->startWall = Clock::now();
        entry->silentFrames = 0;
        lm.playing = song;
        lm.vuCount = 0;
    }
    entry->primed = false;
    entry->smoothMs = 0.0;
    entry->reportedMs = 0;
}

int musicGetTime(Song song)
{
    watchDevice();
    LiveSong* entry = findSong(song);
    if (!entry || !entry->started) return 0;
    if (song != lm.playing) return entry->reportedMs;   // stopped: time stands where it left

    const Clock::time_point now = Clock::now();
    const double raw = rawSongMs(*entry, now);
    if (!entry->primed) {
        entry->smoothMs = raw;
        entry->primed = true;
    } else {
        // Run on at wall-clock pace and work off the difference to the
        // device's position gradually: callback jitter then never shows as
        // a step, while the clock still follows the device over time.
        const double dt = std::max(0.0, msSince(entry->lastQuery, now));
        const double predicted = entry->smoothMs + dt;
        const double error = raw - predicted;
        if (std::abs(error) > SnapMs) {
            entry->smoothMs = raw;
        } else {
            entry->smoothMs = predicted + error * std::min(1.0, dt / SettleMs);
        }
    }
    entry->lastQuery = now;
    const int ms = static_cast<int>(std::max(0.0, std::floor(entry->smoothMs)));
    entry->reportedMs = std::max(entry->reportedMs, ms);
    return entry->reportedMs;
}

void musicSetMasterVolume(Song song, int volume)
{
    LiveSong* entry = findSong(song);
    if (!entry) return;
    std::lock_guard<std::mutex> guard(lm.lock);
    entry->player->setVolume(volume);
}

float musicGetChannelVU(int channel)
{
    if (channel < 0 || channel >= SongPlayer::MaxChannels) return 0.0f;
    LiveSong* entry = findSong(lm.playing);
    if (!entry) return 0.0f;
    const Clock::time_point now = Clock::now();
    if (!lm.device) {
        catchUpSilent(*entry, now);
        return entry->player->channelVu(channel);
    }
    std::lock_guard<std::mutex> guard(lm.lock);
    if (lm.vuCount == 0) return 0.0f;
    // The levels of the buffer being heard: the oldest one that ends after
    // the heard position, or the newest when all are already heard.
    const double heard = heardFrame(now);
    const std::size_t oldest = (lm.vuNext + VuHistory - lm.vuCount) % VuHistory;
    const VuSnapshot* pick = nullptr;
    for (std::size_t i = 0; i < lm.vuCount; ++i) {
        const VuSnapshot& snap = lm.vu[(oldest + i) % VuHistory];
        pick = &snap;
        if (static_cast<double>(snap.endFrame) > heard) break;
    }
    return pick->levels[static_cast<std::size_t>(channel)];
}

} // namespace plat
