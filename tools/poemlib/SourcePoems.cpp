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
                poem.title = StringField(object, "chapter");
            }
            if (poem.form.empty()) {
                poem.form = StringField(section, "type");
            }
            poems.push_back(std::move(poem));
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

std::string DynastyName(const std::string& dynasty) {
    static const std::map<std::string, std::string> names = {
        {"shang", "商代"}, {"zhou", "周代"}, {"qin", "秦代"},       {"han", "汉代"},
        {"sui", "隋代"},   {"tang", "唐代"}, {"song", "宋代"},      {"yuan", "元代"},
        {"ming", "明代"},  {"qing", "清代"}, {"wudai", "五代十国"},
    };
    const auto it = names.find(dynasty);
    return it != names.end() ? it->second : dynasty;
}

} // namespace poemlib
