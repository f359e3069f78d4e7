#include "Composer.h"

#include "tools/common/Rng.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace musicgen {

using generators::Rng;

namespace {

constexpr std::array<int, 5> kGongScale = {0, 2, 4, 7, 9};

// Bar rhythms in beats. Endings close on a long note.
const std::vector<std::vector<double>> kFourBeat = {
    {2, 1, 1},        {1, 1, 2}, {1.5, 0.5, 2}, {1, 0.5, 0.5, 2}, {1, 1, 1, 1}, {0.5, 0.5, 1, 2},
    {1.5, 0.5, 1, 1}, {2, 2},    {3, 1}};
const std::vector<std::vector<double>> kFourBeatEndings = {{2, 2}, {1, 3}, {4}, {1.5, 0.5, 2}};
const std::vector<std::vector<double>> kThreeBeat = {
    {1, 1, 1}, {2, 1}, {1.5, 0.5, 1}, {1, 0.5, 0.5, 1}, {0.5, 0.5, 2}};
const std::vector<std::vector<double>> kThreeBeatEndings = {{3}, {1, 2}, {2, 1}};

struct Phrase {
    std::vector<double> beats; // durations
    std::vector<int> steps;    // pentatonic steps from home
};

std::vector<double> phraseRhythm(const PiecePlan& plan, int bars, Rng& rng) {
    const auto& body = plan.beatsPerBar == 3 ? kThreeBeat : kFourBeat;
    const auto& endings = plan.beatsPerBar == 3 ? kThreeBeatEndings : kFourBeatEndings;
    std::vector<double> beats;
    for (int bar = 0; bar < bars; ++bar) {
        const auto& pattern =
            bar + 1 == bars
                ? endings[static_cast<std::size_t>(rng.below(static_cast<int>(endings.size())))]
                : body[static_cast<std::size_t>(rng.below(static_cast<int>(body.size())))];
        beats.insert(beats.end(), pattern.begin(), pattern.end());
    }
    return beats;
}

// A walk mostly by step, now and then a leap, drawn towards `target` as the phrase closes.
std::vector<int> phraseSteps(std::size_t count, int start, int target, int lo, int hi, Rng& rng) {
    constexpr std::array<int, 10> kMoves = {-1, 1, -1, 1, -2, 2, 0, 3, -3, 1};
    std::vector<int> steps;
    int at = start;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t left = count - 1 - i;
        if (left == 0) {
            at = target;
        } else if (left <= 2 && std::abs(at - target) > 1) {
            at += at < target ? 1 : -1; // approach the close by step
        } else if (i > 0) {
            at = std::clamp(at + kMoves[static_cast<std::size_t>(rng.below(10))], lo, hi);
        }
        steps.push_back(at);
    }
    return steps;
}

// The answer keeps the statement's rhythm and opening, and finds a new way to its close.
Phrase vary(const Phrase& statement, int target, int lo, int hi, Rng& rng) {
    Phrase answer = statement;
    const std::size_t keep = answer.steps.size() / 2;
    const auto tail =
        phraseSteps(answer.steps.size() - keep + 1, answer.steps[keep - 1], target, lo, hi, rng);
    std::copy(tail.begin() + 1, tail.end(),
              answer.steps.begin() + static_cast<std::ptrdiff_t>(keep));
    return answer;
}

// Turns the melody and the harmony into the notes each instrument plays.
class Writer {
public:
    Writer(const PiecePlan& plan, Rng& rng) : m_plan(plan), m_rng(rng) {}

    std::vector<Event> takeEvents() { return std::move(m_events); }

    double beatSeconds() const { return 60.0 / m_plan.bpm; }

    // One note of the melody, with the ornaments its instrument gives it.
    void melodyNote(double start, double beats, int step, int previousStep, bool phraseStart,
                    bool harmonics) {
        Note note{humanTime(start), 0.0, stepPitch(m_plan, step), humanTouch(0.32f)};
        switch (m_plan.lead) {
        case Instrument::Guqin:
        case Instrument::GuqinHarmonic:
            qinNote(note, beats, harmonics);
            break;
        case Instrument::Guzheng:
            zhengNote(note, beats, step, phraseStart);
            break;
        case Instrument::Pipa:
            pipaNote(note, beats);
            break;
        case Instrument::Erhu:
            erhuNote(note, beats, step, previousStep, phraseStart);
            break;
        }
    }

    // The accompaniment of one bar over the harmony root `root`.
    void backing(double barStart, int root) {
        if (m_plan.backing == Backing::Bass || m_plan.backing == Backing::ArpeggioAndBass) {
            bass(barStart, root);
        }
        if (m_plan.backing == Backing::Arpeggio || m_plan.backing == Backing::ArpeggioAndBass) {
            arpeggio(barStart, root);
        }
    }

private:
    // Small human unevenness in time and touch.
    double humanTime(double t) { return t + m_rng.range(-0.008, 0.008); }
    float humanTouch(float v) { return v * static_cast<float>(m_rng.range(0.85, 1.1)); }

    // The qin's left hand slides into some notes and sways on the long ones; in harmonics
    // the finger only touches the string and the note sounds an octave up, like a bell.
    void qinNote(Note note, double beats, bool harmonics) {
        if (harmonics) {
            note.midi += 12.0;
            note.velocity *= 0.8f;
            add(Instrument::GuqinHarmonic, note);
            return;
        }
        if (beats >= 1.0 && m_rng.chance(0.35)) {
            note.slideFrom = static_cast<float>(m_rng.chance(0.5) ? -2.0 : 1.0);
        }
        note.vibrato = beats >= 1.5 ? 0.25f : 0.0f;
        add(Instrument::Guqin, note);
    }

    // The zheng sweeps into each phrase, graces some notes from above and presses the string
    // behind the bridge to make long notes waver.
    void zhengNote(Note note, double beats, int step, bool phraseStart) {
        if (phraseStart) {
            glissando(note.time, step);
        } else if (m_rng.chance(0.2)) {
            grace(note.time, step + 1);
        }
        note.vibrato = beats >= 2.0 ? 0.18f : 0.0f;
        add(Instrument::Guzheng, note);
    }

    // The pipa holds a long note by tremolo; short ones are plucked and stopped.
    void pipaNote(Note note, double beats) {
        const double seconds = beats * beatSeconds();
        if (beats >= 1.5) {
            tremolo(note, seconds);
            return;
        }
        note.length = seconds * 0.9;
        add(Instrument::Pipa, note);
    }

    // The erhu plays legato, sliding from the note before when it lies close.
    void erhuNote(Note note, double beats, int step, int previousStep, bool phraseStart) {
        note.length = beats * beatSeconds() * 0.97;
        note.vibrato = 0.22f;
        if (!phraseStart && std::abs(step - previousStep) <= 2 && m_rng.chance(0.6)) {
            note.slideFrom = static_cast<float>(stepPitch(m_plan, previousStep) - note.midi);
        }
        note.velocity *= 0.8f;
        add(Instrument::Erhu, note);
    }

    // Guzheng sweep up the open strings into the phrase's first note.
    void glissando(double start, int step) {
        constexpr int kSpan = 8;
        for (int k = 0; k < kSpan; ++k) {
            const double t = start - (kSpan - k) * 0.045;
            add(Instrument::Guzheng, Note{t, 0.0, stepPitch(m_plan, step - kSpan + k),
                                          0.06f + 0.015f * static_cast<float>(k)});
        }
    }

    void grace(double start, int step) {
        add(Instrument::Guzheng, Note{start - 0.07, 0.1, stepPitch(m_plan, step), 0.14f});
    }

    // Pipa tremolo: the long note as a fast, even stream of plucks.
    void tremolo(const Note& note, double seconds) {
        const double rate = 13.0;
        const int count = std::max(2, static_cast<int>(seconds * rate * 0.92));
        for (int k = 0; k < count; ++k) {
            Note stroke = note;
            stroke.time = note.time + k / rate;
            stroke.length = 1.5 / rate;
            stroke.velocity = note.velocity * static_cast<float>(m_rng.range(0.5, 0.68));
            add(Instrument::Pipa, stroke);
        }
    }

    // A low qin string on the downbeat, and in four time a softer answer at mid-bar.
    void bass(double barStart, int root) {
        add(Instrument::Guqin, Note{humanTime(barStart), 0.0, bassPitch(root), humanTouch(0.24f)});
        if (m_plan.beatsPerBar == 4) {
            add(Instrument::Guqin, Note{humanTime(barStart + 2 * beatSeconds()), 0.0,
                                        bassPitch(root + 3), humanTouch(0.14f)});
        }
    }

    // Zheng strings rolling up and down around the root, in quavers, an octave down.
    void arpeggio(double barStart, int root) {
        constexpr std::array<int, 6> kShape = {-5, -2, 0, 2, 0, -2};
        for (int k = 0; k < m_plan.beatsPerBar * 2; ++k) {
            const double t = barStart + k * beatSeconds() / 2.0;
            const int step = root + kShape[static_cast<std::size_t>(k) % kShape.size()] - 5;
            add(Instrument::Guzheng,
                Note{humanTime(t), 2.0 * beatSeconds(), stepPitch(m_plan, step),
                     humanTouch(k == 0 ? 0.15f : 0.11f)});
        }
    }

    // Two octaves under the melody, but never so low that it only rumbles.
    double bassPitch(int step) const {
        double pitch = stepPitch(m_plan, step) - 24.0;
        while (pitch < 38.0) {
            pitch += 12.0;
        }
        return pitch;
    }

    void add(Instrument instrument, Note note) { m_events.push_back({instrument, note}); }

    const PiecePlan& m_plan;
    Rng& m_rng;
    std::vector<Event> m_events;
};

} // namespace

double loopSeconds(const PiecePlan& plan) {
    return plan.bars * plan.beatsPerBar * 60.0 / plan.bpm;
}

double stepPitch(const PiecePlan& plan, int step) {
    const int degree = plan.modeDegree + step;
    const int octave = static_cast<int>(std::floor(degree / 5.0));
    const int index = degree - 5 * octave;
    const int modeHome = kGongScale[static_cast<std::size_t>(plan.modeDegree)];
    return plan.homeMidi - modeHome + kGongScale[static_cast<std::size_t>(index)] + 12 * octave;
}

namespace {

// Statement ends open, the answer comes home, the departure climbs, the return settles.
std::array<Phrase, 4> melodyForm(const PiecePlan& plan, Rng& rng) {
    constexpr int kLow = -2;
    constexpr int kHigh = 7;
    const int phraseBars = plan.bars / 4;
    Phrase statement;
    statement.beats = phraseRhythm(plan, phraseBars, rng);
    statement.steps =
        phraseSteps(statement.beats.size(), rng.chance(0.5) ? 0 : 2, 3, kLow, kHigh, rng);
    const Phrase answer = vary(statement, 0, kLow, kHigh, rng);
    Phrase departure;
    departure.beats = phraseRhythm(plan, phraseBars, rng);
    departure.steps =
        phraseSteps(departure.beats.size(), 4, rng.chance(0.5) ? 3 : 5, kLow + 3, kHigh + 2, rng);
    const Phrase back = vary(statement, 0, kLow, kHigh, rng);
    return {statement, answer, departure, back};
}

} // namespace

std::vector<Event> compose(const PiecePlan& plan) {
    Rng rng(plan.seed);
    Writer writer(plan, rng);
    const auto phrases = melodyForm(plan, rng);
    // One harmony root per half phrase, in steps from home.
    constexpr std::array<std::array<int, 2>, 4> kRoots = {{{0, 3}, {1, 0}, {2, 3}, {3, 0}}};
    const int phraseBars = plan.bars / 4;
    const double bar = plan.beatsPerBar * writer.beatSeconds();
    double t = 0.0;
    int previous = 0;
    for (std::size_t p = 0; p < phrases.size(); ++p) {
        for (int k = 0; k < phraseBars; ++k) {
            writer.backing(t + k * bar, kRoots[p][static_cast<std::size_t>(k * 2 / phraseBars)]);
        }
        // In the departure a qin piece turns to harmonics.
        const bool harmonics = p == 2 && plan.harmonics;
        const Phrase& phrase = phrases[p];
        for (std::size_t i = 0; i < phrase.beats.size(); ++i) {
            writer.melodyNote(t, phrase.beats[i], phrase.steps[i], previous, i == 0, harmonics);
            previous = phrase.steps[i];
            t += phrase.beats[i] * writer.beatSeconds();
        }
    }
    return writer.takeEvents();
}

} // namespace musicgen
