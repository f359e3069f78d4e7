#pragma once
// A 64-bit digest of bytes, fed in pieces of any size: the search index keeps one of the parts of
// the library's files it describes, and of each of its own buckets, to know them again. Not for
// secrets, only to tell contents apart; about as fast as the memory it reads.

#include <cstddef>
#include <cstdint>
#include <string_view>

class CContentDigest {
public:
    void Add(std::string_view bytes);
    // The digest of everything added so far; adding more afterwards goes on from there.
    std::uint64_t Value() const;

private:
    void Round(const char* block);

    std::uint64_t m_lanes[4] = {0x60EA27EEADC0B5D6ull, 0xC2B2AE3D27D4EB4Full, 0x0000000000000000ull,
                                0x61C8864E7A143579ull};
    char m_pending[32] = {};
    std::size_t m_nPending = 0;
    std::uint64_t m_nTotal = 0;
};

// The digest of one piece of bytes.
std::uint64_t DigestOf(std::string_view bytes);

// A 32-bit digest of a few bytes under a key (where they belong, say): the search index checks
// each of its names with one as it reads them, tens of thousands at a time.
std::uint32_t ShortDigestOf(std::uint32_t key, std::string_view bytes);
