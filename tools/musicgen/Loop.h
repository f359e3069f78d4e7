#pragma once

#include <cstddef>
#include <vector>

namespace musicgen {

constexpr int kSampleRate = 22050;

// One loop of mono sound. Everything written into it wraps around its end: a note that is
// still ringing when the loop ends sounds on at its beginning, so the loop joins itself.
class Loop {
public:
    explicit Loop(std::size_t length) : m_samples(length, 0.0f) {}

    std::size_t size() const { return m_samples.size(); }
    void add(long index, float value) { m_samples[wrap(index)] += value; }
    float at(long index) const { return m_samples[wrap(index)]; }
    std::vector<float>& samples() { return m_samples; }
    const std::vector<float>& samples() const { return m_samples; }

private:
    std::size_t wrap(long index) const {
        const long n = static_cast<long>(m_samples.size());
        const long m = index % n;
        return static_cast<std::size_t>(m < 0 ? m + n : m);
    }

    std::vector<float> m_samples;
};

} // namespace musicgen
