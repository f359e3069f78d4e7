#pragma once
// Making a library's search index from its two files (see SearchIndexFormat.h).

#include "library/LibraryFormat.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace SearchIndexBuilder {

// The pairs of UTF-16 units of one decoded text, as (first << 16 | second) with kTextEnd after
// the last unit, each once, in increasing order.
void PairsOf(std::u16string_view text, std::vector<std::uint32_t>& pairs);

// Writes the search index of `records` (the library's first records, as the index file holds
// them) over `data` (the data file's first bytes) to `path`, through a new file renamed over
// any old one, with the stamps of the two files open as `indexFd` and `dataFd`. False when it
// cannot be written; then nothing is left behind.
bool Write(const std::string& path, std::span<const PoemRecord> records, std::string_view data,
           int indexFd, int dataFd);

} // namespace SearchIndexBuilder
