#include "WaveFile.h"

#include <fstream>
#include <iterator>

namespace musictest {

namespace {

std::uint32_t le32(const std::vector<char>& b, std::size_t at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

std::uint16_t le16(const std::vector<char>& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                      static_cast<std::uint8_t>(b[at + 1]) << 8);
}

WaveFile fail(const std::string& why) {
    WaveFile w;
    w.problem = why;
    return w;
}

} // namespace

WaveFile readWave(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return fail("cannot open " + path);
    }
    const std::vector<char> b((std::istreambuf_iterator<char>(file)),
                              std::istreambuf_iterator<char>());
    if (b.size() < 12 || std::string(b.data(), 4) != "RIFF" ||
        std::string(b.data() + 8, 4) != "WAVE") {
        return fail("not a RIFF WAVE file");
    }
    if (le32(b, 4) + 8 != b.size()) {
        return fail("RIFF size does not match the file");
    }
    WaveFile w;
    bool haveFormat = false;
    // Walk the chunks; anything besides the format and the data is skipped.
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.data() + at, 4);
        const std::uint32_t size = le32(b, at + 4);
        const std::size_t body = at + 8;
        if (body + size > b.size()) {
            return fail("chunk " + id + " runs past the end");
        }
        if (id == "fmt " && size >= 16) {
            w.formatTag = le16(b, body);
            w.channels = le16(b, body + 2);
            w.sampleRate = static_cast<int>(le32(b, body + 4));
            w.bitsPerSample = le16(b, body + 14);
            haveFormat = true;
        } else if (id == "data" && haveFormat && w.bitsPerSample == 16 && w.channels > 0) {
            const std::size_t frame = 2 * static_cast<std::size_t>(w.channels);
            for (std::size_t i = 0; i + frame <= size; i += frame) {
                w.samples.push_back(static_cast<std::int16_t>(le16(b, body + i)));
            }
            w.valid = true;
        }
        at = body + size + (size & 1u); // chunks are padded to even length
    }
    if (!w.valid) {
        w.problem = haveFormat ? "no 16-bit data chunk" : "no format chunk";
    }
    return w;
}

} // namespace musictest
