#pragma once
// A 64-bit FNV-1a checksum: quick, and plenty to tell whether a file or a text is the one it was
// when the sum was taken (it guards against accidents, not against anybody's intent).

#include <cstdint>
#include <string_view>

class CChecksum {
public:
    CChecksum& Add(std::string_view bytes) {
        for (const char byte : bytes) {
            m_nSum = (m_nSum ^ static_cast<unsigned char>(byte)) * kPrime;
        }
        return *this;
    }
    std::uint64_t Value() const { return m_nSum; }

    static std::uint64_t Of(std::string_view bytes) { return CChecksum().Add(bytes).Value(); }

private:
    static constexpr std::uint64_t kPrime = 1099511628211ull;
    std::uint64_t m_nSum = 14695981039346656037ull;
};
