#pragma once

#include "Voices.h"

#include <cstdint>
#include <vector>

// Writes the notes of a piece: a pentatonic melody in four phrases (statement, answer,
// departure, return) with the ornaments of its instrument, over an accompaniment.
namespace musicgen {

enum class Instrument { Guqin, GuqinHarmonic, Guzheng, Pipa, Erhu };

enum class Backing { None, Bass, Arpeggio, ArpeggioAndBass };

struct PiecePlan {
    std::uint64_t seed;
    int homeMidi;   // the mode's home note in the melody's register
    int modeDegree; // which note of the five is home: 0 gong, 1 shang, 2 jue, 3 zhi, 4 yu
    double bpm;
    int beatsPerBar; // 3 or 4
    int bars;        // a multiple of four: four phrases
    Instrument lead;
    bool harmonics; // a qin melody turns to harmonics in its third phrase
    Backing backing;
    bool drone;
    float reverb; // wet level
};

struct Event {
    Instrument instrument;
    Note note;
};

// The loop's length in seconds: whole bars, so the music's own period is the loop's.
double loopSeconds(const PiecePlan& plan);

// MIDI pitch of a pentatonic step counted from the mode's home note (5 steps an octave).
double stepPitch(const PiecePlan& plan, int step);

std::vector<Event> compose(const PiecePlan& plan);

} // namespace musicgen
