#pragma once
// Full-text search over a library's data file held in memory (mapped): every place where the
// needle's bytes occur is found in one pass, and a record whose text holds one of them (texts
// may overlap, share bytes or run past the end of the file) is then checked as searching its
// own text would: up to its first zero byte, on a character.

#include "library/LibraryFormat.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace TextScan {

// The numbers of the records whose text holds the (non-empty) needle, in record order. Null
// when the data could not be read to the end: the file shrank under its mapping meanwhile.
std::optional<std::vector<std::uint32_t>>
FindInTexts(std::span<const PoemRecord> records, std::string_view data, std::string_view needle);

} // namespace TextScan
