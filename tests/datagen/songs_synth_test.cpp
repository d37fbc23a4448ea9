// Instrument synthesis: seamless loops, true pitch, hits that end in silence, repeatable output.
#include "datagen/songs/synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace datagen;
using namespace datagen::synth;

namespace {

constexpr double Rate = 33452.0;

struct Named {
    const char* name;
    Sound sound;
};

std::vector<Named> loopedSounds()
{
    return {{"bass", makeBass(Rate, 130.8, 1.0)},
            {"sub", makeSub(Rate, 130.8)},
            {"reese", makeReese(Rate, 130.8)},
            {"pad", makePad(Rate, 261.6, 5, 1900, 1.5)},
            {"lead", makeLead(Rate, 523.3, 0.28)},
            {"choir", makeChoir(Rate, 261.6, 1.5)},
            {"chord pad", makeChordPad(16726.0, 523.3, {0, 3, 7, 12}, 2600, 1.2, 0.6)}};
}

double largestStep(const std::vector<float>& d, int from, int to)
{
    double m = 0;
    for (int i = from + 1; i < to; ++i)
        m = std::max(m, static_cast<double>(std::fabs(d[static_cast<std::size_t>(i)] - d[static_cast<std::size_t>(i - 1)])));
    return m;
}

} // namespace

TEST(SongsSynth, LoopsJoinWithoutAStepAndHoldWholeCycles)
{
    for (const Named& n : loopedSounds()) {
        const Sound& s = n.sound;
        ASSERT_GT(s.loopLength, 0) << n.name;
        ASSERT_LE(static_cast<std::size_t>(s.loopStart + s.loopLength), s.data.size()) << n.name;
        const int end = s.loopStart + s.loopLength;
        // The step from the loop's last frame back to its first is like any step inside it.
        const double seam = std::fabs(s.data[static_cast<std::size_t>(s.loopStart)] - s.data[static_cast<std::size_t>(end - 1)]);
        EXPECT_LE(seam, 1.05 * largestStep(s.data, s.loopStart, end)) << n.name;
        // The stated pitch fits a whole number of cycles into the loop.
        const double cycles = s.pitchHz * s.loopLength / s.rate;
        EXPECT_NEAR(cycles, std::round(cycles), 1e-6) << n.name;
        EXPECT_GE(std::round(cycles), 1.0) << n.name;
        // MOD loops need even offsets, so every loop is made even.
        EXPECT_EQ(s.loopStart % 2, 0) << n.name;
        EXPECT_EQ(s.loopLength % 2, 0) << n.name;
    }
}

TEST(SongsSynth, PitchedSoundsLandNearTheAskedPitch)
{
    for (const Named& n : loopedSounds()) {
        const double asked = std::string(n.name) == "lead" || std::string(n.name) == "chord pad" ? 523.3
                             : std::string(n.name) == "pad" || std::string(n.name) == "choir" ? 261.6
                                                                                              : 130.8;
        // Rounding to whole cycles moves the pitch by well under a semitone; tuning takes up the rest.
        EXPECT_LT(std::fabs(12 * std::log2(n.sound.pitchHz / asked)), 0.25) << n.name;
    }
    const Sound pluck = makePluck(Rate, 440.0, 0.2);
    EXPECT_DOUBLE_EQ(pluck.pitchHz, 440.0);
}

TEST(SongsSynth, TuningPutsMiddleCOnC4)
{
    // XM: C-4 plays 8363 Hz * 2^((relative note + finetune / 128) / 12); that rate must sound refHz.
    for (double refHz : {261.6256, 65.406}) {
        Sound s = makeBass(Rate, 130.8, 0.5);
        s.refHz = refHz;
        const ModuleSample m = toXmSample(s, "t", 0.9, 64);
        const double playRate = 8363.0 * std::pow(2.0, (m.relativeNote + m.finetune / 128.0) / 12.0);
        EXPECT_NEAR(12 * std::log2(s.pitchHz * playRate / s.rate / refHz), 0.0, 0.01) << refHz;
    }
    // MOD: no relative note; the sound is made where finetune alone suffices.
    Sound mod = makeBass(16726.0, 261.63, 0.5);
    mod.refHz = 130.815;
    const ModuleSample m = toModSample(mod, "t", 0.9, 64);
    EXPECT_NEAR(12 * std::log2(mod.pitchHz * 8363.0 * std::pow(2.0, m.finetune / 96.0) / 16726.0 / 130.815), 0.0, 1.0 / 16);
    // Unpitched hits play at the rate they were made at on C-4 in an XM.
    const ModuleSample hit = toXmSample(makeKick(Rate, 160, 50, 0.17), "kick", 0.9, 64);
    EXPECT_EQ(hit.relativeNote, 24);
    EXPECT_EQ(hit.finetune, 0);
}

TEST(SongsSynth, HitsStartLoudAndEndInSilence)
{
    const std::vector<Named> hits = {{"kick", makeKick(Rate, 165, 49, 0.17)}, {"snare", makeSnare(Rate, 190, 0.12)},
                                     {"clap", makeClap(Rate)},                 {"hat", makeHat(Rate, 0.03, 5)},
                                     {"crash", makeCrash(Rate, 1.2)},          {"tom", makeTom(Rate, 98)},
                                     {"riser", makeRiser(Rate, 2.0)},          {"pluck", makePluck(Rate, 523.3, 0.2)},
                                     {"bell", makeBell(Rate, 523.3, 0.7)}};
    for (const Named& n : hits) {
        const auto& d = n.sound.data;
        ASSERT_GT(d.size(), 100u) << n.name;
        double peak = 0;
        for (float v : d) peak = std::max(peak, static_cast<double>(std::fabs(v)));
        EXPECT_GT(peak, 0.05) << n.name;
        EXPECT_LT(std::fabs(d.back()), 0.001 * peak + 1e-6) << n.name << " ends with a click";
        EXPECT_EQ(n.sound.loopLength, 0) << n.name;
    }
}

TEST(SongsSynth, ConversionNormalisesAndRepeats)
{
    const Sound s = makeSnare(Rate, 190, 0.12);
    const ModuleSample a = toXmSample(s, "snare", 0.5, 40);
    const ModuleSample b = toXmSample(makeSnare(Rate, 190, 0.12), "snare", 0.5, 40);
    EXPECT_EQ(a.data, b.data);
    int peak = 0;
    for (std::int16_t v : a.data) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_NEAR(peak, 0.5 * 32767, 1.0);
    EXPECT_EQ(a.volume, 40);
    Noise n1(3), n2(3), n3(4);
    bool sameSeedSame = true, otherSeedDiffers = false;
    for (int i = 0; i < 100; ++i) {
        const float x = n1.next(), y = n2.next(), z = n3.next();
        sameSeedSame = sameSeedSame && x == y;
        otherSeedDiffers = otherSeedDiffers || x != z;
        EXPECT_LE(std::fabs(x), 1.0f);
    }
    EXPECT_TRUE(sameSeedSame);
    EXPECT_TRUE(otherSeedDiffers);
}
