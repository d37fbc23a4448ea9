// libopenmpt song wrapper: decode, loop, master volume, clamped channel levels.
#include "platform/common/song_player.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>

namespace plat {

namespace {

// libopenmpt writes load warnings to a log stream; a damaged song is expected
// input here, so its complaints go nowhere.
std::ostream& quietLog()
{
    static std::ostream sink(nullptr);
    return sink;
}

constexpr std::size_t ChunkFrames = 4096;   // float scratch size per read

std::int16_t toSample(float value)
{
    const float scaled = std::nearbyint(value * 32767.0f);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

} // namespace

SongPlayer::SongPlayer() : scratch_(ChunkFrames * 2) {}
SongPlayer::~SongPlayer() = default;

bool SongPlayer::loadFromMemory(std::vector<std::uint8_t> bytes)
{
    bytes_ = std::move(bytes);
    return decode();
}

bool SongPlayer::loadFromFile(const char* path, std::string* problem)
{
    std::vector<std::uint8_t> bytes;
    std::string why = "cannot be read";
    if (path) {
        errno = 0;
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            why = std::string("cannot be opened (") + std::strerror(errno) + ")";
        } else {
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            if (bytes.empty()) why = in.bad() ? "cannot be read" : "is empty";
        }
    }
    const bool ok = loadFromMemory(std::move(bytes));
    if (!ok && !bytes_.empty()) why = "is not a module that can be played";
    if (problem) *problem = ok ? std::string() : why;
    return ok;
}

bool SongPlayer::decode()
{
    module_.reset();
    channels_ = 0;
    levels_.fill(0.0f);
    rendered_ = false;
    if (bytes_.empty()) return false;
    try {
        module_ = std::make_unique<openmpt::module>(bytes_, quietLog());
        // Loop forever: the position keeps growing past the song's end.
        module_->set_repeat_count(-1);
        channels_ = std::max(0, module_->get_num_channels());
    } catch (...) {
        module_.reset();
        channels_ = 0;
    }
    return module_ != nullptr;
}

void SongPlayer::restart()
{
    // A fresh decode clears every channel, pattern loop and global setting,
    // which seeking back to 0 does not promise.
    decode();
}

void SongPlayer::setVolume(int volume)
{
    targetVolume_ = std::clamp(volume, 0, FullVolume);
}

float SongPlayer::channelVu(int channel) const
{
    if (channel < 0 || channel >= channels_ || channel >= MaxChannels) return 0.0f;
    return levels_[static_cast<std::size_t>(channel)];
}

void SongPlayer::render(std::int16_t* interleaved, std::size_t frames, int rate)
{
    const double target = targetVolume_ / double(FullVolume);
    const double start = rendered_ ? appliedGain_ : target;
    rendered_ = true;
    appliedGain_ = target;

    if (!module_) {
        std::fill(interleaved, interleaved + frames * 2, std::int16_t{0});
        return;
    }

    std::size_t done = 0;
    while (done < frames) {
        const std::size_t want = std::min(ChunkFrames, frames - done);
        std::size_t got = 0;
        try {
            got = module_->read_interleaved_stereo(rate, want, scratch_.data());
        } catch (...) {
            got = 0;
        }
        // With an endless repeat count a short read should not happen; if it
        // does, the rest is silence so that the block is still whole.
        std::fill(scratch_.begin() + static_cast<std::ptrdiff_t>(got * 2),
                  scratch_.begin() + static_cast<std::ptrdiff_t>(want * 2), 0.0f);
        for (std::size_t i = 0; i < want; ++i) {
            // Linear ramp from the previous block's gain to this one's.
            const double t = double(done + i + 1) / double(frames);
            const float gain = static_cast<float>(start + (target - start) * t);
            interleaved[(done + i) * 2] = toSample(scratch_[i * 2] * gain);
            interleaved[(done + i) * 2 + 1] = toSample(scratch_[i * 2 + 1] * gain);
        }
        done += want;
    }

    const int n = std::min(channels_, MaxChannels);
    for (int c = 0; c < n; ++c) {
        // Levels come from note volume and envelopes and can pass 1.
        const float vu = module_->get_current_channel_vu_mono(c);
        levels_[static_cast<std::size_t>(c)] = std::isfinite(vu) ? std::clamp(vu, 0.0f, 1.0f) : 0.0f;
    }
}

} // namespace plat
