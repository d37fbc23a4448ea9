// Tracker module writers: a song description in, ProTracker MOD or FastTracker 2 XM bytes out.
//
// Notes use the XM numbering for both formats: 1 = C-0 ... 96 = B-7, 97 = key off, 0 = none.
// Note 49 (C-4) plays a sample at 8363 Hz when its relative note and finetune are 0.
// In a MOD that is ProTracker's C-2 (period 428); a MOD accepts notes 37..72 (periods 856..113).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

constexpr std::uint8_t NoteNone = 0;
constexpr std::uint8_t NoteKeyOff = 97;
constexpr std::uint8_t NoteC4 = 49;

// XM volume column byte for "set volume v" (v = 0..64); 0 means an empty column.
constexpr std::uint8_t volumeColumn(int v) { return static_cast<std::uint8_t>(0x10 + v); }

struct ModuleCell {
    std::uint8_t note = NoteNone;
    std::uint8_t instrument = 0; // 1-based; 0 = none
    std::uint8_t volume = 0;     // XM volume column byte (0x10..0x50 = set volume); must be 0 in a MOD
    std::uint8_t effect = 0;     // effect number 0x0..0xF (XM also 0x10..0x23)
    std::uint8_t param = 0;
};

struct ModulePattern {
    int rows = 64;
    std::vector<ModuleCell> cells; // rows * song channels, row-major

    ModuleCell& at(int row, int channel, int channels) { return cells[static_cast<std::size_t>(row * channels + channel)]; }
    const ModuleCell& at(int row, int channel, int channels) const { return cells[static_cast<std::size_t>(row * channels + channel)]; }
};

struct EnvelopePoint {
    int tick = 0;  // 0..65535, strictly increasing, the first at 0
    int value = 0; // 0..64
};

struct ModuleEnvelope {
    std::vector<EnvelopePoint> points; // at most 12; empty = envelope off
    int sustainPoint = -1;             // index or -1
    int loopStart = -1, loopEnd = -1;  // indices or -1
};

struct ModuleSample {
    std::string name;
    std::vector<std::int16_t> data; // signed 16-bit; the MOD writer keeps the top 8 bits
    int loopStart = 0;              // in sample frames
    int loopLength = 0;             // in sample frames; 0 = no loop
    int volume = 64;                // 0..64
    int finetune = 0;               // XM: -128..127 (1/128 semitone); MOD: -8..7 (1/8 semitone)
    int relativeNote = 0;           // XM only: -96..95 semitones
    int panning = 128;              // XM only: 0..255
};

struct ModuleInstrument {
    std::string name;                    // up to 22 characters
    std::vector<ModuleSample> samples;   // a MOD instrument holds exactly one sample (or none)
    std::vector<std::uint8_t> noteSample; // XM: 96 entries (0-based sample per note); empty = all sample 0
    ModuleEnvelope volumeEnvelope;       // XM only
    ModuleEnvelope panningEnvelope;      // XM only
    int fadeout = 0;                     // XM only: 0..4095, volume lost per tick after key off
    int vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0; // XM only
};

struct ModuleSong {
    std::string name;                  // MOD: up to 20 characters; XM: up to 20
    int channels = 4;                  // MOD: exactly 4; XM: 2..32, even
    int speed = 6;                     // ticks per row, 1..31
    int tempo = 125;                   // BPM, 32..255 (a MOD needs an Fxx in its first row to use it)
    int restartPosition = 0;           // order index to loop to
    std::vector<int> orders;           // pattern numbers; MOD 1..128 entries, XM 1..256
    std::vector<ModulePattern> patterns;
    std::vector<ModuleInstrument> instruments; // MOD up to 31, XM up to 128
};

// Each returns the file's bytes, or an empty vector with `error` saying which limit the song breaks.
std::vector<std::uint8_t> writeMod(const ModuleSong& song, std::string& error);
std::vector<std::uint8_t> writeXm(const ModuleSong& song, std::string& error);

// A pattern of empty cells sized for the song.
ModulePattern makeEmptyPattern(int rows, int channels);

} // namespace datagen
