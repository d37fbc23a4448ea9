// Output files of nordglow-capture: PNG frames, WAV sound, MP4 through ffmpeg.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace capture {

// 8-bit RGB rows, top row first. Deterministic bytes (no time stamps).
bool writePng(const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height);

// Interleaved stereo 16-bit samples.
bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int rate);

// True when the ffmpeg program can be started.
bool ffmpegAvailable();

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
