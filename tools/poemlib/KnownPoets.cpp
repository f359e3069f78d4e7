#include "tools/poemlib/KnownPoets.h"

#include "platform/core/CodePage.h"

#include <algorithm>

namespace poemlib {
namespace {

constexpr std::u16string_view kVerseEnds = u"，。！？；：、,.!?;:\r\n";

bool IsIdeograph(char16_t ch) {
    return (ch >= 0x3400 && ch <= 0x4DBF) || (ch >= 0x4E00 && ch <= 0x9FFF) ||
           (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xD800 && ch <= 0xDFFF);
}

std::u16string Field(const char* field, std::size_t width) {
    return std::u16string(CodePage::Decode(field, width).view());
}

std::u16string PoemKey(std::u16string_view author, std::u16string_view verse) {
    std::u16string key(author);
    key += u'\n';
    return key += verse;
}

// The dynasty most poems are of; the first in order when several are.
std::u16string MostOf(const std::map<std::u16string, unsigned>& counts) {
    const auto most =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.end() ? std::u16string() : most->first;
}

} // namespace

std::u16string FirstVerseKey(std::u16string_view text) {
    std::u16string key;
    std::size_t start = 0;
    while (start < text.size() && !IsIdeograph(text[start])) {
        ++start; // marks and spaces before the verse
    }
    for (std::size_t i = start; i < text.size() && kVerseEnds.find(text[i]) == std::u16string::npos;
         ++i) {
        if (IsIdeograph(text[i])) {
            key += text[i];
        }
    }
    const auto characters = std::count_if(key.begin(), key.end(),
                                          [](char16_t ch) { return ch < 0xDC00 || ch > 0xDFFF; });
    return characters >= 4 ? key : std::u16string();
}

void CKnownPoets::Add(CPoemLibrary& library) {
    for (const PoemRecord& record : library.GetRecords()) {
        const std::u16string author = Field(record.author, sizeof record.author);
        const std::u16string dynasty = Field(record.dynasty, sizeof record.dynasty);
        if (author.empty() || dynasty.empty()) {
            continue;
        }
        ++m_poets[author][dynasty];
        CString text;
        library.ReadText(&record, text);
        if (const std::u16string verse = FirstVerseKey(text.view()); !verse.empty()) {
            ++m_poems[PoemKey(author, verse)][dynasty];
            Verse& known = m_verses[verse];
            ++known.dynasties[dynasty];
            if (std::find(known.poets.begin(), known.poets.end(), author) == known.poets.end()) {
                known.poets.push_back(author);
            }
        }
    }
}

CString CKnownPoets::WholeName(const CString& author, const CString& text) const {
    const std::u16string verse = FirstVerseKey(text.view());
    const auto known = verse.empty() ? m_verses.end() : m_verses.find(verse);
    if (author.IsEmpty() || known == m_verses.end()) {
        return author;
    }
    std::u16string whole;
    for (const std::u16string& poet : known->second.poets) {
        if (poet == author.view()) {
            return author;
        }
        if (poet.size() > author.view().size() && poet.starts_with(author.view())) {
            if (!whole.empty()) {
                return author; // two poets it could be
            }
            whole = poet;
        }
    }
    return whole.empty() ? author : CString(whole);
}

CString CKnownPoets::DynastyOf(const CString& author, const CString& text, const CString& given,
                               bool& fromPoets) const {
    fromPoets = false;
    const std::u16string verse = FirstVerseKey(text.view());
    const auto poem = verse.empty() ? m_poems.end() : m_poems.find(PoemKey(author.view(), verse));
    if (poem != m_poems.end() &&
        !m_verses.at(verse).dynasties.contains(std::u16string(given.view()))) {
        fromPoets = true;
        return CString(MostOf(poem->second));
    }
    if (!given.IsEmpty()) {
        return given;
    }
    const auto poet = m_poets.find(std::u16string(author.view()));
    if (poet == m_poets.end()) {
        return given;
    }
    fromPoets = true;
    return CString(MostOf(poet->second));
}

} // namespace poemlib
