#include "library/ByteSearch.h"

#include "platform/core/CodePage.h"

#include <cstring>
#include <immintrin.h>
#if !defined(__clang__)
#include <sys/platform/x86.h>
#endif

namespace ByteSearch {

// The fields and texts searched one by one are short, tens to hundreds of bytes: finding the
// needle's first byte and comparing the rest costs far less there than memmem, which sets up a
// table at every call.
const char* Find(const char* text, std::size_t size, std::string_view needle) {
    if (needle.size() > size) {
        return nullptr;
    }
    const std::size_t starts = size - needle.size() + 1; // where a match could begin
    for (std::size_t at = 0; at < starts; ++at) {
        const void* first = std::memchr(text + at, needle.front(), starts - at);
        if (first == nullptr) {
            return nullptr;
        }
        at = static_cast<std::size_t>(static_cast<const char*>(first) - text);
        if (std::memcmp(text + at + 1, needle.data() + 1, needle.size() - 1) == 0) {
            return text + at;
        }
    }
    return nullptr;
}

bool ContainsAtCharacter(const char* text, std::size_t size, std::string_view needle) {
    if (needle.empty()) {
        return true;
    }
    std::size_t boundary = 0; // a known character start at or before the search position
    for (std::size_t from = 0; from + needle.size() <= size;) {
        const char* hit = Find(text + from, size - from, needle);
        if (hit == nullptr) {
            return false;
        }
        const auto at = static_cast<std::size_t>(hit - text);
        boundary = CodePage::CharacterStartFrom(text, boundary, at, size);
        if (boundary == at) {
            return true;
        }
        from = at + 1;
    }
    return false;
}

std::size_t TextLength(const char* text, std::size_t width) {
    const void* zero = std::memchr(text, 0, width);
    return zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - text)
                           : width;
}

namespace {

// The C library's loader has asked the processor already; asking it again, as the compiler's
// own check does at every start of the program, costs a trip through the hypervisor on a virtual
// machine. clang reads the C library's header as C++, which its _Bool is not, and keeps the
// compiler's check.
#if defined(__clang__)
bool HasAvx512Bw() {
    return __builtin_cpu_supports("avx512bw");
}
bool HasAvx2() {
    return __builtin_cpu_supports("avx2");
}
#else
bool HasAvx512Bw() {
    return CPU_FEATURE_ACTIVE(AVX512BW);
}
bool HasAvx2() {
    return CPU_FEATURE_ACTIVE(AVX2);
}
#endif

// Candidates are the places where both the needle's first and last bytes are in place, tested
// 32 at a time; each is then compared whole. In Chinese text the pair of bytes is rare enough
// that the comparisons cost little beside the scan.
// The candidates in 32 positions from `at`, one bit each.
__attribute__((target("avx2"))) inline std::uint32_t
Candidates(const char* text, std::size_t at, std::size_t last, __m256i first, __m256i final) {
    const __m256i heads = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + at));
    const __m256i tails = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + at + last));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(
        _mm256_and_si256(_mm256_cmpeq_epi8(heads, first), _mm256_cmpeq_epi8(tails, final))));
}

void CompareCandidates(const char* text, std::size_t at, std::uint64_t mask,
                       std::string_view needle, std::vector<std::uint64_t>& positions) {
    while (mask != 0) {
        const std::size_t candidate = at + static_cast<std::size_t>(__builtin_ctzll(mask));
        if (std::memcmp(text + candidate + 1, needle.data() + 1, needle.size() - 1) == 0) {
            positions.push_back(candidate);
        }
        mask &= mask - 1;
    }
}

// Candidates are the places where both the needle's first and last bytes are in place, tested
// 64 at a time; each is then compared whole. In Chinese text the pair of bytes is rare enough
// that the comparisons cost little beside the scan.
__attribute__((target("avx2"))) std::size_t FindAllWide(const char* text, std::size_t starts,
                                                        std::string_view needle,
                                                        std::vector<std::uint64_t>& positions) {
    const std::size_t last = needle.size() - 1;
    const __m256i first = _mm256_set1_epi8(needle.front());
    const __m256i final = _mm256_set1_epi8(needle.back());
    std::size_t at = 0;
    for (; at + 64 <= starts; at += 64) {
        const std::uint64_t mask = Candidates(text, at, last, first, final) |
                                   std::uint64_t{Candidates(text, at + 32, last, first, final)}
                                       << 32;
        if (mask != 0) {
            CompareCandidates(text, at, mask, needle, positions);
        }
    }
    return at;
}

// The same, 64 positions at a time in one register, where the processor has them.
__attribute__((target("avx512bw"))) std::size_t
FindAllWidest(const char* text, std::size_t starts, std::string_view needle,
              std::vector<std::uint64_t>& positions) {
    const std::size_t last = needle.size() - 1;
    const __m512i first = _mm512_set1_epi8(needle.front());
    const __m512i final = _mm512_set1_epi8(needle.back());
    std::size_t at = 0;
    for (; at + 64 <= starts; at += 64) {
        const __m512i heads = _mm512_loadu_si512(text + at);
        const __m512i tails = _mm512_loadu_si512(text + at + last);
        const std::uint64_t mask =
            _mm512_cmpeq_epi8_mask(heads, first) & _mm512_cmpeq_epi8_mask(tails, final);
        if (mask != 0) {
            CompareCandidates(text, at, mask, needle, positions);
        }
    }
    return at;
}

std::size_t FindAllNarrow(const char* text, std::size_t starts, std::string_view needle,
                          std::vector<std::uint64_t>& positions) {
    const std::size_t last = needle.size() - 1;
    const __m128i firstByte = _mm_set1_epi8(needle.front());
    const __m128i lastByte = _mm_set1_epi8(needle.back());
    std::size_t at = 0;
    for (; at + 16 <= starts; at += 16) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + last));
        auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(heads, firstByte), _mm_cmpeq_epi8(tails, lastByte))));
        while (mask != 0) {
            const std::size_t candidate = at + static_cast<std::size_t>(__builtin_ctz(mask));
            if (std::memcmp(text + candidate + 1, needle.data() + 1, last) == 0) {
                positions.push_back(candidate);
            }
            mask &= mask - 1;
        }
    }
    return at;
}

} // namespace

void FindAll(std::string_view text, std::string_view needle,
             std::vector<std::uint64_t>& positions) {
    if (needle.empty() || needle.size() > text.size()) {
        return;
    }
    const char* data = text.data();
    const std::size_t starts = text.size() - needle.size() + 1; // where a match could begin
    if (needle.size() == 1) {
        for (const char* at = data; at < data + starts;) {
            const void* hit =
                std::memchr(at, needle.front(), static_cast<std::size_t>(data + starts - at));
            if (hit == nullptr) {
                break;
            }
            positions.push_back(static_cast<std::uint64_t>(static_cast<const char*>(hit) - data));
            at = static_cast<const char*>(hit) + 1;
        }
        return;
    }
    static const int width = HasAvx512Bw() ? 64 : HasAvx2() ? 32 : 16;
    std::size_t at = width == 64   ? FindAllWidest(data, starts, needle, positions)
                     : width == 32 ? FindAllWide(data, starts, needle, positions)
                                   : FindAllNarrow(data, starts, needle, positions);
    for (; at < starts; ++at) {
        if (data[at] == needle.front() &&
            std::memcmp(data + at + 1, needle.data() + 1, needle.size() - 1) == 0) {
            positions.push_back(at);
        }
    }
}

} // namespace ByteSearch
