// The commands that only read a library: info, list, search and show.

#include "library/LibrarySummary.h"
#include "platform/core/CodePage.h"
#include "reading/PoemPage.h"
#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"

#include <cstring>
#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <utility>

namespace poemlib {
namespace {

using Json = nlohmann::ordered_json;

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

// The plain line of a record: its number and fields, tab-separated. One buffer serves every
// line, since a search may print hundreds of thousands of them.
void PrintRecordLine(std::uint32_t number, const PoemRecord& record) {
    static std::string line;
    line.assign(std::to_string(number));
    for (const auto& [field, width] : {std::pair{record.title, sizeof record.title},
                                       {record.author, sizeof record.author},
                                       {record.dynasty, sizeof record.dynasty},
                                       {record.form, sizeof record.form}}) {
        line += '\t';
        CodePage::DecodeAppendUtf8(field, width, line);
    }
    line += '\n';
    Print(line);
}

void PrintRecord(std::uint32_t number, const PoemRecord& record, bool json) {
    if (!json) {
        PrintRecordLine(number, record);
        return;
    }
    const Json line = {{"n", number},
                       {"title", FieldText(record.title, sizeof record.title)},
                       {"author", FieldText(record.author, sizeof record.author)},
                       {"dynasty", FieldText(record.dynasty, sizeof record.dynasty)},
                       {"form", FieldText(record.form, sizeof record.form)},
                       {"length", record.length},
                       {"offset", record.offset}};
    Print(line.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n");
}

} // namespace

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
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        PrintRecord(i + 1, records[i], json);
    }
    return kSuccess;
}

int ShowText(CPoemLibrary& library, const std::string& number) {
    const std::span<const PoemRecord> records = library.GetRecords();
    if (!library.IsOpen()) {
        return kFailure;
    }
    CString text;
    library.ReadText(
        &records[ParseRecordNumber(number, static_cast<std::uint32_t>(records.size())) - 1], text);
    Print(Utf8(text));
    return kSuccess;
}

int ShowPage(CPoemLibrary& library, const std::string& number) {
    const std::span<const PoemRecord> records = library.GetRecords();
    if (!library.IsOpen()) {
        return kFailure;
    }
    Print(Utf8(ComposePoemPage(
        library,
        records[ParseRecordNumber(number, static_cast<std::uint32_t>(records.size())) - 1])));
    return kSuccess;
}

int RunList(const Args& args) {
    const Arguments arguments(args, {"json"}, {});
    const auto library = OpenLibraryToRead(arguments.Positional(1)[0]);
    return library ? ListLibrary(*library, arguments.Flag("json")) : kFailure;
}

int RunSearch(const Args& args) {
    const Arguments arguments(args, {"json"}, {});
    const auto& positional = arguments.Positional(3);
    const SelectField field = FieldCode(positional[1]);
    // The records are read as the search needs them: through the search index, only those found.
    const auto library = OpenLibraryToRead(positional[0], Records::unread);
    if (!library) {
        return kFailure;
    }
    const CString keyword = Utf16(positional[2]);
    std::vector<std::uint32_t> numbers;
    const unsigned found = library->Select(keyword.GetString(), field, &numbers);
    for (unsigned k = 0; k < found; ++k) {
        PrintRecord(numbers[k] + 1, library->GetResultBuffer()[k], arguments.Flag("json"));
    }
    return kSuccess;
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
