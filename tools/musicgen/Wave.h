#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace musicgen {

// Removes any DC offset, scales a loop to the `loudness` (RMS, as a fraction of full scale)
// unless that would lift its highest peak over `peakLimit`, and rounds it to 16-bit samples.
// Pieces of sparse plucks and of a sustained bow then sound about equally loud.
std::vector<std::int16_t> toPcm16(const std::vector<float>& samples, double loudness,
                                  double peakLimit);

// Writes a mono 16-bit PCM RIFF WAVE file. Returns false if the file cannot be written.
bool writeWave(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate);

} // namespace musicgen
