#pragma once
// Reading a library's two files: the index's header and records, and a text from the data file.
// Nothing here keeps state or shows a window: CPoemLibrary opens a library with these, and the
// append checks the index with the same ones before it writes.

#include "library/LibraryFormat.h"
#include "library/RecordArray.h"
#include "platform/core/CFile.h"
#include "platform/core/CString.h"

#include <cstdint>
#include <span>
#include <string>

inline constexpr const char16_t* kCannotReadIndexMessage = u"不能读诗词索引文件.";
inline constexpr const char16_t* kNotAnIndexMessage = u"不是诗词索引文件,不可用.";

// How the data file is opened: for reading and writing (the reader, which appends), or for
// reading only (whatever only reads, so that a library one may not write can still be read).
enum class LibraryAccess { readWrite, readOnly };

// Why Open failed.
enum class OpenFailure {
    none,
    indexNotOpened, // the index file could not be opened; the file error says why
    headerShort,    // the index is shorter than its header
    notAnIndex,     // the header has no signature
    recordsMissing, // the index holds fewer records than its header counts
    noMemory,       // no room for the records
    dataNotOpened,  // the data file could not be opened; the file error says why
};

struct OpenResult {
    OpenFailure failure = OpenFailure::none;
    CFileException fileError; // for the files that could not be opened

    explicit operator bool() const { return failure == OpenFailure::none; }
};

// What the reader says about a failed Open: the file error, or its own words; empty for the
// failures it passes over in silence (missing records, no memory). The reader shows it with
// ShowOpenFailure (settings/InstalledLibrary.h).
CString OpenFailureMessage(const OpenResult& result);

namespace LibraryFiles {

// Reads the header from the start of the index and checks its signature: none, headerShort or
// notAnIndex.
OpenFailure ReadHeader(CFile& index, LibraryHeader& header);

// True when the index file is long enough for `count` records after its header.
bool HoldsRecords(const CFile& index, std::uint32_t count);

// The `count` records after the header, read in place through a mapping of the index when one
// can be had, otherwise copied into `records`, which already has room for them. False when the
// index no longer holds them all.
bool ReadRecords(CFile& index, std::uint32_t count, RecordArray& records);

// Copies the records numbered `numbers` (increasing, each below `count`, which the index holds)
// into `out`, reading only the pages of the index that hold them. False when the index no longer
// holds them.
bool ReadRecordsNumbered(CFile& index, std::span<const std::uint32_t> numbers, PoemRecord* out);

// The bytes of a record's text: what the data file holds from its offset, at most its length
// (a length near 4 GiB neither wraps nor asks for gigabytes). Empty past the end of the file.
void ReadTextBytes(CFile& data, const PoemRecord& record, std::string& bytes);

} // namespace LibraryFiles
