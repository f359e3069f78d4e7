#include "Voices.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace musicgen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kNyquistGuard = 5500.0; // partials above this add hiss, not colour
constexpr int kBlock = 32;               // samples between pitch updates

double smooth(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Pitch offset in semitones at time t into a note: the glide in, then a gentle vibrato.
double pitchOffset(const Note& note, double t, double rate) {
    const double glide = note.slideFrom * std::exp(-t / 0.07);
    const double wobble = note.vibrato * smooth(0.18, 0.5, t) * std::sin(kTwoPi * rate * t);
    return glide + wobble;
}

// A sine partial whose frequency follows the note's pitch, advanced by rotating a phasor:
// one complex multiply per sample, and a fresh rotation every block.
class Partial {
public:
    explicit Partial(double ratio) : m_ratio(ratio) {}

    void retune(double hz) {
        const double w = kTwoPi * hz * m_ratio / kSampleRate;
        m_cw = std::cos(w);
        m_sw = std::sin(w);
        // Keep the phasor on the unit circle despite rounding.
        const double norm = 1.0 / std::hypot(m_c, m_s);
        m_c *= norm;
        m_s *= norm;
    }
    double step() {
        const double c = m_c * m_cw - m_s * m_sw;
        m_s = m_s * m_cw + m_c * m_sw;
        m_c = c;
        return m_s;
    }
    double ratio() const { return m_ratio; }

private:
    double m_ratio;
    double m_c = 1.0; // starting at sine phase 0, so every note begins from silence
    double m_s = 0.0;
    double m_cw = 1.0;
    double m_sw = 0.0;
};

void pluckString(std::vector<double>& buffer, const PluckVoice& voice, const Note& note,
                 double detuneCents, double level) {
    const double f0 = midiToHz(note.midi) * std::pow(2.0, detuneCents / 1200.0);
    const double tilt = 0.8 + 1.6 * (1.0 - voice.brightness);
    for (int n = 1; n <= 32; ++n) {
        const double ratio = n * std::sqrt(1.0 + voice.inharmonicity * n * n);
        if (f0 * ratio > kNyquistGuard) {
            break;
        }
        const double shape = std::fabs(std::sin(n * std::numbers::pi * voice.pickPosition));
        double amplitude = level * note.velocity * shape / std::pow(n, tilt);
        const double t60 = voice.decay / (1.0 + voice.damping * std::pow(n - 1.0, 1.25));
        const double fall = std::exp(-6.9078 / (t60 * kSampleRate));
        const auto audible = std::min(buffer.size(), static_cast<std::size_t>(t60 * kSampleRate));
        Partial partial(ratio);
        for (std::size_t i = 0; i < audible; ++i) {
            if (i % kBlock == 0) {
                const double t = static_cast<double>(i) / kSampleRate;
                partial.retune(f0 * std::pow(2.0, pitchOffset(note, t, 5.0) / 12.0));
            }
            buffer[i] += amplitude * partial.step();
            amplitude *= fall;
        }
    }
}

} // namespace

double midiToHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

void pluck(Loop& out, const PluckVoice& voice, const Note& note) {
    // A held note is damped by the hand a quarter second after its length; otherwise the
    // string rings until it has faded.
    const double ring = voice.decay * 1.1;
    const double sounding = note.length > 0.0 ? std::min(ring, note.length + 0.25) : ring;
    std::vector<double> buffer(static_cast<std::size_t>(sounding * kSampleRate), 0.0);
    if (voice.chorus > 0.0f) {
        pluckString(buffer, voice, note, -voice.chorus / 2.0, 0.5);
        pluckString(buffer, voice, note, voice.chorus / 2.0, 0.5);
    } else {
        pluckString(buffer, voice, note, 0.0, 1.0);
    }
    const long start = std::lround(note.time * kSampleRate);
    const double attack = std::max(1.0, voice.attack * static_cast<double>(kSampleRate));
    const double dampFrom = note.length > 0.0 ? note.length : sounding;
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double envelope =
            std::min(1.0, static_cast<double>(i) / attack) * (1.0 - smooth(dampFrom, sounding, t));
        out.add(start + static_cast<long>(i), static_cast<float>(buffer[i] * envelope));
    }
}

void bow(Loop& out, const BowVoice& voice, const Note& note) {
    const double total = note.length + voice.release;
    const auto count = static_cast<std::size_t>(total * kSampleRate);
    const double f0 = midiToHz(note.midi);
    const double tilt = 1.6 - 0.6 * voice.brightness;
    std::vector<Partial> partials;
    std::vector<double> levels;
    for (int n = 1; f0 * n < kNyquistGuard && n <= 24; ++n) {
        const double hz = f0 * n;
        // The snake-skin body sings around its resonance and again an octave and a half up.
        const double body = 1.0 + 1.6 * std::exp(-std::pow((hz - voice.formant) / 450.0, 2.0)) +
                            0.6 * std::exp(-std::pow((hz - 2.6 * voice.formant) / 700.0, 2.0));
        // Above 3 kHz the sound softens, as it does a few paces from the player.
        const double distance = 1.0 / (1.0 + std::pow(hz / 3000.0, 2.0));
        partials.emplace_back(n);
        levels.push_back(note.velocity * body * distance / std::pow(n, tilt));
    }
    // A faint hiss of rosin on the string, shaped by a one-pole filter.
    // Seeded by the note's time (which may lie before the loop's start), so it repeats.
    auto noiseState =
        static_cast<std::uint32_t>(std::lround(note.time * 1000.0) & 0xFFFFFFFFL) * 2654435761u +
        1u;
    double hiss = 0.0;
    const long start = std::lround(note.time * kSampleRate);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        if (i % kBlock == 0) {
            const double hz = f0 * std::pow(2.0, pitchOffset(note, t, voice.vibratoRate) / 12.0);
            for (auto& p : partials) {
                p.retune(hz);
            }
        }
        double sum = 0.0;
        for (std::size_t k = 0; k < partials.size(); ++k) {
            sum += levels[k] * partials[k].step();
        }
        noiseState = noiseState * 1664525u + 1013904223u;
        const double white = static_cast<double>(noiseState >> 8) / 8388608.0 - 1.0;
        hiss += 0.08 * (white - hiss);
        // The bow bites, the phrase breathes a little louder in the middle, then lets go.
        const double swell =
            0.85 + 0.15 * std::sin(std::numbers::pi * std::min(1.0, t / note.length));
        const double envelope =
            smooth(0.0, voice.attack, t) * (1.0 - smooth(note.length, total, t)) * swell;
        out.add(start + static_cast<long>(i),
                static_cast<float>(envelope * (sum + 0.06 * note.velocity * hiss)));
    }
}

void drone(Loop& out, double freq, const std::vector<float>& harmonicLevels, int swells,
           float swellDepth) {
    const auto n = static_cast<long>(out.size());
    // A sine table over exactly one loop: every partial reads it at a whole number of cycles,
    // so the last sample leads into the first as any other pair does.
    std::vector<float> table(static_cast<std::size_t>(n));
    for (long i = 0; i < n; ++i) {
        table[static_cast<std::size_t>(i)] =
            static_cast<float>(std::sin(kTwoPi * static_cast<double>(i) / static_cast<double>(n)));
    }
    const double loopSeconds = static_cast<double>(n) / kSampleRate;
    const long baseCycles = std::max(1L, std::lround(freq * loopSeconds));
    auto& samples = out.samples();
    for (std::size_t h = 0; h < harmonicLevels.size(); ++h) {
        const long cycles = baseCycles * static_cast<long>(h + 1);
        const long offset = (n / 7) * static_cast<long>(h); // partials start out of phase
        for (long i = 0; i < n; ++i) {
            const long swellAt = (static_cast<long>(swells) * i + n / 4 * 3) % n;
            const float swell =
                1.0f - swellDepth * 0.5f * (1.0f + table[static_cast<std::size_t>(swellAt)]);
            const long at = (cycles * i + offset) % n;
            samples[static_cast<std::size_t>(i)] +=
                harmonicLevels[h] * swell * table[static_cast<std::size_t>(at)];
        }
    }
}

} // namespace musicgen
