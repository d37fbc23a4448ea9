// The span of demo time that the video and the soundtrack cover, kept on
// demo time: recording time = demo time - --from, for picture and sound.
#pragma once

#include "capture/media.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace capture {

// The video has one frame per frame period from `from` on. Each slot shows
// the picture on screen at its start: the last one presented at or before
// it. A pause of the program (no present while the clock runs on) therefore
// holds the last presented picture for every period of the pause, as a
// viewer sees it. The sound is the rendered audio between the same bounds,
// written to the WAV as it comes: memory stays the same however long the run.
class Recording {
public:
    // video may be null: sound only; sound may be null: no sound kept.
    Recording(double fromMs, double fps, VideoWriter* video, WavWriter* sound);

    // The buffer that the frame presented at demo time demoMs is to be
    // converted into (see convertToVideoFrame). A picture of a later slot
    // than the one held sends the held one to the encoder first; one of the
    // same slot replaces it. Waits while the encoder's buffers are all
    // queued; null when the video encoder stopped taking frames.
    std::vector<std::uint8_t>* frameBuffer(double demoMs);
    // Every block of rendered audio from demo time 0 on, in order. False
    // once the WAV cannot be written (its error() says why).
    bool addAudio(const std::int16_t* samples, std::size_t frames, int rate);
    // The run ends at endMs or before: sound after it is never written. Set
    // as soon as the end is known, since what is written stays.
    void limitEnd(double endMs);
    // Ends the video at demo time endMs: the last picture fills it up to
    // there, and every frame has gone to the encoder. False when the encoder
    // failed.
    bool finish(double endMs);

private:
    long slotOf(double demoMs) const;
    bool writeHeld(long untilSlot);

    double from_;
    double period_;
    VideoWriter* video_;
    std::vector<std::uint8_t>* held_ = nullptr;  // the picture waiting for its slots, a VideoWriter buffer
    long heldSlot_ = -1;               // the held picture's first slot
    long written_ = 0;                 // video frames queued for the encoder
    bool videoOk_ = true;
    WavWriter* sound_;
    std::uint64_t audioSeen_ = 0;      // audio frames rendered since demo time 0
    std::optional<double> endMs_;      // no sound after this demo time
};

// Audio frames rendered from demo time 0 to ms at this rate, as the headless
// clock counts them.
std::uint64_t audioFramesAt(double ms, int rate);

} // namespace capture
