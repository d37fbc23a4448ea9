// Frames saved by nordglow-capture, read back as pixels: decoding a PNG, a
// hash of its pixels (not of the file, whose bytes depend on the encoder),
// and running the capture tool to collect the frames it reports.
#pragma once

#include "gl_fixture.h"

#include <png.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct FrameImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel
};

// Decodes a PNG to 8-bit RGB. False when the file cannot be read.
inline bool readPngImage(const std::string& path, FrameImage* image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
    png.format = PNG_FORMAT_RGB;
    image->width = static_cast<int>(png.width);
    image->height = static_cast<int>(png.height);
    image->rgb.assign(PNG_IMAGE_SIZE(png), 0);
    const bool ok = png_image_finish_read(&png, nullptr, image->rgb.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok;
}

// FNV-1a over the size and the pixel bytes, as 16 hex digits.
inline std::string pixelHash(const FrameImage& image)
{
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](std::uint8_t byte) {
        h ^= byte;
        h *= 1099511628211ull;
    };
    for (int shift = 0; shift < 32; shift += 8) {
        mix(static_cast<std::uint8_t>(image.width >> shift));
        mix(static_cast<std::uint8_t>(image.height >> shift));
    }
    for (std::uint8_t byte : image.rgb) mix(byte);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

struct CaptureRun {
    int exitCode = -1;
    std::string out;                        // standard output
    std::map<long, std::string> framePaths; // demo_ms -> PNG path, as reported
};

// Runs nordglow-capture on the test data with the given arguments and
// collects the `PATH demo_ms=N ...` lines it prints.
inline CaptureRun runCaptureFrames(const std::string& args)
{
    CaptureRun run;
    const std::string cmd =
        std::string(NG_CAPTURE_BIN) + SoftwareRenderer + " --data " + testDataRoot() + " " + args + " 2>/dev/null";
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return run;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) run.out.append(buf, n);
    const int status = pclose(p);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(run.out);
    std::string path, field;
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        long demoMs = 0;
        if (words >> path >> field && std::sscanf(field.c_str(), "demo_ms=%ld", &demoMs) == 1) {
            run.framePaths[demoMs] = path;
        }
    }
    return run;
}
