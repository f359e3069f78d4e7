// poemlib import and export: poems in and out of a library as JSON in the layouts of the open
// "chinese-poetry" collection, and as plain text for reading.

#include "library/PoemEntry.h"
#include "platform/core/CodePage.h"
#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"
#include "tools/poemlib/Prepare.h"
#include "tools/poemlib/Progress.h"
#include "tools/poemlib/SearchIndexRenewal.h"
#include "tools/poemlib/Simplifier.h"
#include "tools/poemlib/SourcePoems.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <tuple>
#include <unordered_set>

namespace poemlib {
namespace {

using Json = nlohmann::json;

bool ReadJson(const std::string& file, Json& document) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        PrintError("poemlib import: cannot read " + file);
        return false;
    }
    document = Json::parse(in, nullptr, false);
    if (document.is_discarded()) {
        PrintError("poemlib import: " + file + " is not valid JSON");
        return false;
    }
    return true;
}

// The poems of every file, in the order given, with the defaults filled in. False when a file
// cannot be read: an import is all or nothing about its sources.
bool ReadSources(const std::vector<std::string>& files, const SourcePoem& defaults,
                 const std::map<std::string, std::string>& dynastyOf,
                 std::vector<SourcePoem>& poems) {
    for (const std::string& file : files) {
        Json document;
        if (!ReadJson(file, document)) {
            return false;
        }
        for (SourcePoem& poem : PoemsOf(document)) {
            if (const auto it = dynastyOf.find(poem.author);
                it != dynastyOf.end() && poem.dynasty.empty()) {
                poem.dynasty = it->second;
            }
            for (auto [field, fallback] : {std::pair{&poem.dynasty, &defaults.dynasty},
                                           std::pair{&poem.form, &defaults.form},
                                           std::pair{&poem.author, &defaults.author}}) {
                if (field->empty()) {
                    *field = *fallback;
                }
            }
            poems.push_back(std::move(poem));
        }
    }
    return true;
}

// Same title, author and text, byte for byte: a poem the library already has.
std::string DuplicateKey(const PoemRecord& record, const std::string& text) {
    std::string key(record.title, strnlen(record.title, sizeof record.title));
    key += '\0';
    key.append(record.author, strnlen(record.author, sizeof record.author));
    key += '\0';
    return key + text;
}

std::unordered_set<std::string> KeysOf(CPoemLibrary& library) {
    std::unordered_set<std::string> keys;
    for (std::uint32_t i = 0; i < library.m_nCount; ++i) {
        const PoemRecord& record = library.GetRecords()[i];
        CString text;
        library.ReadText(&record, text);
        keys.insert(DuplicateKey(record, CodePage::Encode(text.view())));
    }
    return keys;
}

void Count(std::map<std::string, unsigned>& counts, const char* field, std::size_t width) {
    ++counts[FieldText(field, width)];
}

// Appends the prepared poems a batch at a time, so that memory stays bounded.
class BatchWriter {
public:
    explicit BatchWriter(CPoemLibrary& library) : m_library(library) {}
    bool Add(PreparedPoem poem) {
        m_poems.push_back(std::move(poem));
        return m_poems.size() < kBatch || Flush();
    }
    bool Flush() {
        std::vector<PoemToAppend> batch;
        batch.reserve(m_poems.size());
        for (PreparedPoem& poem : m_poems) {
            batch.push_back(
                {&poem.record, poem.text.data(), static_cast<unsigned>(poem.text.size())});
        }
        const bool written = batch.empty() || m_library.AppendPoems(batch);
        if (written) {
            m_written += m_poems.size();
        }
        m_poems.clear();
        return written;
    }
    std::size_t Written() const { return m_written; }

private:
    static constexpr std::size_t kBatch = 4096;
    CPoemLibrary& m_library;
    std::vector<PreparedPoem> m_poems;
    std::size_t m_written = 0;
};

int RefusedToWrite(const BatchWriter& writer, Progress& progress) {
    progress.Finish();
    Print("added " + std::to_string(writer.Written()) +
          " poems before the library refused to write\n");
    return kFailure;
}

std::string Summary(const ImportStats& stats) {
    std::string line =
        "added " + std::to_string(stats.added) + " poem" + (stats.added == 1 ? "" : "s");
    const auto part = [&line](std::size_t count, const char* what) {
        if (count != 0) {
            line += ", " + std::to_string(count) + " " + what;
        }
    };
    part(stats.duplicates, "duplicates left out");
    part(stats.titlesCut, "titles cut");
    part(stats.authorsCut, "authors cut");
    part(stats.formsCut, "forms cut");
    part(stats.replaced.Total(), "characters replaced");
    return line + "\n";
}

nlohmann::ordered_json Report(const std::string& name, const ImportStats& stats) {
    const auto byCount = [](const auto& counts) {
        std::vector<std::pair<std::string, std::size_t>> sorted;
        for (const auto& [key, count] : counts) {
            sorted.emplace_back(key, count);
        }
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        return sorted;
    };
    // The most frequent first; characters equally frequent in the order of their UTF-8 bytes.
    std::vector<std::tuple<std::size_t, std::string, std::string>> replaced;
    for (const auto& [from, entry] : stats.replaced.Entries()) {
        replaced.emplace_back(entry.second, CString(from).ToUtf8(), CString(entry.first).ToUtf8());
    }
    std::sort(replaced.begin(), replaced.end(), [](const auto& a, const auto& b) {
        return std::get<0>(a) != std::get<0>(b) ? std::get<0>(a) > std::get<0>(b)
                                                : std::get<1>(a) < std::get<1>(b);
    });
    nlohmann::ordered_json replacements = nlohmann::ordered_json::array();
    for (const auto& [count, from, to] : replaced) {
        replacements.push_back({{"from", from}, {"to", to}, {"count", count}});
    }
    nlohmann::ordered_json forms = nlohmann::ordered_json::array();
    for (const auto& [form, count] : byCount(stats.forms)) {
        forms.push_back({form, count});
    }
    return {{"library", name},
            {"poems", stats.added},
            {"duplicates", stats.duplicates},
            {"titlesCut", stats.titlesCut},
            {"authorsCut", stats.authorsCut},
            {"formsCut", stats.formsCut},
            {"charactersReplaced", stats.replaced.Total()},
            {"dynasties", stats.dynasties},
            {"forms", forms},
            {"replacements", replacements}};
}

// The stored text split at its CR LF line breaks: import joins them again.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
        lines.push_back(text.substr(start, at - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

// "贾谊,东方朔=汉代": the poets whose poems take a dynasty of their own.
std::map<std::string, std::string> ParseDynastyOf(const std::optional<std::string>& option) {
    std::map<std::string, std::string> dynastyOf;
    if (!option) {
        return dynastyOf;
    }
    const auto equals = option->rfind('=');
    if (equals == std::string::npos || equals + 1 == option->size()) {
        throw UsageError{"--dynasty-of must be POET,POET...=DYNASTY"};
    }
    const std::string dynasty = option->substr(equals + 1);
    std::size_t start = 0;
    while (start < equals) {
        const std::size_t comma = std::min(option->find(',', start), equals);
        if (comma > start) {
            dynastyOf[option->substr(start, comma - start)] = dynasty;
        }
        start = comma + 1;
    }
    return dynastyOf;
}

} // namespace

int RunImport(const Args& args) {
    const Arguments arguments(args, {},
                              {"dynasty", "dynasty-of", "form", "author", "kind", "report"});
    const auto& positional = arguments.Positional();
    if (positional.size() < 2) {
        throw UsageError{"expected LIB and at least one FILE"};
    }
    const auto kind = ParsePoemKind(arguments.Option("kind").value_or("stored"));
    if (!kind) {
        throw UsageError{"--kind must be stored, shi, ci or qu"};
    }
    SourcePoem defaults;
    defaults.dynasty = arguments.Option("dynasty").value_or("");
    defaults.form = arguments.Option("form").value_or("");
    defaults.author = arguments.Option("author").value_or("");
    std::vector<SourcePoem> sources;
    if (!ReadSources({positional.begin() + 1, positional.end()}, defaults,
                     ParseDynastyOf(arguments.Option("dynasty-of")), sources)) {
        Print("added 0 poems: a source could not be read\n");
        return kFailure;
    }
    const auto library = OpenLibrary(positional[0]);
    if (!library) {
        return kFailure;
    }
    const CSearchIndexRenewal renewal(positional[0]);
    const Simplifier simplifier;
    if (!simplifier.IsReady()) {
        PrintError("poemlib import: OpenCC's t2s.json cannot be loaded; traditional characters "
                   "stay as they are");
    }
    const PoemPreparer preparer(*kind, simplifier);
    std::unordered_set<std::string> keys = KeysOf(*library);
    ImportStats stats;
    BatchWriter writer(*library);
    Progress progress(library->GetName().ToUtf8(), sources.size());
    for (const SourcePoem& source : sources) {
        progress.Advance();
        PreparedPoem poem = preparer.Prepare(source, stats);
        if (!keys.insert(DuplicateKey(poem.record, poem.text)).second) {
            ++stats.duplicates;
            continue;
        }
        Count(stats.dynasties, poem.record.dynasty, sizeof poem.record.dynasty);
        Count(stats.forms, poem.record.form, sizeof poem.record.form);
        if (!writer.Add(std::move(poem))) {
            return RefusedToWrite(writer, progress);
        }
        ++stats.added;
    }
    if (!writer.Flush()) {
        return RefusedToWrite(writer, progress);
    }
    progress.Finish();
    Print(Summary(stats));
    if (const auto report = arguments.Option("report")) {
        std::ofstream out(*report, std::ios::binary | std::ios::trunc);
        out << Report(library->GetName().ToUtf8(), stats).dump(1, ' ', false) << "\n";
        if (!out) {
            PrintError("poemlib import: cannot write the report " + *report);
            return kFailure;
        }
    }
    return kSuccess;
}

int RunExport(const Args& args) {
    const Arguments arguments(args, {}, {"format"});
    const std::string format = arguments.Option("format").value_or("json");
    if (format != "json" && format != "text") {
        throw UsageError{"--format must be json or text"};
    }
    const auto library = OpenLibraryToRead(arguments.Positional(1)[0]);
    if (!library) {
        return kFailure;
    }
    if (format == "json") {
        Print(library->m_nCount == 0 ? "[]\n" : "[\n");
    }
    for (std::uint32_t i = 0; i < library->m_nCount; ++i) {
        const PoemRecord& record = library->GetRecords()[i];
        CString text;
        library->ReadText(&record, text);
        const std::string title = FieldText(record.title, sizeof record.title);
        const std::string author = FieldText(record.author, sizeof record.author);
        const std::string dynasty = FieldText(record.dynasty, sizeof record.dynasty);
        const std::string form = FieldText(record.form, sizeof record.form);
        if (format == "json") {
            const nlohmann::ordered_json poem = {{"title", title},
                                                 {"author", author},
                                                 {"dynasty", dynasty},
                                                 {"form", form},
                                                 {"paragraphs", SplitLines(Utf8(text))}};
            Print(poem.dump(-1, ' ', false, Json::error_handler_t::replace) +
                  (i + 1 < library->m_nCount ? ",\n" : "\n]\n"));
        } else {
            std::string byline;
            for (const std::string* part : {&dynasty, &author, &form}) {
                if (!part->empty()) {
                    byline += (byline.empty() ? "" : " · ") + *part;
                }
            }
            std::string body = Utf8(text);
            std::erase(body, '\r');
            Print(title + "\n" + byline + "\n\n" + body + "\n\n");
        }
    }
    return kSuccess;
}

} // namespace poemlib
