#pragma once
// The search index beside a library: NAME.search next to NAME.idx and NAME.dat. A reader that
// knows nothing of it ignores it; it never stands in for the two files, only says where in them
// a keyword can be, and only while they are the files it was made from.
//
// It lists, for every pair of UTF-16 code units that follow each other in a poem's decoded text
// (and for each text's last unit followed by kTextEnd), the poems whose text holds that pair:
// a keyword of two units is found exactly, one of a single unit by every pair it begins, a longer
// one by the poems that hold all of its pairs, whose texts are then searched.
//
// Layout (little-endian):
//   SearchIndexHeader                 256 bytes
//   postings                          per pair, its poems' numbers as variable-length gaps
//   u16 firstUnits[units]             the units that begin a pair, increasing
//   u32 firstPairs[units + 1]         where each one's pairs start among the pairs
//   u64 bucketDigests[units]          per first unit, the digest of its second units, list
//                                     offsets and postings: a bucket is read only whole and
//                                     checked
//   u16 secondUnits[pairs]            the pairs, sorted by first then second unit
//   u32 listOffsets[pairs + 1]        where each pair's list starts in the postings
//   names                             the described records' titles, poets, dynasties and forms
//                                     decoded to UTF-8 (below)
//
// It describes the library's first `records` records (bytes 292 to 292 + 124 * records of the
// index file) and the first `dataSize` bytes of the data file, whose digests it keeps. Poems
// appended later are searched one by one until the index is made again. The stamps say how the
// two files looked when the index last knew them to be those bytes.
//
// The names are there for printing many records at once: read from the index file, a title and
// its byline (poet, dynasty and form) must be decoded, and a frequent character's poems touch
// every page of it. Their layout:
//   SearchIndexNamesHeader            16 bytes
//   u32 bylineOffsets[bylines + 1]    where each byline starts among the byline bytes
//   byline bytes                      per byline its poet, dynasty and form in UTF-8, a tab
//                                     after each of the first two; the most frequent first
//   u32 entryOffsets[records + 1]     where each record's entry starts among the entries
//   entries                           per record: a length byte and the title's UTF-8, its
//                                     byline's number as a variable-length number, and a u32
//                                     check of the record's number and the entry's bytes before
//                                     it (ShortDigestOf): an entry is read alone, and checked so
// `namesDigest` covers the header and the bylines, which are checked whole.

#include "library/FileStamp.h"

#include <cstddef>
#include <cstdint>

inline constexpr char kSearchIndexMagic[8] = {'L', 'M', 'V', 'S', 'R', 'C', 'H', '\x1A'};
inline constexpr std::uint32_t kSearchIndexVersion = 2;
inline constexpr char16_t kTextEnd = 0xFFFF; // never in decoded text: no byte decodes to it

#pragma pack(push, 1)
struct SearchIndexHeader {
    char magic[8];
    std::uint32_t version;
    std::uint32_t headerSize;
    std::uint32_t records;   // the library's records it describes, from the first
    std::uint32_t unitCount; // distinct units that begin a pair
    std::uint32_t pairCount; // distinct pairs of units
    std::uint32_t zero;
    std::uint64_t dataSize; // the data file's bytes it describes, from the first
    // The furthest end (offset + length) of a described record's text: beyond dataSize, such a
    // text would change as poems are appended, and the index would no longer hold.
    std::uint64_t textEnd;
    std::uint64_t recordsDigest; // of the index file's bytes [292, 292 + 124 * records)
    std::uint64_t dataDigest;    // of the data file's bytes [0, dataSize)
    std::uint64_t postingsAt;
    std::uint64_t postingsSize;
    std::uint64_t tablesAt;
    std::uint64_t fileSize;
    std::uint64_t namesAt; // where the names start: right after the tables
    std::uint64_t namesSize;
    std::uint64_t namesDigest;
    std::uint64_t headerDigest; // of every byte before it
    // How the files looked when the index last knew them (rewritten in place).
    FileStamp indexStamp;
    FileStamp dataStamp;
    std::uint64_t stampsDigest; // of the two stamps: a torn rewrite of them is not trusted
    std::uint8_t reserved[256 - 184];
};

struct SearchIndexNamesHeader {
    std::uint32_t bylines;
    std::uint32_t records; // those the index describes
    std::uint32_t bylineBytes;
    std::uint32_t entryBytes;
};
#pragma pack(pop)

static_assert(sizeof(SearchIndexHeader) == 256);
static_assert(offsetof(SearchIndexHeader, headerDigest) == 120);
static_assert(offsetof(SearchIndexHeader, indexStamp) == 128);
static_assert(offsetof(SearchIndexHeader, stampsDigest) == 176);
static_assert(sizeof(SearchIndexNamesHeader) == 16);

// Where the parts of the names lie after `namesAt`.
struct SearchIndexNamesParts {
    SearchIndexNamesHeader header;

    constexpr std::uint64_t BylineOffsetsAt() const { return sizeof header; }
    constexpr std::uint64_t BylineBytesAt() const {
        return BylineOffsetsAt() + 4 * (std::uint64_t{header.bylines} + 1);
    }
    constexpr std::uint64_t EntryOffsetsAt() const { return BylineBytesAt() + header.bylineBytes; }
    constexpr std::uint64_t EntriesAt() const {
        return EntryOffsetsAt() + 4 * (std::uint64_t{header.records} + 1);
    }
    constexpr std::uint64_t Size() const { return EntriesAt() + header.entryBytes; }
};

// Where the tables lie after `tablesAt`, for `units` first units and `pairs` pairs.
struct SearchIndexTables {
    std::uint64_t units;
    std::uint64_t pairs;

    constexpr std::uint64_t FirstUnitsAt() const { return 0; }
    constexpr std::uint64_t FirstPairsAt() const { return 2 * units; }
    constexpr std::uint64_t BucketDigestsAt() const { return FirstPairsAt() + 4 * (units + 1); }
    constexpr std::uint64_t SecondUnitsAt() const { return BucketDigestsAt() + 8 * units; }
    constexpr std::uint64_t ListOffsetsAt() const { return SecondUnitsAt() + 2 * pairs; }
    constexpr std::uint64_t Size() const { return ListOffsetsAt() + 4 * (pairs + 1); }
};
