// Output files of nordglow-capture: PNG frames, WAV sound, MP4 through ffmpeg.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
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
// in. After a failure, error() says what went wrong, as a message for the user.
class VideoWriter {
public:
    bool open(const std::string& path, int width, int height, double fps, VideoEncoding encoding);
    // False once the encoder has stopped taking frames.
    bool addFrame(const std::vector<std::uint8_t>& yuv);
    // Finishes the stream; with a WAV path, muxes it in. False on any failure.
    bool finish(const std::string& wavPath);
    // Stops the encoder and removes what it wrote (after another failure).
    void abandon();
    const std::string& error() const { return error_; }

private:
    // Closes the pipe; "" when ffmpeg ended well, otherwise how it ended.
    std::string closeEncoder();

    std::FILE* pipe_ = nullptr;
    std::string path_;
    std::string silentPath_;
    std::string error_;
};

} // namespace capture
