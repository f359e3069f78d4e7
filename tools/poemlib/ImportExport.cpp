// poemlib import and export: poems in and out of a library as JSON in the layouts of the open
// "chinese-poetry" collection, and as plain text for reading.

#include "library/PoemEntry.h"
#include "library/PoemNotes.h"
#include "platform/core/CodePage.h"
#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"
#include "tools/poemlib/KnownPoets.h"
#include "tools/poemlib/PoetNames.h"
#include "tools/poemlib/Prepare.h"
#include "tools/poemlib/Progress.h"
#include "tools/poemlib/SearchIndexRenewal.h"
#include "tools/poemlib/Simplifier.h"
#include "tools/poemlib/SourcePoems.h"
#include "tools/poemlib/Titles.h"

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

// Same whole title, author and text, byte for byte: a poem the library already has.
std::string DuplicateKey(const std::string& title, const PoemRecord& record,
                         const std::string& text) {
    std::string key = title;
    key += '\0';
    key.append(record.author, strnlen(record.author, sizeof record.author));
    key += '\0';
    return key + text;
}

std::string StoredTitle(const PoemRecord& record) {
    return std::string(record.title, strnlen(record.title, sizeof record.title));
}

std::string NotesPath(const CPoemLibrary& library) {
    return (library.GetFolder() + NotesFileName(library.GetIndexName())).ToUtf8();
}

// The notes file's entries by the key they are kept under.
std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint64_t>, const NotesEntry*>
EntriesByKey(const NotesFileContents& contents) {
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint64_t>, const NotesEntry*> byKey;
    for (const NotesEntry& entry : contents.entries) {
        byKey.emplace(std::tuple(entry.offset, entry.length, entry.poemSum), &entry);
    }
    return byKey;
}

// What the library holds already: the keys of its poems, its titles, and the notes that still
// belong to one of its poems (notes of no poem are not kept).
struct Existing {
    std::unordered_set<std::string> keys;
    CTitleCutter titles;
    CNotesWriter notes;
};

void ReadExisting(CPoemLibrary& library, Existing& existing) {
    const NotesFileContents contents = ReadNotesFile(CString::FromUtf8(NotesPath(library)));
    const auto byKey = EntriesByKey(contents);
    for (std::uint32_t i = 0; i < library.m_nCount; ++i) {
        const PoemRecord& record = library.GetRecords()[i];
        CString text;
        library.ReadText(&record, text);
        const std::string bytes = CodePage::Encode(text.view());
        const auto found =
            byKey.find(std::tuple(record.offset, record.length, PoemSum(record, bytes)));
        const NotesEntry* entry = found != byKey.end() ? found->second : nullptr;
        const CString whole = entry != nullptr && !entry->notes.fullTitle.IsEmpty()
                                  ? entry->notes.fullTitle
                                  : CodePage::Decode(record.title, sizeof record.title);
        existing.keys.insert(DuplicateKey(CodePage::Encode(whole.view()), record, bytes));
        existing.titles.Reserve(StoredTitle(record), whole);
        if (entry != nullptr) {
            existing.notes.Add(*entry);
        }
    }
}

void Count(std::map<std::string, unsigned>& counts, const char* field, std::size_t width) {
    ++counts[FieldText(field, width)];
}

// Appends the prepared poems a batch at a time, so that memory stays bounded, and gathers the
// notes of those written.
class BatchWriter {
public:
    BatchWriter(CPoemLibrary& library, CNotesWriter& notes) : m_library(library), m_notes(notes) {}
    bool Add(PreparedPoem poem, PoemNotes notes) {
        m_poems.push_back({std::move(poem), std::move(notes)});
        return m_poems.size() < kBatch || Flush();
    }
    bool Flush() {
        std::vector<PoemToAppend> batch;
        batch.reserve(m_poems.size());
        for (auto& [poem, notes] : m_poems) {
            batch.push_back(
                {&poem.record, poem.text.data(), static_cast<unsigned>(poem.text.size())});
        }
        const bool written = batch.empty() || m_library.AppendPoems(batch);
        if (written) {
            m_written += m_poems.size();
            for (const auto& [poem, notes] : m_poems) {
                m_notes.Add(poem.record, poem.text, notes); // the record knows its place now
            }
        }
        m_poems.clear();
        return written;
    }
    std::size_t Written() const { return m_written; }

private:
    static constexpr std::size_t kBatch = 4096;
    CPoemLibrary& m_library;
    CNotesWriter& m_notes;
    std::vector<std::pair<PreparedPoem, PoemNotes>> m_poems;
    std::size_t m_written = 0;
};

bool WriteNotes(const CNotesWriter& notes, const CPoemLibrary& library) {
    std::string error;
    if (!notes.Write(NotesPath(library), error)) {
        PrintError("poemlib import: " + error);
        return false;
    }
    return true;
}

int RefusedToWrite(const BatchWriter& writer, const CNotesWriter& notes,
                   const CPoemLibrary& library, Progress& progress) {
    progress.Finish();
    WriteNotes(notes, library); // those of the poems written
    Print("added " + std::to_string(writer.Written()) +
          " poems before the library refused to write\n");
    return kFailure;
}

// Cuts the poem's title to its record, distinct from the library's others, and gathers its notes:
// the whole title when it is cut, then the source's notes and those taken out of its verses.
PoemNotes TitledNotes(PreparedPoem& poem, CTitleCutter& titles, ImportStats& stats) {
    bool cut = false;
    bool lengthened = false;
    const std::string title = titles.Fit(poem.title, sizeof poem.record.title, cut, lengthened);
    std::memcpy(poem.record.title, title.data(), title.size());
    PoemNotes notes;
    if (cut) {
        notes.fullTitle = poem.title;
        ++stats.titlesCut;
        ++stats.notes.fullTitles;
        poem.mended.titlesMadeDistinct += lengthened ? 1 : 0;
    }
    notes.notes = poem.notes;
    stats.mended += poem.mended;
    stats.notes.fromSource += poem.sourceNotes;
    stats.notes.fromVerses += static_cast<unsigned>(poem.notes.size()) - poem.sourceNotes;
    stats.notes.poems += notes.IsEmpty() ? 0 : 1;
    return notes;
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
    part(stats.textless, "records without verse left out");
    part(stats.titlesCut, "titles cut");
    part(stats.authorsCut, "authors cut");
    part(stats.formsCut, "forms cut");
    part(stats.converted.replaced.Total(), "characters replaced");
    part(stats.converted.normalised.Total(), "characters normalised");
    part(stats.converted.mended.Total(), "phrases mended");
    part(stats.poetNames.Total(), "poets' names cleaned");
    part(stats.dynastiesFromPoets, "dynasties from the poets' other poems");
    part(stats.mended.Total(), "mends");
    part(stats.notes.poems, "poems with notes");
    return line + "\n";
}

nlohmann::ordered_json NotesReport(const NoteCounts& notes) {
    return {{"poems", notes.poems},
            {"fromSource", notes.fromSource},
            {"fromVerses", notes.fromVerses},
            {"fullTitles", notes.fullTitles}};
}

nlohmann::ordered_json MendsReport(const MendCounts& mended) {
    return {{"asciiPunctuation", mended.asciiPunctuation},
            {"notesMoved", mended.notesMoved},
            {"editorialBrackets", mended.editorialBrackets},
            {"strayMarks", mended.strayMarks},
            {"shiftedStops", mended.shiftedStops},
            {"versesFromTitles", mended.versesFromTitles},
            {"titlesMadeDistinct", mended.titlesMadeDistinct},
            {"webText", mended.webText},
            {"placeholders", mended.placeholders},
            {"blankLines", mended.blankLines}};
}

// What became what, the most frequent first; entries equally frequent in the order of their
// UTF-8 bytes.
nlohmann::ordered_json Changes(const ReplacementLog& log) {
    std::vector<std::tuple<std::size_t, std::string, std::string>> changes;
    for (const auto& [from, entry] : log.Entries()) {
        changes.emplace_back(entry.second, CString(from).ToUtf8(), CString(entry.first).ToUtf8());
    }
    std::sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) {
        return std::get<0>(a) != std::get<0>(b) ? std::get<0>(a) > std::get<0>(b)
                                                : std::get<1>(a) < std::get<1>(b);
    });
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& [count, from, to] : changes) {
        list.push_back({{"from", from}, {"to", to}, {"count", count}});
    }
    return list;
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
            {"charactersReplaced", stats.converted.replaced.Total()},
            {"charactersNormalised", stats.converted.normalised.Total()},
            {"phrasesMended", stats.converted.mended.Total()},
            {"poetNamesCleaned", stats.poetNames.Total()},
            {"dynastiesFromPoets", stats.dynastiesFromPoets},
            {"leftOut", {{"duplicates", stats.duplicates}, {"textless", stats.textless}}},
            {"notes", NotesReport(stats.notes)},
            {"mended", MendsReport(stats.mended)},
            {"dynasties", stats.dynasties},
            {"forms", forms},
            {"replacements", Changes(stats.converted.replaced)},
            {"normalisations", Changes(stats.converted.normalised)},
            {"mends", Changes(stats.converted.mended)},
            {"poetNames", Changes(stats.poetNames)}};
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

// "全唐诗,全宋诗": the libraries beside LIB (or the index files named) whose poets say the
// dynasties of the poems imported. False, having said why, when one cannot be read.
bool ReadKnownPoets(const std::string& names, const std::string& folder, CKnownPoets& poets) {
    std::size_t start = 0;
    while (start <= names.size()) {
        const std::size_t comma = std::min(names.find(',', start), names.size());
        const std::string name = names.substr(start, comma - start);
        start = comma + 1;
        if (name.empty()) {
            continue;
        }
        const std::string index = name.ends_with(".idx") ? name : folder + name + ".idx";
        const auto other = OpenLibraryToRead(index);
        if (!other) {
            PrintError("poemlib import: cannot read the library " + index);
            return false;
        }
        poets.Add(*other);
    }
    return true;
}

} // namespace

int RunImport(const Args& args) {
    const Arguments arguments(
        args, {},
        {"dynasty", "dynasty-of", "dynasties-from", "form", "author", "kind", "report", "codes"});
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
    CharacterCodes codes;
    if (const auto file = arguments.Option("codes")) {
        Json document;
        if (!ReadJson(*file, document)) {
            Print("added 0 poems: the character codes could not be read\n");
            return kFailure;
        }
        codes = CharacterCodesOf(document);
    }
    // Read before the library is opened: opening one names the program folder.
    CKnownPoets poets;
    const auto poetsFrom = arguments.Option("dynasties-from");
    if (poetsFrom && !ReadKnownPoets(*poetsFrom, ParseLibraryPath(positional[0]).folder, poets)) {
        Print("added 0 poems: the poets' libraries could not be read\n");
        return kFailure;
    }
    const auto library = OpenLibrary(positional[0]);
    if (!library) {
        return kFailure;
    }
    const CSearchIndexRenewal renewal(positional[0]);
    const Simplifier simplifier;
    if (!simplifier.IsReady()) {
        PrintError("poemlib import: OpenCC or its t2s.json cannot be loaded; traditional "
                   "characters stay as they are");
    }
    const PoemPreparer preparer(*kind, simplifier, std::move(codes), poetsFrom ? &poets : nullptr);
    Existing existing;
    ReadExisting(*library, existing);
    ImportStats stats;
    BatchWriter writer(*library, existing.notes);
    Progress progress(library->GetName().ToUtf8(), sources.size());
    for (const SourcePoem& source : sources) {
        progress.Advance();
        PreparedPoem poem = preparer.Prepare(source, stats);
        if (!poem.hasVerse) {
            ++stats.textless;
            continue;
        }
        if (!existing.keys
                 .insert(DuplicateKey(CodePage::Encode(poem.title.view()), poem.record, poem.text))
                 .second) {
            ++stats.duplicates;
            continue;
        }
        PoemNotes notes = TitledNotes(poem, existing.titles, stats);
        Count(stats.dynasties, poem.record.dynasty, sizeof poem.record.dynasty);
        Count(stats.forms, poem.record.form, sizeof poem.record.form);
        if (!writer.Add(std::move(poem), std::move(notes))) {
            return RefusedToWrite(writer, existing.notes, *library, progress);
        }
        ++stats.added;
    }
    if (!writer.Flush()) {
        return RefusedToWrite(writer, existing.notes, *library, progress);
    }
    progress.Finish();
    if (!WriteNotes(existing.notes, *library)) {
        return kFailure;
    }
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
    const CString notesFile = CString::FromUtf8(NotesPath(*library));
    if (format == "json") {
        Print(library->m_nCount == 0 ? "[]\n" : "[\n");
    }
    for (std::uint32_t i = 0; i < library->m_nCount; ++i) {
        const PoemRecord& record = library->GetRecords()[i];
        CString text;
        library->ReadText(&record, text);
        const PoemNotes notes = FindPoemNotes(notesFile, record, text);
        // The whole title, when the record holds it cut: import cuts it again.
        const std::string title = notes.fullTitle.IsEmpty()
                                      ? FieldText(record.title, sizeof record.title)
                                      : Utf8(notes.fullTitle);
        const std::string author = FieldText(record.author, sizeof record.author);
        const std::string dynasty = FieldText(record.dynasty, sizeof record.dynasty);
        const std::string form = FieldText(record.form, sizeof record.form);
        std::vector<std::string> noteLines;
        for (const CString& note : notes.notes) {
            noteLines.push_back(Utf8(note));
        }
        if (format == "json") {
            nlohmann::ordered_json poem = {{"title", title},
                                           {"author", author},
                                           {"dynasty", dynasty},
                                           {"form", form},
                                           {"paragraphs", SplitLines(Utf8(text))}};
            if (!noteLines.empty()) {
                poem["notes"] = noteLines;
            }
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
            std::string below;
            for (const std::string& note : noteLines) {
                below += note + "\n";
            }
            Print(title + "\n" + byline + "\n\n" + body + "\n\n" +
                  (below.empty() ? "" : below + "\n"));
        }
    }
    return kSuccess;
}

} // namespace poemlib
