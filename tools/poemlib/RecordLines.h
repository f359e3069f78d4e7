#pragma once
// How list and search print a record: its number (from 1) and fields, tab-separated, or one JSON
// object a line; a search over several libraries puts the library's name first.

#include "library/LibraryFormat.h"

#include <cstdint>
#include <string>

namespace poemlib {

// Which library a line of a search over several is from: its name (the header's), and for JSON
// also the path of its index file.
struct LibraryLabel {
    std::string name;
    std::string path;
};

// `library` is null for a single library, whose lines carry no name.
void PrintRecord(std::uint32_t number, const PoemRecord& record, bool json,
                 const LibraryLabel* library = nullptr);

} // namespace poemlib
