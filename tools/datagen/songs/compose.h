// Turns songs written as readable lanes of text into module patterns.
//
// A song has one key; each section states its chord progression once (Roman numerals, one per
// bar unless given ":rows", e.g. "i VI III VII:8 V:8"; upper case is major, lower case minor,
// with b/# before the numeral to move the root and o, +, 7, sus2, sus4 after it), and every
// lane reads its notes from that:
//
//   Hits lane   one symbol per row from the lane's table, e.g. "X . x . X . x ." for a kick
//   Chord lane  numbers are intervals above the current chord's root in the key's scale
//               (1 root, 3 third, 5 fifth, 8 octave; 3 and 5 follow the chord's quality)
//   Scale lane  numbers are degrees of the key's scale (1 = tonic)
//   Voice lane  "*" plays this lane's voice of the chord (0 = lowest chord tone above the floor)
//
// Pitched tokens take b/# before the number, ' (octave up) or , (octave down) after it, and
// ! (accent) or ? (soft) last. Every lane: "." holds, "=" releases the note, "~N" rests N rows,
// "{ ... }N" repeats a group N times, "|" is only a bar line for the reader. A lane shorter than
// its section starts again from its first row.
#pragma once

#include "datagen/songs/module_writer.h"

#include <array>
#include <string>
#include <vector>

namespace datagen::compose {

struct Key {
    int tonic = 9;                                  // pitch class, C = 0
    std::array<int, 7> steps = {0, 2, 3, 5, 7, 8, 10}; // semitones of each degree above the tonic
};

// "A minor", "D dorian", "E phrygian", "C major", "A harmonic minor"; false on an unknown text.
bool parseKey(const std::string& text, Key& key);

// "C4" = 60, "A2" = 45, "F#3" = 54, "Bb1" = 34; -1 on an unknown text.
int noteNumber(const std::string& name);

enum class LaneKind { Hits, Chord, Scale, Voice };

struct Hit {
    char symbol;
    int instrument; // 1-based
    int volume;     // 0..64
    int pitch = 60; // note number the hit plays (C4 = the sample's own pitch)
};

struct Lane {
    int channel = 0;
    LaneKind kind = LaneKind::Hits;
    int instrument = 0; // pitched lanes, 1-based
    int floor = 48;     // pitched lanes: roots, degree 1 and voices sit at or above this note number
    int voice = 0;
    int majorInstrument = 0; // Voice lanes: when set, "*" plays the chord's root with a whole-chord
                             // sample, `instrument` for minor chords and this for major ones
    int volume = 64;
    int delay = 0;      // rows the lane starts late (an echo of another lane)
    std::string text;
    std::vector<Hit> hits;
};

Lane hitLane(int channel, std::string text, std::vector<Hit> hits);
Lane chordLane(int channel, int instrument, const char* floor, int volume, std::string text);
Lane scaleLane(int channel, int instrument, const char* floor, int volume, std::string text);
Lane voiceLane(int channel, int instrument, const char* floor, int voice, int volume, std::string text);
// The same part `delay` rows later on another channel, softer: a tracker echo.
Lane echoLane(const Lane& of, int channel, int instrument, int delay, int volume);
Lane chordSampleLane(int channel, int minorInstrument, int majorInstrument, const char* floor, int volume,
                     std::string text);

struct Section {
    std::string name;
    int rows = 64;
    std::string chords;
    std::vector<Lane> lanes;
    int tempo = 0; // BPM set with an Fxx on the section's first row; 0 keeps the tempo playing
};

struct Arrangement {
    Key key;
    int channels = 8;
    int rowsPerBar = 16;
    bool mod = false;                // MOD: 64-row patterns, volumes as effect C, short patterns end with D00
    std::vector<int> noteTranspose;  // per instrument (0-based): module note = pitch - 11 + transpose
    double volumeScale = 1.0;        // every note's volume is scaled by this (the song's overall level)
    std::vector<Section> sections;
};

// Writes the patterns and the order list into song (one or more orders per section, in order).
// sectionOrders receives the order index where each section starts.
bool arrangeSong(const Arrangement& arrangement, ModuleSong& song, std::vector<int>& sectionOrders,
                 std::string& error);

} // namespace datagen::compose
