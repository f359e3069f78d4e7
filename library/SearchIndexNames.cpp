#include "library/SearchIndexNames.h"

#include "library/ContentDigest.h"
#include "library/FileReads.h"
#include "platform/core/CodePage.h"
#include "platform/core/MappedRead.h"

#include <algorithm>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <unordered_map>

namespace {

// An entry holds at most a length byte, a title of 65 bytes decoded, a byline's number of five
// bytes and its check.
constexpr std::size_t kLongestEntry = 1 + CodePage::kMostUtf8PerByte * 65 + 5 + 4;

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
    names->m_nRecords = parts.header.records;
    if (!names->ReadBylines(fd, header, parts) ||
        !names->MapEntries(fd, header.namesAt + parts.EntryOffsetsAt(), parts)) {
        return nullptr;
    }
    return names;
}

bool CSearchIndexNames::ReadBylines(int fd, const SearchIndexHeader& header,
                                    const SearchIndexNamesParts& parts) {
    m_bylines.resize(static_cast<std::size_t>(parts.EntryOffsetsAt()));
    if (!ReadWholeAt(fd, header.namesAt, m_bylines.data(), m_bylines.size()) ||
        DigestOf(m_bylines) != header.namesDigest) {
        return false;
    }
    m_nBylines = parts.header.bylines;
    m_bylineOffsetsAt = static_cast<std::size_t>(parts.BylineOffsetsAt());
    m_bylineBytesAt = static_cast<std::size_t>(parts.BylineBytesAt());
    // Increasing from the first byline's bytes to the end: each one lies among them.
    const std::size_t bytes = m_bylines.size() - m_bylineBytesAt;
    std::uint32_t from = U32At(m_bylines.data() + m_bylineOffsetsAt);
    if (from != 0) {
        return false;
    }
    for (std::size_t i = 1; i <= m_nBylines; ++i) {
        const std::uint32_t to = U32At(m_bylines.data() + m_bylineOffsetsAt + 4 * i);
        if (to < from || to > bytes) {
            return false;
        }
        from = to;
    }
    return from == bytes;
}

bool CSearchIndexNames::MapEntries(int fd, std::uint64_t offsetsAt,
                                   const SearchIndexNamesParts& parts) {
    const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    const std::uint64_t from = offsetsAt / page * page;
    const std::uint64_t size = offsetsAt + (parts.Size() - parts.EntryOffsetsAt()) - from;
    void* map = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd,
                       static_cast<off_t>(from));
    if (map == MAP_FAILED) {
        return false;
    }
    if (!MappedRead::KeepReadable(map, static_cast<std::size_t>(size))) {
        ::munmap(map, static_cast<std::size_t>(size));
        return false;
    }
    m_map = map;
    m_mapSize = static_cast<std::size_t>(size);
    m_offsets = static_cast<const char*>(map) + (offsetsAt - from);
    m_entries = m_offsets + 4 * (std::uint64_t{parts.header.records} + 1);
    m_nEntryBytes = parts.header.entryBytes;
    return true;
}

bool CSearchIndexNames::Read(std::span<const std::uint32_t> numbers, RecordNames& names) const {
    names.m_bytes.clear();
    names.m_entries.clear();
    names.m_bylines = &m_bylines;
    names.m_bytes.reserve(numbers.size() * 32);
    names.m_entries.reserve(numbers.size());
    for (const std::uint32_t record : numbers) {
        if (record >= m_nRecords) {
            return false;
        }
        const std::uint32_t from = U32At(m_offsets + 4 * std::size_t{record});
        const std::uint32_t to = U32At(m_offsets + 4 * (std::size_t{record} + 1));
        if (from >= to || to > m_nEntryBytes || to - from > kLongestEntry) {
            return false;
        }
        // Copied out first: what is checked is what is kept, whatever the file does meanwhile.
        const std::size_t at = names.m_bytes.size();
        names.m_bytes.append(m_entries + from, to - from);
        const char* entry = names.m_bytes.data() + at;
        const std::size_t size = to - from;
        const std::size_t titleSize = static_cast<unsigned char>(entry[0]);
        if (size < 1 + titleSize + 1 + 4 ||
            U32At(entry + size - 4) != ShortDigestOf(record, {entry, size - 4})) {
            return false;
        }
        std::uint32_t byline = 0;
        std::size_t i = 1 + titleSize;
        for (int shift = 0;; shift += 7) {
            if (i == size - 4 || shift > 28) {
                return false;
            }
            const auto byte = static_cast<unsigned char>(entry[i++]);
            byline |= std::uint32_t{byte & 0x7Fu} << shift;
            if ((byte & 0x80) == 0) {
                break;
            }
        }
        if (i != size - 4 || byline >= m_nBylines) {
            return false;
        }
        const char* bylineOffset = m_bylines.data() + m_bylineOffsetsAt + 4 * std::size_t{byline};
        const std::uint32_t bylineFrom = U32At(bylineOffset);
        names.m_entries.push_back({static_cast<std::uint32_t>(at + 1),
                                   static_cast<std::uint32_t>(titleSize),
                                   static_cast<std::uint32_t>(m_bylineBytesAt + bylineFrom),
                                   U32At(bylineOffset + 4) - bylineFrom});
    }
    return true;
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
