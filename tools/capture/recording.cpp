// Video and sound of a capture on demo time, from --from to the run's end.
#include "capture/recording.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace capture {

namespace {

// Tolerance for times that land on a slot or sample boundary up to rounding.
constexpr double Epsilon = 1e-6;

} // namespace

std::uint64_t audioFramesAt(double ms, int rate)
{
    if (!(ms > 0.0)) return 0;
    return static_cast<std::uint64_t>(std::floor(ms * rate / 1000.0 + Epsilon));
}

Recording::Recording(double fromMs, double fps, VideoWriter* video, WavWriter* sound)
    : from_(fromMs), period_(1000.0 / fps), video_(video), sound_(sound)
{
}

// The first slot whose start is at or after demoMs: the picture presented at
// demoMs is on screen from then on. Pictures before the first slot share it.
long Recording::slotOf(double demoMs) const
{
    const double slots = std::ceil((demoMs - from_) / period_ - Epsilon);
    return slots > 0.0 ? static_cast<long>(slots) : 0;
}

// Sends the held picture for the slots up to untilSlot; the buffer goes with it.
bool Recording::writeHeld(long untilSlot)
{
    if (videoOk_ && written_ < untilSlot) {
        videoOk_ = video_->queueFrame(held_, untilSlot - written_);
        held_ = nullptr;
        written_ = untilSlot;
    }
    return videoOk_;
}

std::vector<std::uint8_t>* Recording::frameBuffer(double demoMs)
{
    if (!video_ || !videoOk_) return nullptr;
    const long slot = slotOf(demoMs);
    // A later picture in the same slot replaces the held one: each slot shows
    // the last picture presented before it starts.
    if (held_ && slot > heldSlot_ && !writeHeld(slot)) return nullptr;
    if (!held_) held_ = video_->takeFrame();
    if (!held_) {
        videoOk_ = false;
        return nullptr;
    }
    heldSlot_ = std::max(slot, written_);
    return held_;
}

bool Recording::addAudio(const std::int16_t* samples, std::size_t frames, int rate)
{
    const std::uint64_t start = audioSeen_;
    audioSeen_ += frames;
    if (!sound_) return true;
    const std::uint64_t first = audioFramesAt(from_, rate);
    const std::uint64_t last = endMs_ ? std::max(first, audioFramesAt(*endMs_, rate)) : UINT64_MAX;
    // The part of [start, start + frames) that lies within [first, last).
    const std::uint64_t begin = std::max(start, first), end = std::min(audioSeen_, last);
    if (begin >= end) return sound_->isOpen();
    return sound_->write(samples + (begin - start) * 2, static_cast<std::size_t>(end - begin), rate);
}

void Recording::limitEnd(double endMs)
{
    endMs_ = endMs_ ? std::min(*endMs_, endMs) : endMs;
}

bool Recording::finish(double endMs)
{
    if (!video_) return true;
    const double slots = std::ceil((endMs - from_) / period_ - Epsilon);
    const long lastSlots = slots > 0.0 ? static_cast<long>(slots) : 0;
    if (held_ && heldSlot_ < lastSlots) writeHeld(lastSlots);
    if (held_) {
        video_->returnFrame(held_);
        held_ = nullptr;
    }
    return video_->flushFrames() && videoOk_;
}

} // namespace capture
