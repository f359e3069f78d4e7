#include "tools/poemlib/SourcePoems.h"

#include <map>
#include <nlohmann/json.hpp>
#include <optional>

namespace poemlib {
namespace {

using Json = nlohmann::json;

std::string StringField(const Json& object, const char* name) {
    const auto it = object.find(name);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// The strings of a list of strings; none when the field is something else.
std::optional<std::vector<std::string>> Strings(const Json& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end() || !it->is_array() || (!it->empty() && !it->front().is_string())) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    for (const auto& line : *it) {
        if (line.is_string()) {
            lines.push_back(line.get<std::string>());
        }
    }
    return lines;
}

// The lines of a poem: the first of `paragraphs`, `para` or `content` that is a list of strings.
std::vector<std::string> Paragraphs(const Json& object) {
    for (const char* name : {"paragraphs", "para", "content"}) {
        if (auto lines = Strings(object, name)) {
            return *lines;
        }
    }
    return {};
}

SourcePoem FromPoemObject(const Json& object) {
    SourcePoem poem;
    const std::string rhythmic = StringField(object, "rhythmic");
    poem.title = StringField(object, "title");
    if (poem.title.empty()) {
        poem.title = rhythmic;
    }
    poem.author = StringField(object, "author");
    poem.dynasty = DynastyName(StringField(object, "dynasty"));
    poem.form = StringField(object, "form");
    if (poem.form.empty()) {
        poem.form = rhythmic;
    }
    poem.paragraphs = Paragraphs(object);
    poem.notes = Strings(object, "notes").value_or(std::vector<std::string>());
    return poem;
}

bool IsAnthology(const Json& document) {
    if (!document.is_object()) {
        return false;
    }
    const auto it = document.find("content");
    return it != document.end() && it->is_array() && !it->empty() && it->front().is_object();
}

// "（唐）孟浩然": an anthology may say the poet's dynasty before the name.
void TakeDynastyBeforeName(SourcePoem& poem) {
    for (const auto& [open, close] : {std::pair{"（", "）"}, std::pair{"(", ")"}}) {
        if (!poem.author.starts_with(open)) {
            continue;
        }
        const std::size_t end = poem.author.find(close);
        const std::size_t start = std::string_view(open).size();
        if (end == std::string::npos) {
            return;
        }
        const auto dynasty = KnownDynasty(poem.author.substr(start, end - start));
        if (!dynasty) {
            return; // a bracket that says something else
        }
        if (poem.dynasty.empty()) {
            poem.dynasty = *dynasty;
        }
        poem.author = poem.author.substr(end + std::string_view(close).size());
        return;
    }
}

// Whether `rest` opens with a count of poems: "三首·其二" after "雜詩".
bool OpensWithACount(std::string_view rest) {
    constexpr std::string_view kNumerals[] = {"一", "二", "三", "四", "五",
                                              "六", "七", "八", "九", "十"};
    bool numeral = false;
    for (bool more = true; more;) {
        more = false;
        for (const std::string_view digit : kNumerals) {
            if (rest.starts_with(digit)) {
                rest.remove_prefix(digit.size());
                numeral = more = true;
            }
        }
    }
    return numeral && rest.starts_with("首");
}

// The anthology's title of a poem: its chapter, or where the chapter is cut short
// ("至德二載甫自京金光門"), the subchapter or one of the titles it names ("A / B") that goes on
// from it. A subchapter that names the set the poem is one of ("雜詩三首·其二") is no title.
std::string AnthologyTitle(const Json& object) {
    const std::string chapter = StringField(object, "chapter");
    const std::string subchapter = StringField(object, "subchapter");
    std::size_t start = 0;
    while (!chapter.empty() && start < subchapter.size()) {
        const std::size_t slash = std::min(subchapter.find('/', start), subchapter.size());
        std::string_view title = std::string_view(subchapter).substr(start, slash - start);
        while (title.starts_with(' ')) {
            title.remove_prefix(1);
        }
        while (title.ends_with(' ')) {
            title.remove_suffix(1);
        }
        if (title.size() > chapter.size() && title.starts_with(chapter) &&
            !OpensWithACount(title.substr(chapter.size()))) {
            return std::string(title);
        }
        start = slash + 1;
    }
    return chapter;
}

// A set of poems under one chapter, "秋興八首" {其一, 其二 …}: each is a poem, "秋興八首·其一".
bool AddParts(const Json& object, const SourcePoem& set, std::vector<SourcePoem>& poems) {
    const auto it = object.find("paragraphs");
    if (it == object.end() || !it->is_array() || it->empty() || !it->front().is_object()) {
        return false;
    }
    for (const auto& part : *it) {
        SourcePoem poem = set;
        const std::string name = StringField(part, "subchapter");
        if (!name.empty()) {
            poem.title += "·" + name;
        }
        poem.paragraphs = Paragraphs(part);
        poems.push_back(std::move(poem));
    }
    return true;
}

void AddAnthology(const Json& document, std::vector<SourcePoem>& poems) {
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
                poem.title = AnthologyTitle(object);
            }
            if (poem.form.empty()) {
                poem.form = StringField(section, "type");
            }
            TakeDynastyBeforeName(poem);
            if (!AddParts(object, poem, poems)) {
                poems.push_back(std::move(poem));
            }
        }
    }
}

} // namespace

std::vector<SourcePoem> PoemsOf(const Json& document) {
    std::vector<SourcePoem> poems;
    if (document.is_array()) {
        for (const auto& object : document) {
            if (object.is_object()) {
                poems.push_back(FromPoemObject(object));
            }
        }
    } else if (IsAnthology(document)) {
        AddAnthology(document, poems);
    } else if (document.is_object()) {
        poems.push_back(FromPoemObject(document));
    }
    return poems;
}

std::optional<std::string> KnownDynasty(const std::string& dynasty) {
    // The collection's pinyin, and the one character an anthology writes before a poet.
    static const std::map<std::string, std::string> names = {
        {"shang", "商代"}, {"zhou", "周代"}, {"qin", "秦代"},       {"han", "汉代"},
        {"sui", "隋代"},   {"tang", "唐代"}, {"song", "宋代"},      {"yuan", "元代"},
        {"ming", "明代"},  {"qing", "清代"}, {"wudai", "五代十国"}, {"商", "商代"},
        {"周", "周代"},    {"秦", "秦代"},   {"漢", "汉代"},        {"汉", "汉代"},
        {"隋", "隋代"},    {"唐", "唐代"},   {"宋", "宋代"},        {"元", "元代"},
        {"明", "明代"},    {"清", "清代"},   {"五代", "五代十国"},
    };
    const auto it = names.find(dynasty);
    return it != names.end() ? std::optional(it->second) : std::nullopt;
}

std::string DynastyName(const std::string& dynasty) {
    return KnownDynasty(dynasty).value_or(dynasty);
}

} // namespace poemlib
