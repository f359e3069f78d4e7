#include "library/PoemNotes.h"

#include "library/PoemLibrary.h"
#include "platform/core/CFile.h"
#include "platform/core/Checksum.h"
#include "platform/core/CodePage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <system_error>
#include <tuple>
#include <unistd.h>

namespace {

constexpr char kMagic[8] = {'S', 'C', 'N', 'O', 'T', 'E', 'S', '\0'};
constexpr std::uint32_t kVersion = 1;

#pragma pack(push, 1)
struct NotesHeader {
    char magic[8];
    std::uint32_t version;
    std::uint32_t count;
};

struct EntryRecord {
    std::uint32_t offset;
    std::uint32_t length;
    std::uint64_t poemSum;
    std::uint32_t notesAt;
    std::uint32_t notesSize;
    std::uint64_t notesSum;
};
#pragma pack(pop)

static_assert(sizeof(NotesHeader) == 16);
static_assert(sizeof(EntryRecord) == 32);

constexpr std::uint64_t EntryPosition(std::uint64_t index) {
    return sizeof(NotesHeader) + sizeof(EntryRecord) * index;
}

auto KeyOf(std::uint32_t offset, std::uint32_t length, std::uint64_t poemSum) {
    return std::tuple(offset, length, poemSum);
}

auto KeyOf(const EntryRecord& entry) {
    return KeyOf(entry.offset, entry.length, entry.poemSum);
}

auto KeyOf(const NotesEntry& entry) {
    return KeyOf(entry.offset, entry.length, entry.poemSum);
}

std::string_view FieldBytes(const char* field, std::size_t width) {
    return {field, strnlen(field, width)};
}

// The bytes of one poem's notes: its whole title, then each note, every one ended by a zero byte.
std::string NotesBytes(const PoemNotes& notes) {
    std::string bytes = CodePage::Encode(notes.fullTitle.view());
    bytes += '\0';
    for (const CString& note : notes.notes) {
        bytes += CodePage::Encode(note.view());
        bytes += '\0';
    }
    return bytes;
}

// The notes from their bytes, or nothing when they are not what NotesBytes makes.
std::optional<PoemNotes> ParseNotes(std::string_view bytes) {
    if (bytes.empty() || bytes.back() != '\0' ||
        CodePage::ValidPrefix(bytes.data(), bytes.size()) != bytes.size()) {
        return std::nullopt;
    }
    PoemNotes notes;
    bool first = true;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find('\0', start);
        const CString text = CodePage::Decode(bytes.data() + start, end - start);
        if (first) {
            notes.fullTitle = text;
            first = false;
        } else {
            notes.notes.push_back(text);
        }
        start = end + 1;
    }
    return notes;
}

class CNotesReader {
public:
    explicit CNotesReader(const CString& path) : m_bPresent(m_file.Open(path, CFile::modeRead)) {}

    bool IsPresent() const { return m_bPresent; }

    // The header, when it is one this program wrote and the entries it counts are all there.
    std::optional<NotesHeader> Header() {
        NotesHeader header{};
        if (!m_bPresent || m_file.ReadAt(0, &header, sizeof header) < sizeof header ||
            std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != kVersion) {
            return std::nullopt;
        }
        const std::int64_t size = m_file.GetLength();
        if (size < 0 || static_cast<std::uint64_t>(size) < EntryPosition(header.count)) {
            return std::nullopt;
        }
        return header;
    }

    std::optional<EntryRecord> Entry(std::uint32_t index) {
        EntryRecord entry{};
        if (m_file.ReadAt(EntryPosition(index), &entry, sizeof entry) < sizeof entry) {
            return std::nullopt;
        }
        return entry;
    }

    // The notes of an entry, when their bytes are all there and are the ones summed.
    std::optional<PoemNotes> Notes(const EntryRecord& entry) {
        const std::int64_t size = m_file.GetLength();
        if (size < 0 ||
            std::uint64_t{entry.notesAt} + entry.notesSize > static_cast<std::uint64_t>(size)) {
            return std::nullopt; // never more memory than the file could fill
        }
        std::string bytes(entry.notesSize, '\0');
        if (m_file.ReadAt(entry.notesAt, bytes.data(), entry.notesSize) < entry.notesSize ||
            CChecksum::Of(bytes) != entry.notesSum) {
            return std::nullopt;
        }
        return ParseNotes(bytes);
    }

    std::int64_t Size() const { return m_file.GetLength(); }

private:
    CFile m_file;
    bool m_bPresent;
};

// The first entry whose key is not less than `key`, by halving: the entries are in key order.
template <class Key>
std::optional<std::uint32_t> LowerBound(CNotesReader& reader, std::uint32_t count, const Key& key) {
    std::uint32_t low = 0;
    std::uint32_t high = count;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        const auto entry = reader.Entry(middle);
        if (!entry) {
            return std::nullopt;
        }
        if (KeyOf(*entry) < key) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::string Where(const EntryRecord& entry) {
    return "the notes of the text at " + std::to_string(entry.offset) + " (" +
           std::to_string(entry.length) + " bytes)";
}

} // namespace

std::vector<CString> PoemNotes::Lines() const {
    std::vector<CString> lines;
    if (!fullTitle.IsEmpty()) {
        lines.push_back(u"原题：" + fullTitle);
    }
    lines.insert(lines.end(), notes.begin(), notes.end());
    return lines;
}

CString NotesFileName(const CString& indexName) {
    const std::u16string_view name = indexName.view();
    const std::u16string_view base =
        name.ends_with(u".idx") || name.ends_with(u".IDX") ? name.substr(0, name.size() - 4) : name;
    return CString(base) + u".notes";
}

std::uint64_t PoemSum(const PoemRecord& record, std::string_view text) {
    const std::string_view zero("\0", 1);
    return CChecksum()
        .Add(FieldBytes(record.title, sizeof record.title))
        .Add(zero)
        .Add(FieldBytes(record.author, sizeof record.author))
        .Add(zero)
        .Add(text.substr(0, text.find('\0')))
        .Value();
}

PoemNotes FindPoemNotes(const CString& path, const PoemRecord& record, const CString& text) {
    CNotesReader reader(path);
    const auto header = reader.Header();
    if (!header) {
        return {};
    }
    const auto key =
        KeyOf(record.offset, record.length, PoemSum(record, CodePage::Encode(text.view())));
    const auto at = LowerBound(reader, header->count, key);
    if (!at || *at >= header->count) {
        return {};
    }
    const auto entry = reader.Entry(*at);
    if (!entry || KeyOf(*entry) != key) {
        return {};
    }
    return reader.Notes(*entry).value_or(PoemNotes());
}

PoemNotes FindPoemNotes(CPoemLibrary& library, const PoemRecord& record) {
    CString text;
    library.ReadText(&record, text);
    return FindPoemNotes(library.GetFolder() + NotesFileName(library.GetIndexName()), record, text);
}

NotesFileContents ReadNotesFile(const CString& path) {
    NotesFileContents contents;
    CNotesReader reader(path);
    contents.present = reader.IsPresent();
    if (!contents.present) {
        return contents;
    }
    const auto header = reader.Header();
    if (!header) {
        contents.problems.push_back("the notes file does not start with the header of a notes "
                                    "file, or is shorter than the entries it counts");
        return contents;
    }
    std::optional<EntryRecord> previous;
    std::uint64_t expectedAt = EntryPosition(header->count);
    for (std::uint32_t i = 0; i < header->count; ++i) {
        const auto entry = reader.Entry(i);
        if (!entry) {
            contents.problems.push_back("the notes file's entry " + std::to_string(i + 1) +
                                        " cannot be read");
            break;
        }
        if (previous && !(KeyOf(*previous) < KeyOf(*entry))) {
            contents.problems.push_back(Where(*entry) + " are out of order");
        }
        if (entry->notesAt != expectedAt) {
            contents.problems.push_back(Where(*entry) + " do not follow the notes before them");
        }
        expectedAt = std::uint64_t{entry->notesAt} + entry->notesSize;
        previous = entry;
        const auto notes = reader.Notes(*entry);
        if (!notes) {
            contents.problems.push_back(Where(*entry) + " are damaged (checksum " +
                                        Hex(entry->notesSum) + ")");
            continue;
        }
        contents.entries.push_back({entry->offset, entry->length, entry->poemSum, *notes});
    }
    const std::int64_t size = reader.Size();
    if (contents.problems.empty() && size >= 0 && static_cast<std::uint64_t>(size) != expectedAt) {
        contents.problems.push_back("the notes file holds " + std::to_string(size) +
                                    " bytes where its entries end at " +
                                    std::to_string(expectedAt));
    }
    return contents;
}

void CNotesWriter::Add(const PoemRecord& record, std::string_view text, const PoemNotes& notes) {
    if (!notes.IsEmpty()) {
        m_entries.push_back({record.offset, record.length, PoemSum(record, text), notes});
    }
}

void CNotesWriter::Add(const PoemRecord& record, const CString& text, const PoemNotes& notes) {
    Add(record, std::string_view(CodePage::Encode(text.view())), notes);
}

void CNotesWriter::Add(NotesEntry entry) {
    if (!entry.notes.IsEmpty()) {
        m_entries.push_back(std::move(entry));
    }
}

bool CNotesWriter::Compose(std::string& bytes, std::string& error) const {
    std::vector<const NotesEntry*> sorted;
    for (const NotesEntry& entry : m_entries) {
        sorted.push_back(&entry);
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto* a, const auto* b) { return KeyOf(*a) < KeyOf(*b); });
    // One poem's notes once: a later entry of the same key gives way to the first.
    sorted.erase(std::unique(sorted.begin(), sorted.end(),
                             [](const auto* a, const auto* b) { return KeyOf(*a) == KeyOf(*b); }),
                 sorted.end());

    const NotesHeader header{{'S', 'C', 'N', 'O', 'T', 'E', 'S', '\0'},
                             kVersion,
                             static_cast<std::uint32_t>(sorted.size())};
    std::string table;
    std::string notes;
    const std::uint64_t start = EntryPosition(sorted.size());
    for (const NotesEntry* entry : sorted) {
        const std::string entryNotes = NotesBytes(entry->notes);
        if (start + notes.size() + entryNotes.size() > UINT32_MAX) {
            error = "the notes are too many for one notes file";
            return false;
        }
        const EntryRecord record{entry->offset,
                                 entry->length,
                                 entry->poemSum,
                                 static_cast<std::uint32_t>(start + notes.size()),
                                 static_cast<std::uint32_t>(entryNotes.size()),
                                 CChecksum::Of(entryNotes)};
        table.append(reinterpret_cast<const char*>(&record), sizeof record);
        notes += entryNotes;
    }
    bytes.assign(reinterpret_cast<const char*>(&header), sizeof header);
    bytes += table;
    bytes += notes;
    return true;
}

bool CNotesWriter::Write(const std::filesystem::path& path, std::string& error) const {
    std::error_code removed;
    if (m_entries.empty()) {
        std::filesystem::remove(path, removed);
        if (removed) {
            error = "cannot remove " + path.string() + ": " + removed.message();
        }
        return !removed;
    }
    std::string bytes;
    if (!Compose(bytes, error)) {
        return false;
    }
    const std::filesystem::path temporary =
        path.parent_path() /
        ("." + path.filename().string() + ".new-" + std::to_string(::getpid()));
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << bytes;
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(temporary, removed);
            error = "cannot write " + temporary.string();
            return false;
        }
    }
    std::error_code renamed;
    std::filesystem::rename(temporary, path, renamed);
    if (renamed) {
        std::filesystem::remove(temporary, removed);
        error = "cannot rename " + temporary.string() + " to " + path.string() + ": " +
                renamed.message();
        return false;
    }
    return true;
}
