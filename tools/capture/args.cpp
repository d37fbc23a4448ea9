// Command line of nordglow-capture: every option checked, clear messages.
#include "capture/args.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace capture {

const char* const UsageText =
    "usage: nordglow-capture [--data DIR] [--fps N] [--answer yes|no] [--at MS]... [--every MS]\n"
    "                        [--from MS] [--until MS] [--key MS:KEY]... [--out DIR] [--audio FILE.wav]\n"
    "                        [--video FILE.mp4] [--stats] [--help] [--version]\n"
    "\n"
    "Runs the demo headless on a virtual clock (demo time 0 = the intro song starts).\n"
    "  --data DIR       folder holding Data/ (default: . when it has Data/, else the installed data)\n"
    "  --fps N          frames per second of the virtual clock (default 60)\n"
    "  --answer yes|no  answer to the full-screen question (default no)\n"
    "  --at MS          save the first frame presented at or after MS (repeatable)\n"
    "  --every MS       save one frame per MS, starting at --from (default 0)\n"
    "  --until MS       end the run at MS (default: 45 s after the end scroller begins)\n"
    "  --key MS:KEY     press and release KEY at MS: Escape, F1, 1-6, A, D, W, S, Up, Down\n"
    "  --out DIR        folder for saved frames (default: .)\n"
    "  --audio FILE     write the soundtrack as 16-bit stereo WAV\n"
    "  --video FILE     write an MP4 through the ffmpeg program\n"
    "  --stats          print per-scene frame cost (drawFrame + glFinish) at the end\n"
    "  --help           print this text\n"
    "  --version        print the version\n";

namespace {

bool parseMs(const std::string& text, double* value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(v) || v < 0) return false;
    *value = v;
    return true;
}

} // namespace

int keyCodeForName(const std::string& name)
{
    if (name == "Escape" || name == "Esc") return 0x1B;
    if (name == "F1") return 0x70;
    if (name == "Up") return 0x26;
    if (name == "Down") return 0x28;
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= '1' && c <= '6') return c;
        if (c == 'A' || c == 'D' || c == 'W' || c == 'S') return c;
        if (c == 'a' || c == 'd' || c == 'w' || c == 's') return c - 'a' + 'A';
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
        static const char* const withValue[] = {"--data", "--fps", "--answer", "--at", "--every", "--from",
                                                "--until", "--key", "--out", "--audio", "--video"};
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
            if (!parseMs(v, &ms) || ms < 1 || ms > 1000) {
                *error = "--fps wants a number from 1 to 1000, not '" + v + "'";
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
                *error = "--key wants MS:KEY, not '" + v + "'";
                return false;
            }
            k.virtualKey = keyCodeForName(v.substr(colon + 1));
            if (k.virtualKey == 0) {
                *error = "--key: unknown key '" + v.substr(colon + 1) +
                         "' (Escape, F1, 1-6, A, D, W, S, Up, Down)";
                return false;
            }
            o.keys.push_back(k);
        } else if (a == "--out") {
            o.outDir = v;
        } else if (a == "--audio") {
            o.audioPath = v;
        } else if (a == "--video") {
            o.videoPath = v;
        } else {
            if (!parseMs(v, &ms)) {
                *error = a + " wants a time in milliseconds (a number >= 0), not '" + v + "'";
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
    *options = o;
    return true;
}

} // namespace capture
