// ProTracker MOD ("M.K.") and FastTracker 2 XM (0x0104) writers with their limits checked.
#include "datagen/songs/module_writer.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace datagen {

namespace {

class ByteSink {
public:
    std::vector<std::uint8_t> bytes;

    void u8(int v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void u16le(unsigned v) { u8(v & 0xFF); u8((v >> 8) & 0xFF); }
    void u32le(std::uint32_t v) { u16le(v & 0xFFFF); u16le(v >> 16); }
    void u16be(unsigned v) { u8((v >> 8) & 0xFF); u8(v & 0xFF); }
    void text(const std::string& s, std::size_t width)
    {
        for (std::size_t i = 0; i < width; ++i) u8(i < s.size() ? static_cast<unsigned char>(s[i]) : 0);
    }
    void zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
    void patchU16le(std::size_t at, unsigned v)
    {
        bytes[at] = static_cast<std::uint8_t>(v & 0xFF);
        bytes[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    }
};

// Collects the first broken limit; every check reads as "what: limit".
class Checker {
public:
    explicit Checker(std::string& error) : error_(error) { error_.clear(); }
    bool ok() const { return error_.empty(); }
    void require(bool condition, const std::string& what)
    {
        if (!condition && error_.empty()) error_ = what;
    }

private:
    std::string& error_;
};

std::string where(const char* kind, std::size_t index)
{
    return std::string(kind) + " " + std::to_string(index + 1);
}

// Pattern structure shared by both formats.
void checkPatterns(Checker& check, const ModuleSong& song, int maxPatterns, int maxOrders, int minRows,
                   int maxRows)
{
    check.require(!song.patterns.empty(), "song has no patterns");
    check.require(static_cast<int>(song.patterns.size()) <= maxPatterns,
                  "too many patterns: " + std::to_string(song.patterns.size()) + " (at most " +
                      std::to_string(maxPatterns) + ")");
    check.require(!song.orders.empty(), "order list is empty");
    check.require(static_cast<int>(song.orders.size()) <= maxOrders,
                  "order list too long: " + std::to_string(song.orders.size()) + " entries (at most " +
                      std::to_string(maxOrders) + ")");
    for (std::size_t i = 0; i < song.orders.size(); ++i)
        check.require(song.orders[i] >= 0 && song.orders[i] < static_cast<int>(song.patterns.size()),
                      where("order", i) + " names missing pattern " + std::to_string(song.orders[i]));
    check.require(song.restartPosition >= 0 && song.restartPosition < static_cast<int>(song.orders.size()),
                  "restart position outside the order list");
    check.require(song.speed >= 1 && song.speed <= 31, "speed must be 1..31");
    check.require(song.tempo >= 32 && song.tempo <= 255, "tempo must be 32..255 BPM");
    for (std::size_t p = 0; p < song.patterns.size(); ++p) {
        const ModulePattern& pat = song.patterns[p];
        check.require(pat.rows >= minRows && pat.rows <= maxRows,
                      where("pattern", p) + " has " + std::to_string(pat.rows) + " rows (must be " +
                          std::to_string(minRows) + ".." + std::to_string(maxRows) + ")");
        check.require(pat.cells.size() == static_cast<std::size_t>(pat.rows) * static_cast<std::size_t>(song.channels),
                      where("pattern", p) + " cell count does not match rows x channels");
        if (!check.ok()) return;
        for (const ModuleCell& c : pat.cells) {
            check.require(c.instrument <= song.instruments.size(),
                          where("pattern", p) + " uses instrument " + std::to_string(c.instrument) +
                              " beyond the " + std::to_string(song.instruments.size()) + " defined");
            if (!check.ok()) return;
        }
    }
}

// ---------------------------------------------------------------- MOD

constexpr std::array<int, 36> ModPeriods = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453, // ProTracker C-1
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226, // C-2 (our C-4)
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113, // C-3
};
constexpr int ModFirstNote = 37;

// True when the first row played sets this speed and tempo with Fxx commands.
bool firstRowSetsTiming(const ModuleSong& song)
{
    if (song.speed == 6 && song.tempo == 125) return true;
    const ModulePattern& pat = song.patterns[static_cast<std::size_t>(song.orders.front())];
    bool speedSet = song.speed == 6, tempoSet = song.tempo == 125;
    for (int ch = 0; ch < song.channels; ++ch) {
        const ModuleCell& c = pat.at(0, ch, song.channels);
        if (c.effect != 0xF) continue;
        if (c.param < 32 && c.param == song.speed) speedSet = true;
        if (c.param >= 32 && c.param == song.tempo) tempoSet = true;
    }
    return speedSet && tempoSet;
}

void checkMod(Checker& check, const ModuleSong& song)
{
    check.require(song.channels == 4, "a MOD has exactly 4 channels");
    check.require(song.name.size() <= 20, "song name longer than 20 characters");
    check.require(song.instruments.size() <= 31, "a MOD holds at most 31 samples");
    if (!check.ok()) return;
    checkPatterns(check, song, 64, 128, 64, 64);
    if (!check.ok()) return;
    check.require(song.restartPosition < 128, "restart position must be below 128");
    check.require(firstRowSetsTiming(song), "speed/tempo other than 6/125 need Fxx commands in the first row played");
    for (std::size_t i = 0; i < song.instruments.size(); ++i) {
        const ModuleInstrument& ins = song.instruments[i];
        const std::string w = where("sample", i);
        check.require(ins.name.size() <= 22, w + " name longer than 22 characters");
        check.require(ins.samples.size() <= 1, w + ": a MOD instrument holds one sample");
        if (ins.samples.empty()) continue;
        const ModuleSample& s = ins.samples.front();
        const std::size_t len = s.data.size() + (s.data.size() & 1);
        check.require(len <= 131070, w + " longer than 131070 frames");
        check.require(s.volume >= 0 && s.volume <= 64, w + " volume must be 0..64");
        check.require(s.finetune >= -8 && s.finetune <= 7, w + " finetune must be -8..7 in a MOD");
        check.require(s.relativeNote == 0, w + ": a MOD has no relative note");
        check.require(s.loopLength == 0 || (s.loopStart % 2 == 0 && s.loopLength % 2 == 0),
                      w + " loop start and length must be even in a MOD");
        check.require(s.loopStart >= 0 && s.loopLength >= 0 &&
                          static_cast<std::size_t>(s.loopStart + s.loopLength) <= len,
                      w + " loop runs past the sample's end");
    }
    for (std::size_t p = 0; p < song.patterns.size() && check.ok(); ++p) {
        for (const ModuleCell& c : song.patterns[p].cells) {
            const std::string w = where("pattern", p);
            check.require(c.note == NoteNone || (c.note >= ModFirstNote && c.note < ModFirstNote + 36),
                          w + " note " + std::to_string(c.note) + " outside a MOD's three octaves (37..72)");
            check.require(c.volume == 0, w + ": a MOD has no volume column (use effect C)");
            check.require(c.effect <= 0xF, w + " effect above F in a MOD");
            if (!check.ok()) return;
        }
    }
}

std::int8_t modSampleByte(std::int16_t v)
{
    // Round to the nearest 8-bit step.
    const int r = (static_cast<int>(v) + 128) >> 8;
    return static_cast<std::int8_t>(std::clamp(r, -128, 127));
}

} // namespace

ModulePattern makeEmptyPattern(int rows, int channels)
{
    ModulePattern p;
    p.rows = rows;
    p.cells.assign(static_cast<std::size_t>(std::max(rows, 0) * std::max(channels, 0)), ModuleCell{});
    return p;
}

std::vector<std::uint8_t> writeMod(const ModuleSong& song, std::string& error)
{
    Checker check(error);
    checkMod(check, song);
    if (!check.ok()) return {};

    ByteSink out;
    out.text(song.name, 20);
    for (std::size_t i = 0; i < 31; ++i) {
        if (i >= song.instruments.size() || song.instruments[i].samples.empty()) {
            out.text(i < song.instruments.size() ? song.instruments[i].name : std::string(), 22);
            out.u16be(0);
            out.u8(0);
            out.u8(0);
            out.u16be(0);
            out.u16be(1); // no loop
            continue;
        }
        const ModuleInstrument& ins = song.instruments[i];
        const ModuleSample& s = ins.samples.front();
        const std::size_t len = s.data.size() + (s.data.size() & 1);
        out.text(ins.name, 22);
        out.u16be(static_cast<unsigned>(len / 2));
        out.u8(s.finetune & 0x0F);
        out.u8(s.volume);
        if (s.loopLength > 0) {
            out.u16be(static_cast<unsigned>(s.loopStart / 2));
            out.u16be(static_cast<unsigned>(s.loopLength / 2));
        } else {
            out.u16be(0);
            out.u16be(1);
        }
    }
    out.u8(static_cast<int>(song.orders.size()));
    out.u8(song.restartPosition);
    for (std::size_t i = 0; i < 128; ++i) out.u8(i < song.orders.size() ? song.orders[i] : 0);
    out.text("M.K.", 4);

    // Every pattern is stored, even one the order list skips.
    for (const ModulePattern& pat : song.patterns) {
        for (const ModuleCell& c : pat.cells) {
            const int period = c.note == NoteNone ? 0 : ModPeriods[static_cast<std::size_t>(c.note - ModFirstNote)];
            out.u8((c.instrument & 0xF0) | ((period >> 8) & 0x0F));
            out.u8(period & 0xFF);
            out.u8(((c.instrument & 0x0F) << 4) | (c.effect & 0x0F));
            out.u8(c.param);
        }
    }
    for (const ModuleInstrument& ins : song.instruments) {
        if (ins.samples.empty()) continue;
        const ModuleSample& s = ins.samples.front();
        for (std::int16_t v : s.data) out.u8(static_cast<std::uint8_t>(modSampleByte(v)));
        if (s.data.size() & 1) out.u8(0);
    }
    return out.bytes;
}

// ---------------------------------------------------------------- XM

namespace {

void checkEnvelope(Checker& check, const ModuleEnvelope& env, const std::string& w)
{
    const int n = static_cast<int>(env.points.size());
    check.require(n <= 12, w + " has more than 12 points");
    for (int i = 0; i < n; ++i) {
        const EnvelopePoint& p = env.points[static_cast<std::size_t>(i)];
        check.require(p.value >= 0 && p.value <= 64, w + " point value must be 0..64");
        check.require(p.tick >= 0 && p.tick <= 65535, w + " point tick must be 0..65535");
        if (i == 0) check.require(p.tick == 0, w + " must start at tick 0");
        else check.require(p.tick > env.points[static_cast<std::size_t>(i - 1)].tick, w + " ticks must increase");
    }
    check.require(env.sustainPoint >= -1 && env.sustainPoint < n, w + " sustain point is not one of its points");
    check.require((env.loopStart == -1) == (env.loopEnd == -1), w + " loop needs both a start and an end");
    check.require(env.loopStart >= -1 && env.loopStart < n && env.loopEnd >= -1 && env.loopEnd < n &&
                      env.loopStart <= env.loopEnd,
                  w + " loop points are not in order within its points");
}

void checkXm(Checker& check, const ModuleSong& song)
{
    check.require(song.channels >= 2 && song.channels <= 32 && song.channels % 2 == 0,
                  "an XM has an even number of channels from 2 to 32");
    check.require(song.name.size() <= 20, "song name longer than 20 characters");
    check.require(song.instruments.size() <= 128, "an XM holds at most 128 instruments");
    if (!check.ok()) return;
    checkPatterns(check, song, 256, 256, 1, 256);
    if (!check.ok()) return;
    for (std::size_t i = 0; i < song.instruments.size(); ++i) {
        const ModuleInstrument& ins = song.instruments[i];
        const std::string w = where("instrument", i);
        check.require(ins.name.size() <= 22, w + " name longer than 22 characters");
        check.require(ins.samples.size() <= 16, w + " holds more than 16 samples");
        check.require(ins.noteSample.empty() || ins.noteSample.size() == 96, w + " note map must have 96 entries");
        for (std::uint8_t m : ins.noteSample)
            check.require(m < std::max<std::size_t>(ins.samples.size(), 1), w + " note map names a missing sample");
        checkEnvelope(check, ins.volumeEnvelope, w + " volume envelope");
        checkEnvelope(check, ins.panningEnvelope, w + " panning envelope");
        check.require(ins.fadeout >= 0 && ins.fadeout <= 4095, w + " fadeout must be 0..4095");
        check.require(ins.vibratoType >= 0 && ins.vibratoType <= 3, w + " vibrato type must be 0..3");
        check.require(ins.vibratoSweep >= 0 && ins.vibratoSweep <= 255 && ins.vibratoDepth >= 0 &&
                          ins.vibratoDepth <= 15 && ins.vibratoRate >= 0 && ins.vibratoRate <= 63,
                      w + " vibrato sweep/depth/rate must be 0..255/0..15/0..63");
        for (std::size_t k = 0; k < ins.samples.size(); ++k) {
            const ModuleSample& s = ins.samples[k];
            const std::string ws = w + " " + where("sample", k);
            check.require(s.name.size() <= 22, ws + " name longer than 22 characters");
            check.require(s.data.size() <= 0x3FFFFFFF, ws + " too long");
            check.require(s.volume >= 0 && s.volume <= 64, ws + " volume must be 0..64");
            check.require(s.finetune >= -128 && s.finetune <= 127, ws + " finetune must be -128..127");
            check.require(s.relativeNote >= -96 && s.relativeNote <= 95, ws + " relative note must be -96..95");
            check.require(s.panning >= 0 && s.panning <= 255, ws + " panning must be 0..255");
            check.require(s.loopStart >= 0 && s.loopLength >= 0 &&
                              static_cast<std::size_t>(s.loopStart) + static_cast<std::size_t>(s.loopLength) <=
                                  s.data.size(),
                          ws + " loop runs past the sample's end");
        }
        if (!check.ok()) return;
    }
    for (std::size_t p = 0; p < song.patterns.size(); ++p) {
        for (const ModuleCell& c : song.patterns[p].cells) {
            const std::string w = where("pattern", p);
            check.require(c.note <= NoteKeyOff, w + " note " + std::to_string(c.note) + " above key off (97)");
            check.require(c.volume == 0 || (c.volume >= 0x10 && c.volume <= 0x50) || c.volume >= 0x60,
                          w + " volume column byte " + std::to_string(c.volume) + " is not a command");
            check.require(c.effect <= 0x23, w + " effect above 0x23");
            if (!check.ok()) return;
        }
    }
}

void writeEnvelopePoints(ByteSink& out, const ModuleEnvelope& env)
{
    for (std::size_t i = 0; i < 12; ++i) {
        out.u16le(i < env.points.size() ? static_cast<unsigned>(env.points[i].tick) : 0u);
        out.u16le(i < env.points.size() ? static_cast<unsigned>(env.points[i].value) : 0u);
    }
}

int envelopeFlags(const ModuleEnvelope& env)
{
    if (env.points.empty()) return 0;
    return 1 | (env.sustainPoint >= 0 ? 2 : 0) | (env.loopStart >= 0 ? 4 : 0);
}

void writeXmPattern(ByteSink& out, const ModulePattern& pat, int channels)
{
    out.u32le(9);
    out.u8(0);
    out.u16le(static_cast<unsigned>(pat.rows));
    const std::size_t sizeAt = out.bytes.size();
    out.u16le(0);
    const std::size_t start = out.bytes.size();
    for (int r = 0; r < pat.rows; ++r) {
        for (int ch = 0; ch < channels; ++ch) {
            const ModuleCell& c = pat.at(r, ch, channels);
            const int mask = (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) | (c.effect ? 8 : 0) |
                             (c.param ? 16 : 0);
            if (mask == 31) {
                out.u8(c.note);
                out.u8(c.instrument);
                out.u8(c.volume);
                out.u8(c.effect);
                out.u8(c.param);
                continue;
            }
            out.u8(0x80 | mask);
            if (mask & 1) out.u8(c.note);
            if (mask & 2) out.u8(c.instrument);
            if (mask & 4) out.u8(c.volume);
            if (mask & 8) out.u8(c.effect);
            if (mask & 16) out.u8(c.param);
        }
    }
    out.patchU16le(sizeAt, static_cast<unsigned>(out.bytes.size() - start));
}

} // namespace

std::vector<std::uint8_t> writeXm(const ModuleSong& song, std::string& error)
{
    Checker check(error);
    checkXm(check, song);
    if (!check.ok()) return {};
    // A packed pattern's size field is 16 bits.
    for (std::size_t p = 0; p < song.patterns.size(); ++p) {
        ByteSink probe;
        writeXmPattern(probe, song.patterns[p], song.channels);
        check.require(probe.bytes.size() - 9 <= 0xFFFF, where("pattern", p) + " packs to more than 65535 bytes");
    }
    if (!check.ok()) return {};

    ByteSink out;
    out.text("Extended Module: ", 17);
    out.text(song.name, 20);
    out.u8(0x1A);
    out.text("nordglow-datagen", 20);
    out.u16le(0x0104);
    out.u32le(276);
    out.u16le(static_cast<unsigned>(song.orders.size()));
    out.u16le(static_cast<unsigned>(song.restartPosition));
    out.u16le(static_cast<unsigned>(song.channels));
    out.u16le(static_cast<unsigned>(song.patterns.size()));
    out.u16le(static_cast<unsigned>(song.instruments.size()));
    out.u16le(1); // linear frequency table
    out.u16le(static_cast<unsigned>(song.speed));
    out.u16le(static_cast<unsigned>(song.tempo));
    for (std::size_t i = 0; i < 256; ++i) out.u8(i < song.orders.size() ? song.orders[i] : 0);

    for (const ModulePattern& pat : song.patterns) writeXmPattern(out, pat, song.channels);

    for (const ModuleInstrument& ins : song.instruments) {
        const std::size_t headerStart = out.bytes.size();
        out.u32le(ins.samples.empty() ? 29 : 263);
        out.text(ins.name, 22);
        out.u8(0);
        out.u16le(static_cast<unsigned>(ins.samples.size()));
        if (ins.samples.empty()) continue;
        out.u32le(40);
        for (std::size_t n = 0; n < 96; ++n) out.u8(ins.noteSample.empty() ? 0 : ins.noteSample[n]);
        writeEnvelopePoints(out, ins.volumeEnvelope);
        writeEnvelopePoints(out, ins.panningEnvelope);
        out.u8(static_cast<int>(ins.volumeEnvelope.points.size()));
        out.u8(static_cast<int>(ins.panningEnvelope.points.size()));
        out.u8(std::max(ins.volumeEnvelope.sustainPoint, 0));
        out.u8(std::max(ins.volumeEnvelope.loopStart, 0));
        out.u8(std::max(ins.volumeEnvelope.loopEnd, 0));
        out.u8(std::max(ins.panningEnvelope.sustainPoint, 0));
        out.u8(std::max(ins.panningEnvelope.loopStart, 0));
        out.u8(std::max(ins.panningEnvelope.loopEnd, 0));
        out.u8(envelopeFlags(ins.volumeEnvelope));
        out.u8(envelopeFlags(ins.panningEnvelope));
        out.u8(ins.vibratoType);
        out.u8(ins.vibratoSweep);
        out.u8(ins.vibratoDepth);
        out.u8(ins.vibratoRate);
        out.u16le(static_cast<unsigned>(ins.fadeout));
        out.zeros(263 - (out.bytes.size() - headerStart));

        for (const ModuleSample& s : ins.samples) {
            out.u32le(static_cast<std::uint32_t>(s.data.size() * 2));
            out.u32le(static_cast<std::uint32_t>(s.loopStart * 2));
            out.u32le(static_cast<std::uint32_t>(s.loopLength * 2));
            out.u8(s.volume);
            out.u8(s.finetune & 0xFF);
            out.u8((s.loopLength > 0 ? 1 : 0) | 0x10);
            out.u8(s.panning);
            out.u8(s.relativeNote & 0xFF);
            out.u8(0);
            out.text(s.name, 22);
        }
        for (const ModuleSample& s : ins.samples) {
            std::int16_t previous = 0;
            for (std::int16_t v : s.data) {
                out.u16le(static_cast<std::uint16_t>(static_cast<std::uint16_t>(v) - static_cast<std::uint16_t>(previous)));
                previous = v;
            }
        }
    }
    return out.bytes;
}

} // namespace datagen
