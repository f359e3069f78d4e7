#include "tools/poemlib/RecordLines.h"

#include "platform/core/CodePage.h"
#include "tools/poemlib/Cli.h"

#include <charconv>
#include <nlohmann/json.hpp>
#include <utility>

namespace poemlib {
namespace {

using Json = nlohmann::ordered_json;

// The plain line of a record. One buffer serves every line, since a search may print hundreds
// of thousands of them.
void PrintRecordLine(std::uint32_t number, const PoemRecord& record, const LibraryLabel* library) {
    static std::string line;
    line.clear();
    if (library != nullptr) {
        line.append(library->name).append(1, '\t');
    }
    char digits[16];
    line.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
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

} // namespace

void PrintRecord(std::uint32_t number, const PoemRecord& record, bool json,
                 const LibraryLabel* library) {
    if (!json) {
        PrintRecordLine(number, record, library);
        return;
    }
    Json line = Json::object();
    if (library != nullptr) {
        line["library"] = library->name;
        line["lib"] = library->path;
    }
    line["n"] = number;
    line["title"] = FieldText(record.title, sizeof record.title);
    line["author"] = FieldText(record.author, sizeof record.author);
    line["dynasty"] = FieldText(record.dynasty, sizeof record.dynasty);
    line["form"] = FieldText(record.form, sizeof record.form);
    line["length"] = record.length;
    line["offset"] = record.offset;
    Print(line.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n");
}

} // namespace poemlib
