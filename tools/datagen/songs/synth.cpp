// Instrument synthesis: additive tones with whole-cycle loops, drums from noise and swept sines.
#include "datagen/songs/synth.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace datagen::synth {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double ModBaseRate = 8363.0; // Hz at which note C-4 plays a sample with no tuning

int evenAtLeast2(double v) { return std::max(2, 2 * static_cast<int>(std::lround(v / 2.0))); }

// Second-order filter (audio cookbook forms).
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    static Biquad make(const char kind, double rate, double hz, double q)
    {
        const double w = 2 * Pi * hz / rate, cw = std::cos(w), alpha = std::sin(w) / (2 * q);
        Biquad f;
        double a0 = 1 + alpha;
        if (kind == 'l') {
            f.b0 = (1 - cw) / 2; f.b1 = 1 - cw; f.b2 = (1 - cw) / 2;
        } else if (kind == 'h') {
            f.b0 = (1 + cw) / 2; f.b1 = -(1 + cw); f.b2 = (1 + cw) / 2;
        } else { // band pass, 0 dB peak
            f.b0 = alpha; f.b1 = 0; f.b2 = -alpha;
        }
        f.a1 = -2 * cw;
        f.a2 = 1 - alpha;
        f.b0 /= a0; f.b1 /= a0; f.b2 /= a0; f.a1 /= a0; f.a2 /= a0;
        return f;
    }
    double run(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1; x1 = x; y2 = y1; y1 = y;
        return y;
    }
};

// Adds sum_h amp(h) * sin(2 pi h cycles i / n + phase(h)) over frames [0, n) of out, for every
// harmonic below maxHz. A whole number of cycles makes the result loop seamlessly over n frames.
void addHarmonics(std::vector<float>& out, std::size_t at, int n, int cycles, double rate, double maxHz,
                  const std::function<double(int)>& amp, double phaseSeed)
{
    const double f = cycles * rate / n;
    for (int h = 1; h * f < maxHz && h * f < rate * 0.45; ++h) {
        const double a = amp(h);
        if (std::fabs(a) < 1e-5) continue;
        const double w = 2 * Pi * h * cycles / n;
        const double cw = std::cos(w), sw = std::sin(w);
        const double ph = phaseSeed * h * h * 0.61803398875 * 2 * Pi;
        double s = std::sin(ph), c = std::cos(ph);
        for (int i = 0; i < n; ++i) {
            out[at + static_cast<std::size_t>(i)] += static_cast<float>(a * s);
            const double s2 = s * cw + c * sw;
            c = c * cw - s * sw;
            s = s2;
        }
    }
}

double lowpassGain(double hz, double cutoff, int poles) { return 1.0 / std::sqrt(1.0 + std::pow(hz / cutoff, 2.0 * poles)); }

void shapeFadeIn(std::vector<float>& d, double rate, double seconds)
{
    const std::size_t n = std::min(d.size(), static_cast<std::size_t>(rate * seconds));
    for (std::size_t i = 0; i < n; ++i) d[i] *= static_cast<float>(i) / static_cast<float>(n);
}

void shapeFadeOut(std::vector<float>& d, double rate, double seconds)
{
    const std::size_t n = std::min(d.size(), static_cast<std::size_t>(rate * seconds));
    for (std::size_t i = 0; i < n; ++i) d[d.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(n);
}

// A detuned stack of looped voices: `voices` copies around `cycles`, one cycle apart.
Sound makeStack(double rate, double hz, int voices, double loopSeconds, double maxHz,
                const std::function<double(int, double)>& amp)
{
    Sound s;
    s.rate = rate;
    const int n = evenAtLeast2(rate * loopSeconds);
    const int cycles = std::max(1, static_cast<int>(std::lround(hz * n / rate)));
    s.data.assign(static_cast<std::size_t>(n), 0.0f);
    for (int v = 0; v < voices; ++v) {
        const int offset = (v % 2 == 0 ? 1 : -1) * ((v + 1) / 2); // 0, -1, +1, -2, +2 ...
        const int k = cycles + offset;
        const double f = k * rate / n;
        addHarmonics(s.data, 0, n, k, rate, maxHz, [&](int h) { return amp(h, h * f) / voices; }, 0.17 * (v + 1));
    }
    s.pitchHz = cycles * rate / n;
    s.loopStart = 0;
    s.loopLength = n;
    return s;
}

} // namespace

float Noise::next()
{
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<double>(state_ >> 8) / 8388607.5 - 1.0);
}

// ---------------------------------------------------------------- drums

Sound makeKick(double rate, double punchHz, double bodyHz, double decaySeconds)
{
    Sound s;
    s.rate = rate;
    const std::size_t n = static_cast<std::size_t>(rate * decaySeconds * 4.0);
    s.data.resize(n);
    Noise noise(7);
    Biquad click = Biquad::make('h', rate, 2500, 0.7);
    double phase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        const double f = bodyHz + (punchHz - bodyHz) * std::exp(-t / 0.028);
        phase += 2 * Pi * f / rate;
        const double body = std::sin(phase) * std::exp(-t / decaySeconds) * std::min(1.0, t / 0.0008);
        const double tick = click.run(noise.next()) * std::exp(-t / 0.0035) * 0.5;
        s.data[i] = static_cast<float>(std::tanh(1.6 * (body + tick)));
    }
    shapeFadeOut(s.data, rate, 0.02);
    return s;
}

Sound makeSnare(double rate, double toneHz, double noiseDecaySeconds)
{
    Sound s;
    s.rate = rate;
    const std::size_t n = static_cast<std::size_t>(rate * (noiseDecaySeconds * 4.0));
    s.data.resize(n);
    Noise noise(11);
    Biquad hp = Biquad::make('h', rate, 900, 0.7);
    Biquad lp = Biquad::make('l', rate, 9000, 0.7);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        const double pitch = 1.0 + 0.5 * std::exp(-t / 0.01);
        const double tone = 0.55 * std::sin(2 * Pi * toneHz * pitch * t) * std::exp(-t / 0.07) +
                            0.25 * std::sin(2 * Pi * toneHz * 1.63 * t) * std::exp(-t / 0.045);
        const double hiss = lp.run(hp.run(noise.next())) * std::exp(-t / noiseDecaySeconds) * 0.9;
        s.data[i] = static_cast<float>(std::tanh(1.3 * (tone + hiss)));
    }
    shapeFadeOut(s.data, rate, 0.02);
    return s;
}

Sound makeClap(double rate)
{
    Sound s;
    s.rate = rate;
    const std::size_t n = static_cast<std::size_t>(rate * 0.45);
    s.data.resize(n);
    Noise noise(23);
    Biquad bp = Biquad::make('b', rate, 1300, 0.9);
    Biquad hp = Biquad::make('h', rate, 600, 0.7);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        double env = 0;
        for (double burst : {0.0, 0.009, 0.019})
            if (t >= burst) env = std::max(env, std::exp(-(t - burst) / 0.005));
        if (t >= 0.028) env = std::max(env, 0.8 * std::exp(-(t - 0.028) / 0.11));
        s.data[i] = static_cast<float>(hp.run(bp.run(noise.next())) * env * 2.2);
    }
    shapeFadeOut(s.data, rate, 0.03);
    return s;
}

Sound makeHat(double rate, double decaySeconds, std::uint32_t seed)
{
    Sound s;
    s.rate = rate;
    const std::size_t n = static_cast<std::size_t>(rate * std::max(0.06, decaySeconds * 4.0));
    s.data.resize(n);
    Noise noise(seed);
    static const double metal[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    Biquad hp1 = Biquad::make('h', rate, 6500, 0.8), hp2 = Biquad::make('h', rate, 6500, 0.8);
    Biquad bp = Biquad::make('b', rate, 10000, 0.7);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        double m = 0;
        for (double f : metal) m += std::sin(2 * Pi * f * 2.3 * t) > 0 ? 1.0 : -1.0;
        const double x = m / 6.0 * 0.6 + noise.next() * 0.7;
        const double env = std::exp(-t / decaySeconds) * std::min(1.0, t / 0.0005);
        s.data[i] = static_cast<float>(hp2.run(hp1.run(x)) * 0.7 + bp.run(x) * 0.5) * static_cast<float>(env);
    }
    shapeFadeOut(s.data, rate, 0.01);
    return s;
}

Sound makeCrash(double rate, double decaySeconds)
{
    Sound s;
    s.rate = rate;
    const std::size_t n = static_cast<std::size_t>(rate * decaySeconds * 3.0);
    s.data.resize(n);
    Noise noise(31);
    Biquad hp = Biquad::make('h', rate, 3200, 0.7);
    Biquad lp = Biquad::make('l', rate, 12000, 0.7);
    double p1 = 0, p2 = 0, p3 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        p1 += 2 * Pi * 431.0 / rate;
        p2 += 2 * Pi * (613.0 + 200 * std::sin(p1)) / rate;
        p3 += 2 * Pi * 1027.0 / rate;
        const double metal = std::sin(p2 + 2.5 * std::sin(p3)) * 0.5;
        const double env = std::exp(-t / decaySeconds) * std::min(1.0, t / 0.002);
        s.data[i] = static_cast<float>(lp.run(hp.run(noise.next() + metal)) * env);
    }
    shapeFadeOut(s.data, rate, 0.2);
    return s;
}

Sound makeTom(double rate, double hz)
{
    Sound s;
    s.rate = rate;
    const std::size_t n = static_cast<std::size_t>(rate * 0.6);
    s.data.resize(n);
    Noise noise(41);
    Biquad lp = Biquad::make('l', rate, 3000, 0.7);
    double phase = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        phase += 2 * Pi * hz * (1.0 + 0.7 * std::exp(-t / 0.04)) / rate;
        const double body = std::sin(phase) * std::exp(-t / 0.18);
        s.data[i] = static_cast<float>(std::tanh(1.4 * (body + lp.run(noise.next()) * 0.25 * std::exp(-t / 0.02))));
    }
    shapeFadeOut(s.data, rate, 0.05);
    return s;
}

Sound makeRiser(double rate, double seconds)
{
    Sound s;
    s.rate = rate;
    const std::size_t n = static_cast<std::size_t>(rate * seconds);
    s.data.resize(n);
    Noise noise(53);
    Biquad bp;
    for (std::size_t i = 0; i < n; ++i) {
        const double u = static_cast<double>(i) / static_cast<double>(n);
        if (i % 32 == 0) {
            Biquad next = Biquad::make('b', rate, 250.0 * std::pow(40.0, u), 2.5);
            next.x1 = bp.x1; next.x2 = bp.x2; next.y1 = bp.y1; next.y2 = bp.y2;
            bp = next;
        }
        s.data[i] = static_cast<float>(bp.run(noise.next()) * (0.15 + 0.85 * u * u));
    }
    shapeFadeIn(s.data, rate, 0.05);
    shapeFadeOut(s.data, rate, 0.02);
    return s;
}

// ---------------------------------------------------------------- tones

Sound makeBass(double rate, double hz, double brightness)
{
    Sound s;
    s.rate = rate;
    const int period = evenAtLeast2(rate / hz);
    const double f = rate / period;
    const int attackCycles = std::max(2, static_cast<int>(0.12 * f));
    s.data.assign(static_cast<std::size_t>(period * (attackCycles + 1)), 0.0f);
    for (int k = 0; k <= attackCycles; ++k) {
        const double open = std::exp(-3.0 * k / attackCycles);
        const double cutoff = f * (2.5 + brightness * (1.0 + 10.0 * open));
        addHarmonics(s.data, static_cast<std::size_t>(k * period), period, 1, rate, rate * 0.45,
                     [&](int h) { return (h % 2 ? 1.0 : 0.55) / h * lowpassGain(h * f, cutoff, 2); }, 0.0);
    }
    s.pitchHz = f;
    s.loopStart = period * attackCycles;
    s.loopLength = period;
    return s;
}

Sound makeSub(double rate, double hz)
{
    Sound s;
    s.rate = rate;
    const int period = evenAtLeast2(rate / hz);
    s.data.assign(static_cast<std::size_t>(period), 0.0f);
    addHarmonics(s.data, 0, period, 1, rate, rate * 0.45, [](int h) { return h == 1 ? 1.0 : h == 2 ? 0.18 : h == 3 ? 0.06 : 0.0; }, 0.0);
    s.pitchHz = rate / period;
    s.loopStart = 0;
    s.loopLength = period;
    return s;
}

Sound makeReese(double rate, double hz)
{
    return makeStack(rate, hz, 3, 2.0, rate * 0.4,
                     [&](int h, double fh) { return 1.0 / h * lowpassGain(fh, hz * 7.0, 2); });
}

Sound makePad(double rate, double hz, int voices, double cutoffHz, double loopSeconds)
{
    return makeStack(rate, hz, voices, loopSeconds, rate * 0.4,
                     [&](int h, double fh) { return 1.0 / h * lowpassGain(fh, cutoffHz, 2); });
}

Sound makeChordPad(double rate, double hz, const std::vector<int>& semitones, double cutoffHz, double loopSeconds,
                   double attackSeconds)
{
    Sound s;
    s.rate = rate;
    const int n = evenAtLeast2(rate * loopSeconds);
    const int cycles = std::max(1, static_cast<int>(std::lround(hz * n / rate)));
    std::vector<float> loop(static_cast<std::size_t>(n), 0.0f);
    int seed = 1;
    for (int semi : semitones) {
        const int k0 = static_cast<int>(std::lround(cycles * std::pow(2.0, semi / 12.0)));
        for (int k : {k0 - 1, k0 + 1}) {
            const double f = k * rate / n;
            addHarmonics(loop, 0, n, k, rate, rate * 0.4,
                         [&](int h) { return 1.0 / h * lowpassGain(h * f, cutoffHz, 2); }, 0.13 * seed++);
        }
    }
    // A swell made of the loop itself, so the join into the loop is seamless.
    const int attack = std::min(n, evenAtLeast2(rate * attackSeconds));
    s.data.resize(static_cast<std::size_t>(attack + n));
    for (int i = 0; i < attack; ++i)
        s.data[static_cast<std::size_t>(i)] = loop[static_cast<std::size_t>(i % n)] * static_cast<float>(i) / attack;
    for (int i = 0; i < n; ++i) s.data[static_cast<std::size_t>(attack + i)] = loop[static_cast<std::size_t>((attack + i) % n)];
    s.pitchHz = cycles * rate / n;
    s.loopStart = attack;
    s.loopLength = n;
    return s;
}

Sound makeLead(double rate, double hz, double pulseWidth)
{
    return makeStack(rate, hz, 2, 1.0, rate * 0.42, [&](int h, double fh) {
        return std::sin(Pi * h * pulseWidth) / h * lowpassGain(fh, hz * 14.0, 1);
    });
}

Sound makeChoir(double rate, double hz, double loopSeconds)
{
    auto formant = [](double f, double centre, double width) {
        const double d = (f - centre) / width;
        return std::exp(-d * d);
    };
    return makeStack(rate, hz, 4, loopSeconds, rate * 0.4, [&](int h, double fh) {
        const double shape = 0.15 + formant(fh, 700, 180) + 0.7 * formant(fh, 1150, 200) + 0.3 * formant(fh, 2700, 300);
        return shape / std::sqrt(static_cast<double>(h));
    });
}

Sound makePluck(double rate, double hz, double decaySeconds)
{
    Sound s;
    s.rate = rate;
    s.pitchHz = hz;
    const std::size_t n = static_cast<std::size_t>(rate * decaySeconds * 3.0);
    s.data.assign(n, 0.0f);
    for (int h = 1; h * hz < rate * 0.42; ++h) {
        const double a = 1.0 / h * lowpassGain(h * hz, hz * 18.0, 1);
        const double decay = decaySeconds / (1.0 + 0.35 * (h - 1));
        const double w = 2 * Pi * h * hz / rate;
        for (std::size_t i = 0; i < n; ++i) {
            const double t = i / rate;
            if (t > decay * 8) break;
            s.data[i] += static_cast<float>(a * std::sin(w * static_cast<double>(i)) * std::exp(-t / decay));
        }
    }
    shapeFadeIn(s.data, rate, 0.0015);
    shapeFadeOut(s.data, rate, 0.05);
    return s;
}

Sound makeBell(double rate, double hz, double decaySeconds)
{
    Sound s;
    s.rate = rate;
    s.pitchHz = hz;
    const std::size_t n = static_cast<std::size_t>(rate * decaySeconds * 2.5);
    s.data.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = i / rate;
        const double index = 1.8 * std::exp(-t / (decaySeconds * 0.25));
        const double body = std::sin(2 * Pi * hz * t + index * std::sin(2 * Pi * hz * t)) * std::exp(-t / decaySeconds);
        const double ping = 0.35 * std::sin(2 * Pi * hz * 4.0 * t + 0.8 * std::sin(2 * Pi * hz * 7.0 * t)) *
                            std::exp(-t / (decaySeconds * 0.12));
        s.data[i] = static_cast<float>(body + ping);
    }
    shapeFadeIn(s.data, rate, 0.001);
    shapeFadeOut(s.data, rate, 0.1);
    return s;
}

// ---------------------------------------------------------------- conversion

namespace {

std::vector<std::int16_t> toPcm16(const std::vector<float>& data, double peak)
{
    float maxAbs = 1e-9f;
    for (float v : data) maxAbs = std::max(maxAbs, std::fabs(v));
    const double scale = peak / maxAbs * 32767.0;
    std::vector<std::int16_t> out(data.size());
    for (std::size_t i = 0; i < data.size(); ++i)
        out[i] = static_cast<std::int16_t>(std::clamp(std::lround(data[i] * scale), -32767L, 32767L));
    return out;
}

// Semitones from "C-4 plays 8363 Hz unchanged" to "C-4 plays refHz".
double tuningSemitones(const Sound& s)
{
    if (s.pitchHz <= 0) return 12.0 * std::log2(s.rate / ModBaseRate);
    return 12.0 * std::log2(s.refHz * s.rate / (ModBaseRate * s.pitchHz));
}

} // namespace

ModuleSample toXmSample(const Sound& s, const char* name, double peak, int volume)
{
    ModuleSample m;
    m.name = name;
    m.data = toPcm16(s.data, peak);
    m.loopStart = s.loopStart;
    m.loopLength = s.loopLength;
    m.volume = volume;
    const double t = tuningSemitones(s);
    m.relativeNote = static_cast<int>(std::lround(t));
    m.finetune = std::clamp(static_cast<int>(std::lround((t - m.relativeNote) * 128.0)), -128, 127);
    return m;
}

ModuleSample toModSample(const Sound& s, const char* name, double peak, int volume)
{
    ModuleSample m;
    m.name = name;
    m.data = toPcm16(s.data, peak);
    m.loopStart = s.loopStart;
    m.loopLength = s.loopLength;
    m.volume = volume;
    m.finetune = s.pitchHz > 0 ? std::clamp(static_cast<int>(std::lround(tuningSemitones(s) * 8.0)), -8, 7) : 0;
    return m;
}

} // namespace datagen::synth
