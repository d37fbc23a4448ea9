// MOD and XM writers: what goes in comes back through libopenmpt; broken limits are refused.
#include "datagen/songs/module_writer.h"
#include "datagen/songs/synth.h"
#include "songs_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace datagen;

namespace {

// libopenmpt numbers notes from an octave below the trackers' C-0.
constexpr int OpenmptNoteOffset = 12;

ModuleSample squareSample(int frames, int period, bool loop)
{
    ModuleSample s;
    s.name = "square";
    for (int i = 0; i < frames; ++i) s.data.push_back(static_cast<std::int16_t>((i % period) < period / 2 ? 20000 : -20000));
    if (loop) {
        s.loopStart = 0;
        s.loopLength = frames - frames % period;
    }
    return s;
}

ModuleSong smallXm()
{
    ModuleSong song;
    song.name = "round trip";
    song.channels = 8;
    song.speed = 5;
    song.tempo = 140;
    song.restartPosition = 1;
    for (int i = 0; i < 3; ++i) {
        ModuleInstrument ins;
        ins.name = "instrument " + std::to_string(i + 1);
        ins.samples.push_back(squareSample(400, 32 + 8 * i, i != 1));
        ins.samples.back().name = "sample " + std::to_string(i + 1);
        if (i == 2) {
            ins.volumeEnvelope.points = {{0, 64}, {10, 32}, {30, 0}};
            ins.volumeEnvelope.sustainPoint = 1;
            ins.fadeout = 512;
        }
        song.instruments.push_back(ins);
    }
    for (int rows : {1, 37, 256}) song.patterns.push_back(makeEmptyPattern(rows, song.channels));
    song.patterns[0].at(0, 7, 8) = {NoteC4, 1, volumeColumn(40), 0, 0};
    song.patterns[1].at(36, 0, 8) = {96, 3, volumeColumn(64), 0xF, 7};
    song.patterns[1].at(5, 3, 8) = {NoteKeyOff, 0, 0, 0, 0};
    song.patterns[2].at(255, 4, 8) = {1, 2, 0, 0, 0};
    song.patterns[2].at(128, 5, 8) = {60, 0, volumeColumn(0), 0, 0};
    song.orders = {2, 0, 1, 0};
    return song;
}

ModuleSong smallMod()
{
    ModuleSong song;
    song.name = "mod round trip";
    song.channels = 4;
    for (int i = 0; i < 2; ++i) {
        ModuleInstrument ins;
        ins.name = "smp " + std::to_string(i + 1);
        ins.samples.push_back(squareSample(301, 32, i == 0)); // odd length gets padded
        if (i == 0) ins.samples.back().loopLength = 288;
        ins.samples.back().volume = 48 + i;
        ins.samples.back().finetune = -3 + 5 * i;
        song.instruments.push_back(ins);
    }
    for (int p = 0; p < 3; ++p) song.patterns.push_back(makeEmptyPattern(64, 4));
    song.patterns[0].at(0, 0, 4) = {37, 1, 0, 0xC, 20};
    song.patterns[0].at(63, 3, 4) = {72, 2, 0, 0, 0};
    song.patterns[2].at(10, 2, 4) = {NoteC4, 2, 0, 0xD, 0};
    song.orders = {0, 2, 1, 2};
    return song;
}

// libopenmpt rounds each tick to whole output samples, which drifts a little from the exact time.
double tickTolerance(double seconds) { return seconds * 0.0006 + 1e-4; }

std::uint8_t cell(openmpt::module& m, int pattern, int row, int channel, int command)
{
    return m.get_pattern_row_channel_command(pattern, row, channel, command);
}

} // namespace

TEST(SongsWriter, XmRoundTripKeepsStructureAndNotes)
{
    const ModuleSong song = smallXm();
    std::string error;
    const auto bytes = writeXm(song, error);
    ASSERT_FALSE(bytes.empty()) << error;
    auto m = songtest::loadModule(bytes);

    EXPECT_EQ(m->get_metadata("type"), "xm");
    EXPECT_EQ(m->get_metadata("title"), song.name);
    EXPECT_EQ(m->get_num_channels(), song.channels);
    ASSERT_EQ(m->get_num_orders(), static_cast<int>(song.orders.size()));
    for (std::size_t i = 0; i < song.orders.size(); ++i) EXPECT_EQ(m->get_order_pattern(static_cast<int>(i)), song.orders[i]);
    ASSERT_EQ(m->get_num_patterns(), 3);
    for (int p = 0; p < 3; ++p) EXPECT_EQ(m->get_pattern_num_rows(p), song.patterns[static_cast<std::size_t>(p)].rows);

    const auto names = m->get_instrument_names();
    ASSERT_EQ(names.size(), song.instruments.size());
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(names[i], song.instruments[i].name);
    EXPECT_EQ(m->get_sample_names().at(2), "sample 3");

    // Every cell, empty or not, reads back as written.
    for (int p = 0; p < 3; ++p) {
        const ModulePattern& pat = song.patterns[static_cast<std::size_t>(p)];
        for (int r = 0; r < pat.rows; ++r) {
            for (int ch = 0; ch < song.channels; ++ch) {
                const ModuleCell& c = pat.at(r, ch, song.channels);
                const int note = cell(*m, p, r, ch, openmpt::module::command_note);
                if (c.note == NoteKeyOff) EXPECT_GE(note, 120) << p << ":" << r << ":" << ch; // libopenmpt's key-off range
                else EXPECT_EQ(note, c.note ? c.note + OpenmptNoteOffset : 0) << p << ":" << r << ":" << ch;
                EXPECT_EQ(cell(*m, p, r, ch, openmpt::module::command_instrument), c.instrument);
                if (c.volume) {
                    EXPECT_EQ(cell(*m, p, r, ch, openmpt::module::command_volume), c.volume - 0x10);
                }
            }
        }
    }
    EXPECT_EQ(cell(*m, 1, 36, 0, openmpt::module::command_parameter), 7);
}

TEST(SongsWriter, XmTimingFollowsSpeedTempoAndRowCounts)
{
    ModuleSong song = smallXm();
    song.restartPosition = 0;
    std::string error;
    auto m = songtest::loadModule(writeXm(song, error));
    // Pattern 1's F07 changes the speed at its last row; up to there every row lasts speed * 2.5 / tempo.
    const double row = song.speed * 2.5 / song.tempo;
    EXPECT_NEAR(m->set_position_order_row(1, 0), 256 * row, tickTolerance(256 * row));
    EXPECT_NEAR(m->set_position_order_row(2, 0), 257 * row, tickTolerance(257 * row));
    const double third = (257 + 36) * row + 7 * 2.5 / song.tempo;
    EXPECT_NEAR(m->set_position_order_row(3, 0), third, tickTolerance(third));
}

TEST(SongsWriter, ModRoundTripKeepsStructureNotesAndSamples)
{
    const ModuleSong song = smallMod();
    std::string error;
    const auto bytes = writeMod(song, error);
    ASSERT_FALSE(bytes.empty()) << error;
    // Header, 31 sample slots, order table, tag, patterns, sample data (odd length padded).
    EXPECT_EQ(bytes.size(), 1084u + 3u * 1024u + 302u + 302u);
    auto m = songtest::loadModule(bytes);

    EXPECT_EQ(m->get_metadata("type"), "mod");
    EXPECT_EQ(m->get_num_channels(), 4);
    ASSERT_EQ(m->get_num_orders(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(m->get_order_pattern(i), song.orders[static_cast<std::size_t>(i)]);
    for (int p = 0; p < 3; ++p) EXPECT_EQ(m->get_pattern_num_rows(p), 64);
    const auto names = m->get_sample_names();
    ASSERT_EQ(names.size(), 31u);
    EXPECT_EQ(names[0], "smp 1");
    EXPECT_EQ(names[1], "smp 2");

    for (int p = 0; p < 3; ++p) {
        for (int r = 0; r < 64; ++r) {
            for (int ch = 0; ch < 4; ++ch) {
                const ModuleCell& c = song.patterns[static_cast<std::size_t>(p)].at(r, ch, 4);
                EXPECT_EQ(cell(*m, p, r, ch, openmpt::module::command_note), c.note ? c.note + OpenmptNoteOffset : 0);
                EXPECT_EQ(cell(*m, p, r, ch, openmpt::module::command_instrument), c.instrument);
            }
        }
    }
    EXPECT_EQ(cell(*m, 0, 0, 0, openmpt::module::command_parameter), 20);
    // The D00 in the second order's pattern ends it after row 10.
    const double row = 6 * 2.5 / 125;
    EXPECT_NEAR(m->set_position_order_row(2, 0), (64 + 11) * row, 1e-3);
}

TEST(SongsWriter, ModRefusesTimingItCannotStateAndAcceptsItWithFxx)
{
    ModuleSong song = smallMod();
    song.tempo = 133;
    std::string error;
    EXPECT_TRUE(writeMod(song, error).empty());
    EXPECT_NE(error.find("Fxx"), std::string::npos) << error;
    song.patterns[0].at(0, 1, 4) = {0, 0, 0, 0xF, 133};
    const auto bytes = writeMod(song, error);
    ASSERT_FALSE(bytes.empty()) << error;
    auto m = songtest::loadModule(bytes);
    EXPECT_NEAR(m->set_position_order_row(1, 0), 64 * 6 * 2.5 / 133, tickTolerance(7.2));
}

TEST(SongsWriter, WrittenSamplesPlayAtTheirTunedPitch)
{
    // One looped tone per format, tuned so that A-4 plays 440 Hz; a wrong delta coding, loop or
    // tuning shows up as a wrong pitch or noise.
    for (bool mod : {false, true}) {
        synth::Sound tone = synth::makeBass(mod ? 16726.0 : 33452.0, 523.25, 0.5);
        ModuleSong song;
        song.channels = mod ? 4 : 2;
        ModuleInstrument ins;
        ins.name = "tone";
        ins.samples.push_back(mod ? synth::toModSample(tone, "tone", 0.9, 64) : synth::toXmSample(tone, "tone", 0.9, 64));
        song.instruments.push_back(ins);
        song.patterns.push_back(makeEmptyPattern(64, song.channels));
        song.patterns[0].at(0, 0, song.channels) = {58, 1, 0, 0, 0};
        song.orders = {0};
        std::string error;
        const auto bytes = mod ? writeMod(song, error) : writeXm(song, error);
        ASSERT_FALSE(bytes.empty()) << error;
        auto m = songtest::loadModule(bytes);
        m->set_render_param(openmpt::module::RENDER_STEREOSEPARATION_PERCENT, 0);
        const auto audio = songtest::renderMono(*m, 1.0);
        const std::vector<float> steady(audio.begin() + 24000, audio.end());
        // A MOD plays through Amiga periods, which sit a few cents off equal temperament.
        EXPECT_NEAR(songtest::measurePitch(steady, 440.0), 440.0, mod ? 4.0 : 1.5) << (mod ? "MOD" : "XM");
    }
}

TEST(SongsWriter, DescriptionsBreakingALimitAreRefusedWithTheirReason)
{
    struct Case {
        const char* what;
        bool mod;
        std::function<void(ModuleSong&)> breakIt;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"mod channels", true, [](ModuleSong& s) { s.channels = 6; }, "exactly 4 channels"},
        {"mod rows", true, [](ModuleSong& s) { s.patterns[1] = makeEmptyPattern(32, 4); }, "32 rows"},
        {"mod low note", true, [](ModuleSong& s) { s.patterns[0].at(3, 1, 4).note = 36; }, "three octaves"},
        {"mod volume column", true, [](ModuleSong& s) { s.patterns[0].at(3, 1, 4).volume = volumeColumn(3); }, "no volume column"},
        {"mod sample count", true, [](ModuleSong& s) { s.instruments.resize(32); }, "at most 31"},
        {"mod odd loop", true, [](ModuleSong& s) { s.instruments[0].samples[0].loopStart = 3; }, "even"},
        {"mod finetune", true, [](ModuleSong& s) { s.instruments[0].samples[0].finetune = 9; }, "-8..7"},
        {"mod order", true, [](ModuleSong& s) { s.orders.push_back(3); }, "missing pattern 3"},
        {"mod name", true, [](ModuleSong& s) { s.name = std::string(21, 'x'); }, "20 characters"},
        {"xm zero rows", false, [](ModuleSong& s) { s.patterns[0] = makeEmptyPattern(0, 8); }, "0 rows"},
        {"xm 257 rows", false, [](ModuleSong& s) { s.patterns[0] = makeEmptyPattern(257, 8); }, "257 rows"},
        {"xm odd channels", false, [](ModuleSong& s) { s.channels = 7; }, "even number of channels"},
        {"xm 34 channels", false, [](ModuleSong& s) { s.channels = 34; }, "even number of channels"},
        {"xm envelope points", false,
         [](ModuleSong& s) { s.instruments[0].volumeEnvelope.points.assign(13, {}); }, "more than 12 points"},
        {"xm envelope order", false,
         [](ModuleSong& s) { s.instruments[0].volumeEnvelope.points = {{0, 64}, {8, 10}, {8, 0}}; }, "ticks must increase"},
        {"xm sustain", false,
         [](ModuleSong& s) { s.instruments[2].volumeEnvelope.sustainPoint = 5; }, "sustain point"},
        {"xm fadeout", false, [](ModuleSong& s) { s.instruments[0].fadeout = 5000; }, "fadeout"},
        {"xm relative note", false, [](ModuleSong& s) { s.instruments[0].samples[0].relativeNote = 100; }, "relative note"},
        {"xm loop past end", false, [](ModuleSong& s) { s.instruments[0].samples[0].loopLength = 1000; }, "past the sample's end"},
        {"xm instrument number", false, [](ModuleSong& s) { s.patterns[2].at(3, 3, 8).instrument = 4; }, "instrument 4"},
        {"xm note", false, [](ModuleSong& s) { s.patterns[2].at(3, 3, 8).note = 98; }, "above key off"},
        {"xm orders", false, [](ModuleSong& s) { s.orders.assign(257, 0); }, "257 entries"},
        {"xm cell count", false, [](ModuleSong& s) { s.patterns[1].cells.pop_back(); }, "cell count"},
        {"xm speed", false, [](ModuleSong& s) { s.speed = 0; }, "speed"},
    };
    for (const Case& c : cases) {
        ModuleSong song = c.mod ? smallMod() : smallXm();
        c.breakIt(song);
        std::string error;
        const auto bytes = c.mod ? writeMod(song, error) : writeXm(song, error);
        EXPECT_TRUE(bytes.empty()) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    }
    // The same descriptions unbroken are accepted, and the error is cleared.
    std::string error = "stale";
    EXPECT_FALSE(writeMod(smallMod(), error).empty());
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(writeXm(smallXm(), error).empty());
}
