// One module song decoded with libopenmpt, rendered as interleaved stereo
// 16-bit: loops forever, scales by a master volume, reports channel levels.
// Shared by the live and the headless music backends.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace openmpt { class module; }

namespace plat {

class SongPlayer {
public:
    static constexpr int MaxChannels = 64;   // levels kept for channels 0..63
    static constexpr int FullVolume = 256;

    SongPlayer();
    ~SongPlayer();
    SongPlayer(const SongPlayer&) = delete;
    SongPlayer& operator=(const SongPlayer&) = delete;

    // Takes the file's bytes and decodes them. False when they are not a
    // module libopenmpt can play: the player then renders silence.
    bool loadFromMemory(std::vector<std::uint8_t> bytes);
    // Reads and decodes a file; false (and silence) when it is missing or
    // damaged, with what is wrong in `problem` when given ("is empty", ...).
    bool loadFromFile(const char* path, std::string* problem = nullptr);
    bool hasModule() const { return module_ != nullptr; }

    // Back to the song's beginning, channel states and levels cleared. The
    // volume stays as set.
    void restart();

    // Fills `frames` stereo frames (always all of them) at `rate` Hz and moves
    // the song on by that much. The master volume reaches its set value by
    // the end of this block, ramping from the previous block's value.
    void render(std::int16_t* interleaved, std::size_t frames, int rate);

    // 0 silent .. 256 full; values outside are clamped.
    void setVolume(int volume);
    int volume() const { return targetVolume_; }

    // Channels in the song (0 for silence).
    int channelCount() const { return channels_; }
    // Level 0..1 of a channel after the last render; 0 for a channel the song
    // does not have.
    float channelVu(int channel) const;
    // All levels after the last render; channels the song lacks are 0.
    const std::array<float, MaxChannels>& levels() const { return levels_; }

private:
    bool decode();

    std::vector<std::uint8_t> bytes_;
    std::unique_ptr<openmpt::module> module_;
    std::vector<float> scratch_;           // float render buffer, interleaved
    std::array<float, MaxChannels> levels_{};
    int channels_ = 0;
    int targetVolume_ = FullVolume;
    double appliedGain_ = 1.0;             // gain at the end of the last block
    bool rendered_ = false;                // a block was rendered since restart
};

} // namespace plat
