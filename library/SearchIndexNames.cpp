#include "library/SearchIndexNames.h"

#include "library/ContentDigest.h"
#include "library/FileReads.h"
#include "platform/core/CodePage.h"
#include "platform/core/MappedRead.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <sys/mman.h>
#include <unistd.h>
#include <unordered_map>

namespace {

std::uint32_t U32At(const char* bytes) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// The UTF-8 of a field of the index file.
std::string_view Utf8Of(const char* field, std::size_t width, std::string& out) {
    out.resize(CodePage::kMostUtf8PerByte * width);
    out.resize(
        static_cast<std::size_t>(CodePage::DecodeUtf8(field, width, out.data()) - out.data()));
    return out;
}

// The byline's number that `bytes` hold, all of them; nothing when they hold another length.
[[gnu::always_inline]] inline std::optional<std::uint32_t> BylineNumber(std::string_view bytes) {
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < bytes.size() && i < 5; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        number |= std::uint32_t{byte & 0x7Fu} << (7 * i);
        if ((byte & 0x80) == 0) {
            return i + 1 == bytes.size() ? std::optional(number) : std::nullopt;
        }
    }
    return std::nullopt;
}

template <class Value> void PutValue(std::string& out, Value value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void PutNumber(std::string& out, std::uint32_t n) {
    for (; n >= 0x80; n >>= 7) {
        out += static_cast<char>((n & 0x7F) | 0x80);
    }
    out += static_cast<char>(n);
}

} // namespace

CSearchIndexNames::~CSearchIndexNames() {
    if (m_map != nullptr) {
        MappedRead::StopKeeping(m_map);
        ::munmap(m_map, m_mapSize);
    }
}

std::unique_ptr<CSearchIndexNames> CSearchIndexNames::Read(int fd,
                                                           const SearchIndexHeader& header) {
    SearchIndexNamesParts parts{};
    if (header.namesSize < sizeof parts.header ||
        !ReadWholeAt(fd, header.namesAt, &parts.header, sizeof parts.header) ||
        parts.header.records != header.records || parts.Size() != header.namesSize) {
        return nullptr;
    }
    std::unique_ptr<CSearchIndexNames> names(new CSearchIndexNames());
    if (!names->Map(fd, header.namesAt, parts) || !names->BylinesHold(header, parts)) {
        return nullptr;
    }
    return names;
}

// Mapped rather than read: the file's pages are in memory already, where a copy would take as
// many pages again, each to be found and cleared.
bool CSearchIndexNames::Map(int fd, std::uint64_t namesAt, const SearchIndexNamesParts& parts) {
    const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    const std::uint64_t from = namesAt / page * page;
    const auto size = static_cast<std::size_t>(namesAt + parts.Size() - from);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, static_cast<off_t>(from));
    if (map == MAP_FAILED) {
        return false;
    }
    if (!MappedRead::KeepReadable(map, size)) {
        ::munmap(map, size);
        return false;
    }
    m_map = map;
    m_mapSize = size;
    m_names = static_cast<const char*>(map) + (namesAt - from);
    m_nRecords = parts.header.records;
    m_nBylines = parts.header.bylines;
    m_bylineOffsets = m_names + parts.BylineOffsetsAt();
    m_bylineBytes = m_names + parts.BylineBytesAt();
    m_nBylineBytes = parts.header.bylineBytes;
    m_offsets = m_names + parts.EntryOffsetsAt();
    m_entries = m_names + parts.EntriesAt();
    m_nEntryBytes = parts.header.entryBytes;
    return true;
}

// The header and the bylines are those the digest was taken of, and each byline lies among the
// byline bytes, after the one before it.
bool CSearchIndexNames::BylinesHold(const SearchIndexHeader& header,
                                    const SearchIndexNamesParts& parts) const {
    if (DigestOf({m_names, static_cast<std::size_t>(parts.EntryOffsetsAt())}) !=
        header.namesDigest) {
        return false;
    }
    std::uint32_t from = U32At(m_bylineOffsets);
    if (from != 0) {
        return false;
    }
    for (std::size_t i = 1; i <= m_nBylines; ++i) {
        const std::uint32_t to = U32At(m_bylineOffsets + 4 * i);
        if (!BylineFits(from, to)) {
            return false;
        }
        from = to;
    }
    return from == m_nBylineBytes;
}

bool CSearchIndexNames::Read(std::span<const std::uint32_t> numbers, RecordNames& names) const {
    names.m_entries.resize(numbers.size());
    names.m_bylines = m_bylineBytes;
    // Room for entries of the usual size at once, where growing by doubling would take twice the
    // memory; a longer one makes more as it comes.
    const std::size_t room = numbers.size() * kShortEntry / 2 + kLongestEntry;
    if (names.m_bytes.size() < room) {
        names.m_bytes.resize(room);
    }
    std::size_t at = 0; // where the next entry goes in names.m_bytes
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        const std::optional<RecordNames::Entry> entry = ReadEntry(numbers[k], names.m_bytes, at);
        if (!entry) {
            names.m_entries.clear();
            return false;
        }
        names.m_entries[k] = *entry;
    }
    return true;
}

// Inlined where entries are read: tens of thousands are read in a row, and the call would cost
// a tenth.
[[gnu::always_inline]] inline std::optional<CSearchIndexNames::CheckedEntry>
CSearchIndexNames::CopyEntry(std::uint32_t record, char* entry) const {
    if (record >= m_nRecords) {
        return std::nullopt;
    }
    const std::uint32_t from = U32At(m_offsets + 4 * std::size_t{record});
    const std::uint32_t to = U32At(m_offsets + 4 * (std::size_t{record} + 1));
    if (from >= to || to > m_nEntryBytes || to - from > kLongestEntry) {
        return std::nullopt;
    }
    // Copied out first: what is checked is what is kept, whatever the file does meanwhile.
    const std::size_t size = to - from;
    // Nearly every entry is short: a copy of a fixed size is the quicker, and what it takes
    // beyond the entry is written over after it.
    if (size <= kShortEntry && from + kShortEntry <= m_nEntryBytes) {
        std::memcpy(entry, m_entries + from, kShortEntry);
    } else {
        std::memcpy(entry, m_entries + from, size);
    }
    const std::size_t titleSize = static_cast<unsigned char>(entry[0]);
    if (size < 1 + titleSize + 1 + 4 ||
        U32At(entry + size - 4) != ShortDigestOf(record, {entry, size - 4})) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> byline =
        BylineNumber({entry + 1 + titleSize, size - 4 - (1 + titleSize)});
    if (!byline || *byline >= m_nBylines) {
        return std::nullopt;
    }
    // Checked when mapped, but read where the file may since have changed (a file cut short
    // reads as zeros): still inside, and holding at least its two tabs.
    const std::uint32_t bylineFrom = U32At(m_bylineOffsets + 4 * std::size_t{*byline});
    const std::uint32_t bylineTo = U32At(m_bylineOffsets + 4 * (std::size_t{*byline} + 1));
    if (!BylineFits(bylineFrom, bylineTo)) {
        return std::nullopt;
    }
    return CheckedEntry{size, titleSize, bylineFrom, bylineTo};
}

[[gnu::always_inline]] inline std::optional<RecordNames::Entry>
CSearchIndexNames::ReadEntry(std::uint32_t record, std::vector<char>& bytes,
                             std::size_t& at) const {
    if (bytes.size() - at < kLongestEntry) {
        bytes.resize(2 * bytes.size() + kLongestEntry);
    }
    const std::optional<CheckedEntry> entry = CopyEntry(record, bytes.data() + at);
    if (!entry) {
        return std::nullopt;
    }
    const RecordNames::Entry read{static_cast<std::uint32_t>(at + 1),
                                  static_cast<std::uint32_t>(entry->titleSize), entry->bylineFrom,
                                  entry->bylineTo - entry->bylineFrom};
    at += entry->size;
    return read;
}

char* CSearchIndexNames::WriteNames(std::uint32_t record, char* to) const {
    // The entry's length byte falls on the borrowed byte, its title where the title goes.
    char* const entry = to - 1;
    const char borrowed = *entry;
    const std::optional<CheckedEntry> checked = CopyEntry(record, entry);
    *entry = borrowed;
    if (!checked || checked->bylineTo - checked->bylineFrom > kLongestByline) {
        return nullptr;
    }
    char* at = to + checked->titleSize;
    *at++ = '\t';
    const std::size_t bylineSize = checked->bylineTo - checked->bylineFrom;
    const char* const byline = m_bylineBytes + checked->bylineFrom;
    // Nearly every byline is short: a copy of a fixed size is the quicker where the bytes
    // allow it, and what it takes beyond the byline is the room's to spare.
    if (bylineSize <= kShortByline && checked->bylineFrom + kShortByline <= m_nBylineBytes) {
        std::memcpy(at, byline, kShortByline);
    } else {
        std::memcpy(at, byline, bylineSize);
    }
    return at + bylineSize;
}

namespace SearchIndexNames {

std::string Make(std::span<const PoemRecord> records) {
    // Each record's byline, numbered by how many records have it, the most first: the number
    // then takes one byte for most records.
    std::unordered_map<std::string, std::uint32_t> seen;
    std::vector<std::pair<std::string, std::uint32_t>> bylines; // the byline, its records
    std::vector<std::uint32_t> bylineOf(records.size());
    std::string field;
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::string byline(Utf8Of(records[i].author, sizeof records[i].author, field));
        byline += '\t';
        byline += Utf8Of(records[i].dynasty, sizeof records[i].dynasty, field);
        byline += '\t';
        byline += Utf8Of(records[i].form, sizeof records[i].form, field);
        const auto [it, added] =
            seen.try_emplace(byline, static_cast<std::uint32_t>(bylines.size()));
        if (added) {
            bylines.emplace_back(std::move(byline), 0);
        }
        ++bylines[it->second].second;
        bylineOf[i] = it->second;
    }
    std::vector<std::uint32_t> order(bylines.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return bylines[a].second > bylines[b].second;
    });
    std::vector<std::uint32_t> numberOf(bylines.size());
    std::string bylineBytes;
    std::string bylineOffsets;
    for (std::uint32_t n = 0; n < order.size(); ++n) {
        numberOf[order[n]] = n;
        PutValue(bylineOffsets, static_cast<std::uint32_t>(bylineBytes.size()));
        bylineBytes += bylines[order[n]].first;
    }
    PutValue(bylineOffsets, static_cast<std::uint32_t>(bylineBytes.size()));

    std::string entries;
    std::string entryOffsets;
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        const std::size_t start = entries.size();
        PutValue(entryOffsets, static_cast<std::uint32_t>(start));
        const std::string_view title = Utf8Of(records[i].title, sizeof records[i].title, field);
        entries += static_cast<char>(title.size()); // at most 195
        entries += title;
        PutNumber(entries, numberOf[bylineOf[i]]);
        PutValue(entries, ShortDigestOf(i, std::string_view(entries).substr(start)));
    }
    PutValue(entryOffsets, static_cast<std::uint32_t>(entries.size()));

    const SearchIndexNamesHeader header{
        static_cast<std::uint32_t>(bylines.size()), static_cast<std::uint32_t>(records.size()),
        static_cast<std::uint32_t>(bylineBytes.size()), static_cast<std::uint32_t>(entries.size())};
    std::string names;
    PutValue(names, header);
    names += bylineOffsets;
    names += bylineBytes;
    names += entryOffsets;
    names += entries;
    return names;
}

std::uint64_t BylinesDigest(std::string_view names) {
    SearchIndexNamesParts parts{};
    std::memcpy(&parts.header, names.data(), sizeof parts.header);
    return DigestOf(names.substr(0, static_cast<std::size_t>(parts.EntryOffsetsAt())));
}

} // namespace SearchIndexNames
