// nordglow-capture --video through the real ffmpeg: a clip on demo time that
// shows the intro's pause as a viewer sees it, with sound and picture
// together; and an encoder that ends early is an error, not a short file.
#include "gl_fixture.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int Width = 800;
constexpr int Height = 600;

// Runs a shell command; its standard output (and exit code) come back.
int runCommand(const std::string& cmd, std::string* out)
{
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out->append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool installed(const std::string& tool)
{
    return std::system((tool + " -version >/dev/null 2>&1").c_str()) == 0;
}

std::string captureCommand(const std::string& args)
{
    return std::string(NG_CAPTURE_BIN) + SoftwareRenderer + " --data " + testDataRoot() + " " + args;
}

fs::path freshDir(const std::string& name)
{
    const fs::path d = fs::temp_directory_path() / ("ng-video-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
    return d;
}

// The intro's question: white letters in the bottom-left corner over black.
bool showsQuestion(const std::uint8_t* rgb)
{
    int lit = 0;
    int brightestElsewhere = 0;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const std::uint8_t* p = rgb + (static_cast<std::size_t>(y) * Width + x) * 3;
            const int v = std::max({p[0], p[1], p[2]});
            if (y >= Height - 30 && x < 200) lit += v > 160;
            else brightestElsewhere = std::max(brightestElsewhere, v);
        }
    }
    return lit > 50 && brightestElsewhere < 40;
}

// Stereo 16-bit samples, decoded by ffmpeg from any file it reads.
std::vector<std::int16_t> decodeSound(const fs::path& file)
{
    std::string raw;
    runCommand("ffmpeg -nostdin -v error -i '" + file.string() + "' -f s16le -ac 2 -ar 44100 -", &raw);
    std::vector<std::int16_t> s(raw.size() / 2);
    std::memcpy(s.data(), raw.data(), s.size() * 2);
    return s;
}

// First stereo frame at or after `from` with a sample above `level`; -1 if none.
long firstSound(const std::vector<std::int16_t>& s, long from, int level)
{
    for (std::size_t i = static_cast<std::size_t>(from) * 2; i < s.size(); ++i) {
        if (std::abs(s[i]) > level) return static_cast<long>(i / 2);
    }
    return -1;
}

} // namespace

TEST(CaptureVideo, ClipHoldsTheIntroPauseAndKeepsSoundWithPicture)
{
    if (!installed("ffmpeg") || !installed("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path d = freshDir("clip");
    const fs::path video = d / "clip.mp4", wav = d / "clip.wav";
    // 20 fps: the first main-part frame is at song time 50 ms, where the main
    // part's fade-in first gives the song a volume above 0, so picture and
    // sound of the main part begin together.
    const double periodMs = 50.0;
    std::string out;
    ASSERT_EQ(runCommand(captureCommand("--fps 20 --from 30000 --until 40000 --video " + video.string() +
                                        " --audio " + wav.string() + " 2>&1"), &out), 0) << out;

    std::string duration;
    runCommand("ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 '" + video.string() + "'",
               &duration);
    EXPECT_NEAR(std::atof(duration.c_str()), 10.0, periodMs / 1000.0) << duration;

    // Every decoded frame: does it show the question?
    std::vector<bool> question;
    {
        const std::string decode = "ffmpeg -nostdin -v error -i '" + video.string() + "' -f rawvideo -pix_fmt rgb24 -";
        std::FILE* p = popen(decode.c_str(), "r");
        ASSERT_NE(p, nullptr);
        std::vector<std::uint8_t> frame(static_cast<std::size_t>(Width) * Height * 3);
        while (std::fread(frame.data(), 1, frame.size(), p) == frame.size()) {
            question.push_back(showsQuestion(frame.data()));
        }
        pclose(p);
    }
    EXPECT_NEAR(static_cast<double>(question.size()), 10000.0 / periodMs, 1.0);
    ASSERT_GT(question.size(), 70u);
    EXPECT_TRUE(question[70]) << "the frame at 3.5 s does not show the question";
    long shownFrom = 0;
    while (shownFrom < static_cast<long>(question.size()) && !question[shownFrom]) ++shownFrom;
    long shownUntil = shownFrom;
    while (shownUntil < static_cast<long>(question.size()) && question[shownUntil]) ++shownUntil;
    const double questionMs = shownFrom * periodMs, firstMainMs = shownUntil * periodMs;
    // The three-second pause, plus the question frame presented before and after it.
    EXPECT_GE(firstMainMs - questionMs, 3000.0) << "question shown from " << questionMs << " ms";
    EXPECT_LE(firstMainMs - questionMs, 3000.0 + 3 * periodMs) << "question shown from " << questionMs << " ms";

    // The WAV: the same 10 s, the intro song before the ending, silence over the pause.
    const std::string wavBytes = [&] {
        std::ifstream f(wav, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }();
    ASSERT_GT(wavBytes.size(), 44u);
    EXPECT_EQ(wavBytes.size() - 44, 441000u * 4);
    const std::vector<std::int16_t> sound = decodeSound(wav);
    const long rate = 44100;
    EXPECT_GE(firstSound(sound, 0, 100), 0) << "no intro song at the clip's start";
    const long silentFrom = static_cast<long>(questionMs / 1000.0 * rate);
    const long soundAgain = firstSound(sound, silentFrom, 0);
    EXPECT_GE(soundAgain, static_cast<long>(firstMainMs / 1000.0 * rate)) << "sound during the pause";

    // In the video file, the main song's sound starts with the main part's picture.
    const std::vector<std::int16_t> videoSound = decodeSound(video);
    const long videoSoundFrame = firstSound(videoSound, silentFrom, 2);
    ASSERT_GE(videoSoundFrame, 0);
    const double soundMs = videoSoundFrame * 1000.0 / rate;
    EXPECT_NEAR(soundMs, firstMainMs, periodMs) << "sound starts at " << soundMs << " ms";
    std::printf("clip: video %s s, %zu frames; WAV %.3f s; question from %.0f ms, first main frame %.0f ms, "
                "main song heard from %.1f ms (offset %+.1f ms)\n",
                duration.substr(0, duration.find('\n')).c_str(), question.size(),
                static_cast<double>(wavBytes.size() - 44) / 4 / rate, questionMs, firstMainMs, soundMs,
                soundMs - firstMainMs);
    fs::remove_all(d);
}

TEST(CaptureVideo, EncoderEndingEarlyIsAnErrorThatLeavesNoFiles)
{
    // An "ffmpeg" that answers -version but takes no frames: one that exits
    // with a code, one killed by a signal. Either way the run fails, says
    // how the encoder ended, and leaves neither a video nor the WAV, which
    // would be cut short.
    const fs::path d = freshDir("early");
    const fs::path fake = d / "ffmpeg";
    for (const char* end : {"exit 3", "kill -9 $$"}) {
        {
            std::ofstream f(fake);
            f << "#!/bin/sh\n[ \"$1\" = -version ] && exit 0\n" << end << "\n";
        }
        fs::permissions(fake, fs::perms::owner_all);
        std::string out;
        const std::string args = "--fps 20 --until 2000 --video " + (d / "v.mp4").string() + " --audio " +
                                 (d / "s.wav").string() + " 2>&1";
        const int code = runCommand("PATH='" + d.string() + "':\"$PATH\" " + captureCommand(args), &out);
        EXPECT_EQ(code, 1) << out;
        const std::string how = end[0] == 'e' ? "ffmpeg exited with code 3" : "ffmpeg was killed by signal 9";
        EXPECT_NE(out.find("nordglow-capture: the video encoder stopped early (" + how + ")"), std::string::npos)
            << out;
        EXPECT_NE(out.find((d / "s.wav").string() + " is not written: the run did not finish"), std::string::npos)
            << out;
        for (const auto& entry : fs::directory_iterator(d)) {
            EXPECT_EQ(entry.path(), fake) << "left behind after: " << end;
        }
    }
    fs::remove_all(d);
}
