// poemlib check: reads the two files as they are, without opening the library the way the
// reader does, and reports every problem it finds.

#include "library/LibraryFormat.h"
#include "library/PoemNotes.h"
#include "platform/core/CFile.h"
#include "platform/core/CodePage.h"
#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"
#include "tools/poemlib/SearchIndexCheck.h"

#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace poemlib {
namespace {

struct Problem {
    std::optional<std::uint32_t> record; // 1-based; none for the files as a whole
    std::string text;
};

class Checker {
public:
    explicit Checker(const LibraryPath& path) : m_path(path) {}

    std::vector<Problem> Run();

private:
    void Report(std::optional<std::uint32_t> record, std::string text) {
        m_problems.push_back({record, std::move(text)});
    }
    bool CheckHeader(CFile& index, LibraryHeader& header);
    void CheckField(std::optional<std::uint32_t> record, const char* name, const char* field,
                    std::size_t width);
    void CheckText(std::uint32_t number, const PoemRecord& record, CFile& data,
                   std::int64_t dataSize);
    void ReadNotes();
    void CheckNotesBelong();

    using NotesKey = std::tuple<std::uint32_t, std::uint32_t, std::uint64_t>;

    LibraryPath m_path;
    std::vector<Problem> m_problems;
    // The notes file's entries, each marked once a poem of the library is theirs.
    std::map<NotesKey, bool> m_notes;
};

std::string FileError(const CFileException& error) {
    return Utf8(error.GetErrorMessage());
}

bool Checker::CheckHeader(CFile& index, LibraryHeader& header) {
    if (index.Read(&header, kHeaderSize) < kHeaderSize) {
        Report(std::nullopt, "the index file is shorter than its 292-byte header");
        return false;
    }
    if (!HasSignature(header)) {
        Report(std::nullopt, "the index file does not start with the signature \"SC\"");
        return false;
    }
    if (header.magic[0] != 'S' || header.magic[1] != 'C') {
        Report(std::nullopt, "the signature is only half there (accepted, but not \"SC\")");
    }
    CheckField(std::nullopt, "library name", header.name, sizeof header.name);
    CheckField(std::nullopt, "library author", header.author, sizeof header.author);
    const std::int64_t size = index.GetLength();
    const std::uint64_t expected = RecordPosition(header.count);
    if (size >= 0 && static_cast<std::uint64_t>(size) < expected) {
        Report(std::nullopt, "the header counts " + std::to_string(header.count) +
                                 " records but the index file holds only " +
                                 std::to_string((size - kHeaderSize) / kRecordSize));
        return false;
    }
    if (size >= 0 && static_cast<std::uint64_t>(size) > expected) {
        Report(std::nullopt, std::to_string(size - static_cast<std::int64_t>(expected)) +
                                 " stray bytes follow the last record");
    }
    return true;
}

void Checker::CheckField(std::optional<std::uint32_t> record, const char* name, const char* field,
                         std::size_t width) {
    const void* zero = std::memchr(field, 0, width);
    if (zero == nullptr) {
        Report(record, std::string(name) + " has no zero byte inside its " + std::to_string(width) +
                           " bytes");
    }
    const std::size_t length =
        zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : width;
    const std::size_t valid = CodePage::ValidPrefix(field, length);
    if (valid < length) {
        Report(record, std::string(name) + " holds bytes that are not valid code page 936 at " +
                           "byte " + std::to_string(valid));
    }
}

void Checker::CheckText(std::uint32_t number, const PoemRecord& record, CFile& data,
                        std::int64_t dataSize) {
    const std::uint64_t end = std::uint64_t{record.offset} + record.length;
    if (static_cast<std::uint64_t>(dataSize) < end) {
        Report(number, "text at " + std::to_string(record.offset) + " of " +
                           std::to_string(record.length) + " bytes runs past the end of the " +
                           "data file (" + std::to_string(dataSize) + " bytes)");
        return;
    }
    std::string bytes(record.length, '\0');
    bytes.resize(data.ReadAt(record.offset, bytes.data(), record.length));
    const std::size_t length = std::min(bytes.size(), std::strlen(bytes.c_str()));
    const std::size_t valid = CodePage::ValidPrefix(bytes.data(), length);
    if (valid < length) {
        Report(number, "text holds bytes that are not valid code page 936 at byte " +
                           std::to_string(valid));
    }
    if (const auto it = m_notes.find(
            NotesKey(record.offset, record.length, PoemSum(record, bytes.substr(0, length))));
        it != m_notes.end()) {
        it->second = true;
    }
}

// The notes file beside the library, when there is one: sound, and every entry a poem's.
void Checker::ReadNotes() {
    const std::string name = Utf8(NotesFileName(Utf16(m_path.indexName)));
    const NotesFileContents contents = ReadNotesFile(Utf16(m_path.folder + name));
    for (const std::string& problem : contents.problems) {
        Report(std::nullopt, name + ": " + problem);
    }
    for (const NotesEntry& entry : contents.entries) {
        m_notes.emplace(NotesKey(entry.offset, entry.length, entry.poemSum), false);
    }
}

void Checker::CheckNotesBelong() {
    const std::string name = Utf8(NotesFileName(Utf16(m_path.indexName)));
    for (const auto& [key, belongs] : m_notes) {
        if (!belongs) {
            Report(std::nullopt, name + ": the notes of the text at " +
                                     std::to_string(std::get<0>(key)) + " (" +
                                     std::to_string(std::get<1>(key)) +
                                     " bytes) are no poem's: its record or text is not the one "
                                     "they were written for");
        }
    }
}

std::vector<Problem> Checker::Run() {
    CFile index;
    CFileException error;
    if (!index.Open(Utf16(m_path.folder + m_path.indexName), CFile::modeRead, &error)) {
        Report(std::nullopt, FileError(error));
        return m_problems;
    }
    LibraryHeader header{};
    if (!CheckHeader(index, header)) {
        return m_problems;
    }
    CFile data;
    const bool haveData =
        data.Open(Utf16(m_path.folder + m_path.dataName), CFile::modeRead, &error);
    if (!haveData) {
        Report(std::nullopt, FileError(error));
    }
    const std::int64_t dataSize = haveData ? data.GetLength() : 0;
    ReadNotes();
    PoemRecord record{};
    for (std::uint32_t i = 0; i < header.count; ++i) {
        if (index.Read(&record, kRecordSize) < kRecordSize) {
            Report(i + 1, "the record cannot be read");
            break;
        }
        const std::uint32_t number = i + 1;
        CheckField(number, "title", record.title, sizeof record.title);
        CheckField(number, "author", record.author, sizeof record.author);
        CheckField(number, "dynasty", record.dynasty, sizeof record.dynasty);
        CheckField(number, "form", record.form, sizeof record.form);
        if (haveData) {
            CheckText(number, record, data, dataSize);
        }
    }
    if (haveData) {
        CheckNotesBelong();
    }
    // The search index is looked at only beside sound files: one of damaged files is beside
    // the point until they are mended (and then made again).
    if (m_problems.empty()) {
        for (std::string& problem : SearchIndexProblems(m_path)) {
            Report(std::nullopt, std::move(problem));
        }
    }
    return m_problems;
}

} // namespace

int RunCheck(const Args& args) {
    const Arguments arguments(args, {"json"}, {});
    const LibraryPath path = ParseLibraryPath(arguments.Positional(1)[0]);
    const std::vector<Problem> problems = Checker(path).Run();
    for (const Problem& problem : problems) {
        if (arguments.Flag("json")) {
            nlohmann::ordered_json line = {{"record", nullptr}, {"problem", problem.text}};
            if (problem.record) {
                line["record"] = *problem.record;
            }
            Print(line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
                  "\n");
        } else {
            Print((problem.record ? "record " + std::to_string(*problem.record) + ": " : "") +
                  problem.text + "\n");
        }
    }
    return problems.empty() ? kSuccess : kFailure;
}

} // namespace poemlib
