// The span of demo time that the video and the soundtrack cover, kept on
// demo time: recording time = demo time - --from, for picture and sound.
#pragma once

#include "capture/media.h"

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

// The video has one frame per frame period from `from` on. Each slot shows
// the picture on screen at its start: the last one presented at or before
// it. A pause of the program (no present while the clock runs on) therefore
// holds the last presented picture for every period of the pause, as a
// viewer sees it. The sound is the rendered audio between the same bounds.
class Recording {
public:
    // video may be null: sound only.
    Recording(double fromMs, double fps, VideoWriter* video);

    // A frame presented at demo time demoMs. Takes the pixels (swaps them
    // out). False when the video encoder stopped taking frames.
    bool addFrame(double demoMs, std::vector<std::uint8_t>* rgb);
    // Every block of rendered audio from demo time 0 on, in order.
    void addAudio(const std::int16_t* samples, std::size_t frames, int rate);
    // Ends both at demo time endMs: the last picture fills the video up to
    // it and the sound is cut there. False when the encoder failed.
    bool finish(double endMs);

    const std::vector<std::int16_t>& audio() const { return audio_; }
    int audioRate() const { return rate_; }

private:
    long slotOf(double demoMs) const;
    bool writeHeld(long untilSlot);

    double from_;
    double period_;
    VideoWriter* video_;
    std::vector<std::uint8_t> held_;   // the picture waiting for its slots
    long heldSlot_ = -1;               // -1: none yet
    long written_ = 0;                 // video frames sent to the encoder
    bool videoOk_ = true;
    std::uint64_t audioSeen_ = 0;      // audio frames rendered since demo time 0
    std::vector<std::int16_t> audio_;  // interleaved stereo from `from` on
    int rate_ = 44100;
};

// Audio frames rendered from demo time 0 to ms at this rate, as the headless
// clock counts them.
std::uint64_t audioFramesAt(double ms, int rate);

} // namespace capture
