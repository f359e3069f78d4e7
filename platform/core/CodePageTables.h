#pragma once
// The code page's tables: glibc's iconv's readings of every single byte and every pair, and
// their inverse, asked when the program is built. tools/codepagegen writes their definitions;
// CodePage.cpp reads them.

#include <cstdint>

namespace CodePageTables {

// A two-byte sequence: lead 0x81-0xFE, trail 0x40-0xFE.
constexpr unsigned kLeadFirst = 0x81, kLeadLast = 0xFE;
constexpr unsigned kTrailFirst = 0x40, kTrailLast = 0xFE;
constexpr unsigned kTrailCount = kTrailLast - kTrailFirst + 1;
constexpr unsigned kLeads = kLeadLast - kLeadFirst + 1;
constexpr unsigned kUnits = 0x10000;

// The character of each single byte, and of each pair by (lead - kLeadFirst) * kTrailCount +
// trail - kTrailFirst; 0 where a pair is none.
extern const char16_t kSingleDecoded[256];
extern const char16_t kPairDecoded[kLeads * kTrailCount];
// The same as UTF-8 packed in a word, its bytes from the lowest and their count in the top
// byte: U+FFFD for a single byte that is no character, 0 for a pair that is none.
extern const std::uint32_t kSingleUtf8[256];
extern const std::uint32_t kPairUtf8[kLeads * kTrailCount];
// The bytes of each code unit, hi << 8 | lo, or 0 for none: the first of several decodings,
// single bytes before pairs.
extern const std::uint16_t kEncoded[kUnits];
// A bit for each code unit that no byte sequence or more than one decodes to, U+FFFD among
// them: a search in bytes could miss it.
extern const std::uint64_t kAmbiguous[kUnits / 64];

} // namespace CodePageTables
