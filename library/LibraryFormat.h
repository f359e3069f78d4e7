#pragma once
// The two files of a poetry library. All integers are little-endian; all text is code page 936
// (GB2312), each field ending with a zero byte inside its width.
//
//   index file (.idx): a 292-byte LibraryHeader, then `count` PoemRecords of 124 bytes each;
//                      record i starts at byte 292 + 124 * i and nothing follows the last one.
//   data file (.dat):  the texts, with no framing: each is found through its record's offset
//                      and length. Texts appended by the program end with one zero byte that
//                      `length` counts.

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "the library files are read straight into these structures");

#pragma pack(push, 1)
struct LibraryHeader {
    char magic[2];              // 'S', 'C'
    char name[65];              // library name
    char author[17];            // library author
    std::int32_t version;       // major * 10000 + minor * 100 + patch
    std::int32_t date;          // year * 10000 + month * 100 + day
    std::uint8_t reserved[196]; // not interpreted; kept byte for byte when rewritten
    std::uint32_t count;        // number of records
};

struct PoemRecord {
    char title[65];
    char author[17];
    char dynasty[17];
    char form[17];
    std::uint32_t length; // bytes of the text in the data file
    std::uint32_t offset; // where the text starts in the data file
};
#pragma pack(pop)

static_assert(sizeof(LibraryHeader) == 292);
static_assert(offsetof(LibraryHeader, version) == 84);
static_assert(offsetof(LibraryHeader, count) == 288);
static_assert(sizeof(PoemRecord) == 124);
static_assert(offsetof(PoemRecord, dynasty) == 82);
static_assert(offsetof(PoemRecord, length) == 116);

constexpr std::uint32_t kHeaderSize = sizeof(LibraryHeader);
constexpr std::uint32_t kRecordSize = sizeof(PoemRecord);

// The byte position of record `index` in the index file.
constexpr std::uint64_t RecordPosition(std::uint64_t index) {
    return kHeaderSize + kRecordSize * index;
}

// A header is accepted when byte 0 is 'S' or byte 1 is 'C': either one alone is enough.
constexpr bool HasSignature(const LibraryHeader& header) {
    return header.magic[0] == 'S' || header.magic[1] == 'C';
}
