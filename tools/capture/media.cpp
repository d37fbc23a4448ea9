// PNG, WAV and MP4 output of nordglow-capture.
#include "capture/media.h"

#include <png.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

namespace capture {

bool writePng(const std::string& path, const std::vector<std::uint8_t>& rgb, int width, int height)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        std::fclose(f);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
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
    const bool written = std::fflush(f) == 0 && !std::ferror(f);
    return (std::fclose(f) == 0) && written;
}

namespace {

void put16(std::FILE* f, std::uint16_t v)
{
    const unsigned char b[2] = {static_cast<unsigned char>(v & 0xFF), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

void put32(std::FILE* f, std::uint32_t v)
{
    put16(f, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(f, static_cast<std::uint16_t>(v >> 16));
}

} // namespace

bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int rate)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 1);   // PCM
    put16(f, 2);   // stereo
    put32(f, static_cast<std::uint32_t>(rate));
    put32(f, static_cast<std::uint32_t>(rate) * 4);
    put16(f, 4);
    put16(f, 16);
    std::fwrite("data", 1, 4, f);
    put32(f, dataBytes);
    // Little-endian host: samples go out as they are. A run that ended before
    // its first frame has none: the header alone is a valid, empty WAV.
    bool ok = samples.empty() || std::fwrite(samples.data(), 2, samples.size(), f) == samples.size();
    // The header's writes only fill the buffer; any of them failing sets the
    // error flag, and a full disk shows when the buffer goes out.
    ok = std::fflush(f) == 0 && !std::ferror(f) && ok;
    return (std::fclose(f) == 0) && ok;
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

bool VideoWriter::open(const std::string& path, int width, int height, double fps)
{
    path_ = path;
    silentPath_ = path + ".video-only.mp4";
    error_.clear();
    const std::string cmd = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt rgb24 -s " + std::to_string(width) +
                            "x" + std::to_string(height) + " -r " + std::to_string(fps) +
                            " -i - -c:v libx264 -pix_fmt yuv420p -crf 18 " + shellQuote(silentPath_);
    pipe_ = popen(cmd.c_str(), "w");
    if (!pipe_) error_ = "cannot start ffmpeg";
    return pipe_ != nullptr;
}

std::string VideoWriter::closeEncoder()
{
    const int status = pclose(pipe_);
    pipe_ = nullptr;
    if (status == -1) return "its exit status is unknown";
    if (WIFSIGNALED(status)) return "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
    if (!WIFEXITED(status)) return "ffmpeg ended abnormally";
    // The shell reports a program it cannot run with 127.
    if (WEXITSTATUS(status) == 127) return "ffmpeg could not be run";
    if (WEXITSTATUS(status) != 0) return "ffmpeg exited with code " + std::to_string(WEXITSTATUS(status));
    return "";
}

bool VideoWriter::addFrame(const std::vector<std::uint8_t>& rgb)
{
    if (!pipe_) return false;
    if (std::fwrite(rgb.data(), 1, rgb.size(), pipe_) == rgb.size()) return true;
    // Frames go nowhere once ffmpeg has closed its end of the pipe.
    std::string how = closeEncoder();
    if (how.empty()) how = "ffmpeg exited while frames were still coming";
    error_ = "the video encoder stopped early (" + how + ")";
    std::error_code ec;
    std::filesystem::remove(silentPath_, ec);
    return false;
}

void VideoWriter::abandon()
{
    if (!pipe_) return;
    closeEncoder();
    std::error_code ec;
    std::filesystem::remove(silentPath_, ec);
}

bool VideoWriter::finish(const std::string& wavPath)
{
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
    const std::string cmd = "ffmpeg -nostdin -loglevel error -y -i " + shellQuote(silentPath_) + " -i " +
                            shellQuote(wavPath) + " -c:v copy -c:a aac -b:a 192k -shortest " + shellQuote(path_);
    const bool muxed = std::system(cmd.c_str()) == 0;
    std::filesystem::remove(silentPath_, ec);
    if (!muxed) error_ = "ffmpeg could not write " + path_;
    return muxed;
}

} // namespace capture
