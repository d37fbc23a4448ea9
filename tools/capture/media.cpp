// PNG, WAV and MP4 output of nordglow-capture.
#include "capture/media.h"

#include <png.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace capture {

namespace {

// Encodes the picture into an open file; false on any failure.
bool encodePng(std::FILE* f, const std::vector<std::uint8_t>& rgb, int width, int height)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rgb.data() + static_cast<std::size_t>(y) * width * 3);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    // A full disk shows only when the buffered bytes go out.
    return std::fflush(f) == 0 && !std::ferror(f);
}

} // namespace

// Written as PATH.partial and renamed once whole, like the WAV: a full disk
// or a killed run never leaves a short PNG under a frame's name.
bool writePng(const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height)
{
    const std::string writing = path + ".partial";
    std::FILE* f = std::fopen(writing.c_str(), "wb");
    if (!f) return false;
    const bool encoded = encodePng(f, rgb, width, height);
    std::error_code ec;
    if (std::fclose(f) != 0 || !encoded) {
        std::filesystem::remove(writing, ec);
        return false;
    }
    std::filesystem::rename(writing, path, ec);
    if (!ec) return true;
    std::filesystem::remove(writing, ec);
    return false;
}

namespace {

// Little-endian fields of the header.
void put16(unsigned char* at, std::uint32_t v)
{
    at[0] = static_cast<unsigned char>(v & 0xFF);
    at[1] = static_cast<unsigned char>((v >> 8) & 0xFF);
}

void put32(unsigned char* at, std::uint32_t v)
{
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
}

constexpr std::size_t WavHeaderBytes = 44;
// Sizes of a WAV whose length is not known, as streamed WAVs mark it.
constexpr std::uint32_t UnknownSize = 0xFFFFFFFFu;

// The canonical 44-byte header of 16-bit stereo PCM holding dataBytes.
void makeWavHeader(unsigned char* h, int rate, std::uint32_t riffBytes, std::uint32_t dataBytes)
{
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, riffBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);  // PCM
    put16(h + 22, 2);  // stereo
    put32(h + 24, static_cast<std::uint32_t>(rate));
    put32(h + 28, static_cast<std::uint32_t>(rate) * 4);
    put16(h + 32, 4);
    put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, dataBytes);
}

} // namespace

bool WavWriter::fail(const std::string& what)
{
    if (error_.empty()) error_ = "cannot write " + path_ + " (" + what + ")";
    abandon();
    return false;
}

bool WavWriter::open(const std::string& path, int rate)
{
    abandon();
    path_ = path;
    rate_ = rate;
    frames_ = 0;
    error_.clear();
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status)) {
        error_ = "cannot write " + path + " (it is a folder)";
        return false;
    }
    const bool inPlace = std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
    writingPath_ = inPlace ? path : path + ".partial";
    file_ = std::fopen(writingPath_.c_str(), "wb");
    if (!file_) {
        error_ = "cannot write " + writingPath_ + " (" + std::strerror(errno) + ")";
        return false;
    }
    unsigned char header[WavHeaderBytes];
    makeWavHeader(header, rate, UnknownSize, UnknownSize);
    // Out at once: a full disk or a device that takes nothing shows now.
    if (std::fwrite(header, 1, sizeof header, file_) != sizeof header || std::fflush(file_) != 0) {
        return fail(std::strerror(errno));
    }
    return true;
}

bool WavWriter::write(const std::int16_t* samples, std::size_t frames, int rate)
{
    if (!file_) return false;
    rate_ = rate;
    // Little-endian host: samples go out as they are.
    if (frames > 0 && std::fwrite(samples, 4, frames, file_) != frames) return fail(std::strerror(errno));
    frames_ += frames;
    return true;
}

bool WavWriter::finish()
{
    if (!file_) {
        if (error_.empty()) error_ = "cannot write " + path_ + " (not open)";
        return false;
    }
    // 32-bit sizes hold 6 hours of sound, far more than a run can record.
    const std::uint64_t dataBytes = frames_ * 4;
    if (std::fflush(file_) != 0) return fail(std::strerror(errno));
    if (std::fseek(file_, 0, SEEK_SET) == 0) {
        unsigned char header[WavHeaderBytes];
        makeWavHeader(header, rate_, static_cast<std::uint32_t>(36 + dataBytes),
                      static_cast<std::uint32_t>(dataBytes));
        if (std::fwrite(header, 1, sizeof header, file_) != sizeof header || std::fflush(file_) != 0) {
            return fail(std::strerror(errno));
        }
    }
    std::FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0) {
        error_ = "cannot write " + path_ + " (" + std::strerror(errno) + ")";
        std::error_code ec;
        if (writingPath_ != path_) std::filesystem::remove(writingPath_, ec);
        return false;
    }
    if (writingPath_ != path_) {
        std::error_code ec;
        std::filesystem::rename(writingPath_, path_, ec);
        if (ec) {
            error_ = "cannot write " + path_ + " (" + ec.message() + ")";
            std::filesystem::remove(writingPath_, ec);
            return false;
        }
    }
    return true;
}

void WavWriter::abandon()
{
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    // A device or pipe written in place is not ours to remove.
    std::error_code ec;
    if (writingPath_ != path_) std::filesystem::remove(writingPath_, ec);
}

bool ffmpegAvailable()
{
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}

namespace {

std::string shellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

} // namespace

std::string videoFileProblem(const std::string& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) return "";
    if (std::filesystem::is_directory(status)) return "cannot write the video to " + path + ": it is a folder";
    // MP4 needs a file it can seek in, not a device or a pipe.
    if (!std::filesystem::is_regular_file(status)) {
        return "cannot write the video to " + path + ": it is not a regular file";
    }
    if (access(path.c_str(), W_OK) != 0) return "cannot write " + path + " (" + std::strerror(errno) + ")";
    return "";
}

bool VideoWriter::open(const std::string& path, int width, int height, double fps, VideoEncoding encoding)
{
    abandon();
    path_ = path;
    silentPath_ = path + ".video-only.mp4";
    error_.clear();
    // The frames come converted (see convertToVideoFrame): ffmpeg only encodes.
    // The colour tags tell players which conversion to undo.
    const std::string settings = encoding == VideoEncoding::Small ? "-preset medium -crf 20" : "-preset ultrafast -crf 18";
    const std::string cmd = "exec ffmpeg -loglevel error -y -f rawvideo -pix_fmt yuv420p -color_range tv "
                            "-colorspace bt709 -color_primaries bt709 -color_trc bt709 -s " +
                            std::to_string(width) + "x" + std::to_string(height) + " -r " + std::to_string(fps) +
                            " -i - -c:v libx264 " + settings +
                            " -color_range tv -colorspace bt709 -color_primaries bt709 -color_trc bt709 " +
                            shellQuote(silentPath_);
    pipe_ = popen(cmd.c_str(), "w");
    if (!pipe_) {
        error_ = "cannot start ffmpeg";
        return false;
    }
    // Every buffer is made at its full size now: no frame allocates.
    const std::size_t frameBytes = static_cast<std::size_t>(width) * height +
                                   2 * static_cast<std::size_t>(width / 2) * (height / 2);
    free_.clear();
    queue_.clear();
    for (auto& buffer : buffers_) {
        buffer.resize(frameBytes);
        free_.push_back(&buffer);
    }
    writing_ = failed_ = stopping_ = false;
    discard_ = false;
    writer_ = std::thread([this] { runWriter(); });
    return true;
}

namespace {

// How an ffmpeg started through the shell ended, from its wait status: ""
// when it ended well. The command lines exec ffmpeg, so a signal that ends
// it reaches this status itself, not as the shell's 128 + N.
std::string describeEncoderEnd(int status)
{
    if (status == -1) return "its exit status is unknown";
    if (WIFSIGNALED(status)) return "ffmpeg was killed by signal " + std::to_string(WTERMSIG(status));
    if (!WIFEXITED(status)) return "ffmpeg ended abnormally";
    // The shell reports a program it cannot run with 127.
    if (WEXITSTATUS(status) == 127) return "ffmpeg could not be run";
    if (WEXITSTATUS(status) != 0) return "ffmpeg exited with code " + std::to_string(WEXITSTATUS(status));
    return "";
}

} // namespace

std::string VideoWriter::closeEncoder()
{
    const int status = pclose(pipe_);
    pipe_ = nullptr;
    return describeEncoderEnd(status);
}

bool VideoWriter::writeFrame(const std::vector<std::uint8_t>& yuv)
{
    if (!pipe_) return false;
    if (std::fwrite(yuv.data(), 1, yuv.size(), pipe_) == yuv.size()) return true;
    // Frames go nowhere once ffmpeg has closed its end of the pipe.
    std::string how = closeEncoder();
    if (how.empty()) how = "ffmpeg exited while frames were still coming";
    error_ = "the video encoder stopped early (" + how + ")";
    std::error_code ec;
    std::filesystem::remove(silentPath_, ec);
    return false;
}

void VideoWriter::runWriter()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return !queue_.empty() || stopping_; });
        if (queue_.empty()) return;
        const Queued next = queue_.front();
        queue_.pop_front();
        writing_ = true;
        bool ok = !failed_;
        lock.unlock();
        for (long i = 0; ok && i < next.times && !discard_; ++i) ok = writeFrame(*next.frame);
        lock.lock();
        if (!ok) failed_ = true;
        writing_ = false;
        free_.push_back(next.frame);
        changed_.notify_all();
    }
}

std::vector<std::uint8_t>* VideoWriter::takeFrame()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return !free_.empty() || failed_ || !writer_.joinable(); });
    if (failed_ || !writer_.joinable() || free_.empty()) return nullptr;
    std::vector<std::uint8_t>* frame = free_.back();
    free_.pop_back();
    return frame;
}

bool VideoWriter::queueFrame(std::vector<std::uint8_t>* frame, long times)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (failed_ || stopping_) {
            free_.push_back(frame);
            return false;
        }
        queue_.push_back({frame, times});
    }
    changed_.notify_all();
    return true;
}

void VideoWriter::returnFrame(std::vector<std::uint8_t>* frame)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        free_.push_back(frame);
    }
    changed_.notify_all();
}

bool VideoWriter::flushFrames()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return (queue_.empty() && !writing_) || !writer_.joinable(); });
    return !failed_;
}

void VideoWriter::stopWriter(bool discard)
{
    if (!writer_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        if (discard) discard_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void VideoWriter::abandon()
{
    stopWriter(true);
    if (!pipe_) return;
    closeEncoder();
    std::error_code ec;
    std::filesystem::remove(silentPath_, ec);
}

bool VideoWriter::finish(const std::string& wavPath)
{
    stopWriter(false);
    if (!pipe_) {
        if (error_.empty()) error_ = "the video encoder is not running";
        return false;
    }
    std::error_code ec;
    // The last frames may still sit in the pipe's buffer.
    const bool flushed = std::fflush(pipe_) == 0;
    const std::string how = closeEncoder();
    if (!flushed || !how.empty()) {
        if (!flushed) {
            error_ = "the video encoder stopped early (" + (how.empty() ? "ffmpeg took no more frames" : how) + ")";
        } else {
            error_ = "ffmpeg could not write " + path_ + " (" + how + ")";
        }
        std::filesystem::remove(silentPath_, ec);
        return false;
    }
    if (wavPath.empty()) {
        std::filesystem::rename(silentPath_, path_, ec);
        if (ec) error_ = "cannot write " + path_ + " (" + ec.message() + ")";
        return !ec;
    }
    // -nostdin: ffmpeg would otherwise read keys from the terminal.
    const std::string cmd = "exec ffmpeg -nostdin -loglevel error -y -i " + shellQuote(silentPath_) + " -i " +
                            shellQuote(wavPath) + " -c:v copy -c:a aac -b:a 192k -shortest -movflags +faststart " +
                            shellQuote(path_);
    const std::string muxHow = describeEncoderEnd(std::system(cmd.c_str()));
    std::filesystem::remove(silentPath_, ec);
    if (!muxHow.empty()) error_ = "ffmpeg could not write " + path_ + " (" + muxHow + ")";
    return muxHow.empty();
}

} // namespace capture
