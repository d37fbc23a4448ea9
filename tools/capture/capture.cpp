// nordglow-capture: the real main loop on the headless backend, with frames,
// sound, video and statistics taken at presentation time.
#include "capture/capture.h"

#include "capture/args.h"
#include "capture/media.h"
#include "capture/recording.h"
#include "platform/headless/headless.h"
#include "shell/demo.h"

#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

namespace capture {

namespace {

// Demo time of a whole run when the end is not known yet.
constexpr double EstimatedLengthMs = DemoLengthMs;
constexpr double ScrollerTailMs = 45000.0;
// The sound of a video asked for without --audio goes through this file.
const char* const SideSoundSuffix = ".sound.wav";
// The demo's mix rate: the WAV header's until the sound itself gives it.
constexpr int MixRate = 44100;

struct SceneStats {
    std::vector<double> costs;
    std::vector<double> stallCandidates;  // costs of the frames that may count as stalls
};

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const double rank = p * static_cast<double>(v.size() - 1);
    const std::size_t lo = static_cast<std::size_t>(std::floor(rank));
    const std::size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (v[hi] - v[lo]) * (rank - static_cast<double>(lo));
}

class Session {
public:
    explicit Session(const Options& o) : opt_(o)
    {
        pendingAt_ = o.at;
        std::sort(pendingAt_.begin(), pendingAt_.end());
        nextEvery_ = o.from;
        keys_ = o.keys;
        frameCostAt_ = o.frameCostAt;
        std::sort(frameCostAt_.begin(), frameCostAt_.end(),
                  [](const FrameCost& a, const FrameCost& b) { return a.atMs < b.atMs; });
        std::sort(keys_.begin(), keys_.end(), [](const KeyPress& a, const KeyPress& b) { return a.atMs < b.atMs; });
        progress_ = isatty(STDERR_FILENO) != 0;
        wallStart_ = std::chrono::steady_clock::now();
    }

    bool failed() const { return failed_; }
    long frames() const { return frames_; }

    // Whether the frame to be presented at demoMs needs its pixels: the
    // demo's first frame (it copies part of its picture into a texture, which
    // must hold what a full run puts there), every frame saved, counted by
    // --stats or in the video.
    // The others are drawn without rasterising: the run gets there with
    // the state, song and sound of a full run at a fraction of the cost.
    bool needsPixels(double demoMs) const
    {
        if (opt_.drawAll || !demoCopiedFrameTaken()) return true;
        if (!pendingAt_.empty() && pendingAt_.front() <= demoMs) return true;
        if (opt_.every > 0 && demoMs >= nextEvery_ && (!opt_.until || demoMs <= *opt_.until)) return true;
        if (opt_.stats && demoMs >= opt_.from) return true;
        // The video's first picture is the last one presented at or before
        // --from: a frame stays on screen for one period, and over the pause
        // that the demo may take right after presenting it.
        return video_ && demoMs + 1000.0 / opt_.fps + demoPauseAfterNextFrameMs() > opt_.from;
    }

    void onPresent()
    {
        const double demoMs = headless::virtualTimeMs();
        ++frames_;
        const char* phase = demoPhaseName();
        const bool drawn = headless::lastFrameRasterised();
        // A frame presented later than one period after the last carries a pause.
        const bool afterPause = frames_ > 1 && demoMs > lastPresentMs_ + 1000.0 / opt_.fps + 1e-6;
        lastPresentMs_ = demoMs;
        const double cost = frameCost(demoMs);
        if (opt_.stats && demoMs >= opt_.from) {
            SceneStats& scene = stats_[demoSceneName()];
            scene.costs.push_back(cost);
            // The first frame builds what the demo reuses, and the one after
            // the question's pause starts the main song: both are slow by design.
            if (frames_ > 1 && !afterPause) scene.stallCandidates.push_back(cost);
        }
        if (!endBegan_ && std::string(phase) == "end") {
            endBegan_ = true;
            endBeganMs_ = demoMs;
            // The sound written so far stays: it must stop where the run will.
            recording_->limitEnd(untilMs());
        }

        bool save = false;
        while (!pendingAt_.empty() && pendingAt_.front() <= demoMs) {
            pendingAt_.erase(pendingAt_.begin());
            save = true;
        }
        if (opt_.every > 0 && demoMs >= nextEvery_ && (!opt_.until || demoMs <= *opt_.until)) {
            save = true;
            while (nextEvery_ <= demoMs) nextEvery_ += opt_.every;
        }
        if (!drawn && (save || (opt_.stats && demoMs >= opt_.from))) {
            std::fprintf(stderr, "nordglow-capture: the frame at %.1f ms was needed but not drawn\n", demoMs);
            failed_ = true;
            save = false;
        }
        if (save) {
            int w = 0, h = 0;
            headless::readFrame(&rgb_, &w, &h);
            saveFrame(demoMs, phase, w, h);
        }
        if (video_ && drawn) {
            // Converted straight from the renderer's buffer into one the
            // encoder's thread takes: the one copy a frame takes.
            int w = 0, h = 0;
            const std::uint8_t* rgba = headless::frameRgba(&w, &h);
            std::vector<std::uint8_t>* frame = rgba ? recording_->frameBuffer(demoMs) : nullptr;
            if (frame) convertToVideoFrame(rgba, w, h, frame);
            if (!frame) {
                std::fprintf(stderr, "nordglow-capture: %s\n", video_->error().c_str());
                failed_ = true;
                videoFailed_ = true;
                video_ = nullptr;
            }
        }

        // Keys: pressed now, released at the next presentation.
        for (int vk : releaseNext_) headless::pushEvent({plat::EventType::KeyUp, vk, false, 0, 0});
        releaseNext_.clear();
        while (!keys_.empty() && keys_.front().atMs <= demoMs) {
            headless::pushEvent({plat::EventType::KeyDown, keys_.front().virtualKey, false, 0, 0});
            releaseNext_.push_back(keys_.front().virtualKey);
            keys_.erase(keys_.begin());
        }

        const double until = untilMs();
        if (!closeSent_ && (demoMs + 1000.0 / opt_.fps > until || failed_)) {
            headless::pushEvent({plat::EventType::Close, 0, false, 0, 0});
            closeSent_ = true;
        }
        if (progress_) {
            // The first frame also pays for the set-up: it says nothing of the pace.
            const auto now = std::chrono::steady_clock::now();
            if (frames_ > 1) {
                Pace& pace = drawn ? drawnPace_ : runPace_;
                ++pace.frames;
                pace.seconds += std::chrono::duration<double>(now - lastPresentWall_).count();
            }
            lastPresentWall_ = now;
            drawProgress(demoMs, until);
        }
    }

    // The cost --stats counts for the frame presented at demoMs: measured,
    // unless --frame-cost sets it.
    double frameCost(double demoMs)
    {
        std::optional<double> scripted = opt_.frameCostMs;
        while (!frameCostAt_.empty() && frameCostAt_.front().atMs <= demoMs) {
            scripted = frameCostAt_.front().costMs;
            frameCostAt_.erase(frameCostAt_.begin());
        }
        return scripted ? *scripted : headless::lastFrameCostMs();
    }

    void attachRecording(Recording* r) { recording_ = r; }
    void attachVideo(VideoWriter* v) { video_ = v; }
    // Ends the run at the next frame, as a failure with this message.
    void stop(const std::string& message)
    {
        if (failed_ && message == stopMessage_) return;
        std::fprintf(stderr, "nordglow-capture: %s\n", message.c_str());
        stopMessage_ = message;
        failed_ = true;
    }
    bool videoFailed() const { return videoFailed_; }

    // Where the video and the sound end: --until, or where the run stopped.
    double recordingEndMs() const { return std::min(untilMs(), headless::virtualTimeMs()); }

    void printStats() const
    {
        if (!opt_.stats) return;
        std::printf("renderer: %s\n", headless::rendererName().c_str());
        for (const char* scene : demoSceneNames()) {
            const auto it = stats_.find(scene);
            if (it == stats_.end() || it->second.costs.empty()) continue;
            const auto& c = it->second.costs;
            const double p95 = percentile(c, 0.95);
            // Single frames well above the scene's usual worst.
            const auto over2x = std::count_if(c.begin(), c.end(), [&](double ms) { return ms > 2.0 * p95; });
            // Stalls a viewer sees: also longer than one frame period.
            const double stallMs = std::max(2.0 * p95, 1000.0 / opt_.fps);
            const auto& candidates = it->second.stallCandidates;
            const auto stalls =
                std::count_if(candidates.begin(), candidates.end(), [&](double ms) { return ms > stallMs; });
            std::printf("stats %s frames=%zu median_ms=%.2f p95_ms=%.2f max_ms=%.2f over2x=%ld stalls=%ld\n", scene,
                        c.size(), percentile(c, 0.5), p95, *std::max_element(c.begin(), c.end()),
                        static_cast<long>(over2x), static_cast<long>(stalls));
        }
    }

    void finishProgress() const
    {
        if (progress_) std::fprintf(stderr, "\n");
    }

private:
    double untilMs() const
    {
        if (opt_.until) return *opt_.until;
        if (endBegan_) return endBeganMs_ + ScrollerTailMs;
        return 1e300;
    }

    void saveFrame(double demoMs, const char* phase, int w, int h)
    {
        char name[64];
        std::snprintf(name, sizeof name, "frame_%07ld.png", std::lround(demoMs));
        const std::string path = (std::filesystem::path(opt_.outDir) / name).string();
        if (!writePng(path, rgb_, w, h)) {
            std::fprintf(stderr, "nordglow-capture: cannot write %s\n", path.c_str());
            failed_ = true;
            return;
        }
        std::printf("%s demo_ms=%ld phase=%s song_ms=%ld\n", path.c_str(), std::lround(demoMs), phase,
                    std::lround(demoSongTime()));
        if (std::fflush(stdout) != 0) {
            std::fprintf(stderr, "nordglow-capture: cannot write the list of frames to standard output\n");
            failed_ = true;
        }
    }

    // Frames after the one presented at demoMs, up to endMs: how many will
    // be drawn and how many only run (no pixels), by what needsPixels asks.
    void framesLeft(double demoMs, double endMs, double* drawn, double* run) const
    {
        const double period = 1000.0 / opt_.fps;
        const double all = std::max(0.0, std::floor((endMs - demoMs) / period));
        double pictures = 0;
        if (opt_.drawAll) {
            pictures = all;
        } else {
            // From --from on, the video and the statistics take every frame.
            const double everyFrameFrom = video_ || opt_.stats ? std::max(demoMs, opt_.from - period) : endMs;
            if (everyFrameFrom < endMs) pictures += std::floor((endMs - everyFrameFrom) / period);
            const double savedUntil = std::min(endMs, everyFrameFrom);
            pictures += static_cast<double>(
                std::count_if(pendingAt_.begin(), pendingAt_.end(), [&](double at) { return at < savedUntil; }));
            if (opt_.every > 0 && nextEvery_ <= savedUntil) {
                pictures += std::floor((savedUntil - nextEvery_) / opt_.every) + 1;
            }
        }
        *drawn = std::min(pictures, all);
        *run = all - *drawn;
    }

    void drawProgress(double demoMs, double until)
    {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastProgress_ < std::chrono::milliseconds(200)) return;
        lastProgress_ = now;
        const double total = until < 1e299 ? until : std::max(EstimatedLengthMs, demoMs);
        const double wall = std::chrono::duration<double>(now - wallStart_).count();
        const double fraction = std::clamp(demoMs / total, 0.0, 1.0);
        const double fps = wall > 0 ? static_cast<double>(frames_) / wall : 0.0;
        // Time left: the frames still to come at what each kind has cost so
        // far; unknown while a kind still to come has not been seen yet.
        double drawnLeft = 0, runLeft = 0;
        framesLeft(demoMs, total, &drawnLeft, &runLeft);
        const bool known = (drawnLeft == 0 || drawnPace_.frames > 0) && (runLeft == 0 || runPace_.frames > 0);
        char left[32] = "   ? s left";
        if (known) {
            std::snprintf(left, sizeof left, "%4.0f s left",
                          drawnLeft * drawnPace_.secondsEach() + runLeft * runPace_.secondsEach());
        }
        const int width = 30;
        const int filled = static_cast<int>(fraction * width);
        std::fprintf(stderr, "\r[%.*s%*s] %6.1f/%.1f s  %5.1f fps  %s ", filled, "##############################",
                     width - filled, "", demoMs / 1000.0, total / 1000.0, fps, left);
    }

    // Wall time taken by the frames of one kind (drawn, or only run).
    struct Pace {
        long frames = 0;
        double seconds = 0;
        double secondsEach() const { return frames > 0 ? seconds / static_cast<double>(frames) : 0.0; }
    };

    const Options& opt_;
    std::vector<double> pendingAt_;
    double nextEvery_ = 0;
    std::vector<KeyPress> keys_;
    std::vector<FrameCost> frameCostAt_;
    std::vector<int> releaseNext_;
    bool endBegan_ = false;
    double endBeganMs_ = 0;
    bool closeSent_ = false;
    double lastPresentMs_ = 0;
    bool failed_ = false;
    std::string stopMessage_;
    bool videoFailed_ = false;
    bool progress_ = false;
    long frames_ = 0;
    std::vector<std::uint8_t> rgb_;
    std::map<std::string, SceneStats> stats_;
    VideoWriter* video_ = nullptr;
    Recording* recording_ = nullptr;
    std::chrono::steady_clock::time_point wallStart_;
    std::chrono::steady_clock::time_point lastPresentWall_{};
    Pace drawnPace_, runPace_;
    std::chrono::steady_clock::time_point lastProgress_{};
};

// The output folder must exist (it is made) and take a file.
bool prepareFolder(const std::string& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::string probe = (std::filesystem::path(dir) / ".nordglow-capture-probe").string();
    std::FILE* f = std::fopen(probe.c_str(), "wb");
    if (!f) return false;
    std::fclose(f);
    std::filesystem::remove(probe, ec);
    return true;
}

bool prepareFileParent(const std::string& file)
{
    const auto parent = std::filesystem::absolute(file).parent_path();
    return prepareFolder(parent.string());
}

// Makes the output paths absolute (the run changes to the data folder),
// checks that every output can be written, that ffmpeg is there for a video
// and that the data is found, and enters the data folder. 0 when all is
// well, else the exit code, with the message written.
int prepareRun(Options& opt)
{
    if (opt.dataDir.empty()) opt.dataDir = defaultDataDir();
    std::error_code ec;
    opt.outDir = std::filesystem::absolute(opt.outDir, ec).string();
    if (!opt.audioPath.empty()) opt.audioPath = std::filesystem::absolute(opt.audioPath, ec).string();
    if (!opt.videoPath.empty()) opt.videoPath = std::filesystem::absolute(opt.videoPath, ec).string();

    const bool savesFrames = !opt.at.empty() || opt.every > 0;
    if (savesFrames && !prepareFolder(opt.outDir)) {
        std::fprintf(stderr, "nordglow-capture: cannot write to the output folder %s\n", opt.outDir.c_str());
        return 1;
    }
    for (const std::string* file : {&opt.audioPath, &opt.videoPath}) {
        if (!file->empty() && !prepareFileParent(*file)) {
            std::fprintf(stderr, "nordglow-capture: cannot write %s\n", file->c_str());
            return 1;
        }
    }
    if (!opt.videoPath.empty()) {
        if (const std::string problem = videoFileProblem(opt.videoPath); !problem.empty()) {
            std::fprintf(stderr, "nordglow-capture: %s\n", problem.c_str());
            return 1;
        }
    }
    if (!opt.videoPath.empty() && !ffmpegAvailable()) {
        std::fprintf(stderr, "nordglow-capture: --video needs the ffmpeg program, which is not installed "
                             "(apt-get install ffmpeg)\n");
        return 1;
    }
    if (!std::filesystem::is_directory(std::filesystem::path(opt.dataDir) / "Data")) {
        std::fprintf(stderr, "nordglow-capture: no Data folder in %s (use --data with the build folder)\n",
                     opt.dataDir.c_str());
        return 1;
    }
    if (chdir(opt.dataDir.c_str()) != 0) {
        std::fprintf(stderr, "nordglow-capture: cannot enter %s\n", opt.dataDir.c_str());
        return 1;
    }
    return 0;
}

// The headless platform as the run needs it: the virtual clock's rate, the
// drawable size, the answer to the start question.
// Opens the renderer asked for, before anything is written. 0, or the exit
// code after a message: 2 for a GPU asked for where there is none.
int openRenderer(const Options& opt)
{
    // The software renderer is llvmpipe, which gives the same pixels on every run.
    setenv("GALLIUM_DRIVER", "llvmpipe", 0);
    headless::useRenderer(opt.renderer);
    std::string error;
    if (headless::openRenderer(&error)) return 0;
    std::fprintf(stderr, "nordglow-capture: %s%s\n", opt.renderer == headless::Renderer::Gpu ? "--renderer gpu: " : "",
                 error.c_str());
    return opt.renderer == headless::Renderer::Gpu ? 2 : 1;
}

void configurePlatform(const Options& opt)
{
    // An encoder that ends early must show as a failed write, not end the run.
    std::signal(SIGPIPE, SIG_IGN);
    headless::setFramesPerSecond(opt.fps);
    // The window of either answer gets this drawable; the picture is fitted into it.
    headless::setDrawableSize(opt.width, opt.height);
    headless::queueAnswer(opt.answerYes ? plat::Answer::Yes : plat::Answer::No);
}

// After the run: the WAV named, and the video muxed with the same sound
// (through a WAV of its own beside the video when none was asked for).
// After a failed run neither is left: what they hold would be cut short.
// videoOk: the video has had every frame. False when an output could not be
// written, with the message written.
bool finishSoundAndVideo(const Options& opt, bool runOk, WavWriter& sound, VideoWriter& video, bool videoOk)
{
    if (!runOk) {
        if (sound.isOpen() && !opt.audioPath.empty()) {
            std::fprintf(stderr, "nordglow-capture: %s is not written: the run did not finish\n",
                         opt.audioPath.c_str());
        }
        sound.abandon();
        video.abandon();
        return false;
    }
    const std::string soundPath = opt.audioPath.empty() ? opt.videoPath + SideSoundSuffix : opt.audioPath;
    bool ok = true;
    if (sound.isOpen() && !sound.finish()) {
        std::fprintf(stderr, "nordglow-capture: %s\n", sound.error().c_str());
        ok = false;
    }
    if (videoOk) {
        // A video without its sound would be a wrong file: no video then.
        if (!ok) {
            video.abandon();
        } else if (!video.finish(soundPath)) {
            std::fprintf(stderr, "nordglow-capture: %s\n", video.error().c_str());
            ok = false;
        }
    }
    std::error_code ec;
    if (opt.audioPath.empty() && !opt.videoPath.empty()) std::filesystem::remove(soundPath, ec);
    return ok;
}

} // namespace

int runCapture(const std::vector<std::string>& args)
{
    Options opt;
    std::string error;
    if (!parseArguments(args, &opt, &error)) {
        std::fprintf(stderr, "nordglow-capture: %s\n(try --help)\n", error.c_str());
        return 2;
    }
    if (opt.help) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    if (opt.version) std::printf("nordglow-capture %s\n", VersionText);
    if (const int failed = openRenderer(opt)) return failed;
    if (opt.version) {
        std::printf("renderer: %s\nOpenGL: %s\n", headless::rendererName().c_str(),
                    headless::rendererVersion().c_str());
        return 0;
    }
    if (const int failed = prepareRun(opt)) return failed;
    configurePlatform(opt);

    // Every presented frame goes to the session (frames, statistics) and
    // through it to the recording; every block of sound to the recording.
    Session session(opt);
    VideoWriter video;
    // Both outputs are opened now, so that one that cannot be written fails
    // before the run, not after it.
    WavWriter sound;
    const bool keepsSound = !opt.audioPath.empty() || !opt.videoPath.empty();
    if (keepsSound && !sound.open(opt.audioPath.empty() ? opt.videoPath + SideSoundSuffix : opt.audioPath, MixRate)) {
        std::fprintf(stderr, "nordglow-capture: %s\n", sound.error().c_str());
        return 1;
    }
    Recording recording(opt.from, opt.fps, opt.videoPath.empty() ? nullptr : &video, keepsSound ? &sound : nullptr);
    if (opt.until) recording.limitEnd(*opt.until);
    session.attachRecording(&recording);
    if (keepsSound) {
        headless::setAudioSink([&](const std::int16_t* samples, std::size_t frames, int rate) {
            if (!recording.addAudio(samples, frames, rate)) session.stop(sound.error());
        });
    }
    if (!opt.videoPath.empty()) {
        if (!video.open(opt.videoPath, opt.width, opt.height, opt.fps,
                        opt.smallVideo ? VideoEncoding::Small : VideoEncoding::Fast)) {
            std::fprintf(stderr, "nordglow-capture: %s\n", video.error().c_str());
            return 1;
        }
        session.attachVideo(&video);
    }
    headless::setPresentHook([&] { session.onPresent(); });
    headless::setRasterPolicy([&](double presentMs) { return session.needsPixels(presentMs); });

    runDemo();

    headless::setRasterPolicy(nullptr);
    headless::setPresentHook(nullptr);
    headless::setAudioSink(nullptr);
    session.finishProgress();
    bool ok = !session.failed();
    if (session.frames() == 0) {
        std::fprintf(stderr, "nordglow-capture: the demo ended before its first frame\n");
        ok = false;
    }

    // The last picture fills the video up to the end; the sound is cut there.
    const bool recorded = recording.finish(session.recordingEndMs());
    bool videoOk = !opt.videoPath.empty() && !session.videoFailed();
    if (videoOk && !recorded) {
        std::fprintf(stderr, "nordglow-capture: %s\n", video.error().c_str());
        ok = false;
        videoOk = false;
    }
    ok = finishSoundAndVideo(opt, ok, sound, video, videoOk) && ok;
    session.printStats();
    return ok ? 0 : 1;
}

} // namespace capture
