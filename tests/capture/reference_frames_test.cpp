// The picture as a whole: a dozen 800 x 600 frames across the intro, every
// scene of the main part, the end transition and the scroller, compared byte
// for byte (as pixel hashes) with the frames recorded in reference_frames.txt.
// A change that is not meant to alter the picture keeps them all identical.
//
// To re-record after an intended change of the picture:
//   scripts/record-reference-frames "why the picture changed"
#include "capture/frame_images.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Demo times (ms, at 20 fps) and what they show.
const long ReferenceTimes[] = {
    4000,    // intro: credit lines between the spheres
    16000,   // intro, later credits
    31000,   // intro, last swing before the flash
    38000,   // main part fading in over the first flight
    48000,   // second flight
    68000,   // cones
    82000,   // tunnel
    97000,   // pentagram in flames
    110000,  // credits sheet with metaballs
    125000,  // fountain
    150000,  // fountain, late
    157000,  // end transition
    165000,  // scroller
    178000,  // scroller, later
};
constexpr const char* CaptureArgs = " --fps 20";

fs::path referenceFile() { return fs::path(NG_SOURCE_DIR) / "tests/capture/reference_frames.txt"; }

// demo time -> pixel hash, from the reference file ('#' starts a comment).
std::map<long, std::string> readReferences(std::vector<std::string>* comments)
{
    std::map<long, std::string> refs;
    std::ifstream in(referenceFile());
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        if (line[0] == '#') {
            if (comments) comments->push_back(line);
            continue;
        }
        std::istringstream words(line);
        long ms = 0;
        std::string hash;
        if (words >> ms >> hash) refs[ms] = hash;
    }
    return refs;
}

} // namespace

TEST(ReferenceFrames, EveryPhaseAndSceneMatchesTheRecordedPixels)
{
    const fs::path out = fs::temp_directory_path() / ("ng-reference-" + std::to_string(getpid()));
    fs::remove_all(out);
    fs::create_directories(out);
    std::string args = std::string(CaptureArgs) + " --out " + out.string();
    for (long t : ReferenceTimes) args += " --at " + std::to_string(t);
    args += " --until " + std::to_string(ReferenceTimes[std::size(ReferenceTimes) - 1] + 1);
    const CaptureRun run = runCaptureFrames(args);
    ASSERT_EQ(run.exitCode, 0) << run.out;

    // Each requested time is saved at the first presentation at or after it.
    std::map<long, std::string> hashes;
    std::map<long, long> presentedAt;
    for (long t : ReferenceTimes) {
        const auto frame = run.framePaths.lower_bound(t);
        ASSERT_NE(frame, run.framePaths.end()) << "no frame at or after " << t << "\n" << run.out;
        FrameImage image;
        ASSERT_TRUE(readPngImage(frame->second, &image)) << frame->second;
        ASSERT_EQ(image.width, 800);
        ASSERT_EQ(image.height, 600);
        hashes[t] = pixelHash(image);
        presentedAt[t] = frame->first;
    }

    if (const char* reason = std::getenv("NG_RECORD_REFERENCES")) {
        std::vector<std::string> history;
        readReferences(&history);
        const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
        char date[32];
        std::strftime(date, sizeof date, "%Y-%m-%d", std::gmtime(&now));
        std::ofstream file(referenceFile());
        if (history.empty()) {
            history.push_back("# Pixel hashes of 800 x 600 frames of nordglow-capture" + std::string(CaptureArgs) +
                              ", by demo time (ms).");
            history.push_back("# Re-record with: scripts/record-reference-frames \"reason\"");
        }
        for (const std::string& line : history) file << line << "\n";
        file << "# " << date << ": " << reason << "\n";
        for (const auto& [t, hash] : hashes) file << t << " " << hash << "   # presented at " << presentedAt[t] << "\n";
        ASSERT_TRUE(file.good()) << "cannot write " << referenceFile();
        std::printf("recorded %zu reference frames in %s\n", hashes.size(), referenceFile().c_str());
    } else {
        const std::map<long, std::string> refs = readReferences(nullptr);
        ASSERT_EQ(refs.size(), hashes.size()) << "reference file " << referenceFile() << " is incomplete";
        for (const auto& [t, hash] : hashes) {
            EXPECT_EQ(hash, refs.at(t)) << "frame at " << t << " ms (presented at " << presentedAt[t]
                                        << ") differs from the reference; kept in " << out;
        }
        if (!HasFailure()) fs::remove_all(out);
        return;
    }
    fs::remove_all(out);
}
