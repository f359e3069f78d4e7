#pragma once
// The names a search index keeps of the records it describes (SearchIndexFormat.h): titles,
// poets, dynasties and forms, decoded to UTF-8 when the index was made, for printing many records
// without reading them from the index file and decoding them. They are mapped whole: the bylines
// are checked against their digest then, and each byline's place again where it is used; each
// entry asked for is copied out and checked against its own. A mapping that loses pages as the
// file shrinks reads as zeros from there to its end, which no entry's check allows.

#include "library/LibraryFormat.h"
#include "library/SearchIndexFormat.h"
#include "platform/core/CodePage.h"

#include <cstdint>
#include <memory>
#include <optional>
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
        return {m_bytes.data() + m_entries[k].titleAt, m_entries[k].titleSize};
    }
    std::string_view Byline(std::size_t k) const {
        return {m_bylines + m_entries[k].bylineAt, m_entries[k].bylineSize};
    }

private:
    friend class CSearchIndexNames;
    struct Entry {
        std::uint32_t titleAt; // in m_bytes
        std::uint32_t titleSize;
        std::uint32_t bylineAt; // in m_bylines
        std::uint32_t bylineSize;
    };
    std::vector<char> m_bytes; // the entries read, one after another, and room after them
    std::vector<Entry> m_entries;
    const char* m_bylines = nullptr; // the byline bytes of the names read from
};

class CSearchIndexNames {
public:
    ~CSearchIndexNames();
    CSearchIndexNames(const CSearchIndexNames&) = delete;
    CSearchIndexNames& operator=(const CSearchIndexNames&) = delete;

    // The names the search index open as `fd` keeps, which `header` (its own, checked) says
    // where to find; null when they are damaged or cannot be read or mapped.
    static std::unique_ptr<CSearchIndexNames> Read(int fd, const SearchIndexHeader& header);

    // The records described, from the first.
    std::uint32_t Records() const { return m_nRecords; }
    // The names of the records numbered `numbers` (each less than Records()), in place of what
    // `names` held. False when any of them is damaged. The bylines stay where they are while
    // this lives.
    bool Read(std::span<const std::uint32_t> numbers, RecordNames& names) const;

    // The names of `record` (less than Records()) written at `to` as a line of text shows them:
    // its title, a tab and its byline; where they end, or null when its entry is damaged. It may
    // write over the kNamesRoom bytes there, and borrows the byte before `to`, putting it back:
    // the entry is copied and checked where its title is to stand, and the title stays.
    char* WriteNames(std::uint32_t record, char* to) const;

    // An entry holds at most a length byte, a title of 65 bytes decoded, a byline's number of
    // five bytes and its check; nearly all are no longer than the short size.
    static constexpr std::size_t kLongestEntry = 1 + CodePage::kMostUtf8PerByte * 65 + 5 + 4;
    static constexpr std::size_t kShortEntry = 64;
    // A byline holds three fields of a record decoded and the two tabs between them; nearly all
    // are no longer than the short size.
    static constexpr std::size_t kLongestByline = 3 * CodePage::kMostUtf8PerByte * 17 + 2;
    static constexpr std::size_t kShortByline = 32;
    static constexpr std::size_t kNamesRoom = kLongestEntry + kLongestByline + kShortByline;

private:
    // Where an entry checked lies: its size, its title's, and its byline's place.
    struct CheckedEntry {
        std::size_t size;
        std::size_t titleSize;
        std::uint32_t bylineFrom;
        std::uint32_t bylineTo;
    };

    CSearchIndexNames() = default;
    bool Map(int fd, std::uint64_t namesAt, const SearchIndexNamesParts& parts);
    bool BylinesHold(const SearchIndexHeader& header, const SearchIndexNamesParts& parts) const;
    // A byline from `from` to `to` lies among the byline bytes and holds at least its two tabs.
    bool BylineFits(std::uint32_t from, std::uint32_t to) const {
        return std::uint64_t{from} + 2 <= to && to <= m_nBylineBytes;
    }
    // The entry of `record`, copied to `bytes` at `at` (which then moves past it) and checked;
    // nothing when it is damaged.
    std::optional<RecordNames::Entry> ReadEntry(std::uint32_t record, std::vector<char>& bytes,
                                                std::size_t& at) const;
    // The entry of `record` copied to `entry` (room for kLongestEntry bytes) and checked there;
    // nothing when it is damaged.
    std::optional<CheckedEntry> CopyEntry(std::uint32_t record, char* entry) const;

    // The whole names part is mapped, header first. The header and the bylines are checked
    // against their digest when mapped; every entry is copied out and checked as it is read.
    void* m_map = nullptr;
    std::size_t m_mapSize = 0;
    const char* m_names = nullptr; // where the names start in the mapping
    std::uint32_t m_nRecords = 0;
    std::uint32_t m_nBylines = 0;
    const char* m_bylineOffsets = nullptr; // u32 bylineOffsets[bylines + 1]
    const char* m_bylineBytes = nullptr;
    std::uint32_t m_nBylineBytes = 0;
    const char* m_offsets = nullptr; // u32 entryOffsets[records + 1]
    const char* m_entries = nullptr;
    std::uint32_t m_nEntryBytes = 0;
};

namespace SearchIndexNames {

// The names part of the search index of `records`, ready to be written.
std::string Make(std::span<const PoemRecord> records);
// The digest the header keeps of `names`: of its header and bylines.
std::uint64_t BylinesDigest(std::string_view names);

} // namespace SearchIndexNames
