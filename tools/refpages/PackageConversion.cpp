#include "tools/refpages/PackageConversion.h"

#include "platform/core/CString.h"
#include "tools/poemlib/Simplifier.h"

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace fs = std::filesystem;

namespace refpages {
namespace {

struct BiographyFile {
    const char* path;
    const char* dynasty;
    const char* source;
    const char* field;
};

constexpr BiographyFile kBiographyFiles[] = {
    {"quantangshi/authors.tang.json", "唐代", "全唐诗", "desc"},
    {"quantangshi/authors.song.json", "宋代", "全宋诗", "desc"},
    {"songci/author.song.json", "宋代", "全宋词", "description"},
};

constexpr const char* kRankCount = "baidu";

// The Song poets' biographies mark a few things with characters of the private use area: a new
// paragraph, a year not known, and brackets around the name of a place.
std::string PrivateMarksMended(const std::string& utf8) {
    const CString source = CString::FromUtf8(utf8);
    std::u16string text;
    for (const char16_t ch : source.view()) {
        switch (ch) {
        case u'\uE004':
            text += u'\n';
            break;
        case u'\uE00E':
            text += u'？';
            break;
        case u'\uE008':
        case u'\uE009':
            break;
        default:
            text += ch;
        }
    }
    return CString(text).ToUtf8();
}

// A search for a name of one character, or for a fragment's label, counts pages of everything.
bool CountTells(const std::string& author, const std::string& title) {
    return CString::FromUtf8(author).GetLength() >= 2 && CString::FromUtf8(title).GetLength() >= 2;
}

std::string Trimmed(std::string_view text) {
    const auto isSpace = [](char16_t ch) {
        return ch == u' ' || ch == u'\t' || ch == u'\r' || ch == u'\n' || ch == u'\u3000';
    };
    const CString wide = CString::FromUtf8(std::string(text));
    std::u16string_view view = wide.view();
    while (!view.empty() && isSpace(view.front())) {
        view.remove_prefix(1);
    }
    while (!view.empty() && isSpace(view.back())) {
        view.remove_suffix(1);
    }
    return CString(view).ToUtf8();
}

bool ReadJson(const fs::path& file, nlohmann::json& json, std::string& error) {
    std::ifstream in(file);
    json = nlohmann::json::parse(in, nullptr, false);
    if (json.is_discarded()) {
        error = "cannot read " + file.string();
        return false;
    }
    return true;
}

std::string Text(const nlohmann::json& object, const char* name) {
    return object.is_object() && object.contains(name) && object[name].is_string()
               ? object[name].get<std::string>()
               : std::string();
}

std::string Converted(const Simplifier& simplifier, const std::string& utf8) {
    return simplifier.Simplify(CString::FromUtf8(utf8)).ToUtf8();
}

bool AddBiographies(const fs::path& dist, const BiographyFile& file, const Simplifier& simplifier,
                    PackageNotes& notes, std::string& error) {
    const fs::path path = dist / file.path;
    if (!fs::exists(path)) {
        return true;
    }
    nlohmann::json json;
    if (!ReadJson(path, json, error)) {
        return false;
    }
    if (!json.is_array()) {
        error = path.string() + " is no list of poets";
        return false;
    }
    for (const auto& poet : json) {
        const std::string name = Converted(simplifier, Trimmed(Text(poet, "name")));
        const std::string text =
            CleanBiography(name, Converted(simplifier, PrivateMarksMended(Text(poet, file.field))));
        if (name.empty() || text.empty()) {
            continue;
        }
        auto& biographies = notes.biographies[file.dynasty][name];
        const bool known = std::any_of(biographies.begin(), biographies.end(),
                                       [&](const Biography& b) { return b.text == text; });
        if (!known) {
            biographies.push_back({file.source, text});
        }
    }
    return true;
}

// "quantangshi/poet.tang.1000.json" -> "rank/poet/poet.tang.rank.1000.json", or "rank/ci/..."
fs::path RankFileOf(const fs::path& dist, const std::string& source) {
    const fs::path name = fs::path(source).filename();
    const std::string stem = name.stem().string(); // poet.tang.1000
    const auto dot = stem.rfind('.');
    if (dot == std::string::npos) {
        return {};
    }
    const std::string rankName = stem.substr(0, dot) + ".rank" + stem.substr(dot) + ".json";
    for (const char* folder : {"poet", "ci"}) {
        const fs::path candidate = dist / "rank" / folder / rankName;
        if (fs::exists(candidate)) {
            return candidate;
        }
    }
    return {};
}

// A field of one line, so that many can be converted as one text.
std::string OneLine(std::string text) {
    for (char& ch : text) {
        if (ch == '\n' || ch == '\r' || ch == '\t') {
            ch = ' ';
        }
    }
    return text;
}

// The authors and titles of one file's entries, converted as one text (one conversion a file,
// not two an entry: the phrase tables never reach across a line).
std::vector<std::pair<std::string, std::string>> ConvertedEntries(const nlohmann::json& entries,
                                                                  const Simplifier& simplifier) {
    std::string lines;
    for (const auto& entry : entries) {
        std::string title = Text(entry, "title");
        if (title.empty()) {
            title = Text(entry, "rhythmic");
        }
        lines += OneLine(Trimmed(Text(entry, "author"))) + '\t' + OneLine(title) + '\n';
    }
    std::vector<std::pair<std::string, std::string>> converted;
    std::istringstream text(Converted(simplifier, lines));
    for (std::string line; std::getline(text, line);) {
        const auto tab = line.find('\t');
        converted.emplace_back(line.substr(0, tab),
                               tab == std::string::npos ? std::string() : line.substr(tab + 1));
    }
    return converted;
}

bool AddRanks(const fs::path& dist, const LibrarySources& library, const Simplifier& simplifier,
              PackageNotes& notes, std::string& error) {
    for (const std::string& source : library.files) {
        const fs::path rankFile = RankFileOf(dist, source);
        if (rankFile.empty()) {
            continue;
        }
        nlohmann::json json;
        if (!ReadJson(rankFile, json, error)) {
            return false;
        }
        const auto names = json.is_array() ? ConvertedEntries(json, simplifier)
                                           : std::vector<std::pair<std::string, std::string>>();
        if (names.size() != json.size()) {
            error = rankFile.string() + " is no list of counts";
            return false;
        }
        for (std::size_t i = 0; i < names.size(); ++i) {
            const auto& [author, title] = names[i];
            const auto count = json[i].is_object() ? json[i].find(kRankCount) : json[i].end();
            const bool counted =
                count != json[i].end() && count->is_number_integer() && CountTells(author, title);
            notes.ranks[library.stem][RankKey(author, title)].push_back(
                counted ? count->get<long long>() : -1);
        }
    }
    return true;
}

// The paragraphs of a text: its lines, and the pieces that runs of spaces part (the Tang poets'
// biographies stand twice in a few entries, the second time whole or cut short, after spaces).
std::vector<std::string> Paragraphs(const std::string& text) {
    std::vector<std::string> paragraphs;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        for (const char* gap : {"  ", "\u3000\u3000"}) {
            end = std::min(end, text.find(gap, start));
        }
        end = std::min(end, text.size());
        const std::string paragraph = Trimmed(std::string_view(text).substr(start, end - start));
        const auto kept = std::find_if(paragraphs.begin(), paragraphs.end(), [&](const auto& p) {
            return p.starts_with(paragraph) || paragraph.starts_with(p);
        });
        if (kept == paragraphs.end()) {
            if (!paragraph.empty()) {
                paragraphs.push_back(paragraph);
            }
        } else if (paragraph.size() > kept->size()) {
            *kept = paragraph;
        }
        start = end + 1;
    }
    return paragraphs;
}

} // namespace

std::string CleanBiography(const std::string& name, const std::string& text) {
    std::string clean = Trimmed(text);
    for (bool again = true; again;) {
        again = false;
        if (clean.starts_with("--")) {
            clean = Trimmed(std::string_view(clean).substr(2));
            again = true;
        }
        for (const char* colon : {"：", ":"}) {
            const std::string opening = name + colon;
            if (!name.empty() && clean.starts_with(opening)) {
                clean = Trimmed(std::string_view(clean).substr(opening.size()));
                again = true;
            }
        }
    }
    std::string joined;
    for (const std::string& paragraph : Paragraphs(clean)) {
        joined += (joined.empty() ? "" : "\n") + paragraph;
    }
    return joined;
}

std::vector<LibrarySources> ReadSourceList(const std::string& text) {
    std::vector<LibrarySources> libraries;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos) {
            continue;
        }
        const std::string stem = line.substr(0, tab);
        if (libraries.empty() || libraries.back().stem != stem) {
            libraries.push_back({stem, {}});
        }
        libraries.back().files.push_back(line.substr(tab + 1));
    }
    return libraries;
}

bool ConvertPackageNotes(const std::string& dist, const std::vector<LibrarySources>& libraries,
                         const Simplifier& simplifier, PackageNotes& notes, std::string& error) {
    for (const BiographyFile& file : kBiographyFiles) {
        if (!AddBiographies(dist, file, simplifier, notes, error)) {
            return false;
        }
    }
    for (const LibrarySources& library : libraries) {
        if (!AddRanks(dist, library, simplifier, notes, error)) {
            return false;
        }
    }
    return true;
}

} // namespace refpages
