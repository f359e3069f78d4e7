#include "Reverb.h"

#include "Loop.h"

#include <array>
#include <cstddef>

namespace musicgen {

namespace {

// A feedback comb with a low-pass in its loop: one of the hall's many parallel echoes.
class Comb {
public:
    explicit Comb(std::size_t delay) : m_buffer(delay, 0.0f) {}
    float process(float input, float feedback, float damping) {
        const float out = m_buffer[m_index];
        m_store = out * (1.0f - damping) + m_store * damping;
        m_buffer[m_index] = input + m_store * feedback;
        m_index = (m_index + 1) % m_buffer.size();
        return out;
    }

private:
    std::vector<float> m_buffer;
    std::size_t m_index = 0;
    float m_store = 0.0f;
};

// An all-pass diffuser: smears the echoes into a smooth tail without colouring it.
class AllPass {
public:
    explicit AllPass(std::size_t delay) : m_buffer(delay, 0.0f) {}
    float process(float input) {
        const float delayed = m_buffer[m_index];
        m_buffer[m_index] = input + delayed * 0.5f;
        m_index = (m_index + 1) % m_buffer.size();
        return delayed - input;
    }

private:
    std::vector<float> m_buffer;
    std::size_t m_index = 0;
};

// Delays (in samples at 22,050 Hz) chosen mutually prime so the echoes never line up.
constexpr std::array<std::size_t, 8> kCombDelays = {557, 593, 641, 677, 709, 743, 779, 809};
constexpr std::array<std::size_t, 4> kAllPassDelays = {277, 221, 173, 113};

} // namespace

void reverberateLoop(std::vector<float>& loop, const ReverbSettings& settings) {
    std::vector<Comb> combs;
    for (const auto d : kCombDelays) {
        combs.emplace_back(d);
    }
    std::vector<AllPass> allPasses;
    for (const auto d : kAllPassDelays) {
        allPasses.emplace_back(d);
    }
    auto hall = [&](float input) {
        float sum = 0.0f;
        for (auto& comb : combs) {
            sum += comb.process(input * 0.1f, settings.room, settings.damping);
        }
        for (auto& allPass : allPasses) {
            sum = allPass.process(sum);
        }
        return sum;
    };
    // The first pass only fills the hall with the loop's own sound.
    for (const float s : loop) {
        hall(s);
    }
    for (float& s : loop) {
        s += settings.wet * hall(s);
    }
}

} // namespace musicgen
