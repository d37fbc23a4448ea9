// Helpers for the song tests: loading module bytes with libopenmpt and measuring what it plays.
#pragma once

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace songtest {

inline std::unique_ptr<openmpt::module> loadModule(const std::vector<std::uint8_t>& bytes)
{
    return std::make_unique<openmpt::module>(bytes);
}

inline std::vector<std::uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Renders `seconds` of mono audio at 48 kHz from the current position.
inline std::vector<float> renderMono(openmpt::module& mod, double seconds)
{
    std::vector<float> out(static_cast<std::size_t>(seconds * 48000));
    std::size_t done = 0;
    while (done < out.size()) {
        const std::size_t got = mod.read(48000, std::min<std::size_t>(4096, out.size() - done), out.data() + done);
        if (got == 0) break;
        done += got;
    }
    out.resize(done);
    return out;
}

// The pitch of a steady tone, from the autocorrelation peak eight periods out (near `guessHz`).
inline double measurePitch(const std::vector<float>& x, double guessHz)
{
    const double rate = 48000;
    const int periods = 8;
    const int centre = static_cast<int>(periods * rate / guessHz);
    const int lo = static_cast<int>(centre * 0.93), hi = static_cast<int>(centre * 1.07);
    const int n = static_cast<int>(x.size()) - hi - 1;
    if (n <= 0) return 0;
    double best = -1e30;
    int bestLag = lo;
    for (int lag = lo; lag <= hi; ++lag) {
        double s = 0;
        for (int i = 0; i < n; ++i) s += static_cast<double>(x[static_cast<std::size_t>(i)]) * x[static_cast<std::size_t>(i + lag)];
        if (s > best) {
            best = s;
            bestLag = lag;
        }
    }
    return periods * rate / bestLag;
}

inline double decibels(double amplitude) { return 20.0 * std::log10(std::max(amplitude, 1e-12)); }

} // namespace songtest
