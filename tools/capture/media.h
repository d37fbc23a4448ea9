// Output files of nordglow-capture: PNG frames, WAV sound, MP4 through ffmpeg.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace capture {

// 8-bit RGB rows, top row first. Deterministic bytes (no time stamps).
// Written as PATH.partial and renamed once whole; after a failure nothing
// is left under either name.
bool writePng(const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height);

// A 16-bit stereo WAV written while the sound comes: the header first, then
// the samples as they arrive, the header's sizes filled in by finish(). A
// regular file is written as PATH.partial and takes its name only when
// finished, so a run that fails or is killed never leaves a short WAV under
// the asked name. Other files (a device, a pipe) are written in place; when
// they cannot seek, the sizes stay marked unknown, as for any streamed WAV.
// After a failure, error() says what went wrong, as a message for the user.
class WavWriter {
public:
    WavWriter() = default;
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;
    ~WavWriter() { abandon(); }

    // Opens the file and writes the header out at once: a file that cannot
    // be written fails here, before any sound.
    bool open(const std::string& path, int rate);
    // Interleaved stereo frames at this rate (the header gives the rate of
    // the last ones). False once a write has failed.
    bool write(const std::int16_t* samples, std::size_t frames, int rate);
    // Writes the sizes into the header, closes and names the file. False on
    // any failure, and then nothing is left under the name.
    bool finish();
    // Closes and removes what was written (after another failure).
    void abandon();

    bool isOpen() const { return file_ != nullptr; }
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& what);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string writingPath_;   // PATH.partial, or PATH itself when written in place
    std::uint64_t frames_ = 0;
    int rate_ = 44100;
    std::string error_;
};

// True when the ffmpeg program can be started.
bool ffmpegAvailable();

// Why the video could not be written to path when the run is over, as a
// message for the user; "" when nothing stands in the way. The folder is
// checked apart.
std::string videoFileProblem(const std::string& path);

// Converts an RGBA picture with its bottom row first (as the renderer keeps
// it; even width and height) into the video's frame: 4:2:0 planes Y, Cb, Cr,
// BT.709 studio range, top row first. Reuses yuv's storage.
void convertToVideoFrame(const std::uint8_t* rgba, int width, int height, std::vector<std::uint8_t>* yuv);

// How the video is encoded: at drawing speed (H.264 CRF 18, x264 preset
// ultrafast), or for a file about a quarter of the size at several times the
// encoder's work (CRF 20, preset medium).
enum class VideoEncoding { Fast, Small };

// Streams frames from convertToVideoFrame into ffmpeg, then muxes the sound
// in. The frames go to the encoder from a writer thread of its own, through
// a few frame buffers that are reused: drawing the next frame overlaps with
// encoding the last ones, and the drawing thread waits only while every
// buffer is still queued. After a failure, error() says what went wrong, as
// a message for the user.
class VideoWriter {
public:
    // Buffers in all: one being filled, the others queued or being written.
    static constexpr int FrameBuffers = 3;

    VideoWriter() = default;
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;
    ~VideoWriter() { abandon(); }

    bool open(const std::string& path, int width, int height, double fps, VideoEncoding encoding);
    // A free frame buffer to fill, waiting while all are queued; null once
    // the encoder has stopped taking frames. Each one obtained goes back
    // through queueFrame or returnFrame.
    std::vector<std::uint8_t>* takeFrame();
    // Queues the frame to be written `times` times in a row (times >= 1).
    // False once the encoder has stopped taking frames.
    bool queueFrame(std::vector<std::uint8_t>* frame, long times);
    // Gives back a buffer that is not to be written.
    void returnFrame(std::vector<std::uint8_t>* frame);
    // Waits until every queued frame has gone to the encoder. False once the
    // encoder has stopped taking frames.
    bool flushFrames();
    // Finishes the stream; with a WAV path, muxes it in. False on any failure.
    bool finish(const std::string& wavPath);
    // Stops the encoder and removes what it wrote (after another failure).
    void abandon();
    // Safe to read once takeFrame, queueFrame or flushFrames has said false.
    const std::string& error() const { return error_; }

private:
    struct Queued {
        std::vector<std::uint8_t>* frame;
        long times;
    };

    void runWriter();
    // Ends the writer thread once the queue is empty or, with discard, at once.
    void stopWriter(bool discard);
    // Writes one frame to the pipe; false (error_ set, pipe closed) once ffmpeg takes no more.
    bool writeFrame(const std::vector<std::uint8_t>& yuv);
    // Closes the pipe; "" when ffmpeg ended well, otherwise how it ended.
    std::string closeEncoder();

    std::FILE* pipe_ = nullptr;
    std::string path_;
    std::string silentPath_;
    std::string error_;

    // Shared with the writer thread, under mutex_.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::uint8_t> buffers_[FrameBuffers];
    std::vector<std::vector<std::uint8_t>*> free_;
    std::deque<Queued> queue_;
    bool writing_ = false;   // the writer holds a frame taken off the queue
    bool failed_ = false;    // the encoder took no more frames
    bool stopping_ = false;  // no more frames come
    std::atomic<bool> discard_{false};  // queued frames are dropped, not written
    std::thread writer_;
};

} // namespace capture
