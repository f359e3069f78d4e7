#pragma once

#include "Loop.h"

#include <vector>

// The instruments: plucked strings built from decaying partials, a bowed string with a
// singing body, and a drone that repeats exactly over the loop.
namespace musicgen {

// One note as the player shapes it.
struct Note {
    double time = 0.0;      // seconds from the start of the loop
    double length = 0.0;    // seconds held (plucked: until damped, 0 = let it ring)
    double midi = 60.0;     // pitch, MIDI note number (fractions allowed)
    float velocity = 0.5f;  // 0 to 1
    float slideFrom = 0.0f; // starts this many semitones away and glides in
    float vibrato = 0.0f;   // depth in semitones, once the note has settled
};

double midiToHz(double midi);

struct PluckVoice {
    float decay;         // seconds for the fundamental to fall 60 dB
    float damping;       // how much sooner the upper partials die away
    float brightness;    // 0 mellow (silk strings) to 1 bright (a plectrum on steel)
    float pickPosition;  // where along the string it is plucked, 0 to 0.5
    float inharmonicity; // stiffness of the string: upper partials run sharp
    float attack;        // seconds to full level: a few milliseconds, never a click
    float chorus;        // cents between the two strings of a course (0: a single string)
};

struct BowVoice {
    float attack;      // seconds the bow takes to bite
    float release;     // seconds the note takes to fade after the bow stops
    float brightness;  // 0 to 1
    float vibratoRate; // Hz
    float formant;     // Hz of the body's strongest resonance
};

void pluck(Loop& out, const PluckVoice& voice, const Note& note);
void bow(Loop& out, const BowVoice& voice, const Note& note);

// A drone: partials of `freq` (levels per harmonic), each nudged to a whole number of
// cycles per loop and swelling `swells` times per loop, so the loop's end meets its start.
void drone(Loop& out, double freq, const std::vector<float>& harmonicLevels, int swells,
           float swellDepth);

} // namespace musicgen
