#include "Wave.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numeric>

namespace musicgen {

namespace {

void put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
    }
}

} // namespace

std::vector<std::int16_t> toPcm16(const std::vector<float>& samples, double loudness,
                                  double peakLimit) {
    if (samples.empty()) {
        return {};
    }
    const double mean =
        std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    double highest = 0.0;
    double energy = 0.0;
    for (const float s : samples) {
        highest = std::max(highest, std::fabs(s - mean));
        energy += (s - mean) * (s - mean);
    }
    const double rms = std::sqrt(energy / static_cast<double>(samples.size()));
    const double gain =
        highest > 0.0 ? 32767.0 * std::min(loudness / rms, peakLimit / highest) : 0.0;
    std::vector<std::int16_t> pcm;
    pcm.reserve(samples.size());
    for (const float s : samples) {
        const double v = std::clamp(std::round((s - mean) * gain), -32768.0, 32767.0);
        pcm.push_back(static_cast<std::int16_t>(v));
    }
    return pcm;
}

bool writeWave(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVE";
    out += "fmt ";
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, static_cast<std::uint32_t>(sampleRate));
    put32(out, static_cast<std::uint32_t>(sampleRate) * 2);
    put16(out, 2);
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    for (const std::int16_t s : samples) {
        put16(out, static_cast<std::uint16_t>(s));
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    return static_cast<bool>(file);
}

} // namespace musicgen
