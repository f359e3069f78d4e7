// poemlib search: the records whose field holds a keyword, in one library, in several, or in
// every library of a folder (a program folder, say), each line then saying which library.

#include "library/PoemLibrary.h"
#include "library/SearchIndexNames.h"
#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"
#include "tools/poemlib/RecordLines.h"

#include <algorithm>
#include <filesystem>
#include <span>
#include <system_error>

namespace poemlib {
namespace {

namespace fs = std::filesystem;

// The records are read and printed this many at a time.
constexpr std::size_t kPiece = 2048;
// From this many on, the names the search index keeps are worth reading.
constexpr std::size_t kManyLines = kPiece;

struct FieldName {
    const char* name;
    SelectField code;
};
constexpr FieldName kFields[] = {
    {"title", SEL_TITLE}, {"author", SEL_AUTHOR}, {"dynasty", SEL_DYNASTY},
    {"form", SEL_FORM},   {"text", SEL_FULLTEXT},
};

SelectField FieldCode(const std::string& name) {
    for (const auto& field : kFields) {
        if (name == field.name) {
            return field.code;
        }
    }
    throw UsageError{"FIELD must be title, author, dynasty, form or text: " + name};
}

// The index files of the libraries named: a LIB as it is, a folder as every .idx in it, in the
// order of their names. False, after saying so, for a folder that cannot be read or holds none.
bool LibrariesOf(const std::string& target, std::vector<std::string>& libraries) {
    std::error_code error;
    if (!fs::is_directory(target, error)) {
        ParseLibraryPath(target); // a LIB, or wrong usage
        libraries.push_back(target);
        return true;
    }
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(target, error)) {
        std::error_code type;
        if (entry.path().extension() == ".idx" && entry.is_regular_file(type)) {
            found.push_back(entry.path().string());
        }
    }
    if (error) {
        PrintError("poemlib: cannot read the folder " + target + ": " + error.message());
        return false;
    }
    if (found.empty()) {
        PrintError("poemlib: the folder " + target + " holds no library");
        return false;
    }
    std::sort(found.begin(), found.end());
    libraries.insert(libraries.end(), found.begin(), found.end());
    return true;
}

// Prints what one library holds; false when it cannot be searched (the reason said).
bool SearchLibrary(const std::string& lib, SelectField field, const CString& keyword, bool json,
                   bool labelled) {
    // The records are read as the search needs them: through the search index, only those found,
    // and a piece at a time, as they are printed.
    const auto library = OpenLibraryToRead(lib, Records::unread);
    if (!library) {
        return false;
    }
    const std::vector<std::uint32_t> places = library->Find(keyword.GetString(), field);
    if (!library->IsUsable()) {
        return false; // its records could not be read, and it has said so
    }
    const LibraryLabel label{Utf8(library->GetName()), lib};
    RecordLines lines(json, labelled ? &label : nullptr);
    // Many plain lines come from the names the search index keeps, where it serves them.
    const bool named = !json && places.size() >= kManyLines;
    std::vector<PoemRecord> records;
    for (std::size_t start = 0; start < places.size(); start += kPiece) {
        const auto piece =
            std::span(places).subspan(start, std::min(kPiece, places.size() - start));
        // Asked for each piece: reading records may have put the index's names away.
        const CSearchIndexNames* names = named ? library->SearchNames() : nullptr;
        if (names == nullptr || !lines.AddNamed(piece, *names)) {
            records.resize(piece.size());
            if (!library->ReadRecords(piece, records.data())) {
                return false;
            }
            for (std::size_t k = 0; k < piece.size(); ++k) {
                lines.Add(piece[k] + 1, records[k]);
            }
        }
        lines.Print();
    }
    return true;
}

} // namespace

int RunSearch(const Args& args) {
    const Arguments arguments(args, {"json"}, {});
    const auto& positional = arguments.Positional();
    if (positional.size() < 3) {
        throw UsageError{"expected LIB (or a folder), FIELD and KEYWORD"};
    }
    const SelectField field = FieldCode(positional[positional.size() - 2]);
    const CString keyword = Utf16(positional.back());
    const std::vector<std::string> targets(positional.begin(), positional.end() - 2);
    std::vector<std::string> libraries;
    bool complete = true;
    for (const std::string& target : targets) {
        complete = LibrariesOf(target, libraries) && complete;
    }
    // One LIB prints as it always did; several, or a folder, say which library each line is of.
    const bool labelled =
        targets.size() > 1 || libraries.size() != 1 || fs::is_directory(targets.front());
    for (const std::string& lib : libraries) {
        complete = SearchLibrary(lib, field, keyword, arguments.Flag("json"), labelled) && complete;
    }
    return complete ? kSuccess : kFailure;
}

} // namespace poemlib
