#pragma once
// A poem at random, and where a poem of a library stands in a list of that library's records.

#include "library/LibraryFormat.h"

#include <cstdint>
#include <optional>
#include <span>

// The number of a poem of `records` chosen at random, another than `shown` when the records
// hold another poem; nothing when there are no records.
std::optional<std::uint32_t> RandomPoemNumber(std::span<const PoemRecord> records,
                                              const PoemRecord* shown);

// Where the record number `number` of a library stands in `list`, a selection of that library
// in its order (the whole library, or what a search found); nothing when it is not there.
std::optional<std::uint32_t> PlaceInList(std::span<const PoemRecord> list, const PoemRecord& record,
                                         std::uint32_t number);
