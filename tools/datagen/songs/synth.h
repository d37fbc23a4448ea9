// Instrument synthesis: drum hits, looped tones and their conversion to module samples.
//
// Pitched sounds hold a whole number of cycles in their loop, so loops are seamless; the
// conversion works out relative note and finetune so that XM note C-4 sounds middle C.
#pragma once

#include "datagen/songs/module_writer.h"

#include <cstdint>
#include <vector>

namespace datagen::synth {

struct Sound {
    std::vector<float> data; // -1..1
    double rate = 33452.0;   // frames per second it was made at
    double pitchHz = 0.0;    // the pitch it holds (0: unpitched; C-4 then plays it at its own rate in an XM)
    double refHz = 261.6256; // the pitch that note C-4 should sound (unpitched: ignored)
    int loopStart = 0, loopLength = 0;
};

// Deterministic white noise in -1..1.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    float next();

private:
    std::uint32_t state_;
};

// Drums and percussion (one-shot, made at `rate`).
Sound makeKick(double rate, double punchHz, double bodyHz, double decaySeconds);
Sound makeSnare(double rate, double toneHz, double noiseDecaySeconds);
Sound makeClap(double rate);
Sound makeHat(double rate, double decaySeconds, std::uint32_t seed);
Sound makeCrash(double rate, double decaySeconds);
Sound makeTom(double rate, double hz);
Sound makeRiser(double rate, double seconds); // noise swept upwards, for section turns

// Tones holding about `hz` at their own rate (the exact pitch lands in Sound::pitchHz); set
// Sound::refHz afterwards to choose the pitch that note C-4 plays.
Sound makeBass(double rate, double hz, double brightness);   // saw/square, bright attack, dark loop
Sound makeSub(double rate, double hz);                        // near-sine, for a bass an octave below
Sound makeReese(double rate, double hz);                      // detuned saws, slowly beating
Sound makePad(double rate, double hz, int voices, double cutoffHz, double loopSeconds);
Sound makeLead(double rate, double hz, double pulseWidth);    // two detuned pulses
Sound makePluck(double rate, double hz, double decaySeconds); // harmonics die from the top
Sound makeBell(double rate, double hz, double decaySeconds);  // two-operator FM
Sound makeChordPad(double rate, double hz, const std::vector<int>& semitones, double cutoffHz,
                   double loopSeconds, double attackSeconds); // a whole chord in one looped sample
Sound makeChoir(double rate, double hz, double loopSeconds);  // formant-shaped pad

// Scales to `peak`, converts to 16-bit and sets loop, relative note and finetune (XM).
ModuleSample toXmSample(const Sound& s, const char* name, double peak, int volume);
// The same for an 8-bit MOD sample: a MOD has no relative note, so the sound must already be
// within half a semitone of playing refHz at 8363 Hz (finetune takes up the rest).
ModuleSample toModSample(const Sound& s, const char* name, double peak, int volume);

} // namespace datagen::synth
