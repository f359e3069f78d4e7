#pragma once
// Choosing records: the records of a library whose title, author, dynasty, form or text holds a
// keyword, in library order. The records are in memory; the texts are read from the data file
// as it is at the time of the search.

#include "library/LibraryFormat.h"
#include "library/SearchKeyword.h"
#include "platform/core/CFile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class CSearchIndex;

// What a selection searches: one field of the record, every record (SEL_ALL), or the text.
enum SelectField : int {
    SEL_TITLE = 0,
    SEL_AUTHOR = 1,
    SEL_DYNASTY = 2,
    SEL_FORM = 3,
    SEL_ALL = 4,
    SEL_FULLTEXT = 5,
};

namespace RecordSelection {

// The numbers (from 0) of the records whose `field` holds `keyword`, in library order; none for
// SEL_ALL, which takes every record without looking, or a code that is no field. `data` is the
// open data file.
std::vector<std::uint32_t> Find(std::span<const PoemRecord> records, CFile& data,
                                const SearchKeyword& keyword, SelectField field);

// Copies the records numbered `numbers` (increasing) into `out`; false when they cannot be had.
using RecordReader = std::function<bool(std::span<const std::uint32_t> numbers, PoemRecord* out)>;

// The same as Find with SEL_FULLTEXT over the library's first `count` records, through its
// search index: the records it names, those whose texts it leaves to be searched (a keyword of
// more than two units, poems appended since it was made) searched one by one. Nothing when the
// index cannot serve: it turns out damaged, or leaves too many texts to search one by one.
std::optional<std::vector<std::uint32_t>> FindInTextsIndexed(const CSearchIndex& index,
                                                             std::uint32_t count,
                                                             const RecordReader& read, CFile& data,
                                                             const SearchKeyword& keyword);

} // namespace RecordSelection
