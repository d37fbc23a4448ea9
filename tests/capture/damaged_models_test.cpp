// nordglow-capture with damaged model files: the run goes on (exit 0) with
// one line on standard error per damaged file, the scenes without a model
// are drawn exactly as with good models, and a model's scene differs only
// where the model itself was drawn.
#include "capture/frame_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const long ModelScenesMs[] = {38000, 82000, 125000};   // landscape flight, tunnel, fountain
const long OtherScenesMs[] = {16000, 97000};

std::string readFile(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Each line of the model passed through edit (which sees its number among
// the lines of its kind, "v " or "f").
template <typename Edit>
std::string editLines(const std::string& text, Edit edit)
{
    std::istringstream in(text);
    std::string line, out;
    long vertices = 0, faces = 0;
    while (std::getline(in, line)) {
        if (line.rfind("v ", 0) == 0) line = edit(line, 'v', vertices++);
        else if (line.rfind("f", 0) == 0) line = edit(line, 'f', faces++);
        out += line + "\n";
    }
    return out;
}

// The damages, each applied to both models.
std::string damage(const std::string& kind, const std::string& good)
{
    if (kind == "empty") return "";
    if (kind == "random-bytes") {
        std::mt19937 random(30);
        std::string bytes(good.size(), '\0');
        for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
        return bytes;
    }
    if (kind == "truncated") return good.substr(0, good.size() / 2);
    if (kind == "indices-out-of-range") {
        return editLines(good, [](const std::string& line, char type, long n) {
            return type == 'f' && n % 2 == 1 ? std::string("f 2147483647/1 0/0 -5/99999999999") : line;
        });
    }
    // nan-and-huge-numbers
    return editLines(good, [](const std::string& line, char type, long n) {
        return type == 'v' && n % 7 == 3 ? std::string(n % 2 ? "v nan 0.1 0.2" : "v 1e30 -inf 3.4e38") : line;
    });
}

struct ModelRun {
    int exitCode = -1;
    std::string errors;             // standard error
    std::vector<FrameImage> frames; // ModelScenesMs, then OtherScenesMs
};

// A data folder with the test data's textures and sounds and these models.
ModelRun captureWithModels(const fs::path& work, const std::string& kind)
{
    const fs::path data = work / kind;
    const fs::path source = fs::absolute(fs::path(testDataRoot()) / "Data");
    fs::create_directories(data / "Data" / "Models");
    fs::create_directory_symlink(source / "Textures", data / "Data" / "Textures");
    fs::create_directory_symlink(source / "Sounds", data / "Data" / "Sounds");
    for (const char* model : {"fighter.obj", "fountain.obj"}) {
        std::ofstream(data / "Data" / "Models" / model, std::ios::binary)
            << damage(kind, readFile(source / "Models" / model));
    }
    std::string times;
    for (long ms : ModelScenesMs) times += " --at " + std::to_string(ms);
    for (long ms : OtherScenesMs) times += " --at " + std::to_string(ms);
    const fs::path out = work / (kind + "-frames");
    const std::string cmd = std::string(NG_CAPTURE_BIN) + " --data " + data.string() + " --fps 20 --size 160x120" +
                            times + " --until 125000 --out " + out.string() + " 2>&1 >/dev/null";
    ModelRun run;
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return run;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) run.errors.append(buf, n);
    const int status = pclose(p);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::vector<long> all(std::begin(ModelScenesMs), std::end(ModelScenesMs));
    all.insert(all.end(), std::begin(OtherScenesMs), std::end(OtherScenesMs));
    for (long ms : all) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%07ld.png", ms);
        FrameImage image;
        if (!readPngImage((out / name).string(), &image)) image = FrameImage{};
        run.frames.push_back(image);
    }
    return run;
}

struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;   // inclusive
};

// The pixels where a frame with its model differs from one without, boxed.
Box modelBox(const FrameImage& with, const FrameImage& without)
{
    Box box;
    for (int y = 0; y < with.height; ++y) {
        for (int x = 0; x < with.width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * with.width + x) * 3;
            if (std::equal(&with.rgb[at], &with.rgb[at] + 3, &without.rgb[at])) continue;
            box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
        }
    }
    return box;
}

int changedOutside(const FrameImage& frame, const FrameImage& good, const Box& box)
{
    int changed = 0;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (x >= box.x0 && x <= box.x1 && y >= box.y0 && y <= box.y1) continue;
            const std::size_t at = (static_cast<std::size_t>(y) * frame.width + x) * 3;
            changed += !std::equal(&frame.rgb[at], &frame.rgb[at] + 3, &good.rgb[at]);
        }
    }
    return changed;
}

// Lines of standard error about a damaged model, naming the file.
int damageLines(const std::string& errors, const std::string& file)
{
    std::istringstream in(errors);
    std::string line;
    int count = 0;
    while (std::getline(in, line)) count += line.find(file) != std::string::npos;
    return count;
}

} // namespace

TEST(CaptureDamagedModels, TheRestOfEveryFrameStaysAsWithGoodModels)
{
    const fs::path work = fs::temp_directory_path() / ("ng-damaged-models-" + std::to_string(getpid()));
    fs::remove_all(work);
    const ModelRun good = captureWithModels(work, "good");
    const ModelRun none = captureWithModels(work, "empty");   // the scenes without their models
    ASSERT_EQ(good.exitCode, 0) << good.errors;
    ASSERT_EQ(none.exitCode, 0) << none.errors;
    const std::size_t modelFrames = std::size(ModelScenesMs);
    for (std::size_t i = 0; i < modelFrames; ++i) {
        ASSERT_GT(good.frames[i].width, 0);
        EXPECT_NE(good.frames[i].rgb, none.frames[i].rgb) << "no model drawn at " << ModelScenesMs[i] << " ms";
    }

    for (const std::string kind : {"random-bytes", "truncated", "indices-out-of-range", "nan-and-huge-numbers"}) {
        const ModelRun damaged = captureWithModels(work, kind);
        EXPECT_EQ(damaged.exitCode, 0) << kind << "\n" << damaged.errors;
        EXPECT_EQ(damageLines(damaged.errors, "Data/Models/fighter.obj"), 1) << kind << "\n" << damaged.errors;
        EXPECT_EQ(damageLines(damaged.errors, "Data/Models/fountain.obj"), 1) << kind << "\n" << damaged.errors;
        for (std::size_t i = 0; i < good.frames.size(); ++i) {
            const FrameImage& frame = damaged.frames[i];
            ASSERT_EQ(frame.rgb.size(), good.frames[i].rgb.size()) << kind << ": frame " << i << " missing";
            if (i >= modelFrames) {
                EXPECT_EQ(frame.rgb, good.frames[i].rgb) << kind << ": a scene without a model changed";
                continue;
            }
            // Outside the box around what the good model drew (a model
            // with faces missing shows its inside there), the picture is
            // the good one.
            const Box box = modelBox(good.frames[i], none.frames[i]);
            EXPECT_EQ(changedOutside(frame, good.frames[i], box), 0)
                << kind << ": pixels changed outside the model at " << ModelScenesMs[i] << " ms";
            // Nothing readable is left of random bytes or of the first half of a model.
            if (kind == "random-bytes" || kind == "truncated") {
                EXPECT_EQ(frame.rgb, none.frames[i].rgb) << kind << ": something drawn at " << ModelScenesMs[i];
            }
        }
    }
    if (!HasFailure()) fs::remove_all(work);
}
