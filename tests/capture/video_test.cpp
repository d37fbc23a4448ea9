// nordglow-capture --video through the real ffmpeg: a clip on demo time that
// shows the intro's pause as a viewer sees it, with sound and picture
// together; through a stand-in encoder: every frame reaches it in order as
// drawn, a slow one holds the drawing back to the frame buffers, and one
// that ends early is an error, not a short file.
#include "capture/media.h"
#include "frame_images.h"
#include "gl_fixture.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
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

// The 4:2:0 frame a viewer's decoder expects for an RGB picture, in floating
// point from the BT.709 definition (studio range, chroma of each 2 x 2
// block's mean colour): the converter's integer sums may differ by one.
std::vector<std::uint8_t> referenceVideoFrame(const FrameImage& image)
{
    const int w = image.width, h = image.height;
    std::vector<std::uint8_t> yuv(static_cast<std::size_t>(w) * h * 3 / 2);
    auto at = [&](int x, int y, int c) { return image.rgb[(static_cast<std::size_t>(y) * w + x) * 3 + c] / 255.0; };
    auto luma = [](double r, double g, double b) { return 0.2126 * r + 0.7152 * g + 0.0722 * b; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            yuv[static_cast<std::size_t>(y) * w + x] =
                static_cast<std::uint8_t>(std::lround(16 + 219 * luma(at(x, y, 0), at(x, y, 1), at(x, y, 2))));
        }
    }
    std::uint8_t* cb = yuv.data() + static_cast<std::size_t>(w) * h;
    std::uint8_t* cr = cb + static_cast<std::size_t>(w / 2) * (h / 2);
    for (int y = 0; y < h; y += 2) {
        for (int x = 0; x < w; x += 2) {
            double mean[3];
            for (int c = 0; c < 3; ++c) {
                mean[c] = (at(x, y, c) + at(x + 1, y, c) + at(x, y + 1, c) + at(x + 1, y + 1, c)) / 4;
            }
            const double yp = luma(mean[0], mean[1], mean[2]);
            const std::size_t i = static_cast<std::size_t>(y / 2) * (w / 2) + x / 2;
            cb[i] = static_cast<std::uint8_t>(std::lround(128 + 224 * (mean[2] - yp) / 1.8556));
            cr[i] = static_cast<std::uint8_t>(std::lround(128 + 224 * (mean[0] - yp) / 1.5748));
        }
    }
    return yuv;
}

// An "ffmpeg" that keeps the raw frames it is sent as the video file (and
// copies that file on when asked to add the sound). It waits `delay`
// seconds before it reads anything; after each frame it notes in `log` how
// many frames it has read and how many lines the capture has written to
// `list` by then.
void writeRecordingEncoder(const fs::path& dir, std::size_t frameBytes, const fs::path& list, const fs::path& log,
                           const std::string& delay)
{
    const fs::path fake = dir / "ffmpeg";
    {
        std::ofstream f(fake);
        f << "#!/bin/sh\n[ \"$1\" = -version ] && exit 0\nfor last; do :; done\n"
          << "[ \"$1\" = -nostdin ] && exec cp \"$6\" \"$last\"\n"
          << "n=0\nsleep " << delay << "\n"
          << "while head -c " << frameBytes << " >\"$last.part\" && [ -s \"$last.part\" ]; do\n"
          << "  cat \"$last.part\" >>\"$last\"; n=$((n + 1))\n"
          << "  echo \"$n $(wc -l <'" << list.string() << "')\" >>'" << log.string() << "'\n"
          << "done\nrm -f \"$last.part\"\n";
    }
    fs::permissions(fake, fs::perms::owner_all);
}

std::string readWhole(const fs::path& file)
{
    std::ifstream f(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
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
    // A third reads a few frames first: the run is well under way when it dies.
    const std::pair<const char*, const char*> ends[] = {
        {"exit 3", "ffmpeg exited with code 3"},
        {"kill -9 $$", "ffmpeg was killed by signal 9"},
        {"head -c 3000000 >/dev/null; exit 4", "ffmpeg exited with code 4"}};
    for (const auto& [end, how] : ends) {
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
        EXPECT_NE(out.find(std::string("nordglow-capture: the video encoder stopped early (") + how + ")"),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find((d / "s.wav").string() + " is not written: the run did not finish"), std::string::npos)
            << out;
        for (const auto& entry : fs::directory_iterator(d)) {
            EXPECT_EQ(entry.path(), fake) << "left behind after: " << end;
        }
    }
    fs::remove_all(d);
}

TEST(CaptureVideo, EveryFrameReachesTheEncoderInOrderAndASlowOneHoldsTheDrawingBack)
{
    // Both clips at 20 fps, every presented frame also saved as a PNG. The
    // first holds the question's pause (its frame at 31700 ms, the next at
    // 34750 ms): one picture for 61 slots. The second, in the main part, goes
    // to an encoder that first stalls for 3 s, the time to draw many frames.
    struct Clip {
        const char* name;
        long from, until;
        const char* delay;
    };
    const long periodMs = 50;
    const std::size_t frameBytes = static_cast<std::size_t>(Width) * Height * 3 / 2;
    for (const Clip& clip : {Clip{"pause", 31000, 36000, "0"}, Clip{"main", 40000, 41500, "3"}}) {
        SCOPED_TRACE(clip.name);
        const fs::path d = freshDir(std::string("queue-") + clip.name);
        const fs::path list = d / "list", log = d / "log", video = d / "v.mp4";
        writeRecordingEncoder(d, frameBytes, list, log, clip.delay);
        std::string out;
        const std::string args = "--fps 20 --every 50 --from " + std::to_string(clip.from) + " --until " +
                                 std::to_string(clip.until) + " --out " + d.string() + " --video " + video.string() +
                                 " >" + list.string() + " 2>&1";
        ASSERT_EQ(runCommand("PATH='" + d.string() + "':\"$PATH\" " + captureCommand(args), &out), 0)
            << readWhole(list);

        // The saved frames by demo time; slot k shows the last one presented by from + k periods.
        std::map<long, std::string> saved;
        std::istringstream lines(readWhole(list));
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string path, field;
            long ms = 0;
            if (words >> path >> field && std::sscanf(field.c_str(), "demo_ms=%ld", &ms) == 1) saved[ms] = path;
        }
        ASSERT_FALSE(saved.empty());
        const std::string stream = readWhole(video);
        const long slots = (clip.until - clip.from) / periodMs;
        ASSERT_EQ(stream.size(), static_cast<std::size_t>(slots) * frameBytes);
        std::string shownPath;
        std::vector<std::uint8_t> expected;
        for (long k = 0; k < slots; ++k) {
            auto shown = saved.upper_bound(clip.from + k * periodMs);
            ASSERT_NE(shown, saved.begin());
            if (std::prev(shown)->second != shownPath) {
                shownPath = std::prev(shown)->second;
                FrameImage image;
                ASSERT_TRUE(readPngImage(shownPath, &image)) << shownPath;
                expected = referenceVideoFrame(image);
            }
            const auto* frame = reinterpret_cast<const std::uint8_t*>(stream.data()) + k * frameBytes;
            std::size_t off = 0;
            for (std::size_t i = 0; i < frameBytes; ++i) {
                off += std::abs(frame[i] - expected[i]) > 1;
            }
            ASSERT_EQ(off, 0u) << "video frame " << k << " is not " << shownPath;
        }

        // Frames listed (drawn and presented) when the encoder had read n:
        // at most one being written, the queued ones, one held for its slot,
        // the one just presented that waits for a buffer, and one more: the
        // writer lets go of a frame once its last bytes are in the pipe's and
        // the stream's buffers (under a frame), before the encoder has read
        // them, and that buffer can already hold a newer picture.
        long mostAhead = 0, reads = 0;
        std::istringstream progress(readWhole(log));
        for (long n = 0, listed = 0; progress >> n >> listed; ++reads) mostAhead = std::max(mostAhead, listed - n);
        EXPECT_EQ(reads, slots);
        EXPECT_LE(mostAhead, capture::VideoWriter::FrameBuffers + 2);
        std::printf("%s: %ld frames, the drawing at most %ld frames ahead of the encoder\n", clip.name, slots,
                    mostAhead);
        fs::remove_all(d);
    }
}
