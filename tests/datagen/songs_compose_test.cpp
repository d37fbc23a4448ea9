// Lane notation: keys, chords, degrees, repeats and pattern cutting.
#include "datagen/songs/compose.h"

#include <gtest/gtest.h>

using namespace datagen;
using namespace datagen::compose;

namespace {

// Arranges one section and returns the module notes of one channel over its rows (0 = empty).
std::vector<int> notesOf(Section section, int channel, const char* key = "A minor", bool mod = false)
{
    Arrangement arr;
    EXPECT_TRUE(parseKey(key, arr.key));
    arr.channels = mod ? 4 : 2;
    arr.mod = mod;
    arr.sections = {std::move(section)};
    ModuleSong song;
    song.channels = arr.channels;
    std::vector<int> starts;
    std::string error;
    EXPECT_TRUE(arrangeSong(arr, song, starts, error)) << error;
    std::vector<int> notes;
    for (int order : song.orders) {
        const ModulePattern& p = song.patterns[static_cast<std::size_t>(order)];
        for (int r = 0; r < p.rows; ++r) notes.push_back(p.at(r, channel, arr.channels).note);
    }
    return notes;
}

int xm(const char* name) { return noteNumber(name) - 11; }

} // namespace

TEST(SongsCompose, NoteNamesAndKeys)
{
    EXPECT_EQ(noteNumber("C4"), 60);
    EXPECT_EQ(noteNumber("A2"), 45);
    EXPECT_EQ(noteNumber("F#3"), 54);
    EXPECT_EQ(noteNumber("Bb1"), 34);
    EXPECT_EQ(noteNumber("H2"), -1);
    EXPECT_EQ(noteNumber("C"), -1);
    Key k;
    EXPECT_TRUE(parseKey("D dorian", k));
    EXPECT_EQ(k.tonic, 2);
    EXPECT_EQ(k.steps[5], 9);
    EXPECT_TRUE(parseKey("A harmonic minor", k));
    EXPECT_EQ(k.steps[6], 11);
    EXPECT_FALSE(parseKey("A bluesy", k));
}

TEST(SongsCompose, ChordLanesFollowTheProgressionInTheKey)
{
    // i VI III VII in A minor: Am F C G; root, third, fifth and octave of each bar.
    Section s{"t", 16, "i:4 VI:4 III:4 VII:4", {chordLane(0, 1, "E2", 64, "1 3 5 8")}};
    const std::vector<int> expected = {xm("A2"), xm("C3"), xm("E3"), xm("A3"), xm("F2"), xm("A2"), xm("C3"), xm("F3"),
                                       xm("C3"), xm("E3"), xm("G3"), xm("C4"), xm("G2"), xm("B2"), xm("D3"), xm("G3")};
    EXPECT_EQ(notesOf(s, 0), expected);
}

TEST(SongsCompose, ChordQualityAccidentalsAndOctaveMarks)
{
    // V in A minor is E major (G#); bII is B flat major; a 7 is the scale's seventh above the
    // unaltered degree, moved with the root (B..A becomes Bb..Ab); ' and , move octaves.
    Section s{"t", 8, "V:4 bII:4", {chordLane(1, 1, "E2", 64, "3 7 1' 5,")}};
    const std::vector<int> expected = {xm("G#2"), xm("D3"), xm("E3"), xm("B1"),
                                       xm("D3"), xm("Ab3"), xm("Bb3"), xm("F2")};
    EXPECT_EQ(notesOf(s, 1), expected);
}

TEST(SongsCompose, ScaleLanesVoicesAndChordSamples)
{
    Section melody{"t", 4, "i", {scaleLane(0, 1, "A4", 64, "1 #7, 9 b2'")}};
    EXPECT_EQ(notesOf(melody, 0), (std::vector<int>{xm("A4"), xm("G#4"), xm("B5"), xm("Bb5")}));

    // Voices count chord tones upwards from the floor: F major above E3 is F3 A3 C4.
    Section voices{"t", 3, "VI", {voiceLane(0, 1, "E3", 0, 64, "* = ."), voiceLane(1, 1, "E3", 2, 64, "*")}};
    EXPECT_EQ(notesOf(voices, 0), (std::vector<int>{xm("F3"), NoteKeyOff, 0}));
    EXPECT_EQ(notesOf(voices, 1), (std::vector<int>{xm("C4"), xm("C4"), xm("C4")}));

    // Chord samples: the root, with the minor or major sample by the chord's quality.
    Arrangement arr;
    arr.channels = 2;
    arr.sections = {Section{"t", 2, "i:1 III:1", {chordSampleLane(0, 5, 6, "E3", 64, "*")}}};
    ModuleSong song;
    song.channels = 2;
    std::vector<int> starts;
    std::string error;
    ASSERT_TRUE(arrangeSong(arr, song, starts, error)) << error;
    EXPECT_EQ(song.patterns[0].at(0, 0, 2).instrument, 5);
    EXPECT_EQ(song.patterns[0].at(1, 0, 2).instrument, 6);
    EXPECT_EQ(song.patterns[0].at(1, 0, 2).note, xm("C4"));
}

TEST(SongsCompose, RepeatsRestsCyclingAndVolumes)
{
    std::vector<Hit> hits = {{'X', 1, 64}, {'x', 1, 20, 72}};
    Section s{"t", 12, "i", {hitLane(0, "{ X . }2 ~2 x", hits)}};
    // 7 rows, then the lane starts again.
    const std::vector<int> n = notesOf(s, 0);
    const std::vector<int> expected = {49, 0, 49, 0, 0, 0, 61, 49, 0, 49, 0, 0};
    EXPECT_EQ(n, expected);

    Arrangement arr;
    arr.channels = 2;
    arr.volumeScale = 0.5;
    arr.sections = {Section{"t", 2, "i", {chordLane(1, 1, "E2", 40, "1 1!"), hitLane(0, "x X", hits)}}};
    ModuleSong song;
    song.channels = 2;
    std::vector<int> starts;
    std::string error;
    ASSERT_TRUE(arrangeSong(arr, song, starts, error)) << error;
    EXPECT_EQ(song.patterns[0].at(0, 1, 2).volume, volumeColumn(20));
    EXPECT_EQ(song.patterns[0].at(1, 1, 2).volume, volumeColumn(25)); // accent: 40 * 1.25, halved
    EXPECT_EQ(song.patterns[0].at(0, 0, 2).volume, volumeColumn(10));
}

TEST(SongsCompose, EchoesRepeatALaneLaterAndSofter)
{
    const Lane lead = scaleLane(0, 1, "A4", 40, "1 3 = 5");
    Arrangement arr;
    arr.channels = 2;
    arr.sections = {Section{"t", 8, "i", {lead, echoLane(lead, 1, 2, 3, 10)}}};
    ModuleSong song;
    song.channels = 2;
    std::vector<int> starts;
    std::string error;
    ASSERT_TRUE(arrangeSong(arr, song, starts, error)) << error;
    const ModulePattern& p = song.patterns[0];
    for (int r = 0; r < 3; ++r) EXPECT_EQ(p.at(r, 1, 2).note, 0) << r;
    for (int r = 3; r < 8; ++r) {
        EXPECT_EQ(p.at(r, 1, 2).note, p.at(r - 3, 0, 2).note) << r;
        if (p.at(r, 1, 2).note != NoteKeyOff) {
            EXPECT_EQ(p.at(r, 1, 2).instrument, 2);
            EXPECT_EQ(p.at(r, 1, 2).volume, volumeColumn(10));
        }
    }
}

TEST(SongsCompose, SectionsAreCutIntoPatternsOnTheirRows)
{
    Arrangement arr;
    arr.channels = 2;
    arr.sections = {Section{"a", 132, "i", {hitLane(0, "X ~63", {{'X', 1, 64}})}},
                    Section{"b", 64, "i", {hitLane(0, "X ~63", {{'X', 1, 64}})}}};
    ModuleSong song;
    song.channels = 2;
    std::vector<int> starts;
    std::string error;
    ASSERT_TRUE(arrangeSong(arr, song, starts, error)) << error;
    ASSERT_EQ(song.orders.size(), 4u);
    EXPECT_EQ(starts, (std::vector<int>{0, 3}));
    EXPECT_EQ(song.patterns[static_cast<std::size_t>(song.orders[2])].rows, 4);
    // Identical 64-row pieces share one pattern.
    EXPECT_EQ(song.orders[0], song.orders[1]);
    EXPECT_EQ(song.orders[0], song.orders[3]);

    // In a MOD every pattern has 64 rows; a short piece ends with a pattern break on its last row.
    arr.mod = true;
    arr.channels = 4;
    arr.sections = {Section{"a", 56, "i", {hitLane(3, "X ~63", {{'X', 1, 64}})}}};
    song.channels = 4;
    ASSERT_TRUE(arrangeSong(arr, song, starts, error)) << error;
    ASSERT_EQ(song.patterns.size(), 1u);
    EXPECT_EQ(song.patterns[0].rows, 64);
    EXPECT_EQ(song.patterns[0].at(55, 3, 4).effect, 0xD);
}

TEST(SongsCompose, MistakesInTheTextAreReported)
{
    struct Case {
        Section section;
        const char* message;
    };
    const std::vector<Case> cases = {
        {Section{"s1", 4, "i viii", {}}, "unknown chord 'viii'"},
        {Section{"s2", 4, "", {}}, "states no chords"},
        {Section{"s3", 4, "i", {chordLane(0, 1, "E2", 64, "1 q")}}, "cannot read note 'q'"},
        {Section{"s4", 4, "i", {hitLane(0, "X Y", {{'X', 1, 64}})}}, "unknown hit 'Y'"},
        {Section{"s5", 4, "i", {hitLane(0, "{ X . ", {{'X', 1, 64}})}}, "not closed"},
        {Section{"s6", 4, "i", {hitLane(0, "X }2", {{'X', 1, 64}})}}, "closes no group"},
        {Section{"s7", 4, "i", {hitLane(5, "X", {{'X', 1, 64}})}}, "does not exist"},
        {Section{"s8", 4, "i", {hitLane(0, "X", {{'X', 1, 64}}), hitLane(0, "X", {{'X', 1, 64}})}}, "two lanes"},
        {Section{"s9", 4, "i", {scaleLane(0, 1, "A4", 64, "*")}}, "cannot read note '*'"},
        {Section{"s10", 4, "i", {chordLane(0, 1, "C8", 64, "8")}}, "out of range"},
    };
    for (const Case& c : cases) {
        Arrangement arr;
        arr.channels = 2;
        arr.sections = {c.section};
        ModuleSong song;
        song.channels = 2;
        std::vector<int> starts;
        std::string error;
        EXPECT_FALSE(arrangeSong(arr, song, starts, error)) << c.section.name;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.section.name << ": " << error;
        EXPECT_NE(error.find(c.section.name), std::string::npos) << error;
    }
}
