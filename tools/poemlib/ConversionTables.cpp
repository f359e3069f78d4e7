#include "tools/poemlib/ConversionTables.h"

#include "platform/core/CString.h"

#include <algorithm>

namespace {

std::size_t CharacterCount(std::u16string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char16_t unit) { return unit < 0xDC00 || unit > 0xDFFF; }));
}

// The tab-separated fields of a line, or nothing for a comment or an empty line.
std::vector<std::u16string> Fields(const std::string& line) {
    std::vector<std::u16string> fields;
    if (line.empty() || line.front() == '#') {
        return fields;
    }
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
        fields.push_back(CString::FromUtf8(line.substr(start, tab - start)).str());
    }
    fields.push_back(CString::FromUtf8(line.substr(start)).str());
    return fields;
}

template <class Add> void EachLine(std::string_view text, Add add) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (std::vector<std::u16string> fields = Fields(line); !fields.empty()) {
            add(fields, line);
        }
        start = end + 1;
    }
}

} // namespace

const ConversionTables& ConversionTables::BuiltIn() {
    static const ConversionTables tables = Parse(kVariantTable, kMendedPhraseTable);
    return tables;
}

ConversionTables ConversionTables::Parse(std::string_view variants, std::string_view phrases) {
    ConversionTables tables;
    EachLine(variants, [&tables](const auto& fields, const std::string& line) {
        tables.AddVariant(fields, line);
    });
    EachLine(phrases, [&tables](const auto& fields, const std::string& line) {
        tables.AddPhrase(fields, line);
    });
    for (auto& [first, list] : tables.m_phrases) {
        std::stable_sort(list.begin(), list.end(),
                         [](const MendedPhrase& a, const MendedPhrase& b) {
                             return a.characters > b.characters;
                         });
    }
    return tables;
}

// VARIANT <TAB> STANDARD <TAB> SOURCE: one character for one, and a source named.
void ConversionTables::AddVariant(const std::vector<std::u16string>& fields,
                                  const std::string& line) {
    if (fields.size() != 3 || CharacterCount(fields[0]) != 1 || CharacterCount(fields[1]) != 1 ||
        fields[0] == fields[1] || fields[2].empty()) {
        m_errors.push_back("variants: " + line);
        return;
    }
    if (!m_standard.emplace(fields[0], fields[1]).second) {
        m_errors.push_back("variants, twice: " + line);
        return;
    }
    m_variantUnits.set(fields[0].front());
}

// [^]PHRASE <TAB> WRITTEN <TAB> SOURCE: as many characters written as matched, and a source named.
void ConversionTables::AddPhrase(const std::vector<std::u16string>& fields,
                                 const std::string& line) {
    MendedPhrase entry;
    if (fields.size() == 3) {
        entry.atClauseStart = fields[0].starts_with(u'^');
        entry.phrase = fields[0].substr(entry.atClauseStart ? 1 : 0);
        entry.written = fields[1];
        entry.characters = CharacterCount(entry.phrase);
    }
    if (fields.size() != 3 || entry.characters == 0 ||
        CharacterCount(entry.written) != entry.characters || fields[2].empty()) {
        m_errors.push_back("phrases: " + line);
        return;
    }
    const bool pair = entry.phrase[0] >= 0xD800 && entry.phrase[0] <= 0xDBFF;
    const std::u16string first = entry.phrase.substr(0, pair ? 2 : 1);
    std::vector<MendedPhrase>& list = m_phrases[first];
    const bool twice = std::any_of(list.begin(), list.end(), [&entry](const MendedPhrase& other) {
        return other.phrase == entry.phrase && other.atClauseStart == entry.atClauseStart;
    });
    if (twice) {
        m_errors.push_back("phrases, twice: " + line);
        return;
    }
    m_phraseUnits.set(entry.phrase.front());
    list.push_back(std::move(entry));
}

const std::u16string* ConversionTables::StandardOf(std::u16string_view character) const {
    const auto it = m_standard.find(std::u16string(character));
    return it != m_standard.end() ? &it->second : nullptr;
}

const std::vector<MendedPhrase>*
ConversionTables::PhrasesStartingWith(std::u16string_view character) const {
    const auto it = m_phrases.find(std::u16string(character));
    return it != m_phrases.end() ? &it->second : nullptr;
}

std::size_t ConversionTables::PhraseCount() const {
    std::size_t count = 0;
    for (const auto& [first, list] : m_phrases) {
        count += list.size();
    }
    return count;
}
