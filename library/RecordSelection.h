#pragma once
// Choosing records: the records of a library whose title, author, dynasty, form or text holds a
// keyword, in library order. The records are in memory; the texts are read from the data file
// as it is at the time of the search.

#include "library/LibraryFormat.h"
#include "library/SearchKeyword.h"
#include "platform/core/CFile.h"

#include <cstdint>
#include <span>
#include <vector>

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

} // namespace RecordSelection
