#pragma once
// The names a search index keeps of the records it describes (SearchIndexFormat.h): titles,
// poets, dynasties and forms, decoded to UTF-8 when the index was made, for printing many records
// without reading them from the index file and decoding them. The bylines are read whole and
// checked against their digest; the entries are mapped, and each one asked for is copied out and
// checked against its own. A mapping that loses pages as the file shrinks reads as zeros there,
// which no entry's check allows.

#include "library/LibraryFormat.h"
#include "library/SearchIndexFormat.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The names of some records: for each its title and its byline (poet, dynasty and form, a tab
// between them), in the order asked for.
class RecordNames {
public:
    std::size_t Size() const { return m_entries.size(); }
    std::string_view Title(std::size_t k) const {
        return std::string_view(m_bytes).substr(m_entries[k].titleAt, m_entries[k].titleSize);
    }
    std::string_view Byline(std::size_t k) const {
        return std::string_view(*m_bylines).substr(m_entries[k].bylineAt, m_entries[k].bylineSize);
    }

private:
    friend class CSearchIndexNames;
    struct Entry {
        std::uint32_t titleAt; // in m_bytes
        std::uint32_t titleSize;
        std::uint32_t bylineAt; // in *m_bylines
        std::uint32_t bylineSize;
    };
    std::string m_bytes; // the entries read, one after another
    std::vector<Entry> m_entries;
    const std::string* m_bylines = nullptr;
};

class CSearchIndexNames {
public:
    ~CSearchIndexNames();
    CSearchIndexNames(const CSearchIndexNames&) = delete;
    CSearchIndexNames& operator=(const CSearchIndexNames&) = delete;

    // The names the search index open as `fd` keeps, which `header` (its own, checked) says
    // where to find; null when they are damaged or cannot be read or mapped. `fd` stays open
    // while they live.
    static std::unique_ptr<CSearchIndexNames> Read(int fd, const SearchIndexHeader& header);

    // The records described, from the first.
    std::uint32_t Records() const { return m_nRecords; }
    // The names of the records numbered `numbers` (each less than Records()), in place of what
    // `names` held. False when any of them is damaged. The bylines stay where they are while
    // this lives.
    bool Read(std::span<const std::uint32_t> numbers, RecordNames& names) const;

private:
    CSearchIndexNames() = default;
    bool ReadBylines(int fd, const SearchIndexHeader& header, const SearchIndexNamesParts& parts);
    bool MapEntries(int fd, std::uint64_t offsetsAt, const SearchIndexNamesParts& parts);

    std::uint32_t m_nRecords = 0;
    std::uint32_t m_nBylines = 0;
    std::string m_bylines; // the names' header and bylines, as the file holds them
    std::size_t m_bylineOffsetsAt = 0;
    std::size_t m_bylineBytesAt = 0;
    void* m_map = nullptr; // the entry offsets and the entries, mapped
    std::size_t m_mapSize = 0;
    const char* m_offsets = nullptr; // u32 entryOffsets[records + 1], in the mapping
    const char* m_entries = nullptr;
    std::uint32_t m_nEntryBytes = 0;
};

namespace SearchIndexNames {

// The names part of the search index of `records`, ready to be written.
std::string Make(std::span<const PoemRecord> records);
// The digest the header keeps of `names`: of its header and bylines.
std::uint64_t BylinesDigest(std::string_view names);

} // namespace SearchIndexNames
