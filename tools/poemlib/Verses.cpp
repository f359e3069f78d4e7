#include "tools/poemlib/Verses.h"

namespace poemlib {
namespace {

constexpr std::u16string_view kVerseEnds = u"，。！？；：、,.!?;:";
constexpr std::u16string_view kClosingQuotes = u"”’」』";
constexpr std::u16string_view kNotSpoken = u"，。！？；：、,.!?;:“”‘’「」『』《》·—…　 \r\n\t\"'";

bool IsOneOf(char16_t ch, std::u16string_view set) {
    return set.find(ch) != std::u16string_view::npos;
}

bool IsLowSurrogate(char16_t ch) {
    return ch >= 0xDC00 && ch <= 0xDFFF;
}

} // namespace

std::vector<std::u16string> SplitVerses(std::u16string_view text) {
    std::vector<std::u16string> verses;
    std::u16string verse;
    int notes = 0; // a note in brackets may hold punctuation of its own
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i];
        if (ch == u'\r' || ch == u'\n') {
            // A source line without a stop still ends its verse (纳兰性德's lines have none).
            if (notes == 0 && SpokenLength(verse) != 0) {
                verses.push_back(std::move(verse));
                verse.clear();
            }
            continue;
        }
        verse += ch;
        if (ch == u'（' || ch == u'(' || ch == u'[') {
            ++notes;
        } else if ((ch == u'）' || ch == u')' || ch == u']') && notes > 0) {
            --notes;
        } else if (notes == 0 && IsOneOf(ch, kVerseEnds)) {
            while (i + 1 < text.size() && IsOneOf(text[i + 1], kClosingQuotes)) {
                verse += text[++i];
            }
            verses.push_back(std::move(verse));
            verse.clear();
        }
    }
    if (SpokenLength(verse) != 0) {
        verses.push_back(std::move(verse));
    } else if (!verse.empty() && !verses.empty()) {
        verses.back() += verse; // a stray closing mark belongs to the verse before it
    }
    return verses;
}

std::size_t SpokenLength(std::u16string_view verse) {
    std::size_t length = 0;
    int notes = 0;
    for (const char16_t ch : verse) {
        if (ch == u'（' || ch == u'(' || ch == u'[') {
            ++notes;
        } else if (ch == u'）' || ch == u')' || ch == u']') {
            notes = notes > 0 ? notes - 1 : 0;
        } else if (notes == 0 && !IsOneOf(ch, kNotSpoken) && !IsLowSurrogate(ch)) {
            ++length;
        }
    }
    return length;
}

namespace {

// The one length every verse has, or 0 when they differ or there are none.
std::size_t CommonLength(const std::vector<std::u16string>& verses) {
    if (verses.empty()) {
        return 0;
    }
    const std::size_t length = SpokenLength(verses.front());
    for (const std::u16string& verse : verses) {
        if (SpokenLength(verse) != length) {
            return 0;
        }
    }
    return length;
}

} // namespace

std::u16string FormByShape(const std::vector<std::u16string>& verses) {
    const std::size_t count = verses.size();
    switch (CommonLength(verses)) {
    case 5:
        return count == 4 ? u"五言绝句" : count == 8 ? u"五言律诗" : u"五言古诗";
    case 7:
        return count == 4 ? u"七言绝句" : count == 8 ? u"七言律诗" : u"七言古诗";
    case 3:
        return u"三言";
    case 4:
        return u"四言";
    case 6:
        return u"六言";
    default:
        return u"杂言";
    }
}

namespace {

// Whether every verse but the last ends with its punctuation: verses that a line break alone
// ends cannot share a line.
bool EveryVerseIsPunctuated(const std::vector<std::u16string>& verses) {
    for (std::size_t i = 0; i + 1 < verses.size(); ++i) {
        const std::u16string_view verse = verses[i];
        const auto last = verse.find_last_not_of(kClosingQuotes);
        if (last == std::u16string_view::npos || !IsOneOf(verse[last], kVerseEnds)) {
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<std::u16string> CoupletLines(const std::vector<std::u16string>& verses) {
    if (verses.size() < 2 || verses.size() % 2 != 0 || CommonLength(verses) == 0 ||
        !EveryVerseIsPunctuated(verses)) {
        return {};
    }
    std::vector<std::u16string> lines;
    for (std::size_t i = 0; i < verses.size(); i += 2) {
        lines.push_back(verses[i] + verses[i + 1]);
    }
    return lines;
}

} // namespace poemlib
