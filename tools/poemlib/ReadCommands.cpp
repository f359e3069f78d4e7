// The commands that only read a library: info, list, show and page.

#include "library/LibrarySummary.h"
#include "library/PoemNotes.h"
#include "platform/core/CodePage.h"
#include "reading/page/PoemPage.h"
#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"
#include "tools/poemlib/RecordLines.h"

#include <cstring>
#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <utility>

namespace poemlib {

using Json = nlohmann::ordered_json;

int RunInfo(const Args& args) {
    const Arguments arguments(args, {"json"}, {});
    const auto library = OpenLibraryToRead(arguments.Positional(1)[0], Records::unread);
    if (!library) {
        return kFailure;
    }
    if (arguments.Flag("json")) {
        const Json info = {{"name", Utf8(library->GetName())},
                           {"author", Utf8(library->GetAuthor())},
                           {"version", Utf8(library->GetVersion())},
                           {"date", Utf8(library->GetDate())},
                           {"count", library->GetStatedCount()}};
        Print(info.dump() + "\n");
    } else {
        Print(Utf8(LibrarySummary(library.get())) + "\n");
    }
    return kSuccess;
}

int ListLibrary(CPoemLibrary& library, bool json) {
    const std::span<const PoemRecord> records = library.GetRecords();
    if (!library.IsOpen()) {
        return kFailure; // the records could not be read, and the library has said so
    }
    RecordLines lines(json, nullptr);
    constexpr std::uint32_t kPiece = 1024;
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        lines.Add(i + 1, records[i]);
        if ((i + 1) % kPiece == 0) {
            lines.Print();
        }
    }
    lines.Print();
    return kSuccess;
}

int ShowText(CPoemLibrary& library, const std::string& number) {
    const std::span<const PoemRecord> records = library.GetRecords();
    if (!library.IsOpen()) {
        return kFailure;
    }
    const PoemRecord& record =
        records[ParseRecordNumber(number, static_cast<std::uint32_t>(records.size())) - 1];
    CString text;
    library.ReadText(&record, text);
    // Its notes after a blank line, one a line: the whole title first when the record's is cut.
    std::string below;
    for (const CString& line : FindPoemNotes(library, record).Lines()) {
        below += Utf8(line) + "\n";
    }
    Print(Utf8(text) + (below.empty() ? "" : "\n\n" + below));
    return kSuccess;
}

int ShowPage(CPoemLibrary& library, const std::string& number) {
    const std::span<const PoemRecord> records = library.GetRecords();
    if (!library.IsOpen()) {
        return kFailure;
    }
    const PoemRecord& record =
        records[ParseRecordNumber(number, static_cast<std::uint32_t>(records.size())) - 1];
    // What the reader hands its viewer at start-up: the page in the first colours and picture,
    // with LIB's folder as the program folder, then the notes when there are some.
    PageSettings settings;
    settings.programFolder = library.GetFolder();
    Print(Utf8(ComposePoemPage(library, record, settings) +
               ComposePoemNotes(library, record, settings)));
    return kSuccess;
}

int RunList(const Args& args) {
    const Arguments arguments(args, {"json"}, {});
    const auto library = OpenLibraryToRead(arguments.Positional(1)[0]);
    return library ? ListLibrary(*library, arguments.Flag("json")) : kFailure;
}

int RunShow(const Args& args) {
    const Arguments arguments(args, {}, {});
    const auto& positional = arguments.Positional(2);
    const auto library = OpenLibraryToRead(positional[0]);
    return library ? ShowText(*library, positional[1]) : kFailure;
}

int RunPage(const Args& args) {
    const Arguments arguments(args, {}, {});
    const auto& positional = arguments.Positional(2);
    const auto library = OpenLibraryToRead(positional[0]);
    return library ? ShowPage(*library, positional[1]) : kFailure;
}

} // namespace poemlib
