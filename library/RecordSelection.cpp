#include "library/RecordSelection.h"

#include "library/ByteSearch.h"
#include "library/LibraryFiles.h"
#include "library/SearchIndex.h"
#include "library/TextScan.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>

namespace RecordSelection {
namespace {

struct FieldPlace {
    std::size_t offset;
    std::size_t width;
};

std::optional<FieldPlace> PlaceOf(SelectField field) {
    switch (field) {
    case SEL_TITLE:
        return FieldPlace{offsetof(PoemRecord, title), sizeof(PoemRecord::title)};
    case SEL_AUTHOR:
        return FieldPlace{offsetof(PoemRecord, author), sizeof(PoemRecord::author)};
    case SEL_DYNASTY:
        return FieldPlace{offsetof(PoemRecord, dynasty), sizeof(PoemRecord::dynasty)};
    case SEL_FORM:
        return FieldPlace{offsetof(PoemRecord, form), sizeof(PoemRecord::form)};
    case SEL_ALL:
    case SEL_FULLTEXT:
        break;
    }
    return std::nullopt;
}

// The needle's bytes are found in all the records at once; a record is checked field by field
// only when one of them falls inside the field searched. The hits come in increasing order, so
// the records found are in library order.
std::vector<std::uint32_t> FindInFieldInOnePass(std::span<const PoemRecord> records,
                                                const SearchKeyword& keyword, FieldPlace place) {
    const std::string& needle = *keyword.Needle();
    const std::string_view all(reinterpret_cast<const char*>(records.data()), records.size_bytes());
    std::vector<std::uint64_t> hits;
    ByteSearch::FindAll(all, needle, hits);
    std::vector<std::uint32_t> found;
    std::uint64_t checked = std::numeric_limits<std::uint64_t>::max(); // the record last checked
    for (const std::uint64_t hit : hits) {
        const std::uint64_t record = hit / kRecordSize;
        const std::uint64_t within = hit % kRecordSize;
        if (record == checked || within < place.offset ||
            within + needle.size() > place.offset + place.width) {
            continue;
        }
        checked = record;
        if (keyword.IsIn(all.data() + record * kRecordSize + place.offset, place.width)) {
            found.push_back(static_cast<std::uint32_t>(record));
        }
    }
    return found;
}

std::vector<std::uint32_t> FindInField(std::span<const PoemRecord> records,
                                       const SearchKeyword& keyword, FieldPlace place) {
    if (keyword.Needle() != nullptr) {
        return FindInFieldInOnePass(records, keyword, place);
    }
    std::vector<std::uint32_t> found;
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        if (keyword.IsIn(reinterpret_cast<const char*>(&records[i]) + place.offset, place.width)) {
            found.push_back(i);
        }
    }
    return found;
}

// Every place of the data file where the needle's bytes occur is found in one pass, through a
// mapping; the file may shrink under it while it is read, and the search then reads instead.
std::optional<std::vector<std::uint32_t>>
FindInTextsMapped(std::span<const PoemRecord> records, CFile& data, const std::string& needle) {
    const std::string_view mapped = data.MapView();
    if (mapped.empty()) {
        return std::nullopt;
    }
    std::optional<std::vector<std::uint32_t>> found =
        TextScan::FindInTexts(records, mapped, needle);
    data.ReleaseView();
    return found;
}

std::vector<std::uint32_t> FindInTextsByReading(std::span<const PoemRecord> records, CFile& data,
                                                const SearchKeyword& keyword) {
    std::vector<std::uint32_t> found;
    std::string bytes;
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        LibraryFiles::ReadTextBytes(data, records[i], bytes);
        if (keyword.IsIn(bytes.data(), bytes.size())) {
            found.push_back(i);
        }
    }
    return found;
}

// A keyword with a byte form is looked for in the whole data file at once; the others, and any
// search the mapping cannot serve, read the texts one by one.
std::vector<std::uint32_t> FindInTexts(std::span<const PoemRecord> records, CFile& data,
                                       const SearchKeyword& keyword) {
    if (const std::string* needle = keyword.Needle()) {
        if (auto found = FindInTextsMapped(records, data, *needle)) {
            return std::move(*found);
        }
    }
    return FindInTextsByReading(records, data, keyword);
}

// Beyond this many texts to search one by one, one pass over the whole data file is quicker.
constexpr std::size_t kMostSearchedOneByOne = 4096;

// Appends to `found` those of the records numbered `numbers` whose text holds the keyword.
bool SearchOneByOne(const std::vector<std::uint32_t>& numbers, const RecordReader& read,
                    CFile& data, const SearchKeyword& keyword, std::vector<std::uint32_t>& found) {
    std::vector<PoemRecord> records(numbers.size());
    if (!read(numbers, records.data())) {
        return false;
    }
    std::string bytes;
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        LibraryFiles::ReadTextBytes(data, records[k], bytes);
        if (keyword.IsIn(bytes.data(), bytes.size())) {
            found.push_back(numbers[k]);
        }
    }
    return true;
}

} // namespace

std::optional<std::vector<std::uint32_t>> FindInTextsIndexed(const CSearchIndex& index,
                                                             std::uint32_t count,
                                                             const RecordReader& read, CFile& data,
                                                             const SearchKeyword& keyword) {
    std::optional<CSearchIndex::Found> named = index.Find(keyword.Text());
    if (!named) {
        return std::nullopt;
    }
    std::vector<std::uint32_t>& records = named->records;
    records.erase(std::lower_bound(records.begin(), records.end(), count), records.end());
    const std::uint32_t described = std::min(index.Records(), count);
    std::vector<std::uint32_t> appended(count - described);
    std::iota(appended.begin(), appended.end(), described);
    if ((named->exact ? 0 : records.size()) + appended.size() > kMostSearchedOneByOne) {
        return std::nullopt;
    }
    std::vector<std::uint32_t> found;
    if (named->exact) {
        found = std::move(records);
    } else if (!SearchOneByOne(records, read, data, keyword, found)) {
        return std::nullopt;
    }
    if (!SearchOneByOne(appended, read, data, keyword, found)) {
        return std::nullopt;
    }
    return found;
}

std::vector<std::uint32_t> Find(std::span<const PoemRecord> records, CFile& data,
                                const SearchKeyword& keyword, SelectField field) {
    if (field == SEL_FULLTEXT) {
        return FindInTexts(records, data, keyword);
    }
    if (const std::optional<FieldPlace> place = PlaceOf(field)) {
        return FindInField(records, keyword, *place);
    }
    return {};
}

} // namespace RecordSelection
