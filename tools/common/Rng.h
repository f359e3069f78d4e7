#pragma once
// The generators of the program folder's pictures and music share this.

#include <cmath>
#include <cstdint>

namespace generators {

// A small seeded generator (SplitMix64) for the pictures and the music. They must come out the
// same on every machine and with every standard library, so neither std::mt19937's
// distributions nor rand() will do.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return static_cast<int>(uniform() * n); }
    bool chance(double p) { return uniform() < p; }

    // Roughly normal (sum of four uniforms): enough for jitter, and free of libm differences.
    double gaussish() { return (uniform() + uniform() + uniform() + uniform() - 2.0) * 1.732; }

private:
    std::uint64_t m_state;
};

} // namespace generators
