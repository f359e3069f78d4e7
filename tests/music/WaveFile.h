#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A RIFF WAVE reader written from the format itself, so that the tests check the files
// against the format and not against the generator's writer.
namespace musictest {

struct WaveFile {
    bool valid = false;
    std::string problem;
    int formatTag = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::vector<std::int16_t> samples; // first channel only

    double seconds() const {
        return sampleRate > 0 ? static_cast<double>(samples.size()) / sampleRate : 0.0;
    }
};

WaveFile readWave(const std::string& path);

} // namespace musictest
