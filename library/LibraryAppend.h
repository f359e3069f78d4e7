#pragma once
// Appending poems to a library's files: each text and its zero byte at the end of the data file,
// each record after the last one the index counts, and the header's new count, in an order that
// keeps every earlier poem readable whenever the writing stops.

#include "library/LibraryFormat.h"
#include "platform/core/CFile.h"
#include "platform/core/CString.h"

#include <span>

// One poem for AppendPoems: its record (length and offset are filled in) and its text bytes.
struct PoemToAppend {
    PoemRecord* record;
    const char* text;
    unsigned size;
};

namespace LibraryAppend {

// Appends `poems` to the library whose index file is `indexPath` and whose data file `data` is
// open for writing. The files end exactly as the same appends one by one would leave them. Shows
// what went wrong in a box and returns false.
bool Append(const CString& indexPath, CFile& data, std::span<const PoemToAppend> poems);

} // namespace LibraryAppend
