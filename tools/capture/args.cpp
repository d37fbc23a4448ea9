// Command line of nordglow-capture: every option checked, clear messages.
#include "capture/args.h"

#include "platform/keys.h"

#include <cstdio>
#include <cstdlib>

namespace capture {

const char* const UsageText =
    "usage: nordglow-capture [--data DIR] [--fps N] [--answer yes|no] [--at MS]... [--every MS]\n"
    "                        [--from MS] [--until MS] [--key MS:KEY]... [--out DIR] [--audio FILE.wav]\n"
    "                        [--video FILE.mp4] [--small-video] [--stats] [--draw-all] [--size WxH]\n"
    "                        [--renderer auto|gpu|software] [--frame-cost [MS:]COST]... [--help]\n"
    "                        [--version]\n"
    "\n"
    "Runs the demo headless on a virtual clock (demo time 0 = the intro song starts).\n"
    "Times (MS) are decimal milliseconds up to 3802000: the whole demo plus an hour.\n"
    "Frames that nothing needs are run without being drawn (state, song and sound as in\n"
    "a full run), so a frame late in the demo costs little more than an early one.\n"
    "  --data DIR       folder holding Data/ (default: . when it has Data/, else the installed data)\n"
    "  --fps N          frames per second of the virtual clock (default 60)\n"
    "  --answer yes|no  answer to the full-screen question (default no)\n"
    "  --at MS          save the first frame presented at or after MS (repeatable)\n"
    "  --every MS       save one frame per MS, starting at --from (default 0)\n"
    "  --from MS        start of --every, the video, the WAV and --stats (the run still\n"
    "                   starts at 0, fast: frames before it are not drawn)\n"
    "  --until MS       end the run, the video and the WAV at MS (default: 45 s after the\n"
    "                   end scroller begins)\n"
    "  --key MS:KEY     press and release KEY at MS: Escape, F1, 1-6, A, D, W, S, Up, Down\n"
    "  --out DIR        folder for saved frames (default: .)\n"
    "  --audio FILE     write the soundtrack as 16-bit stereo WAV\n"
    "  --video FILE     write an MP4 through the ffmpeg program: H.264 (CRF 18, x264 preset\n"
    "                   ultrafast, BT.709) and AAC 192 kb/s, encoded about as fast as the\n"
    "                   frames are drawn; large files (some 25 Mb/s at 1440x1080)\n"
    "  --small-video    encode the video for a smaller file instead (CRF 20, preset medium):\n"
    "                   about a quarter of the size, at several times the encoder's work\n"
    "  --stats          print per-scene frame cost (drawFrame + glFinish) of the frames from\n"
    "                   --from to --until at the end; over2x counts frames above twice the\n"
    "                   scene's p95, stalls those above both that and one frame period\n"
    "                   (1000/fps ms), leaving out the demo's first frame and the frame after\n"
    "                   the question's 3-second pause, which are slow by design\n"
    "  --draw-all       draw every frame, also those nothing needs (for timing comparisons)\n"
    "  --frame-cost [MS:]COST  for tests of --stats: count COST ms for every frame instead of\n"
    "                   timing it, or with MS: for the first frame presented at or after MS\n"
    "  --size WxH       size of the frames, from 80x60 to 8192x8192 (default 800x600); the 4:3\n"
    "                   picture is scaled to fit, centred, black bars beside it\n"
    "  --renderer R     what draws the frames: gpu, software (Mesa's llvmpipe, the same\n"
    "                   pixels on every machine with the same Mesa) or auto (default: the\n"
    "                   GPU where there is one, else software); --stats and --version\n"
    "                   name the renderer in use\n"
    "  --help           print this text\n"
    "  --version        print the version and the renderer\n";

namespace {

std::string formatMs(double ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", ms);
    return text;
}

// The bound of every time, as the messages give it.
std::string latestDemoText()
{
    return formatMs(LatestDemoMs) + " (the whole demo, " + formatMs(DemoLengthMs / 1000.0) + " s, plus an hour)";
}

// A plain decimal number: digits with at most one decimal point, nothing
// else (no sign, exponent, hex, "inf" or spaces), as a user means it.
bool parseDecimal(const std::string& text, double* value)
{
    bool digit = false, point = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') digit = true;
        else if (c == '.' && !point) point = true;
        else return false;
    }
    if (!digit) return false;
    *value = std::strtod(text.c_str(), nullptr);
    return true;
}

// A demo time in milliseconds, within what the demo can show.
bool parseMs(const std::string& text, double* value)
{
    return parseDecimal(text, value) && *value <= LatestDemoMs;
}

// "WxH" with both numbers plain decimal digits.
bool parseSize(const std::string& text, int* width, int* height)
{
    const auto x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 >= text.size() || x > 5 || text.size() - x - 1 > 5) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i != x && (text[i] < '0' || text[i] > '9')) return false;
    }
    *width = std::stoi(text.substr(0, x));
    *height = std::stoi(text.substr(x + 1));
    return true;
}

} // namespace

int keyCodeForName(const std::string& name)
{
    // Letters in either case; Esc for Escape.
    std::string wanted = name == "Esc" ? "Escape" : name;
    if (wanted.size() == 1 && wanted[0] >= 'a' && wanted[0] <= 'z') wanted[0] = static_cast<char>(wanted[0] - 'a' + 'A');
    for (const plat::DemoKey& key : plat::DemoKeys) {
        if (wanted == key.name) return key.code;
    }
    return 0;
}

bool parseArguments(const std::vector<std::string>& args, Options* options, std::string* error)
{
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
            continue;
        }
        if (a == "--version") {
            o.version = true;
            continue;
        }
        if (a == "--stats") {
            o.stats = true;
            continue;
        }
        if (a == "--small-video") {
            o.smallVideo = true;
            continue;
        }
        if (a == "--draw-all") {
            o.drawAll = true;
            continue;
        }
        static const char* const withValue[] = {"--data", "--fps", "--answer", "--at", "--every", "--from",
                                                "--until", "--key", "--out", "--audio", "--video", "--size",
                                                "--renderer", "--frame-cost"};
        bool known = false;
        for (const char* name : withValue) known = known || a == name;
        if (!known) {
            *error = "unknown argument '" + a + "'";
            return false;
        }
        if (i + 1 >= args.size()) {
            *error = a + " needs a value";
            return false;
        }
        const std::string& v = args[++i];
        double ms = 0;
        if (a == "--data") {
            o.dataDir = v;
        } else if (a == "--fps") {
            if (!parseDecimal(v, &ms) || ms < 1 || ms > 1000) {
                *error = "--fps wants a decimal number from 1 to 1000, not '" + v + "'";
                return false;
            }
            o.fps = ms;
        } else if (a == "--answer") {
            if (v != "yes" && v != "no") {
                *error = "--answer wants yes or no, not '" + v + "'";
                return false;
            }
            o.answerYes = v == "yes";
        } else if (a == "--key") {
            const auto colon = v.find(':');
            KeyPress k;
            if (colon == std::string::npos || !parseMs(v.substr(0, colon), &k.atMs)) {
                *error = "--key wants MS:KEY with MS a decimal number from 0 to " + latestDemoText() + ", not '" +
                         v + "'";
                return false;
            }
            k.virtualKey = keyCodeForName(v.substr(colon + 1));
            if (k.virtualKey == 0) {
                *error = "--key: unknown key '" + v.substr(colon + 1) +
                         "' (Escape, F1, 1-6, A, D, W, S, Up, Down)";
                return false;
            }
            o.keys.push_back(k);
        } else if (a == "--frame-cost") {
            const auto colon = v.find(':');
            FrameCost c;
            const bool timed = colon != std::string::npos;
            if ((timed && !parseMs(v.substr(0, colon), &c.atMs)) ||
                !parseMs(timed ? v.substr(colon + 1) : v, &c.costMs)) {
                *error = "--frame-cost wants COST or MS:COST in decimal milliseconds, not '" + v + "'";
                return false;
            }
            if (timed) {
                o.frameCostAt.push_back(c);
            } else {
                o.frameCostMs = c.costMs;
            }
        } else if (a == "--size") {
            int w = 0, h = 0;
            if (!parseSize(v, &w, &h)) {
                *error = "--size wants WIDTHxHEIGHT in pixels (e.g. 1440x1080), not '" + v + "'";
                return false;
            }
            if (w < 80 || h < 60 || w > 8192 || h > 8192) {
                *error = "--size " + v + " is out of range: from 80x60 to 8192x8192";
                return false;
            }
            o.width = w;
            o.height = h;
        } else if (a == "--renderer") {
            if (v == "auto") o.renderer = headless::Renderer::Auto;
            else if (v == "gpu") o.renderer = headless::Renderer::Gpu;
            else if (v == "software") o.renderer = headless::Renderer::Software;
            else {
                *error = "--renderer wants auto, gpu or software, not '" + v + "'";
                return false;
            }
        } else if (a == "--out" || a == "--audio" || a == "--video") {
            // An empty name would fall back to the working folder, or to nothing.
            if (v.empty()) {
                *error = a + (a == "--out" ? " wants a folder" : " wants a file name") + ", not an empty name";
                return false;
            }
            (a == "--out" ? o.outDir : a == "--audio" ? o.audioPath : o.videoPath) = v;
        } else {
            if (!parseMs(v, &ms)) {
                *error = a + " wants a time in milliseconds, a decimal number from 0 to " + latestDemoText() +
                         ", not '" + v + "'";
                return false;
            }
            if (a == "--at") o.at.push_back(ms);
            if (a == "--from") o.from = ms;
            if (a == "--until") o.until = ms;
            if (a == "--every") {
                if (ms <= 0) {
                    *error = "--every wants a period above 0";
                    return false;
                }
                o.every = ms;
            }
        }
    }
    // The video is 4:2:0: ffmpeg refuses odd sizes.
    if (!o.videoPath.empty() && (o.width % 2 != 0 || o.height % 2 != 0)) {
        *error = "--video needs an even width and height, not " + std::to_string(o.width) + "x" +
                 std::to_string(o.height);
        return false;
    }
    if (o.until && *o.until <= o.from) {
        *error = "--until must come after --from";
        return false;
    }
    // A frame after the end of the run would never be saved.
    for (double at : o.at) {
        if (o.until && at > *o.until) {
            *error = "--at " + formatMs(at) + " comes after --until " + formatMs(*o.until) +
                     ": that frame would never be saved";
            return false;
        }
    }
    *options = o;
    return true;
}

} // namespace capture
