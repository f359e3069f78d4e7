// poemlib import and export: poems in and out of a library as JSON in the layouts of the open
// "chinese-poetry" collection, and as plain text for reading.

#include "library/PoemEntry.h"
#include "platform/core/CodePage.h"
#include "tools/poemlib/Cli.h"
#include "tools/poemlib/Commands.h"
#include "tools/poemlib/Simplifier.h"

#include <fstream>
#include <nlohmann/json.hpp>

namespace poemlib {
namespace {

using Json = nlohmann::json;

// A poem as the files give it, before it is made to fit the code page.
struct SourcePoem {
    std::string title;
    std::string author;
    std::string dynasty;
    std::string form;
    std::vector<std::string> paragraphs;
};

std::string StringField(const Json& object, const char* name) {
    const auto it = object.find(name);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::vector<std::string> Paragraphs(const Json& object) {
    std::vector<std::string> lines;
    const auto it = object.find("paragraphs");
    if (it != object.end() && it->is_array()) {
        for (const auto& line : *it) {
            if (line.is_string()) {
                lines.push_back(line.get<std::string>());
            }
        }
    }
    return lines;
}

// An object of the plain layout: title (or, for ci, the tune as `rhythmic`), author,
// paragraphs, and perhaps dynasty and form. A ci's tune is its form.
SourcePoem FromPoemObject(const Json& object) {
    SourcePoem poem;
    const std::string rhythmic = StringField(object, "rhythmic");
    poem.title = StringField(object, "title");
    if (poem.title.empty()) {
        poem.title = rhythmic;
    }
    poem.author = StringField(object, "author");
    poem.dynasty = StringField(object, "dynasty");
    poem.form = StringField(object, "form");
    if (poem.form.empty()) {
        poem.form = rhythmic;
    }
    poem.paragraphs = Paragraphs(object);
    return poem;
}

// Collects the poems of one file: an array of poems, or an anthology
// {title, content: [{type, content: [{chapter, author, paragraphs}]}]} whose types are forms.
std::vector<SourcePoem> PoemsOf(const Json& document) {
    std::vector<SourcePoem> poems;
    if (document.is_array()) {
        for (const auto& object : document) {
            if (object.is_object()) {
                poems.push_back(FromPoemObject(object));
            }
        }
    } else if (document.is_object() && document.contains("content") &&
               document["content"].is_array()) {
        for (const auto& section : document["content"]) {
            if (!section.is_object() || !section.contains("content") ||
                !section["content"].is_array()) {
                continue;
            }
            for (const auto& object : section["content"]) {
                if (!object.is_object()) {
                    continue;
                }
                SourcePoem poem = FromPoemObject(object);
                if (poem.title.empty()) {
                    poem.title = StringField(object, "chapter");
                }
                if (poem.form.empty()) {
                    poem.form = StringField(section, "type");
                }
                poems.push_back(std::move(poem));
            }
        }
    } else if (document.is_object()) {
        poems.push_back(FromPoemObject(document));
    }
    return poems;
}

// A poem made ready for the library, or the reason it cannot be.
struct PreparedPoem {
    PoemRecord record{};
    std::string text;
};

std::string Join(const std::vector<std::string>& paragraphs) {
    std::string text;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        text += (i == 0 ? "" : "\r\n") + paragraphs[i];
    }
    return text;
}

// The characters of `text` that the code page cannot hold, or an empty string.
std::string Unencodable(const CString& text) {
    std::string missing;
    const std::u16string_view in = text.view();
    for (std::size_t i = 0; i < in.size(); ++i) {
        const bool pair = in[i] >= 0xD800 && in[i] <= 0xDBFF && i + 1 < in.size();
        const std::u16string_view character = in.substr(i, pair ? 2 : 1);
        size_t count = 0;
        CodePage::Encode(character, &count);
        if (count != 0) {
            missing += CString(character).ToUtf8();
        }
        i += character.size() - 1;
    }
    return missing;
}

std::optional<PreparedPoem> Prepare(const SourcePoem& source, const Simplifier& simplifier,
                                    std::string& reason) {
    const CString title = simplifier.Simplify(Utf16(source.title));
    const CString author = simplifier.Simplify(Utf16(source.author));
    const CString dynasty = simplifier.Simplify(Utf16(source.dynasty));
    const CString form = simplifier.Simplify(Utf16(source.form));
    const CString text = simplifier.Simplify(Utf16(Join(source.paragraphs)));
    const std::string missing = Unencodable(title) + Unencodable(author) + Unencodable(dynasty) +
                                Unencodable(form) + Unencodable(text);
    if (!missing.empty()) {
        reason = "characters the code page cannot hold: " + missing;
        return std::nullopt;
    }
    PreparedPoem poem;
    CString refusal;
    PoemRecord& r = poem.record;
    if (!EncodeField(r.title, sizeof r.title, title, u"标题", refusal) ||
        !EncodeField(r.author, sizeof r.author, author, u"作者", refusal) ||
        !EncodeField(r.dynasty, sizeof r.dynasty, dynasty, u"朝代", refusal) ||
        !EncodeField(r.form, sizeof r.form, form, u"格律", refusal)) {
        reason = Utf8(refusal);
        return std::nullopt;
    }
    poem.text = CodePage::Encode(text.view());
    return poem;
}

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

// Appends the poems of one file in one pass; returns false when the library refused to write.
bool ImportFile(CPoemLibrary& library, const std::string& file, const SourcePoem& defaults,
                const Simplifier& simplifier, unsigned& added, unsigned& refused) {
    Json document;
    if (!ReadJson(file, document)) {
        ++refused;
        return true;
    }
    std::vector<PreparedPoem> prepared;
    unsigned number = 0;
    for (SourcePoem& source : PoemsOf(document)) {
        ++number;
        if (source.dynasty.empty()) {
            source.dynasty = defaults.dynasty;
        }
        if (source.form.empty()) {
            source.form = defaults.form;
        }
        std::string reason;
        auto poem = Prepare(source, simplifier, reason);
        if (!poem) {
            PrintError("poemlib import: " + file + ": poem " + std::to_string(number) + " 《" +
                       source.title + "》 not added: " + reason);
            ++refused;
            continue;
        }
        prepared.push_back(std::move(*poem));
    }
    std::vector<PoemToAppend> batch;
    batch.reserve(prepared.size());
    for (PreparedPoem& poem : prepared) {
        batch.push_back({&poem.record, poem.text.data(), static_cast<unsigned>(poem.text.size())});
    }
    if (!batch.empty() && !library.AppendPoems(batch)) {
        return false;
    }
    added += static_cast<unsigned>(batch.size());
    return true;
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

} // namespace

int RunImport(const Args& args) {
    const Arguments arguments(args, {}, {"dynasty", "form"});
    const auto& positional = arguments.Positional();
    if (positional.size() < 2) {
        throw UsageError{"expected LIB and at least one FILE"};
    }
    SourcePoem defaults;
    defaults.dynasty = arguments.Option("dynasty").value_or("");
    defaults.form = arguments.Option("form").value_or("");
    const auto library = OpenLibrary(positional[0]);
    if (!library) {
        return kFailure;
    }
    const Simplifier simplifier;
    if (!simplifier.IsReady()) {
        PrintError("poemlib import: OpenCC's t2s.json cannot be loaded; traditional characters "
                   "outside the code page will be refused");
    }
    unsigned added = 0;
    unsigned refused = 0;
    for (std::size_t i = 1; i < positional.size(); ++i) {
        if (!ImportFile(*library, positional[i], defaults, simplifier, added, refused)) {
            Print("added " + std::to_string(added) +
                  " poems before the library refused to write\n");
            return kFailure;
        }
    }
    Print("added " + std::to_string(added) + " poem" + (added == 1 ? "" : "s") +
          (refused != 0 ? ", " + std::to_string(refused) + " not added" : "") + "\n");
    return refused == 0 ? kSuccess : kFailure;
}

int RunExport(const Args& args) {
    const Arguments arguments(args, {}, {"format"});
    const std::string format = arguments.Option("format").value_or("json");
    if (format != "json" && format != "text") {
        throw UsageError{"--format must be json or text"};
    }
    const auto library = OpenLibrary(arguments.Positional(1)[0]);
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
