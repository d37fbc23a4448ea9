// "zerevovar": the intro's song. 4-channel MOD, 133 BPM at speed 6: 16 rows make a bar and
// one credit line (3.6 s) is two bars.
//
// Key: A minor. The first credit line appears after 6.3 s (row 56), so the song opens with three
// and a half bars of pad and bells; then each 64-row pattern carries two credit lines, adding
// bass, drums and the lead in turn. The seventh line is a snare roll and a rising line into the
// white flash at row 280 (31.6 s): a crash on A minor, then the pad rings out to the end (39.7 s).
//
// Channels (hard left, right, right, left): 0 drums, 1 bass, 2 chord pad, 3 bells and lead.
#include "datagen/songs/compose.h"
#include "datagen/songs/songs.h"
#include "datagen/songs/synth.h"

namespace datagen {

namespace {

using compose::chordLane;
using compose::chordSampleLane;
using compose::Hit;
using compose::hitLane;
using compose::scaleLane;
using compose::Section;

constexpr double Rate = 8363.0 * 2; // samples are made here; drums play back at this rate on C-5

enum : int { Kick = 1, Snare, Hat, Crash, Bass, PadMinor, PadMajor, Bell, Lead, InstrumentCount = Lead };
enum : int { DrumCh = 0, BassCh = 1, PadCh = 2, LeadCh = 3 };

std::vector<ModuleInstrument> makeInstruments(std::vector<int>& transpose)
{
    using namespace synth;
    std::vector<ModuleInstrument> v(InstrumentCount);
    transpose.assign(InstrumentCount, 0);
    auto set = [&](int index, const char* name, ModuleSample s) {
        v[static_cast<std::size_t>(index - 1)].name = name;
        v[static_cast<std::size_t>(index - 1)].samples = {std::move(s)};
    };
    // A pitched sound made at Rate holds twice the pitch that C-4 (8363 Hz) should play.
    auto pitched = [](Sound s, double refHz) { s.refHz = refHz; return s; };

    set(Kick, "kick", toModSample(makeKick(Rate, 150, 50, 0.16), "kick", 0.99, 64));
    set(Snare, "snare", toModSample(makeSnare(Rate, 185, 0.13), "snare", 0.95, 64));
    set(Hat, "hat", toModSample(makeHat(Rate, 0.045, 5), "hat", 0.9, 64));
    set(Crash, "crash", toModSample(makeCrash(Rate, 1.6), "crash", 0.95, 64));
    // The bass sample sits two octaves down so that its notes stay inside a MOD's three octaves.
    set(Bass, "bass", toModSample(pitched(makeBass(Rate, 130.8, 0.6), 65.406), "bass", 0.95, 64));
    transpose[Bass - 1] = 24;
    set(PadMinor, "pad minor", toModSample(pitched(makeChordPad(Rate, 523.3, {0, 3, 7, 12}, 2600, 1.2, 0.6), 261.6256),
                                           "pad minor", 0.95, 64));
    set(PadMajor, "pad major", toModSample(pitched(makeChordPad(Rate, 523.3, {0, 4, 7, 12}, 2600, 1.2, 0.6), 261.6256),
                                           "pad major", 0.95, 64));
    set(Bell, "bell", toModSample(pitched(makeBell(Rate, 523.3, 0.9), 261.6256), "bell", 0.95, 64));
    set(Lead, "lead", toModSample(pitched(makeLead(Rate, 523.3, 0.3), 261.6256), "lead", 0.9, 64));
    return v;
}

// Drums play an octave up (C5) so that the samples play at the rate they were made at.
const std::vector<Hit> DrumHits = {{'K', Kick, 64, 72}, {'k', Kick, 40, 72}, {'S', Snare, 52, 72},
                                   {'s', Snare, 26, 72}, {'r', Snare, 18, 72}, {'h', Hat, 30, 72},
                                   {'H', Hat, 42, 72}, {'C', Crash, 64, 72}};

Section awakening()
{
    Section s{"awakening", 56, "i:32 VI:24", {}};
    s.lanes.push_back(chordSampleLane(PadCh, PadMinor, PadMajor, "E3", 30, "* ~31 * ~23"));
    s.lanes.push_back(scaleLane(LeadCh, Bell, "A4", 26, "5 ~7 3 ~7 1 ~15 | 6 ~7 5 ~7 3 ~7"));
    s.lanes.push_back(hitLane(DrumCh, "~48 k ~3 k . k .", DrumHits));
    return s;
}

// Each of these carries two credit lines: two chords of two bars.
Section lines12()
{
    Section s{"lines 1-2", 64, "i:32 III:32", {}};
    s.lanes.push_back(chordSampleLane(PadCh, PadMinor, PadMajor, "E3", 36, "* ~31"));
    s.lanes.push_back(chordLane(BassCh, Bass, "E1", 40, "1 ~15 1 ~7 5 ~7"));
    s.lanes.push_back(scaleLane(LeadCh, Bell, "A4", 30,
                                "5 ~5 4 . 3 ~7 1 ~7 3 ~3 5 ~3 | 5 ~7 3 ~7 5 ~7 7 ~3 8 ~3"));
    s.lanes.push_back(hitLane(DrumCh, "k ~15 k ~7 k ~7", DrumHits));
    return s;
}

Section lines34()
{
    Section s{"lines 3-4", 64, "VI:32 VII:32", {}};
    s.lanes.push_back(chordSampleLane(PadCh, PadMinor, PadMajor, "E3", 38, "* ~31"));
    s.lanes.push_back(chordLane(BassCh, Bass, "E1", 46, "1 . . 1 . . 1 . 1 . . 1 . . 8 ."));
    s.lanes.push_back(scaleLane(LeadCh, Lead, "A4", 30,
                                "6 ~7 5 ~3 3 ~3 1 ~7 3 ~3 4 ~3 | 5 ~7 4 ~3 2 ~3 5 ~7 = ~7"));
    s.lanes.push_back(hitLane(DrumCh, "K . h . h . h . k . h . h . h h", DrumHits));
    return s;
}

Section lines56()
{
    Section s{"lines 5-6", 64, "i:32 III:16 VII:16", {}};
    s.lanes.push_back(chordSampleLane(PadCh, PadMinor, PadMajor, "E3", 40, "* ~15"));
    s.lanes.push_back(chordLane(BassCh, Bass, "E1", 50, "1 . . 1 . . 1 . 1 . . 1 . 1 8 ."));
    s.lanes.push_back(scaleLane(LeadCh, Lead, "A4", 34,
                                "8 ~5 7 . 5 ~5 3 . | 5 ~3 7 ~3 8 ~7 | 8 ~3 7 ~3 5 ~7 | 7 ~7 9 ~7"));
    s.lanes.push_back(hitLane(DrumCh, "K . h . S . h . K . h K S . h H", DrumHits));
    return s;
}

Section flash()
{
    // Line seven builds for two bars; row 32 is the flash.
    Section s{"flash", 64, "iv:16 V:16 i:32", {}};
    s.lanes.push_back(chordSampleLane(PadCh, PadMinor, PadMajor, "E3", 44, "* ~15 * ~15 * ~31"));
    s.lanes.push_back(chordLane(BassCh, Bass, "E1", 54, "1 . 1 . 1 . 1 . 1 . 1 . 1 . 1 . 1 1 1 1 1 1 1 1 5 5 5 5 7 7 7 7 1 ~31"));
    s.lanes.push_back(scaleLane(LeadCh, Lead, "A4", 36,
                                "4 ~3 5 ~3 6 ~3 7 ~3 | #7 ~3 1' ~3 2' ~3 #7 ~3 | 8 ~15 5 ~7 3 ~7"));
    s.lanes.push_back(hitLane(DrumCh,
                              "K . r . S . r . K . r . S . S . | S . S . S r S r S S S S S S S S | C ~31",
                              DrumHits));
    return s;
}

Section fadeAway()
{
    Section s{"fade", 40, "VI:16 i:24", {}};
    s.lanes.push_back(chordSampleLane(PadCh, PadMinor, PadMajor, "E3", 30, "* ~15 * ~11 ~12"));
    s.lanes.push_back(chordLane(BassCh, Bass, "E1", 30, "1 ~15 1 ~15 = ~7"));
    s.lanes.push_back(scaleLane(LeadCh, Bell, "A4", 24, "3 ~7 1 ~7 5, ~15 1 ~7"));
    return s;
}

} // namespace

bool makeIntroSong(ModuleSong& song, std::vector<SongSectionMark>& sections, std::string& error)
{
    compose::Arrangement arr;
    if (!compose::parseKey("A minor", arr.key)) {
        error = "bad key";
        return false;
    }
    arr.channels = 4;
    arr.rowsPerBar = 16;
    arr.mod = true;
    arr.volumeScale = 0.55; // the intro sits a little below the main song
    arr.sections = {awakening(), lines12(), lines34(), lines56(), flash(), fadeAway()};
    arr.sections.front().tempo = 133; // a MOD states its tempo with F85 on the first row

    song = ModuleSong{};
    song.name = "zerevovar";
    song.channels = 4;
    song.speed = 6;
    song.tempo = 133;
    song.restartPosition = 0;
    song.instruments = makeInstruments(arr.noteTranspose);

    std::vector<int> orders;
    if (!compose::arrangeSong(arr, song, orders, error)) return false;
    sections.clear();
    for (std::size_t i = 0; i < orders.size(); ++i) sections.push_back({arr.sections[i].name, orders[i]});
    return true;
}

} // namespace datagen
