// Lane text to module cells: tokenising, chord and scale arithmetic, pattern splitting.
#include "datagen/songs/compose.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace datagen::compose {

namespace {

enum class Quality { Major, Minor, Diminished, Augmented };

struct Chord {
    int degree = 0;      // 0..6 in the key
    int accidental = 0;  // semitones added to the root
    Quality quality = Quality::Minor;
    bool seventh = false;
    int sus = 0;         // 0, 2 or 4
    int rows = 16;
};

int mod12(int v) { return ((v % 12) + 12) % 12; }

std::vector<std::string> splitWords(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string w;
    while (in >> w)
        if (w != "|") out.push_back(w);
    return out;
}

// Expands "{ ... }N" groups and "~N" rests into one token per row.
bool expandTokens(const std::vector<std::string>& words, std::size_t& i, std::vector<std::string>& out,
                  std::string& error, bool inGroup)
{
    while (i < words.size()) {
        const std::string& w = words[i++];
        if (w == "{") {
            std::vector<std::string> group;
            if (!expandTokens(words, i, group, error, true)) return false;
            const std::string& close = words[i - 1];
            const int times = std::atoi(close.c_str() + 1);
            if (times < 1) {
                error = "group end '" + close + "' needs a repeat count";
                return false;
            }
            for (int k = 0; k < times; ++k) out.insert(out.end(), group.begin(), group.end());
        } else if (w[0] == '}') {
            if (!inGroup) {
                error = "'" + w + "' closes no group";
                return false;
            }
            return true;
        } else if (w[0] == '~') {
            const int n = std::atoi(w.c_str() + 1);
            if (n < 1) {
                error = "rest '" + w + "' needs a row count";
                return false;
            }
            out.insert(out.end(), static_cast<std::size_t>(n), ".");
        } else {
            out.push_back(w);
        }
    }
    if (inGroup) {
        error = "group is not closed";
        return false;
    }
    return true;
}

bool parseChord(const std::string& word, int rowsPerBar, Chord& c, std::string& error)
{
    std::string w = word;
    c = Chord{};
    c.rows = rowsPerBar;
    if (const auto colon = w.find(':'); colon != std::string::npos) {
        c.rows = std::atoi(w.c_str() + colon + 1);
        w = w.substr(0, colon);
    }
    std::size_t i = 0;
    while (i < w.size() && (w[i] == 'b' || w[i] == '#')) c.accidental += w[i++] == 'b' ? -1 : 1;
    std::size_t j = i;
    while (j < w.size() && std::strchr("IViv", w[j]) != nullptr) ++j;
    std::string roman = w.substr(i, j - i);
    static const char* numerals[7] = {"i", "ii", "iii", "iv", "v", "vi", "vii"};
    std::string lower = roman;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    c.degree = -1;
    for (int d = 0; d < 7; ++d)
        if (lower == numerals[d]) c.degree = d;
    const bool upper = !roman.empty() && std::isupper(static_cast<unsigned char>(roman[0]));
    c.quality = upper ? Quality::Major : Quality::Minor;
    std::string rest = w.substr(j);
    if (!rest.empty() && rest[0] == 'o') { c.quality = Quality::Diminished; rest.erase(0, 1); }
    if (!rest.empty() && rest[0] == '+') { c.quality = Quality::Augmented; rest.erase(0, 1); }
    if (!rest.empty() && rest[0] == '7') { c.seventh = true; rest.erase(0, 1); }
    if (rest == "sus2") { c.sus = 2; rest.clear(); }
    if (rest == "sus4") { c.sus = 4; rest.clear(); }
    if (c.degree < 0 || !rest.empty() || c.rows < 1) {
        error = "unknown chord '" + word + "'";
        return false;
    }
    return true;
}

// Semitones from the chord's root up to interval n (1-based, may pass the octave).
int chordInterval(const Key& key, const Chord& c, int n)
{
    const int octave = (n - 1) / 7, m = (n - 1) % 7 + 1;
    int semis;
    if (m == 1) semis = 0;
    else if (m == 3 && c.sus) semis = c.sus == 2 ? 2 : 5;
    else if (m == 3) semis = (c.quality == Quality::Major || c.quality == Quality::Augmented) ? 4 : 3;
    else if (m == 5) semis = c.quality == Quality::Diminished ? 6 : c.quality == Quality::Augmented ? 8 : 7;
    else {
        const int from = key.steps[static_cast<std::size_t>(c.degree)];
        const int to = key.steps[static_cast<std::size_t>((c.degree + m - 1) % 7)];
        semis = mod12(to - from);
    }
    return semis + 12 * octave;
}

int rootClass(const Key& key, const Chord& c)
{
    return mod12(key.tonic + key.steps[static_cast<std::size_t>(c.degree)] + c.accidental);
}

int lowestAtOrAbove(int pitchClass, int floor) { return floor + mod12(pitchClass - floor); }

struct NoteToken {
    bool isVoice = false;
    int number = 0;
    int accidental = 0;
    int octave = 0;
    double gain = 1.0;
};

bool parseNoteToken(const std::string& w, NoteToken& t)
{
    std::size_t i = 0;
    t = NoteToken{};
    while (i < w.size() && (w[i] == 'b' || w[i] == '#')) t.accidental += w[i++] == 'b' ? -1 : 1;
    if (i < w.size() && w[i] == '*') {
        t.isVoice = true;
        ++i;
    } else {
        std::size_t j = i;
        while (j < w.size() && std::isdigit(static_cast<unsigned char>(w[j]))) ++j;
        if (j == i) return false;
        t.number = std::atoi(w.substr(i, j - i).c_str());
        if (t.number < 1) return false;
        i = j;
    }
    for (; i < w.size(); ++i) {
        if (w[i] == '\'') ++t.octave;
        else if (w[i] == ',') --t.octave;
        else if (w[i] == '!') t.gain = 1.25;
        else if (w[i] == '?') t.gain = 0.6;
        else return false;
    }
    return true;
}

struct RowEvent {
    bool set = false;
    bool release = false;
    int instrument = 0;
    int pitch = 0;
    int volume = 64;
};

// Puts an effect into the last channel whose effect column is free on that row.
bool placeEffect(ModulePattern& pat, int row, int channels, int effect, int param)
{
    for (int ch = channels - 1; ch >= 0; --ch) {
        ModuleCell& cell = pat.at(row, ch, channels);
        if (cell.effect == 0 && cell.param == 0) {
            cell.effect = static_cast<std::uint8_t>(effect);
            cell.param = static_cast<std::uint8_t>(param);
            return true;
        }
    }
    return false;
}

std::string laneName(const Section& s, const Lane& l)
{
    return "section '" + s.name + "' channel " + std::to_string(l.channel);
}

} // namespace

bool parseKey(const std::string& text, Key& key)
{
    std::istringstream in(text);
    std::string tonic, mode, extra;
    in >> tonic >> mode;
    if (mode == "harmonic") {
        in >> extra;
        mode += " " + extra;
    }
    const int n = noteNumber(tonic + "4");
    if (n < 0) return false;
    static const std::map<std::string, std::array<int, 7>> modes = {
        {"major", {0, 2, 4, 5, 7, 9, 11}},    {"minor", {0, 2, 3, 5, 7, 8, 10}},
        {"dorian", {0, 2, 3, 5, 7, 9, 10}},   {"phrygian", {0, 1, 3, 5, 7, 8, 10}},
        {"lydian", {0, 2, 4, 6, 7, 9, 11}},   {"mixolydian", {0, 2, 4, 5, 7, 9, 10}},
        {"harmonic minor", {0, 2, 3, 5, 7, 8, 11}},
    };
    const auto it = modes.find(mode);
    if (it == modes.end()) return false;
    key.tonic = mod12(n);
    key.steps = it->second;
    return true;
}

int noteNumber(const std::string& name)
{
    static const int classes[7] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return -1;
    int pc = classes[name[0] - 'A'];
    std::size_t i = 1;
    if (name[i] == '#') { ++pc; ++i; }
    else if (name[i] == 'b') { --pc; ++i; }
    if (i >= name.size()) return -1;
    const bool negative = name[i] == '-';
    if (negative) ++i;
    if (i + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
    const int octave = (name[i] - '0') * (negative ? -1 : 1);
    return 12 * (octave + 1) + pc;
}

Lane hitLane(int channel, std::string text, std::vector<Hit> hits)
{
    Lane l;
    l.channel = channel;
    l.kind = LaneKind::Hits;
    l.text = std::move(text);
    l.hits = std::move(hits);
    return l;
}

namespace {
Lane pitchedLane(LaneKind kind, int channel, int instrument, const char* floor, int volume, std::string text)
{
    Lane l;
    l.channel = channel;
    l.kind = kind;
    l.instrument = instrument;
    l.floor = noteNumber(floor);
    l.volume = volume;
    l.text = std::move(text);
    return l;
}
} // namespace

Lane chordLane(int channel, int instrument, const char* floor, int volume, std::string text)
{
    return pitchedLane(LaneKind::Chord, channel, instrument, floor, volume, std::move(text));
}

Lane scaleLane(int channel, int instrument, const char* floor, int volume, std::string text)
{
    return pitchedLane(LaneKind::Scale, channel, instrument, floor, volume, std::move(text));
}

Lane voiceLane(int channel, int instrument, const char* floor, int voice, int volume, std::string text)
{
    Lane l = pitchedLane(LaneKind::Voice, channel, instrument, floor, volume, std::move(text));
    l.voice = voice;
    return l;
}

Lane chordSampleLane(int channel, int minorInstrument, int majorInstrument, const char* floor, int volume,
                     std::string text)
{
    Lane l = pitchedLane(LaneKind::Voice, channel, minorInstrument, floor, volume, std::move(text));
    l.majorInstrument = majorInstrument;
    return l;
}

Lane echoLane(const Lane& of, int channel, int instrument, int delay, int volume)
{
    Lane l = of;
    l.channel = channel;
    l.instrument = instrument;
    l.delay = of.delay + delay;
    l.volume = volume;
    return l;
}

namespace {

using LaneEvents = std::vector<std::vector<RowEvent>>;  // [channel][row] of one section

// The chord of every row of the section: its progression repeated until the rows are filled.
bool chordsOfRows(const Arrangement& arr, const Section& sec, std::vector<Chord>& chordAt, std::string& error)
{
    std::vector<Chord> progression;
    for (const std::string& w : splitWords(sec.chords)) {
        Chord c;
        if (!parseChord(w, arr.rowsPerBar, c, error)) {
            error = "section '" + sec.name + "': " + error;
            return false;
        }
        progression.push_back(c);
    }
    if (progression.empty()) {
        error = "section '" + sec.name + "' states no chords";
        return false;
    }
    chordAt.clear();
    for (std::size_t k = 0; static_cast<int>(chordAt.size()) < sec.rows; k = (k + 1) % progression.size())
        chordAt.insert(chordAt.end(), static_cast<std::size_t>(progression[k].rows), progression[k]);
    return true;
}

// Pitch of a scale degree, chord tone, root or voice of the chord under the row.
int pitchOfNote(const Arrangement& arr, const Lane& lane, const Chord& chord, const NoteToken& t)
{
    if (lane.kind == LaneKind::Scale) {
        const int d = t.number - 1;
        return lowestAtOrAbove(arr.key.tonic, lane.floor) + arr.key.steps[static_cast<std::size_t>(d % 7)] + 12 * (d / 7);
    }
    if (lane.kind == LaneKind::Chord)
        return lowestAtOrAbove(rootClass(arr.key, chord), lane.floor) + chordInterval(arr.key, chord, t.number);
    if (lane.majorInstrument != 0) return lowestAtOrAbove(rootClass(arr.key, chord), lane.floor);
    std::vector<int> classes;
    for (int n : {1, 3, 5, 7}) {
        if (n == 7 && !chord.seventh) continue;
        classes.push_back(mod12(rootClass(arr.key, chord) + chordInterval(arr.key, chord, n)));
    }
    std::vector<int> pitches;
    for (int p = lane.floor; static_cast<int>(pitches.size()) <= lane.voice; ++p)
        if (std::find(classes.begin(), classes.end(), mod12(p)) != classes.end()) pitches.push_back(p);
    return pitches[static_cast<std::size_t>(lane.voice)];
}

// Writes one lane's tokens, repeated from its delay to the section's end, into its channel's rows.
bool writeLane(const Arrangement& arr, const Section& sec, const Lane& lane, const std::vector<Chord>& chordAt,
               LaneEvents& events, std::string& error)
{
    if (lane.channel < 0 || lane.channel >= arr.channels) {
        error = laneName(sec, lane) + " does not exist";
        return false;
    }
    std::vector<std::string> tokens;
    std::size_t at = 0;
    if (!expandTokens(splitWords(lane.text), at, tokens, error, false)) {
        error = laneName(sec, lane) + ": " + error;
        return false;
    }
    if (tokens.empty()) return true;
    for (int r = lane.delay; r < sec.rows; ++r) {
        const std::string& w = tokens[static_cast<std::size_t>(r - lane.delay) % tokens.size()];
        RowEvent& ev = events[static_cast<std::size_t>(lane.channel)][static_cast<std::size_t>(r)];
        if (w == ".") continue;
        if (ev.set) {
            error = laneName(sec, lane) + " row " + std::to_string(r) + " is written by two lanes";
            return false;
        }
        ev.set = true;
        if (w == "=") {
            ev.release = true;
            continue;
        }
        if (lane.kind == LaneKind::Hits) {
            const auto hit = std::find_if(lane.hits.begin(), lane.hits.end(),
                                          [&](const Hit& h) { return w.size() == 1 && h.symbol == w[0]; });
            if (hit == lane.hits.end()) {
                error = laneName(sec, lane) + ": unknown hit '" + w + "'";
                return false;
            }
            ev.instrument = hit->instrument;
            ev.pitch = hit->pitch;
            ev.volume = hit->volume;
            continue;
        }
        NoteToken t;
        if (!parseNoteToken(w, t) || t.isVoice != (lane.kind == LaneKind::Voice)) {
            error = laneName(sec, lane) + ": cannot read note '" + w + "'";
            return false;
        }
        const Chord& chord = chordAt[static_cast<std::size_t>(r)];
        const bool major = chord.quality == Quality::Major || chord.quality == Quality::Augmented;
        ev.instrument = lane.majorInstrument != 0 && major ? lane.majorInstrument : lane.instrument;
        ev.pitch = pitchOfNote(arr, lane, chord, t) + t.accidental + 12 * t.octave;
        ev.volume = std::clamp(static_cast<int>(lane.volume * t.gain + 0.5), 0, 64);
    }
    return true;
}

// One event as a pattern cell: a note with its instrument and volume, or a release.
bool writeCell(const Arrangement& arr, const RowEvent& ev, ModuleCell& cell, const std::string& where, std::string& error)
{
    if (ev.release) {
        if (arr.mod) {
            cell.effect = 0xC;
            cell.param = 0;
        } else {
            cell.note = NoteKeyOff;
        }
        return true;
    }
    const int transpose = ev.instrument >= 1 && ev.instrument <= static_cast<int>(arr.noteTranspose.size())
                              ? arr.noteTranspose[static_cast<std::size_t>(ev.instrument - 1)]
                              : 0;
    const int note = ev.pitch - 11 + transpose;
    if (note < 1 || note > 96) {
        error = where + ": pitch out of range";
        return false;
    }
    cell.note = static_cast<std::uint8_t>(note);
    cell.instrument = static_cast<std::uint8_t>(ev.instrument);
    const int volume = std::clamp(static_cast<int>(ev.volume * arr.volumeScale + 0.5), 0, 64);
    if (arr.mod) {
        if (volume < 64) {
            cell.effect = 0xC;
            cell.param = static_cast<std::uint8_t>(volume);
        }
    } else {
        cell.volume = volumeColumn(volume);
    }
    return true;
}

// Index of an identical pattern already in the song, or of the pattern added.
int addOrReusePattern(ModuleSong& song, ModulePattern pat)
{
    for (std::size_t p = 0; p < song.patterns.size(); ++p) {
        const ModulePattern& other = song.patterns[p];
        if (other.rows != pat.rows) continue;
        bool same = true;
        for (std::size_t k = 0; k < pat.cells.size() && same; ++k) {
            const ModuleCell &a = pat.cells[k], &b = other.cells[k];
            same = a.note == b.note && a.instrument == b.instrument && a.volume == b.volume && a.effect == b.effect &&
                   a.param == b.param;
        }
        if (same) return static_cast<int>(p);
    }
    song.patterns.push_back(std::move(pat));
    return static_cast<int>(song.patterns.size() - 1);
}

// Cuts the section's rows into patterns of up to 64 rows and appends them to the order list.
bool cutIntoPatterns(const Arrangement& arr, const Section& sec, const LaneEvents& events, ModuleSong& song,
                     std::string& error)
{
    const int channels = arr.channels;
    for (int start = 0; start < sec.rows; start += 64) {
        const int rows = std::min(64, sec.rows - start);
        ModulePattern pat = makeEmptyPattern(arr.mod ? 64 : rows, channels);
        for (int ch = 0; ch < channels; ++ch) {
            for (int r = 0; r < rows; ++r) {
                const RowEvent& ev = events[static_cast<std::size_t>(ch)][static_cast<std::size_t>(start + r)];
                if (!ev.set) continue;
                const std::string where = "section '" + sec.name + "' channel " + std::to_string(ch) + " row " +
                                    std::to_string(start + r);
                if (!writeCell(arr, ev, pat.at(r, ch, channels), where, error)) return false;
            }
        }
        if (start == 0 && sec.tempo != 0 && !placeEffect(pat, 0, channels, 0xF, sec.tempo)) {
            error = "section '" + sec.name + "': no free effect column for the tempo";
            return false;
        }
        // A short MOD pattern ends with a pattern break on its last row.
        if (arr.mod && rows < 64 && !placeEffect(pat, rows - 1, channels, 0xD, 0)) {
            error = "section '" + sec.name + "': no free effect column for the pattern break";
            return false;
        }
        song.orders.push_back(addOrReusePattern(song, std::move(pat)));
    }
    return true;
}

} // namespace

bool arrangeSong(const Arrangement& arr, ModuleSong& song, std::vector<int>& sectionOrders, std::string& error)
{
    error.clear();
    song.patterns.clear();
    song.orders.clear();
    sectionOrders.clear();
    for (const Section& sec : arr.sections) {
        std::vector<Chord> chordAt;
        if (!chordsOfRows(arr, sec, chordAt, error)) return false;
        LaneEvents events(static_cast<std::size_t>(arr.channels),
                          std::vector<RowEvent>(static_cast<std::size_t>(sec.rows)));
        for (const Lane& lane : sec.lanes)
            if (!writeLane(arr, sec, lane, chordAt, events, error)) return false;
        sectionOrders.push_back(static_cast<int>(song.orders.size()));
        if (!cutIntoPatterns(arr, sec, events, song, error)) return false;
    }
    return true;
}

} // namespace datagen::compose
