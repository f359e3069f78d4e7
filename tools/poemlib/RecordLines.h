#pragma once
// How list and search print records: each its number (from 1) and fields, tab-separated, or one
// JSON object a line; a search over several libraries puts the library's name first.

#include "library/LibraryFormat.h"
#include "library/SearchIndexNames.h"
#include "platform/core/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace poemlib {

// Which library a line of a search over several is from: its name (the header's), and for JSON
// also the path of its index file.
struct LibraryLabel {
    std::string name;
    std::string path;
};

// Lines of records gathered and printed a piece at a time: a search may print hundreds of
// thousands of them.
class RecordLines {
public:
    // `library` is null for a single library, whose lines carry no name; it outlives this.
    RecordLines(bool json, const LibraryLabel* library) : m_json(json), m_library(library) {}

    void Add(std::uint32_t number, const PoemRecord& record);
    // The plain lines of the records numbered `records` (from 0) from the names the search index
    // keeps, written where the lines go; false, with none of them added, when an entry of theirs
    // is damaged.
    bool AddNamed(std::span<const std::uint32_t> records, const CSearchIndexNames& names);
    // Prints the lines added since the last time.
    void Print();

private:
    // The UTF-8 of the last field one column held. Neighbouring poems mostly share their poet,
    // dynasty and form, and comparing the field's bytes costs less than decoding them.
    template <std::size_t Width> class LastField {
    public:
        char* Write(const char (&field)[Width], char* at);

    private:
        char m_bytes[Width] = {}; // no bytes: the empty text
        char m_utf8[CodePage::kMostUtf8PerByte * Width] = {};
        std::size_t m_size = 0;
    };

    // Room for `bytes` more after the lines so far.
    char* Room(std::size_t bytes) {
        if (m_text.size() - m_size < bytes) {
            Grow(bytes);
        }
        return m_text.data() + m_size;
    }
    void Grow(std::size_t bytes);
    void AddPlain(std::uint32_t number, const PoemRecord& record);
    // The library's name and the number, each followed by a tab.
    char* LineStart(std::uint32_t number, char* at) const;
    void AddJson(std::uint32_t number, const PoemRecord& record);

    bool m_json;
    const LibraryLabel* m_library;
    std::vector<char> m_text; // the lines, in its first m_size bytes
    std::size_t m_size = 0;
    LastField<sizeof PoemRecord::author> m_author;
    LastField<sizeof PoemRecord::dynasty> m_dynasty;
    LastField<sizeof PoemRecord::form> m_form;
};

} // namespace poemlib
