// "Ruzezu": the main part's song. XM, 12 channels, speed 6 throughout; 16 rows make a bar.
//
// Key: A minor. Every section starts on the row where the picture changes scene; the tempo
// moves only where whole rows still land on those times (120 BPM: 125 ms a row, 150: 100 ms,
// 96: 156.25 ms).
//   0.0 s  dawn       120 BPM   80 rows  fade-in: pads swell, bells, a riser into the flight
//  10.0 s  flight     120 BPM  132 rows  rising landscape flight: four-on-the-floor, offbeat bass, soaring lead
//  26.5 s  cones      120 BPM  124 rows  spinning cones: arpeggio in fives, bass in threes, turning against the beat
//  42.0 s  tunnel     150 BPM  130 rows  fast tunnel: faster, rolling bass, busy hats, snare build
//  55.0 s  pentagram  120 BPM  120 rows  dark pentagram: detuned bass, choir, half-time drums, flat second
//  70.0 s  sheet       96 BPM   80 rows  calmer credits sheet: slower, light drums, bells
//  82.5 s  fountain   120 BPM  300 rows  melodic fountain: the main theme twice, the second time with a counter-line
// 120.0 s  outro      120 BPM  480 rows  reflective outro for the end scroller, closing on A major
// 180.0 s  end (then the song starts again)
//
// Channels: 0, 1, 8 pad/choir voices; 2 bass; 3 hats; 4 kick; 5 snare/clap; 6 arpeggio; 7 lead/bells;
// 9 crash, toms and risers; 10 sub bass; 11 counter-line or the lead's echo. The meters watch channels 2 to 7, so those
// parts are rhythmic, with rests and short envelopes, and their volumes leave the meters room to fall;
// the weight of the mix sits in the pads and the sub bass.
#include "datagen/songs/compose.h"
#include "datagen/songs/songs.h"
#include "datagen/songs/synth.h"

namespace datagen {

namespace {

using compose::chordLane;
using compose::Hit;
using compose::hitLane;
using compose::Lane;
using compose::scaleLane;
using compose::Section;
using compose::voiceLane;

constexpr double Rate = 8363.0 * 4; // every sample is made here; C-4 plays it back at this rate

// Instrument numbers (1-based, as the patterns name them).
enum : int {
    Kick = 1, Snare, Clap, HatClosed, HatOpen, Crash, Tom, Riser,
    Bass, Reese, PadLeft, PadRight, Choir, Lead, Pluck, Bell, PadCentre, Sub, Counter,
    InstrumentCount = Counter
};

// Channels.
enum : int {
    PadA = 0, PadB = 1, BassCh = 2, HatCh = 3, KickCh = 4, SnareCh = 5, ArpCh = 6, LeadCh = 7, PadC = 8,
    FxCh = 9, SubCh = 10, CounterCh = 11, ChannelCount = 12
};

ModuleInstrument instrument(const char* name, ModuleSample sample, std::vector<EnvelopePoint> envelope,
                            int sustainPoint = -1, int fadeout = 0, int panning = 128)
{
    ModuleInstrument ins;
    ins.name = name;
    sample.panning = panning;
    ins.samples.push_back(std::move(sample));
    ins.volumeEnvelope.points = std::move(envelope);
    ins.volumeEnvelope.sustainPoint = sustainPoint;
    ins.fadeout = fadeout;
    return ins;
}

std::vector<ModuleInstrument> makeInstruments()
{
    using namespace synth;
    std::vector<ModuleInstrument> v(InstrumentCount);
    auto tone = [](Sound s) { s.refHz = 261.6256; return s; };
    auto set = [&](int index, ModuleInstrument ins) { v[static_cast<std::size_t>(index - 1)] = std::move(ins); };

    // Envelope ticks are 1/48 s here (20.8 ms); a row is 6 ticks.
    set(Kick, instrument("kick", toXmSample(makeKick(Rate, 165, 49, 0.17), "kick", 0.98, 64),
                         {{0, 64}, {6, 52}, {12, 22}, {18, 0}}));
    set(Snare, instrument("snare", toXmSample(makeSnare(Rate, 190, 0.12), "snare", 0.95, 64),
                          {{0, 64}, {8, 46}, {16, 16}, {24, 0}}, -1, 0, 116));
    set(Clap, instrument("clap", toXmSample(makeClap(Rate), "clap", 0.95, 64),
                         {{0, 64}, {8, 44}, {16, 14}, {24, 0}}, -1, 0, 140));
    set(HatClosed, instrument("closed hat", toXmSample(makeHat(Rate, 0.03, 5), "closed hat", 0.9, 64),
                              {{0, 64}, {2, 40}, {5, 10}, {8, 0}}, -1, 0, 168));
    set(HatOpen, instrument("open hat", toXmSample(makeHat(Rate, 0.2, 9), "open hat", 0.9, 64),
                            {{0, 64}, {6, 40}, {12, 12}, {16, 0}}, -1, 0, 176));
    set(Crash, instrument("crash", toXmSample(makeCrash(Rate, 1.2), "crash", 0.9, 64),
                          {{0, 64}, {40, 40}, {120, 12}, {200, 0}}, -1, 0, 96));
    set(Tom, instrument("tom", toXmSample(makeTom(Rate, 98), "tom", 0.95, 64), {{0, 64}, {6, 40}, {14, 0}}, -1, 0, 104));
    set(Riser, instrument("riser", toXmSample(makeRiser(Rate, 2.0), "riser", 0.9, 64), {{0, 64}, {96, 64}, {100, 0}}));
    set(Bass, instrument("bass", toXmSample(tone(makeBass(Rate, 130.8, 1.0)), "bass", 0.95, 64),
                         {{0, 64}, {3, 56}, {8, 30}, {12, 8}, {16, 0}}));
    set(Reese, instrument("dark bass", toXmSample(tone(makeReese(Rate, 130.8)), "dark bass", 0.95, 64),
                          {{0, 64}, {6, 50}, {12, 40}}, 2, 4000));
    set(Sub, instrument("sub", toXmSample(tone(makeSub(Rate, 130.8)), "sub", 0.95, 64),
                        {{0, 0}, {2, 64}, {24, 54}}, 2, 1200));
    const Sound pad = tone(makePad(Rate, 261.6, 5, 1900, 1.5));
    // Pads start part-way up so that a new chord does not dip where the last one was cut.
    const std::vector<EnvelopePoint> padEnv = {{0, 24}, {24, 52}, {60, 64}, {120, 48}};
    set(PadLeft, instrument("pad L", toXmSample(pad, "pad", 0.9, 64), padEnv, 3, 700, 64));
    set(PadRight, instrument("pad R", toXmSample(pad, "pad", 0.9, 64), padEnv, 3, 700, 192));
    set(PadCentre, instrument("pad C", toXmSample(pad, "pad", 0.9, 64), padEnv, 3, 700, 128));
    set(Choir, instrument("choir", toXmSample(tone(makeChoir(Rate, 261.6, 1.5)), "choir", 0.9, 64),
                          {{0, 20}, {40, 64}, {100, 50}}, 2, 250));
    ModuleInstrument lead = instrument("lead", toXmSample(tone(makeLead(Rate, 523.3, 0.28)), "lead", 0.9, 64),
                                       {{0, 64}, {4, 56}, {16, 46}}, 2, 3000, 128);
    lead.vibratoSweep = 40;
    lead.vibratoDepth = 3;
    lead.vibratoRate = 12;
    set(Lead, lead);
    ModuleInstrument counter = lead;
    counter.name = "counter";
    counter.samples.front().panning = 84;
    set(Counter, counter);
    set(Pluck, instrument("pluck", toXmSample(tone(makePluck(Rate, 523.3, 0.2)), "pluck", 0.95, 64),
                          {{0, 64}, {2, 44}, {6, 16}, {10, 4}, {14, 0}}, -1, 0, 88));
    set(Bell, instrument("bell", toXmSample(tone(makeBell(Rate, 523.3, 0.7)), "bell", 0.95, 64),
                         {{0, 64}, {6, 44}, {18, 20}, {36, 6}, {50, 0}}, -1, 0, 150));
    return v;
}

// Hit tables shared by the sections.
const std::vector<Hit> KickHits = {{'X', Kick, 42}, {'x', Kick, 30}};
const std::vector<Hit> SnareHits = {{'S', Snare, 46}, {'s', Snare, 16}, {'C', Clap, 48}, {'c', Clap, 22},
                                    {'R', Snare, 30}};
const std::vector<Hit> HatHits = {{'X', HatClosed, 26}, {'x', HatClosed, 16}, {'o', HatOpen, 20}, {'O', HatOpen, 28}};
const std::vector<Hit> FxHits = {{'C', Crash, 50}, {'c', Crash, 30}, {'R', Riser, 40},
                                 {'H', Tom, 50, 67}, {'M', Tom, 50, 62}, {'L', Tom, 54, 55}};

// Pad chords: three voices, swelling in.
void addPads(Section& s, int instrumentA, int instrumentB, int instrumentC, const char* text, int volume)
{
    s.lanes.push_back(voiceLane(PadA, instrumentA, "E3", 0, volume, text));
    s.lanes.push_back(voiceLane(PadB, instrumentB, "E3", 1, volume, text));
    s.lanes.push_back(voiceLane(PadC, instrumentC, "E3", 2, volume, text));
}

void addSub(Section& s, const char* text, int volume)
{
    s.lanes.push_back(chordLane(SubCh, Sub, "E1", volume, text));
}

const char* EveryBar = "* ~15";

Section dawn()
{
    Section s{"dawn", 80, "i VI III VII i", {}};
    addPads(s, PadLeft, PadCentre, PadRight, EveryBar, 50);
    addSub(s, "~16 1 ~15 1 ~15 1 ~15 1 ~7 = ~7", 40);
    s.lanes.push_back(chordLane(BassCh, Reese, "E1", 24, "~16 1 ~15 1 ~15 1 ~15 1 ~7 = ~7"));
    s.lanes.push_back(scaleLane(LeadCh, Bell, "A4", 30,
                                "5 ~5 3 ~3 1 ~5 | 6 ~5 5 ~3 3 ~5 | 5 ~5 3 ~3 5 ~5 | 7 ~5 5 ~3 2 ~5 | 1' ~15"));
    s.lanes.push_back(chordLane(ArpCh, Pluck, "E3", 18, "~32 { 1 . 5 . 8 . 5 . 3' . 5 . 8 . 5 . }3"));
    s.lanes.push_back(hitLane(KickCh, "~64 X ~7 X ~3 X . x x", KickHits));
    s.lanes.push_back(hitLane(FxCh, "~64 R ~15", FxHits));
    return s;
}

Section flight()
{
    Section s{"flight", 132, "i VI III VII i VI III VII V:4", {}};
    addPads(s, PadLeft, PadCentre, PadRight, EveryBar, 44);
    addSub(s, "{ 1 ~15 }8 5 ~3", 52);
    s.lanes.push_back(hitLane(KickCh, "{ X . . . X . . . X . . . X . . . }8 X X X X", KickHits));
    s.lanes.push_back(hitLane(SnareCh, "{ . . . . C . . . . . . . C . . s }8 S R S S", SnareHits));
    s.lanes.push_back(hitLane(HatCh, "x . X . x . X . x . X . x . O .", HatHits));
    s.lanes.push_back(chordLane(BassCh, Bass, "E1", 36, "{ . . 1 . . . 1 . . . 1 . . . 8 . }8 5 . 5 ."));
    s.lanes.push_back(chordLane(ArpCh, Pluck, "E3", 26, "1 . 5 . 8 . ~2 3' . 5 . 10 . ~2"));
    const Lane lead = scaleLane(LeadCh, Lead, "A4", 36,
                                "8 ~5 7 . 5 ~3 = ~3 | 6 ~5 5 . 3 ~3 = ~3 | 5 ~3 3 ~3 5 . 7 . 8 . = . |"
                                " 7 ~5 5 . 4 ~3 = ~3 | 8 ~5 9 . 10 ~3 = ~3 | 10 ~3 9 ~3 8 ~3 = ~3 |"
                                " 10 ~3 9 . 8 . 7 ~3 = ~3 | 7 ~7 5 ~3 = ~3 | #7 . . =");
    s.lanes.push_back(lead);
    s.lanes.push_back(compose::echoLane(lead, CounterCh, Counter, 3, 14));
    s.lanes.push_back(hitLane(FxCh, "C ~63 c ~63 H M L L", FxHits));
    return s;
}

Section cones()
{
    // The arpeggio runs in groups of five rows and the bass in threes against the four-beat bar: the cones turn.
    Section s{"cones", 124, "iv VI i V iv VI i V:12", {}};
    addPads(s, PadLeft, PadCentre, PadRight, "* ~7 * ~7", 38);
    addSub(s, "1 ~15", 50);
    s.lanes.push_back(hitLane(KickCh, "X . . . X . . . X . . . X . . .", KickHits));
    s.lanes.push_back(hitLane(SnareCh, "{ . . . . C . . c . . . . C . . . }7 . . . . C . . . R R S S", SnareHits));
    s.lanes.push_back(hitLane(HatCh, "X . x . . x X . x . . x X . o .", HatHits));
    s.lanes.push_back(chordLane(BassCh, Bass, "E1", 36, "1 . . 8 . . 1 . . 8 . . 5 . . ."));
    s.lanes.push_back(chordLane(ArpCh, Pluck, "E3", 26, "1 . 3 . 5 . ~4"));
    const Lane lead = scaleLane(LeadCh, Lead, "A4", 34,
                                "4' ~2 3' ~2 1' . = ~7 | 3' ~2 1' ~2 6 . = ~7 |"
                                " 5 ~2 3 ~2 1 . 3 . 5 . = ~3 | #7 ~2 5 ~2 #7 . 2' . 1' . = ~3 |");
    s.lanes.push_back(lead);
    s.lanes.push_back(compose::echoLane(lead, CounterCh, Counter, 3, 14));
    s.lanes.push_back(hitLane(FxCh, "C ~63 c ~59", FxHits));
    return s;
}

Section tunnel()
{
    Section s{"tunnel", 130, "i VII VI VII i VII VI VII:18", {}, 150};
    addPads(s, PadLeft, PadCentre, PadRight, EveryBar, 34);
    addSub(s, "1 ~7 1 ~7", 56);
    s.lanes.push_back(hitLane(KickCh, "{ X . . . X . . x X . . . X . x . }7 X . . . X . . . X . X . X X X X . .", KickHits));
    s.lanes.push_back(hitLane(SnareCh, "{ . . . . S . . s . . s . S . . . }7 S . . s S . s . S R S R S S S S S S", SnareHits));
    s.lanes.push_back(hitLane(HatCh, "X x . x X x . x X x . x X . O .", HatHits));
    s.lanes.push_back(chordLane(BassCh, Bass, "E1", 26, "1 1 8 . 1 1 8 . 1 1 8 . 5 5 8 ."));
    s.lanes.push_back(chordLane(ArpCh, Pluck, "E3", 24, "1 5 8 10 12 ~3"));
    const Lane lead = scaleLane(LeadCh, Lead, "A4", 36,
                                "1' ~2 1' ~2 1' . 2' . 3' . = ~3 | 1' ~2 7 ~2 5 . = ~7 |"
                                " 6 ~2 6 ~2 6 . 7 . 1' . = ~3 | 5 ~3 7 ~3 2' ~3 = ~3 |");
    s.lanes.push_back(lead);
    s.lanes.push_back(compose::echoLane(lead, CounterCh, Counter, 3, 14));
    s.lanes.push_back(hitLane(FxCh, "C ~47 R ~15 C ~47 R ~15 . .", FxHits));
    return s;
}

Section pentagram()
{
    Section s{"pentagram", 120, "i i bII bII iv iv V V:8", {}, 120};
    addPads(s, Choir, Choir, Choir, "* ~31", 50);
    addSub(s, "1 ~15", 56);
    s.lanes.push_back(hitLane(KickCh, "X . . X . . . . . . X . . . . . X . . X . . . . . . X . x . . .", KickHits));
    s.lanes.push_back(hitLane(SnareCh, "~8 S ~7 ~8 S ~3 s . s .", SnareHits));
    s.lanes.push_back(hitLane(HatCh, "X . x . X . x . X . x . X . o .", HatHits));
    s.lanes.push_back(chordLane(BassCh, Reese, "E1", 34, "1 . . 1 . = 1 . = . 1 . = . 8 ="));
    s.lanes.push_back(chordLane(ArpCh, Pluck, "E3", 26, "1 . 5 . 8 ~3 1 . 5 . b9 ~3"));
    s.lanes.push_back(chordLane(LeadCh, Bell, "E3", 40, "8 ~5 12 . 8 ~3 5 ~3 | 10 ~5 8 . 5 ~3 = ~3 |"));
    s.lanes.push_back(hitLane(FxCh, "C ~31 L ~31 C ~31 L ~23", FxHits));
    return s;
}

Section sheet()
{
    Section s{"sheet", 80, "VI III VII i V", {}, 96};
    addPads(s, PadLeft, PadCentre, PadRight, EveryBar, 38);
    addSub(s, "1 ~15", 40);
    s.lanes.push_back(hitLane(KickCh, "X . . . . . x . X . . . . . . .", KickHits));
    s.lanes.push_back(hitLane(SnareCh, "~4 c ~7 C ~3", SnareHits));
    s.lanes.push_back(hitLane(HatCh, "x . X . x . o . x . X . x . o .", HatHits));
    s.lanes.push_back(chordLane(BassCh, Bass, "E1", 34, "1 . . . . . 1 . . . 5 . . . . ."));
    s.lanes.push_back(chordLane(ArpCh, Pluck, "E3", 26, "1 . 5 . 8 . 3' . 5' ~7"));
    s.lanes.push_back(scaleLane(LeadCh, Bell, "A4", 40,
                                "3' ~3 1' ~3 5 ~3 3 ~3 | 2' ~3 7 ~3 5 ~3 3 ~3 |"
                                " 4' ~3 2' ~3 7 ~3 5 ~3 | 3' ~3 1' ~3 5 ~3 1 ~3 | #7 ~3 2' ~3 #7 ~3 5 ~3"));
    s.lanes.push_back(hitLane(FxCh, "c ~79", FxHits));
    return s;
}

// The theme, over i VI III VII, and a counter-line a third or sixth below it.
const char* Theme =
    "5 . . 4 3 . . 2 1 ~3 3 . 5 . | 6 . . 5 4 . . 3 1 ~3 = ~3 |"
    " 5 . . 3 5 . 8 . 7 . . 5 3 . = . | 7 ~3 5 ~3 2 ~3 = ~3 |"
    " 5 . . 4 3 . . 2 1 ~3 3 . 5 . | 6 . . 5 4 . . 6 8 ~3 = ~3 |"
    " 8 . . 7 5 . . 3 5 ~3 7 . 5 . | 5 ~3 4 ~3 2 ~3 = ~3 |";
const char* CounterLine =
    "3 ~7 1 ~7 | 4 ~7 1 ~7 | 3 ~7 5 ~7 | 5 ~7 2 ~7 |"
    " 3 ~7 1 ~7 | 4 ~7 6 ~7 | 5 ~7 3 ~7 | 2 ~7 7, ~7 |";

Section fountain()
{
    Section s{"fountain", 300, "i VI III VII i VI III VII i VI III VII i VI III VII VI VII V:12", {}, 120};
    addPads(s, PadLeft, PadCentre, PadRight, "{ * ~15 }16 * ~31 * ~11", 54);
    addSub(s, "{ 1 ~15 }18 1 ~11", 60);
    s.lanes.push_back(hitLane(KickCh, "{ X . . . X . . . X . . . X . . . }18 X ~3 X ~3 X . X .", KickHits));
    s.lanes.push_back(hitLane(SnareCh, "{ . . . . C . . . . . . . C . . s }16 ~32 S R S R S S S S S S S S",
                              SnareHits));
    s.lanes.push_back(hitLane(HatCh, "x . X . x . X . x . X . x . O .", HatHits));
    s.lanes.push_back(chordLane(BassCh, Bass, "E1", 36, "{ . . 1 . . . 1 . . . 1 . . . 1 . }18 1 ~3 1 ~3 1 ~3"));
    s.lanes.push_back(chordLane(ArpCh, Pluck, "E3", 26, "1 . 5 . 8 . ~2 3' . 5 . 8 . 10 ."));
    s.lanes.push_back(scaleLane(LeadCh, Lead, "A4", 42,
                                std::string(Theme) + " " + Theme + " ~16 ~16 5 ~3 #7 ~3 2' ~3"));
    s.lanes.push_back(scaleLane(CounterCh, Counter, "A3", 32, std::string("~128 ") + CounterLine + " ~44"));
    s.lanes.push_back(hitLane(FxCh, "C ~127 C ~127 c ~15 R ~27", FxHits));
    return s;
}

Section outro()
{
    // Thirty bars: bells over the sheet's chords, the theme once more softly, bells again while
    // the drums thin out, then iv - V - I onto A major, held and released before the song ends.
    Section s{"outro", 480,
              "VI III VII i VI III VII i | i VI III VII i VI III VII | VI III VII i VI VII i i | iv iv V V I I",
              {}};
    addPads(s, PadLeft, PadCentre, PadRight, "{ * ~15 }28 * ~15 = ~15", 46);
    addSub(s, "{ 1 ~15 }28 1 ~15 = ~15", 44);
    const std::string bells = "3' ~3 1' ~3 5 ~3 3 ~3 | 2' ~3 7 ~3 5 ~3 3 ~3 | 4' ~3 2' ~3 7 ~3 5 ~3 | 3' ~3 1' ~3 5 ~3 1 ~3 | ";
    s.lanes.push_back(scaleLane(LeadCh, Bell, "A4", 34,
                                bells + bells + "~128 " + bells +
                                    "3' ~3 1' ~3 5 ~3 3 ~3 | 2' ~3 7 ~3 5 ~3 2 ~3 | 1' ~15 | ~16 |"
                                    " 5 ~15 3 ~15 | 2 ~15 #7, ~15 | 1 ~31"));
    s.lanes.push_back(scaleLane(CounterCh, Counter, "A4", 28, std::string("~128 ") + Theme + " ~224"));
    s.lanes.push_back(chordLane(BassCh, Bass, "E1", 30,
                                "{ 1 . . . . . 1 . . . 1 . . . . . }24 1 ~15 1 ~15 1 ~15 1 ~15 1 ~31"));
    s.lanes.push_back(chordLane(ArpCh, Pluck, "E3", 16, "~256 { 1 . 5 . 8 . 5 . 3' . 5 . 8 . 5 . }8 ~96"));
    s.lanes.push_back(hitLane(KickCh, "{ X ~7 x ~7 }16 { X ~15 }8 ~128", KickHits));
    s.lanes.push_back(hitLane(HatCh, "{ x . o . x . x . x . o . x . x . }16 { x . . . o . . . }8 ~224", HatHits));
    s.lanes.push_back(hitLane(SnareCh, "{ ~4 c ~7 c ~3 }16 ~224", SnareHits));
    s.lanes.push_back(hitLane(FxCh, "C ~255 c ~191 C ~31", FxHits));
    return s;
}

} // namespace

bool makeMainSong(ModuleSong& song, std::vector<SongSectionMark>& sections, std::string& error)
{
    compose::Arrangement arr;
    if (!compose::parseKey("A minor", arr.key)) {
        error = "bad key";
        return false;
    }
    arr.channels = ChannelCount;
    arr.rowsPerBar = 16;
    arr.sections = {dawn(), flight(), cones(), tunnel(), pentagram(), sheet(), fountain(), outro()};

    song = ModuleSong{};
    song.name = "Ruzezu";
    song.channels = arr.channels;
    song.speed = 6;
    song.tempo = 120;
    song.restartPosition = 0;
    song.instruments = makeInstruments();

    std::vector<int> orders;
    if (!compose::arrangeSong(arr, song, orders, error)) return false;
    sections.clear();
    for (std::size_t i = 0; i < orders.size(); ++i) sections.push_back({arr.sections[i].name, orders[i]});
    return true;
}

} // namespace datagen
