#include "library/ContentDigest.h"

#include <bit>
#include <cstring>

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ull;

std::uint64_t Word(const char* bytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word); // the files are little-endian, and so is the reader
    return word;
}

std::uint64_t Mix(std::uint64_t lane, std::uint64_t word) {
    return std::rotl(lane + word * kPrime2, 31) * kPrime1;
}

} // namespace

void CContentDigest::Round(const char* block) {
    for (int i = 0; i < 4; ++i) {
        m_lanes[i] = Mix(m_lanes[i], Word(block + 8 * i));
    }
}

void CContentDigest::Add(std::string_view bytes) {
    if (bytes.empty()) {
        return; // nothing to add, and perhaps no bytes to copy from
    }
    m_nTotal += bytes.size();
    const char* at = bytes.data();
    std::size_t left = bytes.size();
    if (m_nPending > 0) {
        const std::size_t taken = std::min(left, sizeof m_pending - m_nPending);
        std::memcpy(m_pending + m_nPending, at, taken);
        m_nPending += taken;
        at += taken;
        left -= taken;
        if (m_nPending < sizeof m_pending) {
            return;
        }
        Round(m_pending);
        m_nPending = 0;
    }
    for (; left >= 32; at += 32, left -= 32) {
        Round(at);
    }
    std::memcpy(m_pending, at, left);
    m_nPending = left;
}

std::uint64_t CContentDigest::Value() const {
    std::uint64_t value = std::rotl(m_lanes[0], 1) + std::rotl(m_lanes[1], 7) +
                          std::rotl(m_lanes[2], 12) + std::rotl(m_lanes[3], 18);
    for (const std::uint64_t lane : m_lanes) {
        value = (value ^ Mix(0, lane)) * kPrime1 + kPrime3;
    }
    value += m_nTotal;
    for (std::size_t i = 0; i < m_nPending; ++i) {
        value =
            std::rotl(value ^ (static_cast<unsigned char>(m_pending[i]) * kPrime3), 11) * kPrime1;
    }
    value ^= value >> 33;
    value *= kPrime2;
    value ^= value >> 29;
    value *= kPrime3;
    return value ^ (value >> 32);
}

std::uint64_t DigestOf(std::string_view bytes) {
    CContentDigest digest;
    digest.Add(bytes);
    return digest.Value();
}

std::uint32_t ShortDigestOf(std::uint32_t key, std::string_view bytes) {
    // Two running sums of the words, the second of the first's values: any one byte changed
    // changes both, and bytes that trade places change the second. Neither waits on a multiply.
    std::uint64_t sum = key + kPrime3;
    std::uint64_t sums = bytes.size();
    const char* at = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        sum += Word(at + i);
        sums += sum;
    }
    if (i < size) {
        // The last bytes, as the word that ends with them when there is one, shifted down.
        std::uint64_t last = 0;
        if (size >= 8) {
            last = Word(at + size - 8) >> (8 * (8 - (size - i)));
        } else {
            for (std::size_t k = size; k-- > i;) {
                last = last << 8 | static_cast<unsigned char>(at[k]);
            }
        }
        sum += last;
        sums += sum;
    }
    std::uint64_t value = (sum ^ std::rotl(sums, 32)) * kPrime1;
    value ^= value >> 29;
    value *= kPrime3;
    return static_cast<std::uint32_t>(value ^ (value >> 32));
}
